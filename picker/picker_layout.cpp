#include "picker/picker.h"

int PickerPage = 1997;
RECT PickerStrip;
RECT PickerItems[PICKER_ITEM_COUNT];
int PickerHighlight;

void ComputePickerGeometry(void)
{
}

void DrawPicker(HDC)
{
}
