#include "view/view.h"
#include "document/document.h"
#include "document/layout.h"

#include <string.h>

// The number of units a line draws: all but a closing CR LF or the terminator.
int DrawableRun(int line)
{
    int first = LineTable[line].first;
    int last = LineTable[line].last;
    if (RecordEndsWithBreak(&LineTable[line]))
        return last - 1 - first;
    if (last == CharCount - 1 && TextBuffer[last] == 0)
        return last - first;
    return last - first + 1;
}

int CopyRunReversed(int line)
{
    int first = LineTable[line].first;
    int count = DrawableRun(line);
    memset(ReverseScratch, 0, (count + 1) * sizeof(WCHAR));
    for (int k = 0; k < count; k++)
        ReverseScratch[k] = TextBuffer[first + count - 1 - k];
    return count;
}

int CaretLine(int index)
{
    return LineHolding(LineTable, LineCount, index);
}

// Both measure the line as it is drawn, reversed in ReverseScratch, and
// fill it themselves so that no caller has to.
int RunWidth(HDC dc, int line)
{
    return MeasureRun(dc, ReverseScratch, CopyRunReversed(line));
}

// The right edge of the cell of the unit at index, or the run's left end
// for an index past the run: lines run right to left.
int UnitRightEdge(HDC dc, int index, int line, int runWidth)
{
    int count = CopyRunReversed(line);
    int k = index - LineTable[line].first;
    int left = ColumnRight - runWidth;
    if (k >= count)
        return left;
    return left + MeasureRun(dc, ReverseScratch, count - k);
}

// The caret stands on the border between the unit at index and the unit
// before it.
int CaretX(HDC dc, int index, int line, int runWidth)
{
    return UnitRightEdge(dc, index, line, runWidth) - 1;
}

// Draws a line's run one unit at a time so that it ends flush at right; the
// printer draws with it too.  A glyph never leaves its cell, so units
// wholly outside the clip box are skipped.
void DrawLineAt(HDC dc, int line, int right, int y)
{
    int count = CopyRunReversed(line);
    int x = right - MeasureRun(dc, ReverseScratch, count);
    RECT clip;
    BOOL clipped = GetClipBox(dc, &clip) != ERROR;
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    for (int k = 0; k < count; k++) {
        if (clipped && x >= clip.right)
            break;
        WCHAR unit = ReverseScratch[k];
        int advance = UnitAdvance(dc, unit);
        if (!clipped || x + advance > clip.left)
            TextOutW(dc, x + UnitDrawOffset(dc, unit), y, &ReverseScratch[k], 1);
        x += advance;
    }
}

// Whether rows top to bottom - 1 meet the clip box.
static BOOL RowsInClip(const RECT *clip, int top, int bottom)
{
    return top < clip->bottom && bottom > clip->top;
}

// The area a paint step covers: the clip box, or the whole client area
// when the DC cannot tell.
RECT PaintClipBox(HDC dc)
{
    RECT clip;
    if (GetClipBox(dc, &clip) == ERROR)
        clip = RECT{0, 0, ClientWidth, ClientHeight};
    return clip;
}

void DrawTextLines(HDC dc)
{
    RECT clip = PaintClipBox(dc);
    MeasuringDC paint = MeasureOn(dc);
    SetBkMode(dc, TRANSPARENT);
    memset(ReverseScratch, 0, sizeof ReverseScratch);

    // Lines above TopLine lie above the text area and LineTop only grows.
    for (int line = TopLine; line < LineCount; line++) {
        int y = LineTop(line, paint.pageGap);
        if (y >= ClientHeight || y >= clip.bottom)
            break;
        if (y >= TopMargin && RowsInClip(&clip, y, y + LineHeight))
            DrawLineAt(dc, line, ColumnRight, y);
    }

    EndMeasuring(&paint);
}

// A line is drawn when its top lies in the text area.
BOOL RowsVisible(int top)
{
    return TopMargin <= top && top < ClientHeight;
}

int CaretTop(int index, int pageGap)
{
    return LineTop(CaretLine(index), pageGap);
}

RECT CaretRect(HDC dc, int index, int pageGap)
{
    int line = CaretLine(index);
    int x = CaretX(dc, index, line, RunWidth(dc, line));
    int y = LineTop(line, pageGap);
    return RECT{x, y, x + 1, y + LineHeight};
}

// With the DC's pen, the end point excluded.
void DrawLine(HDC dc, int x0, int y0, int x1, int y1)
{
    MoveToEx(dc, x0, y0, NULL);
    LineTo(dc, x1, y1);
}

void DrawCaret(HDC dc)
{
    if (Caret < 0 || Caret > CharCount - 1)
        return;
    int logPixelsY = GetDeviceCaps(dc, LOGPIXELSY);
    int pageGap = PageGap(logPixelsY);
    int y = CaretTop(Caret, pageGap);
    RECT clip;
    if (!RowsVisible(y) ||
        (GetClipBox(dc, &clip) != ERROR && !RowsInClip(&clip, y, y + LineHeight)))
        return;

    HGDIOBJ oldFont;
    HFONT font = BeginDocumentFont(dc, logPixelsY, &oldFont);
    RECT caret = CaretRect(dc, Caret, pageGap);
    DrawLine(dc, caret.left, caret.top, caret.left, caret.bottom);
    EndDocumentFont(dc, font, oldFont);
}
