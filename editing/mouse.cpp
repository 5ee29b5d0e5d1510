#include "editing/editing.h"
#include "app/shell.h"
#include "document/document.h"
#include "document/layout.h"
#include "picker/picker.h"
#include "view/view.h"

// The columns of the pages, from the top rule down to the foot of the last page.
static BOOL InTextArea(int x, int y, int logPixelsY)
{
    int documentBottom = PageTop(PageCount(), logPixelsY);
    return ColumnLeft <= x && x < ColumnRight && TopMargin <= y && y < documentBottom;
}

// The first line, from the top of the view, whose bottom lies below y; past
// them all, the last line.  A click in a page's foot gap so lands on the
// first line of the next page.
static int LineAt(int y, int pageGap)
{
    for (int line = TopLine; line < LineCount; line++)
        if (LineTop(line, pageGap) + LineHeight > y)
            return line;
    return LineCount - 1;
}

// The caret index for a click at x on line, measured with the document font
// selected into dc.  Anywhere on a character puts the caret before it in
// reading order: at its right edge, since lines run right to left.
static int HitCharacter(HDC dc, int line, int x)
{
    int first = LineTable[line].first;
    int last = first + DrawableRun(line) - 1;
    int width = RunWidth(dc, line);
    if (x < ColumnRight - width) {
        // Past a wrapped line's last unit stands the next line.
        if (RecordEndsWithBreak(&LineTable[line]) || line == LineCount - 1)
            return last + 1;
        return last;
    }
    for (int index = last; index > first; index--)
        if (x < UnitRightEdge(dc, index, line, width))
            return index;
    return first;  // its right edge is ColumnRight, right of every click
}

// The end the caret was at moves with a Shift-click; a caret at neither end
// of the selection leaves it alone.
static void SelectByClick(int oldCaret, int newCaret)
{
    if (!SelectionActive)
        SelStart = SelEnd = oldCaret;
    if (!KeyHeld(VK_SHIFT)) {
        DropSelection(newCaret);
        return;
    }
    if (newCaret == oldCaret)
        return;
    if (!SelectionActive || oldCaret == SelStart || oldCaret == SelEnd)
        ExtendSelection(oldCaret, newCaret, newCaret > oldCaret);
}

// The caret index a click at client x, y gives, with the document font
// selected into dc.
int HitTestText(HDC dc, int x, int y, int pageGap)
{
    int index = HitCharacter(dc, LineAt(y, pageGap), x);
    if (y >= LineTop(LineCount - 1, pageGap) + LineHeight)
        index = CharCount - 1;  // the blank rest of the last page
    return index;
}

static void PlaceCaretByClick(HDC dc, int x, int y, int pageGap)
{
    int oldCaret = PlaceCaret(HitTestText(dc, x, y, pageGap));
    SelectByClick(oldCaret, Caret);
    ScrollToCaret(pageGap);
}

// One screen DC with the document font serves whichever branch runs.
void HandleLeftButtonDown(LPARAM lParam)
{
    int x = LOWORD(lParam);
    int y = HIWORD(lParam);
    MeasuringDC screen = GetMeasuringDC();

    if (InTextArea(x, y, screen.logPixelsY)) {
        if (PickerFocus == 1)
            LeavePickerKeyboardMode(TRUE);
        PlaceCaretByClick(screen.dc, x, y, screen.pageGap);
    } else {
        PickerLeftButtonDown(x, y);
    }

    ReleaseMeasuringDC(&screen);
}
