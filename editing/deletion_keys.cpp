#include "editing/editing.h"
#include "editing/text_edit.h"
#include "document/document.h"

// The document never receives a tab character from the keyboard.
void InsertSpaces(void)
{
    const WCHAR spaces[4] = {' ', ' ', ' ', ' '};
    ReplaceSelection(spaces, 4, TEXT("Can Not Add Characters"));
}

void InsertLineBreak(void)
{
    const WCHAR lineBreak[2] = {13, 10};
    ReplaceSelection(lineBreak, 2, TEXT("Can Not Add Characters"));
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
