// Editing: typing, keys, mouse, clipboard and block commands.
#ifndef INKWARDEN_EDITING_H
#define INKWARDEN_EDITING_H

#include <windows.h>

void InsertCharacter(int code);
void HandleKeyDown(int virtualKey);
void HandleLeftButtonDown(LPARAM lParam);

BOOL KeyHeld(int virtualKey);

void MoveCaretByKey(int virtualKey, int pageGap);
void SelectUnits(int start, int end);
int HitTestText(HDC dc, int x, int y, int pageGap);
void CancelSelection(int pageGap);
void ExtendSelection(int oldCaret, int newCaret, BOOL forward);
void DropSelection(int newCaret);
void CollapseEmptySelection(void);
int PlaceCaret(int index);

void InsertSpaces(void);
void InsertLineBreak(void);
void DeleteBackward(void);
void DeleteForward(void);

void UpdateEditMenu(void);
void CutSelection(void);
void CopySelection(void);
void PasteClipboard(void);
void DeleteSelection(void);
void SelectAll(void);

#endif
