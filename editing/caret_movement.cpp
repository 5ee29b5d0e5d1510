#include "editing/editing.h"
#include "app/shell.h"
#include "document/document.h"
#include "document/layout.h"
#include "view/view.h"

// Returned by a key that does nothing at the caret's position, as by a
// step past either end of the text.
#define NO_MOVE (-1)

// The position after a line's drawn run, for a line ended by CR LF and for
// the final line; a wrapped line has none (-1).
static int EndOfTextPosition(int line)
{
    if (RecordEndsWithBreak(&LineTable[line]) || line == LineCount - 1)
        return LineTable[line].first + DrawableRun(line);
    return -1;
}

// Up lands on the leftmost position not left of the old caret; Down on the
// rightmost position not right of it.  No column is remembered.
static int VerticalKey(int q0, BOOL down)
{
    int line = CaretLine(q0);
    if ((!down && line == 0) || (down && line == LineCount - 1))
        return NO_MOVE;
    MeasuringDC screen = GetMeasuringDC();
    HDC dc = screen.dc;

    int xc = CaretX(dc, q0, line, RunWidth(dc, line));
    int target = down ? line + 1 : line - 1;
    int first = LineTable[target].first;
    int width = RunWidth(dc, target);
    int last = first + DrawableRun(target) - 1;
    int endOfText = EndOfTextPosition(target);

    int q1 = NO_MOVE;
    if (down) {
        for (int p = first; p <= last && q1 == NO_MOVE; p++)
            if (CaretX(dc, p, target, width) <= xc)
                q1 = p;
        if (q1 == NO_MOVE)
            q1 = endOfText >= 0 ? endOfText : last;
    } else {
        if (endOfText >= 0 && CaretX(dc, endOfText, target, width) >= xc)
            q1 = endOfText;
        for (int p = last; p >= first && q1 == NO_MOVE; p--)
            if (CaretX(dc, p, target, width) >= xc)
                q1 = p;
        if (q1 == NO_MOVE)
            q1 = first;
    }

    ReleaseMeasuringDC(&screen);
    return q1;
}

static int EndKey(int q0, BOOL control)
{
    if (control)
        return CharCount - 1;
    int line = CaretLine(q0);
    return RecordEndsWithBreak(&LineTable[line]) ? LineTable[line].last - 1 : LineTable[line].last;
}

static int PageUpKey(int q0, BOOL control)
{
    if (q0 == 0)
        return NO_MOVE;
    int line = CaretLine(q0);
    if (!control)
        return LineTable[line > PageStep() ? line - PageStep() : 0].first;
    int page = line / LinesPerPage;
    if (line % LinesPerPage == 0 && q0 == LineTable[line].first && page > 0)
        page--;
    return LineTable[page * LinesPerPage].first;
}

static int PageDownKey(int q0, BOOL control)
{
    int line = CaretLine(q0);
    if (q0 == CharCount - 1 || line == LineCount - 1)
        return NO_MOVE;
    if (!control) {
        int target = line + PageStep();
        return LineTable[target < LineCount - 1 ? target : LineCount - 1].first;
    }
    int page = line / LinesPerPage;
    if (page == (LineCount - 1) / LinesPerPage)
        return LineTable[LineCount - 1].first;
    return LineTable[(page + 1) * LinesPerPage].first;
}

static int NewCaretPosition(int virtualKey, int q0)
{
    BOOL control = KeyHeld(VK_CONTROL);
    switch (virtualKey) {
    // Left follows the picture: toward the end of the text.
    case VK_LEFT: return StepForward(q0);
    case VK_RIGHT: return StepBackward(q0);
    case VK_UP: return VerticalKey(q0, FALSE);
    case VK_DOWN: return VerticalKey(q0, TRUE);
    case VK_HOME: return control ? 0 : LineTable[CaretLine(q0)].first;
    case VK_END: return EndKey(q0, control);
    case VK_PRIOR: return PageUpKey(q0, control);
    case VK_NEXT: return PageDownKey(q0, control);
    }
    return NO_MOVE;
}

