#include "view/view.h"
#include "document/document.h"
#include "document/layout.h"

// The left end of a line's text and the right edge of the unit at index
// (X0 for an index past the run), from the run in ReverseScratch.
static int TextLeft(HDC dc, int count)
{
    return ColumnRight - MeasureRun(dc, ReverseScratch, count);
}

static int Edge(HDC dc, int line, int count, int x0, int index)
{
    int first = LineTable[line].first;
    if (index - first >= count)
        return x0;
    return x0 + MeasureRun(dc, ReverseScratch, first + count - index);
}

static void InvertBand(HDC dc, int left, int right, int y)
{
    PatBlt(dc, left, y, right - left, LineHeight, DSTINVERT);
}

// Runs last in every paint: it inverts what the earlier steps drew.
void DrawSelection(HDC dc)
{
    if (!SelectionActive || SelStart == SelEnd)
        return;
    int logPixelsY = GetDeviceCaps(dc, LOGPIXELSY);
    HFONT font = CreateDocumentFont(logPixelsY);
    HGDIOBJ oldFont = SelectObject(dc, font);
    BeginUnitWidths(dc);
    int pageGap = PageGap(logPixelsY);
    RECT clip;
    if (GetClipBox(dc, &clip) == ERROR)
        clip = RECT{0, 0, ClientWidth, ClientHeight};
    const WCHAR lineBreak[2] = {13, 10};
    int breakMark = MeasureRun(dc, lineBreak, 2);

    int firstLine = CaretLine(SelStart);
    int lastLine = CaretLine(SelEnd);
    for (int line = firstLine > TopLine ? firstLine : TopLine; line <= lastLine; line++) {
        int y = LineTop(line, pageGap);
        if (y >= ClientHeight || y >= clip.bottom)
            break;
        if (y < TopMargin || y + LineHeight <= clip.top)
            continue;
        int count = CopyRunReversed(line);
        int runEnd = LineTable[line].first + count;  // one past the run's last unit
        int x0 = TextLeft(dc, count);
        int left = x0;
        int right = ColumnRight;
        if (line == firstLine) {
            right = Edge(dc, line, count, x0, SelStart);
            if (SelEnd < runEnd)
                left = Edge(dc, line, count, x0, SelEnd);
            else if (LineEndsWithBreak(line) && SelEnd > runEnd)
                left = x0 - breakMark;  // the line break is selected
        } else if (line == lastLine) {
            left = Edge(dc, line, count, x0, SelEnd);
        } else if (LineEndsWithBreak(line)) {
            left = x0 - breakMark;
        }
        InvertBand(dc, left, right, y);
    }

    EndUnitWidths();
    SelectObject(dc, oldFont);
    DeleteObject(font);
}
