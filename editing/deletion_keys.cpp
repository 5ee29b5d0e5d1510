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

// The selection, or else one caret step from the caret, so a CR LF pair
// goes as one unit; a step past either end of the text removes nothing.
static void DeleteStep(BOOL forward)
{
    if (SelectionActive) {
        DeleteSelection();
        return;
    }
    int m = Caret;
    int next = forward ? StepForward(m) : StepBackward(m);
    if (next < 0)
        return;
    int start = forward ? m : next;
    int end = forward ? next : m;
    ReplaceText(start, end, NULL, 0, start, TEXT("Can Not Delete"));
}

void DeleteBackward(void)
{
    DeleteStep(FALSE);
}

void DeleteForward(void)
{
    DeleteStep(TRUE);
}
