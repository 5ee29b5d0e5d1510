#include "view/view.h"
#include "document/document.h"
#include "document/layout.h"

static void InvertBand(HDC dc, int left, int right, int y)
{
    PatBlt(dc, left, y, right - left, LineHeight, DSTINVERT);
}

// Runs last in every paint: it inverts what the earlier steps drew.
void DrawSelection(HDC dc)
{
    if (!SelectionActive || SelStart == SelEnd)
        return;
    MeasuringDC paint = MeasureOn(dc);
    RECT clip = PaintClipBox(dc);
    const WCHAR lineBreak[2] = {13, 10};
    int breakMark = MeasureRun(dc, lineBreak, 2);

    int firstLine = CaretLine(SelStart);
    int lastLine = CaretLine(SelEnd);
    for (int line = firstLine > TopLine ? firstLine : TopLine; line <= lastLine; line++) {
        int y = LineTop(line, paint.pageGap);
        if (y >= ClientHeight || y >= clip.bottom)
            break;
        if (y < TopMargin || y + LineHeight <= clip.top)
            continue;
        int runEnd = LineTable[line].first + DrawableRun(line);  // one past the run
        int width = RunWidth(dc, line);
        int x0 = ColumnRight - width;
        int left = x0;
        int right = ColumnRight;
        if (line == firstLine) {
            right = UnitRightEdge(dc, SelStart, line, width);
            if (SelEnd < runEnd)
                left = UnitRightEdge(dc, SelEnd, line, width);
            else if (RecordEndsWithBreak(&LineTable[line]) && SelEnd > runEnd)
                left = x0 - breakMark;  // the line break is selected
        } else if (line == lastLine) {
            left = UnitRightEdge(dc, SelEnd, line, width);
        } else if (RecordEndsWithBreak(&LineTable[line])) {
            left = x0 - breakMark;
        }
        InvertBand(dc, left, right, y);
    }

    EndMeasuring(&paint);
}
