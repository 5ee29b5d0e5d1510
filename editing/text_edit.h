// The frame every text edit runs in.
#ifndef INKWARDEN_TEXT_EDIT_H
#define INKWARDEN_TEXT_EDIT_H

#include <windows.h>

void ReplaceText(int start, int end, const WCHAR *units, int count, int caretAfter,
                 LPCWSTR caption);
void ReplaceSelection(const WCHAR *units, int count, LPCWSTR caption);

#endif
