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
// printer draws with it too.
void DrawLineAt(HDC dc, int line, int right, int y)
{
    int count = CopyRunReversed(line);
    int x = right - MeasureRun(dc, ReverseScratch, count);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    for (int k = 0; k < count; k++) {
        ABC widths;
        int offset = 0;
        if (GetCharABCWidthsW(dc, ReverseScratch[k], ReverseScratch[k], &widths) && widths.abcA < 0)
            offset = -widths.abcA;  // keep an overhanging glyph inside its cell
        TextOutW(dc, x + offset, y, &ReverseScratch[k], 1);
        x += MeasureRun(dc, &ReverseScratch[k], 1);
    }
}

void DrawTextLines(HDC dc)
{
    int logPixelsY = GetDeviceCaps(dc, LOGPIXELSY);
    HFONT font = CreateDocumentFont(logPixelsY);
    HGDIOBJ oldFont = SelectObject(dc, font);
    int pageGap = PageGap(logPixelsY);
    SetBkMode(dc, TRANSPARENT);
    memset(ReverseScratch, 0, sizeof ReverseScratch);

    // Lines above TopLine lie above the text area and LineTop only grows.
    for (int line = TopLine; line < LineCount; line++) {
        int y = LineTop(line, pageGap);
        if (y >= ClientHeight)
            break;
        if (y >= TopMargin)
            DrawLineAt(dc, line, ColumnRight, y);
    }

    SelectObject(dc, oldFont);
    DeleteObject(font);
}

void DrawCaret(HDC dc)
{
    if (Caret < 0 || Caret > CharCount - 1)
        return;
    int logPixelsY = GetDeviceCaps(dc, LOGPIXELSY);
    HFONT font = CreateDocumentFont(logPixelsY);
    HGDIOBJ oldFont = SelectObject(dc, font);
    int pageGap = PageGap(logPixelsY);

    int line = CaretLine(Caret);
    int count = CopyRunReversed(line);
    int x = CaretX(dc, Caret, line, MeasureRun(dc, ReverseScratch, count));
    int y = LineTop(line, pageGap);
    if (TopMargin <= y && y < ClientHeight) {
        MoveToEx(dc, x, y, NULL);
        LineTo(dc, x, y + LineHeight);
    }

    SelectObject(dc, oldFont);
    DeleteObject(font);
}
