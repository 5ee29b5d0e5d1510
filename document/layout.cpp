#include "document/layout.h"
#include "app/shell.h"
#include "app/resource.h"

#include <string.h>

WCHAR ReverseScratch[TEXT_BUFFER_UNITS];
int LayoutChanges;

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

// The old lines, and where breaking may stop: once a line starts at or
// after settled, where an old line started shift units earlier, the rest
// breaks as before, since breaking depends only on the text that follows.
struct OldLines {
    const LineRecord *records;
    int count;
    int settled;
    int shift;
};

// The old line starting at first, or -1.
static int OldLineStartingAt(const OldLines *old, int first)
{
    int low = 0, high = old->count - 1;
    while (low <= high) {
        int middle = (low + high) / 2;
        if (old->records[middle].first == first)
            return middle;
        if (old->records[middle].first < first)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return -1;
}

static BOOL TakeOldLines(const OldLines *old, int from)
{
    for (int line = from; line < old->count; line++)
        if (!AppendLine(old->records[line].first + old->shift, old->records[line].last + old->shift))
            return FALSE;
    return TRUE;
}

// Appends the lines from unit first on.  Run widths are additive, so a
// running sum gives the same breaks as measuring the whole run from the
// line's first unit at every step.
static BOOL BreakLines(HDC dc, int columnWidth, int first, const OldLines *old)
{
    SetTextAlign(dc, TA_LEFT | TA_TOP);

    int lastSpace = -1;
    int width = 0;
    int i = first;
    while (i < CharCount) {
        WCHAR unit = TextBuffer[i];
        if (IsLineBreakAt(i)) {
            if (!AppendLine(first, i + 1))
                return FALSE;
            i += 2;
        } else if (i == CharCount - 1 && unit == 0) {
            return AppendLine(first, i);
        } else {
            int advance = UnitAdvance(dc, unit);
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
        if (old && first >= old->settled) {
            int line = OldLineStartingAt(old, first - old->shift);
            if (line >= 0)
                return TakeOldLines(old, line);
        }
    }
    return TRUE;
}

// Whether the line's breaks read only units before start, so an edit
// there leaves it as it is: it ended at a hard break before start, or its
// units overflowed the column before start - 1 (the unit after a CR is
// read too).  Overflow points never move back from one line to the next,
// so every earlier line is settled too.
static BOOL LineSettledBefore(HDC dc, int columnWidth,
                              const LineRecord *line, int start)
{
    if (line->last >= start - 1)
        return FALSE;
    if (RecordEndsWithBreak(line))
        return TRUE;
    int width = 0;
    for (int i = line->first; i <= start - 2; i++) {
        width += UnitAdvance(dc, TextBuffer[i]);
        if (width > columnWidth)
            return TRUE;
    }
    return FALSE;
}

// The first old line whose breaks the edit at start can change.
static int FirstUnsettledLine(HDC dc, int columnWidth, const OldLines *old, int start)
{
    int low = LineHolding(old->records, old->count, start);
    while (low > 0 && !LineSettledBefore(dc, columnWidth, &old->records[low - 1], start))
        low--;
    return low;
}

// With old lines given, breaking starts at the first line the edit at
// start can change and stops once the rest breaks as before.
BOOL BreakIntoLines(HDC dc, const LineRecord *oldLines, int oldLineCount, int start, int end,
                    int count)
{
    int columnWidth = ColumnWidthInches * GetDeviceCaps(dc, LOGPIXELSX);
    OldLines given = {oldLines, oldLineCount, start + count, count - (end - start)};
    const OldLines *old = oldLines ? &given : NULL;

    memset(ReverseScratch, 0, sizeof ReverseScratch);
    LayoutChanges++;
    int fromLine = old ? FirstUnsettledLine(dc, columnWidth, old, start) : 0;
    int first = fromLine > 0 ? LineTable[fromLine].first : 0;
    LineCount = fromLine;
    return BreakLines(dc, columnWidth, first, old);
}
