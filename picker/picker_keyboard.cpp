#include "picker/picker.h"

void EnterPickerKeyboardMode(void)
{
}

void PickerKeyDown(int)
{
}
