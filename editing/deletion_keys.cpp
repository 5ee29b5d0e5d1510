#include "editing/editing.h"
#include "editing/text_edit.h"
#include "document/document.h"

static void InsertUnitsAtCaret(const WCHAR *units, int count)
{
    if (SelectionActive)
        ReplaceText(SelStart, SelEnd, units, count, SelStart + count,
                    TEXT("Can Not Add Characters"));
    else
        ReplaceText(Caret, Caret, units, count, Caret + count, TEXT("Can Not Add Characters"));
}

// The document never receives a tab character from the keyboard.
void InsertSpaces(void)
{
    const WCHAR spaces[4] = {' ', ' ', ' ', ' '};
    InsertUnitsAtCaret(spaces, 4);
}

void InsertLineBreak(void)
{
    const WCHAR lineBreak[2] = {13, 10};
    InsertUnitsAtCaret(lineBreak, 2);
}

// A CR LF pair goes as one unit.
void DeleteBackward(void)
{
    if (SelectionActive) {
        DeleteSelection();
        return;
    }
    int m = Caret;
    if (m == 0)
        return;
    int k = IsLineBreakAt(m - 2) ? 2 : 1;
    ReplaceText(m - k, m, NULL, 0, m - k, TEXT("Can Not Delete"));
}

void DeleteForward(void)
{
    if (SelectionActive) {
        DeleteSelection();
        return;
    }
    int m = Caret;
    if (m == CharCount - 1)
        return;
    int k = IsLineBreakAt(m) ? 2 : 1;
    ReplaceText(m, m + k, NULL, 0, m, TEXT("Can Not Delete"));
}
