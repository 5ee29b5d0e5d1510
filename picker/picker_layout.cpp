#include "picker/picker.h"

int PickerPage = 1997;

void ComputePickerGeometry(void)
{
}

void DrawPicker(HDC)
{
}
