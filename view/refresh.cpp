#include "view/view.h"
#include "app/shell.h"
#include "document/document.h"
#include "document/layout.h"

// Every partial repaint erases and paints at once, so the screen is current
// when an operation returns.
void RepaintRect(const RECT *rect)
{
    InvalidateRect(MainWindow, rect, TRUE);
    UpdateWindow(MainWindow);
}

void Reflow(void)
{
    ReflowAfterEdit(NULL, 0, 0, 0, 0);
}

// The same table as Reflow after the units start to end - 1 of the text
// that oldLines describes were replaced by count units; without oldLines,
// the whole text is broken.  The scroll range follows the new lines.
void ReflowAfterEdit(const LineRecord *oldLines, int oldLineCount, int start, int end, int count)
{
    MeasuringDC screen = GetMeasuringDC();
    int oldTopLine = TopLine;
    if (BreakIntoLines(screen.dc, oldLines, oldLineCount, start, end, count))
        UpdateScrollRange();
    ReleaseMeasuringDC(&screen);

    // A shorter document can pull TopLine down under the view.  The pixels
    // move with it: the refresh that follows repaints only the lines that
    // changed, so every other line must already stand where the new TopLine
    // puts it, or it would show a line or more out of place.
    if (TopLine != oldTopLine)
        ScrollTextArea(oldTopLine, TopLine, screen.pageGap);
}

// Everything below the top rules.
void RepaintTextArea(void)
{
    RECT textArea = {0, TopMargin, ClientWidth, ClientHeight};
    RepaintRect(&textArea);
}

// A display line as the refresh routines see it, measured on a screen DC
// with the document font selected.
struct LineSpan {
    int y;
    BOOL visible;
    int line;
    int width;  // of the drawn run
};

static LineSpan MeasureLine(HDC dc, int line, int pageGap)
{
    LineSpan span;
    span.y = LineTop(line, pageGap);
    span.visible = RowsVisible(span.y);
    span.line = line;
    span.width = RunWidth(dc, line);
    return span;
}

static void RepaintBand(int left, int top, int right)
{
    RECT band = {left, top, right, top + LineHeight};
    RepaintRect(&band);
}

void InvalidateCaret(int index)
{
    MeasuringDC screen = GetMeasuringDC();
    RECT caret = CaretRect(screen.dc, index, screen.pageGap);
    ReleaseMeasuringDC(&screen);
    if (RowsVisible(caret.top))
        RepaintRect(&caret);
}

// From the cell of index out to the window's left edge, where a formerly
// longer line may have left glyphs.  A CR just before index is included:
// it draws as a break mark only while an LF follows it, so an edit at index
// may change it.
static void InvalidateLineTail(int line, int index)
{
    if (index > LineTable[line].first && TextBuffer[index - 1] == '\r')
        index--;
    MeasuringDC screen = GetMeasuringDC();
    HDC dc = screen.dc;
    LineSpan span = MeasureLine(dc, line, screen.pageGap);
    int right = UnitRightEdge(dc, index, span.line, span.width);
    ReleaseMeasuringDC(&screen);
    if (span.visible)
        RepaintBand(0, span.y, right);
}

void InvalidateSpan(int a, int b)
{
    if (a > b) {
        int swap = a;
        a = b;
        b = swap;
    }
    MeasuringDC screen = GetMeasuringDC();
    HDC dc = screen.dc;
    int pageGap = screen.pageGap;
    int la = CaretLine(a);
    int lb = CaretLine(b);

    LineSpan span = MeasureLine(dc, la, pageGap);
    if (span.visible) {
        // b on the LF of the line's break: the CR, drawn as the break mark
        // left of the text, is selected too.
        int last = LineTable[la].last;
        BOOL pastBreak = b == last && IsLineBreakAt(last - 1);
        int left = b > last || pastBreak ? 0 : UnitRightEdge(dc, b, span.line, span.width);
        int right = UnitRightEdge(dc, a, span.line, span.width);
        RepaintBand(left, span.y, right);
    }
    for (int line = la + 1; line < lb; line++) {
        int y = LineTop(line, pageGap);
        if (y < TopMargin)
            continue;
        if (y >= ClientHeight)
            break;
        RepaintBand(0, y, ClientWidth);
    }
    if (lb > la) {
        span = MeasureLine(dc, lb, pageGap);
        if (span.visible)
            RepaintBand(UnitRightEdge(dc, b, span.line, span.width), span.y, ClientWidth);
    }
    ReleaseMeasuringDC(&screen);
}

// Moves no pixels: callers compare TopLine before and after and scroll.
void KeepCaretVisible(void)
{
    KeepIndexVisible(Caret);
}

void KeepIndexVisible(int index)
{
    int line = CaretLine(index);
    int visible = VisibleLines();
    if (line < TopLine) {
        TopLine = line;
    } else if (line >= TopLine + visible) {
        TopLine = line - visible + 1;
        if (line < TopLine)
            TopLine = line;
    }
    ClampTopLine();
    ShowScrollPosition(FALSE);
}

void ScrollToCaret(int pageGap)
{
    ScrollToIndex(Caret, pageGap);
}

void ScrollToIndex(int index, int pageGap)
{
    int oldTopLine = TopLine;
    KeepIndexVisible(index);
    if (TopLine != oldTopLine)
        ScrollTextArea(oldTopLine, TopLine, pageGap);
}

// An unchanged line that only moved inside the buffer is not repainted.
static void CompareLine(int line, int first, int last)
{
    if (LineTable[line].first != first)
        InvalidateLineTail(line, LineTable[line].first);
    else if (LineTable[line].last != last)
        InvalidateLineTail(line, (last < LineTable[line].last ? last : LineTable[line].last) + 1);
}

// p is the edit point, q the end of the removed range, d the net change.
static void RefreshLine(int line, const LineRecord &before, int p, int q, int d)
{
    int first = LineTable[line].first;
    int last = LineTable[line].last;
    if (p > before.last)
        CompareLine(line, before.first, before.last);
    else if (p > before.first)
        InvalidateLineTail(line, first != before.first ? first : (p < last + 1 ? p : last + 1));
    else if (q > before.first)
        InvalidateLineTail(line, first);
    else
        CompareLine(line, before.first + d, before.last + d);
}

void RefreshChangedLines(const LineRecord *snapshot, int oldLineCount, int p, int q, int d,
                         int pageGap)
{
    int lo = LineCount < oldLineCount ? LineCount : oldLineCount;
    int hi = LineCount < oldLineCount ? oldLineCount : LineCount;
    for (int line = TopLine; line < lo; line++) {
        if (LineTop(line, pageGap) >= ClientHeight)
            break;
        RefreshLine(line, snapshot[line], p, q, d);
    }
    if (lo != hi) {
        int y = LineTop(lo - 1, pageGap) + LineHeight;
        // Pages without a gap between them put the rule under a page's last
        // line on that line's bottom row; it comes and goes with the next page.
        if (pageGap == 0 && lo % LinesPerPage == 0)
            y--;
        if (y < TopMargin)
            y = TopMargin;
        if (y < ClientHeight) {
            RECT below = {0, y, ClientWidth, ClientHeight};
            RepaintRect(&below);
        }
    }
    ScrollToCaret(pageGap);
}
