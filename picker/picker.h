// The character picker strip above the pages.
#ifndef INKWARDEN_PICKER_H
#define INKWARDEN_PICKER_H

#include <windows.h>

#define AUTO_REPEAT_TIMER 1

extern int PickerPage;

void ComputePickerGeometry(void);
void DrawPicker(HDC dc);

void AutoRepeatStep(void);
BOOL PointerLeftPressedButton(LPARAM lParam);
void StopAutoRepeat(void);

#endif
