// The character picker strip above the pages.
#ifndef INKWARDEN_PICKER_H
#define INKWARDEN_PICKER_H

#include <windows.h>

#define AUTO_REPEAT_TIMER 1

#define PICKER_ITEM_COUNT 23

// Item indices: the buttons, the page box, ten digit boxes, ten cells.
#define PICKER_UP 0
#define PICKER_DOWN 1
#define PICKER_PAGE_BOX 2
#define PICKER_FIRST_DIGIT 3
#define PICKER_FIRST_CELL 13
#define PICKER_LAST_CELL 22

// Cell j of page p shows code p * 10 + j.
#define PICKER_FIRST_PAGE 3
#define PICKER_LAST_PAGE 6553

extern int PickerPage;
extern RECT PickerStrip;
extern RECT PickerItems[PICKER_ITEM_COUNT];
extern int PickerHighlight;
extern int AutoRepeatTicks;

void ComputePickerGeometry(void);
void DrawPicker(HDC dc);

// Entries from the key and mouse handlers of the text.
void EnterPickerKeyboardMode(void);
void LeavePickerKeyboardMode(BOOL frameFirst);
void PickerKeyDown(int virtualKey);
void PickerLeftButtonDown(int x, int y);

void AutoRepeatStep(void);
BOOL PointerLeftPressedButton(LPARAM lParam);
void StopAutoRepeat(void);

// One step of a held Up or Down: 1 for ten steps, 10 for ten more, then 100.
// direction is -1 or +1; counter counts the small steps taken.
void GrowingPageStep(int direction, int *counter);
int ClampPickerPage(int page);
BOOL PickerPageAtLimit(int direction);

// Repaint areas, each erased and painted at once.
void RepaintHighlight(int item);
void RepaintMovedHighlight(int oldItem);
void RepaintPageNumber(void);
void RepaintCells(void);
void RepaintFocusRule(void);

#endif
