#include "editing/text_edit.h"
#include "app/shell.h"
#include "document/document.h"
#include "document/layout.h"
#include "view/view.h"

// Replaces the units start to end - 1 by count units and puts the caret at
// caretAfter, then repaints only what changed.  Both refusals come before
// anything changes, so text, caret, selection and screen stay as they were.
void ReplaceText(int start, int end, const WCHAR *units, int count, int caretAfter,
                 LPCWSTR caption)
{
    if (CharCount - (end - start) + count > TEXT_BUFFER_UNITS) {
        ReportWarning(caption, TEXT("Input exceeds memory limit"));
        return;
    }
    LineRecord *snapshot = TakeLineSnapshot();
    if (!snapshot) {
        ReportWarning(caption, TEXT("Can not allocate memory"));
        return;
    }
    int pageGap = ScreenPageGap();

    if (SelectionActive) {
        SelectionActive = 0;
        InvalidateSpan(SelStart, SelEnd);
    }
    // The old column is repainted while the caret is elsewhere, which erases it.
    int oldCaret = Caret;
    Caret = oldCaret + 1;
    InvalidateCaret(oldCaret);

    if (end > start)
        RemoveUnits(start, end);
    if (count > 0)
        InsertUnits(start, units, count);
    Caret = caretAfter;

    int oldLineCount = LineCount;
    ReflowAfterEdit(snapshot, oldLineCount, start, end, count);
    InvalidateCaret(Caret);
    RefreshChangedLines(snapshot, oldLineCount, start, end, count - (end - start), pageGap);

    FreeLineSnapshot(snapshot);
    SelStart = SelEnd = Caret;
}

// An active selection is replaced by the units; with none they go in at the
// caret.  Either way the caret ends after them.
void ReplaceSelection(const WCHAR *units, int count, LPCWSTR caption)
{
    if (SelectionActive)
        ReplaceText(SelStart, SelEnd, units, count, SelStart + count, caption);
    else
        ReplaceText(Caret, Caret, units, count, Caret + count, caption);
}
