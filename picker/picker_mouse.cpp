#include "picker/picker.h"
#include "app/shell.h"

void AutoRepeatStep(void)
{
}

BOOL PointerLeftPressedButton(LPARAM)
{
    return FALSE;
}

void StopAutoRepeat(void)
{
    AutoRepeat = 0;
    ReleaseCapture();
    KillTimer(MainWindow, AUTO_REPEAT_TIMER);
}

void PickerLeftButtonDown(int, int)
{
}
