#include "document/layout.h"
#include "app/shell.h"
#include "app/resource.h"
#include "view/view.h"

#include <string.h>

WCHAR ReverseScratch[TEXT_BUFFER_UNITS];

// Every unit gets a tenth of the font height as spacing, and a glyph that
// overhangs its cell gets twice the overhang as room instead of overlapping.
int CharWidthRule(HDC dc, WCHAR unit, const TEXTMETRIC *metrics)
{
    ABC widths;
    if (!GetCharABCWidthsW(dc, unit, unit, &widths))
        return metrics->tmMaxCharWidth;
    int b = widths.abcB == 0 ? metrics->tmMaxCharWidth : (int)widths.abcB;
    int a = widths.abcA < 0 ? -2 * widths.abcA : widths.abcA;
    int c = widths.abcC < 0 ? -2 * widths.abcC : widths.abcC;
    return b + metrics->tmHeight / 10 + a + c;
}

int MeasureRun(HDC dc, const WCHAR *units, int count)
{
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    if (count <= 0)
        return 0;
    TEXTMETRIC metrics;
    GetTextMetrics(dc, &metrics);
    int width = 0;
    for (int i = 0; i < count; i++)
        width += CharWidthRule(dc, units[i], &metrics);
    return width;
}

static BOOL AppendLine(int first, int last)
{
    if (LineCount == LINE_TABLE_RECORDS) {
        ReportWarning(TEXT("Can Not Add Line"), TEXT("Input exceeds memory limit"));
        return FALSE;
    }
    LineTable[LineCount].first = first;
    LineTable[LineCount].last = last;
    LineCount++;
    return TRUE;
}

// Where a line that overflows at unit i ends.
static int OverflowEnd(int first, int i, int lastSpace)
{
    if (i == first)
        return i;  // a unit wider than the column gets a line of its own
    BOOL isSpace = TextBuffer[i] == ' ';
    if (WordWrapMode == IDM_WRAP_NO)
        return isSpace ? i : i - 1;
    if (isSpace)
        lastSpace = i;
    return lastSpace >= 0 ? lastSpace : i - 1;
}

// Run widths are additive, so a running sum gives the same breaks as
// measuring the whole run from the line's first unit at every step.
static BOOL BreakLines(HDC dc, int columnWidth)
{
    TEXTMETRIC metrics;
    GetTextMetrics(dc, &metrics);
    SetTextAlign(dc, TA_LEFT | TA_TOP);

    int first = 0;
    int lastSpace = -1;
    int width = 0;
    int i = 0;
    while (i < CharCount) {
        WCHAR unit = TextBuffer[i];
        if (unit == 13 && i + 1 < CharCount && TextBuffer[i + 1] == 10) {
            if (!AppendLine(first, i + 1))
                return FALSE;
            i += 2;
        } else if (i == CharCount - 1 && unit == 0) {
            return AppendLine(first, i);
        } else {
            int advance = CharWidthRule(dc, unit, &metrics);
            if (width + advance <= columnWidth) {
                width += advance;
                if (unit == ' ')
                    lastSpace = i;
                i++;
                continue;
            }
            int end = OverflowEnd(first, i, lastSpace);
            if (!AppendLine(first, end))
                return FALSE;
            i = end + 1;
        }
        first = i;
        lastSpace = -1;
        width = 0;
    }
    return TRUE;
}

void Reflow(void)
{
    HFONT font;
    HGDIOBJ oldFont;
    HDC dc = GetMeasuringDC(&font, &oldFont);
    int columnWidth = ColumnWidthInches * GetDeviceCaps(dc, LOGPIXELSX);

    memset(ReverseScratch, 0, sizeof ReverseScratch);
    LineCount = 0;
    int oldTopLine = TopLine;
    if (BreakLines(dc, columnWidth))
        UpdateScrollRange();
    int pageGap = PageGap(GetDeviceCaps(dc, LOGPIXELSY));
    ReleaseMeasuringDC(dc, font, oldFont);

    // A shorter document can pull TopLine down under the view; move the
    // pixels with it, so the refresh that follows compares against a screen
    // that matches the new TopLine.
    if (TopLine != oldTopLine)
        ScrollTextArea(oldTopLine, TopLine, pageGap);
}
