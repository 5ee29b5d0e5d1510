#include "view/view.h"
#include "document/document.h"
#include "document/layout.h"

#include <string.h>

BOOL LineEndsWithBreak(int line)
{
    int first = LineTable[line].first;
    int last = LineTable[line].last;
    return last - 1 >= first && TextBuffer[last] == 10 && TextBuffer[last - 1] == 13;
}

// The number of units a line draws: all but a closing CR LF or the terminator.
int DrawableRun(int line)
{
    int first = LineTable[line].first;
    int last = LineTable[line].last;
    if (LineEndsWithBreak(line))
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

// The first line whose last unit is at or after index; lasts only grow.
int CaretLine(int index)
{
    int low = 0, high = LineCount - 1;
    while (low < high) {
        int middle = (low + high) / 2;
        if (LineTable[middle].last >= index)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

// ReverseScratch must hold the line's run.  The caret stands on the border
// between the unit at index and the unit before it.
int CaretX(HDC dc, int index, int line, int runWidth)
{
    int count = DrawableRun(line);
    int k = index - LineTable[line].first;
    if (k >= count)
        return ColumnRight - runWidth - 1;
    return ColumnRight - runWidth + MeasureRun(dc, ReverseScratch, count - k) - 1;
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

void DrawTextLines(HDC dc)
{
    RECT clip;
    if (GetClipBox(dc, &clip) == ERROR)
        clip = RECT{0, 0, ClientWidth, ClientHeight};
    int logPixelsY = GetDeviceCaps(dc, LOGPIXELSY);
    HFONT font = CreateDocumentFont(logPixelsY);
    HGDIOBJ oldFont = SelectObject(dc, font);
    BeginUnitWidths(dc);
    int pageGap = PageGap(logPixelsY);
    SetBkMode(dc, TRANSPARENT);
    memset(ReverseScratch, 0, sizeof ReverseScratch);

    // Lines above TopLine lie above the text area and LineTop only grows.
    for (int line = TopLine; line < LineCount; line++) {
        int y = LineTop(line, pageGap);
        if (y >= ClientHeight || y >= clip.bottom)
            break;
        if (y >= TopMargin && RowsInClip(&clip, y, y + LineHeight))
            DrawLineAt(dc, line, ColumnRight, y);
    }

    EndUnitWidths();
    SelectObject(dc, oldFont);
    DeleteObject(font);
}

void DrawCaret(HDC dc)
{
    if (Caret < 0 || Caret > CharCount - 1)
        return;
    int logPixelsY = GetDeviceCaps(dc, LOGPIXELSY);
    int pageGap = PageGap(logPixelsY);
    int line = CaretLine(Caret);
    int y = LineTop(line, pageGap);
    RECT clip;
    if (y < TopMargin || y >= ClientHeight ||
        (GetClipBox(dc, &clip) != ERROR && !RowsInClip(&clip, y, y + LineHeight)))
        return;

    HFONT font = CreateDocumentFont(logPixelsY);
    HGDIOBJ oldFont = SelectObject(dc, font);
    BeginUnitWidths(dc);
    int count = CopyRunReversed(line);
    int x = CaretX(dc, Caret, line, MeasureRun(dc, ReverseScratch, count));
    MoveToEx(dc, x, y, NULL);
    LineTo(dc, x, y + LineHeight);
    EndUnitWidths();
    SelectObject(dc, oldFont);
    DeleteObject(font);
}
