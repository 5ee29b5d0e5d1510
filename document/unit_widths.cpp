#include "document/layout.h"

#include <string.h>

// A measuring call (a Reflow, a paint step, a refresh) asks for the same
// units again and again, and each query crosses into the platform.  Within
// one call each distinct unit is measured once; the call's table is
// forgotten when it ends, so no width outlives the font it came from.
// Calls nest (a refresh paints while it holds its own DC), so each keeps
// its place on a short stack; a unit the inner call measured is measured
// again by the outer one, because it carries the inner call's stamp.

struct UnitWidthEntry {
    DWORD stamp;  // the call that measured it
    int advance;
    int offset;   // how far the glyph is moved right to stay in its cell
};

struct WidthCall {
    HDC dc;
    DWORD stamp;
    TEXTMETRIC metrics;
};

#define WIDTH_CALL_DEPTH 4

static UnitWidthEntry UnitWidthTable[65536];
static WidthCall WidthCalls[WIDTH_CALL_DEPTH];
static int WidthCallDepth;
static DWORD LastWidthStamp;

static int AdvanceRule(BOOL known, const ABC *widths, const TEXTMETRIC *metrics)
{
    if (!known)
        return metrics->tmMaxCharWidth;
    int b = widths->abcB == 0 ? metrics->tmMaxCharWidth : (int)widths->abcB;
    int a = widths->abcA < 0 ? -2 * widths->abcA : widths->abcA;
    int c = widths->abcC < 0 ? -2 * widths->abcC : widths->abcC;
    return b + metrics->tmHeight / 10 + a + c;
}

// Every unit gets a tenth of the font height as spacing, and a glyph that
// overhangs its cell gets twice the overhang as room instead of overlapping.
int CharWidthRule(HDC dc, WCHAR unit, const TEXTMETRIC *metrics)
{
    ABC widths;
    BOOL known = GetCharABCWidthsW(dc, unit, unit, &widths);
    return AdvanceRule(known, &widths, metrics);
}

void BeginUnitWidths(HDC dc)
{
    WidthCallDepth++;
    if (WidthCallDepth > WIDTH_CALL_DEPTH)
        return;  // too deep: this call measures without a table
    if (++LastWidthStamp == 0) {
        memset(UnitWidthTable, 0, sizeof UnitWidthTable);
        LastWidthStamp = 1;
    }
    WidthCall *call = &WidthCalls[WidthCallDepth - 1];
    call->dc = dc;
    call->stamp = LastWidthStamp;
    GetTextMetrics(dc, &call->metrics);
}

void EndUnitWidths(void)
{
    if (WidthCallDepth > 0)
        WidthCallDepth--;
}

// The open call measuring on dc, or NULL.
static const WidthCall *OpenCallFor(HDC dc)
{
    if (WidthCallDepth == 0 || WidthCallDepth > WIDTH_CALL_DEPTH)
        return NULL;
    const WidthCall *call = &WidthCalls[WidthCallDepth - 1];
    return call->dc == dc ? call : NULL;
}

// The call's entry for unit, measured now if the call has not yet.
static const UnitWidthEntry *CallEntry(const WidthCall *call, WCHAR unit)
{
    UnitWidthEntry *entry = &UnitWidthTable[unit];
    if (entry->stamp != call->stamp) {
        ABC widths;
        BOOL known = GetCharABCWidthsW(call->dc, unit, unit, &widths);
        entry->stamp = call->stamp;
        entry->advance = AdvanceRule(known, &widths, &call->metrics);
        entry->offset = known && widths.abcA < 0 ? -widths.abcA : 0;
    }
    return entry;
}

static const UnitWidthEntry *TableEntry(HDC dc, WCHAR unit)
{
    const WidthCall *call = OpenCallFor(dc);
    return call ? CallEntry(call, unit) : NULL;
}

int UnitAdvance(HDC dc, WCHAR unit)
{
    const UnitWidthEntry *entry = TableEntry(dc, unit);
    if (entry)
        return entry->advance;
    TEXTMETRIC metrics;
    GetTextMetrics(dc, &metrics);
    return CharWidthRule(dc, unit, &metrics);
}

int UnitDrawOffset(HDC dc, WCHAR unit)
{
    const UnitWidthEntry *entry = TableEntry(dc, unit);
    if (entry)
        return entry->offset;
    ABC widths;
    if (GetCharABCWidthsW(dc, unit, unit, &widths) && widths.abcA < 0)
        return -widths.abcA;
    return 0;
}

int MeasureRun(HDC dc, const WCHAR *units, int count)
{
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    if (count <= 0)
        return 0;
    int width = 0;
    const WidthCall *call = OpenCallFor(dc);
    if (call) {
        for (int i = 0; i < count; i++)
            width += CallEntry(call, units[i])->advance;
        return width;
    }
    TEXTMETRIC metrics;
    GetTextMetrics(dc, &metrics);
    for (int i = 0; i < count; i++)
        width += CharWidthRule(dc, units[i], &metrics);
    return width;
}