static BOOL IsForwardMove(int virtualKey)
{
    return virtualKey == VK_LEFT || virtualKey == VK_DOWN || virtualKey == VK_END ||
           virtualKey == VK_NEXT;
}

// An active selection is never empty: one whose ends have met is none.
// The window procedure applies this around key-downs and clicks; commands
// that arrive otherwise apply it themselves.
void CollapseEmptySelection(void)
{
    if (SelStart == SelEnd)
        SelectionActive = 0;
}

void DropSelection(int newCaret)
{
    if (!SelectionActive)
        return;
    SelectionActive = 0;
    InvalidateSpan(SelStart, SelEnd);
    SelStart = SelEnd = newCaret;
}

// Sets the caret; if that moved it, repaints the old column, which erases
// the caret there, and then the new one.  Returns the old caret.  The mover
// then updates the selection and scrolls to the caret.
int PlaceCaret(int index)
{
    int oldCaret = Caret;
    Caret = index;
    if (index != oldCaret) {
        InvalidateCaret(oldCaret);
        InvalidateCaret(index);
    }
    return oldCaret;
}

// Moves the caret from q0 to q1 as a caret key does: extending the
// selection as Shift does, or dropping it.
static void StepCaret(int q0, int q1, BOOL extend, BOOL forward, int pageGap)
{
    PlaceCaret(q1);
    if (extend)
        ExtendSelection(q0, q1, forward);
    else
        DropSelection(q1);
    ScrollToCaret(pageGap);
}

// A key that does nothing at this position leaves the selection and the
// view untouched too.
void MoveCaretByKey(int virtualKey, int pageGap)
{
    int q0 = Caret;
    int q1 = NewCaretPosition(virtualKey, q0);
    if (q1 == NO_MOVE)
        return;
    StepCaret(q0, q1, KeyHeld(VK_SHIFT), IsForwardMove(virtualKey), pageGap);
}

// The caret to start, then Shift toward end: the state and the pixels the
// Shift keys leave when they select the same units.
void SelectUnits(int start, int end)
{
    int pageGap = ScreenPageGap();
    StepCaret(Caret, start, FALSE, FALSE, pageGap);
    if (end > start)
        StepCaret(start, end, TRUE, TRUE, pageGap);
    CollapseEmptySelection();
}

void CancelSelection(int pageGap)
{
    if (!SelectionActive)
        return;
    DropSelection(Caret);
    ScrollToCaret(pageGap);
}

// The end the caret was not at is the anchor; when the caret crosses it the
// ends are swapped so that SelStart <= SelEnd still holds.
void ExtendSelection(int oldCaret, int newCaret, BOOL forward)
{
    int oldStart = SelStart;
    int oldEnd = SelEnd;
    if (!SelectionActive) {
        SelectionActive = 1;
        SelStart = oldCaret < newCaret ? oldCaret : newCaret;
        SelEnd = oldCaret < newCaret ? newCaret : oldCaret;
        InvalidateSpan(SelStart, SelEnd);
    } else if (forward) {
        if (oldCaret == oldEnd) {
            SelEnd = newCaret;
            InvalidateSpan(oldCaret, newCaret);
        } else if (newCaret <= oldEnd) {
            SelStart = newCaret;
            InvalidateSpan(oldStart, newCaret);
        } else {
            SelStart = oldEnd;
            InvalidateSpan(oldStart, oldEnd);
            SelEnd = newCaret;
            InvalidateSpan(oldEnd, newCaret);
        }
    } else {
        if (oldCaret == oldStart) {
            SelStart = newCaret;
            InvalidateSpan(newCaret, oldCaret);
        } else if (newCaret >= oldStart) {
            SelEnd = newCaret;
            InvalidateSpan(newCaret, oldEnd);
        } else {
            SelEnd = oldStart;
            InvalidateSpan(oldStart, oldEnd);
            SelStart = newCaret;
            InvalidateSpan(newCaret, oldStart);
        }
    }
}
