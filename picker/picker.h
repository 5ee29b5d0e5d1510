// The character picker strip above the pages.
#ifndef INKWARDEN_PICKER_H
#define INKWARDEN_PICKER_H

#include <windows.h>

#define AUTO_REPEAT_TIMER 1

#define PICKER_ITEM_COUNT 23

extern int PickerPage;
extern RECT PickerStrip;
extern RECT PickerItems[PICKER_ITEM_COUNT];
extern int PickerHighlight;

void ComputePickerGeometry(void);
void DrawPicker(HDC dc);

// Entries from the key and mouse handlers of the text.
void EnterPickerKeyboardMode(void);
void PickerKeyDown(int virtualKey);
void PickerLeftButtonDown(int x, int y);

void AutoRepeatStep(void);
BOOL PointerLeftPressedButton(LPARAM lParam);
void StopAutoRepeat(void);

#endif
