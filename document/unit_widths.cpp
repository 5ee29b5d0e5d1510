#include "document/layout.h"

#include <string.h>

// A measuring call (a Reflow, a paint step, a refresh) asks for the same
// units again and again, and each query crosses into the platform.  Within
// one call each distinct unit is measured once; the call's table is
// forgotten when it ends, so no width outlives the font it came from.
// Calls nest (a refresh paints while it holds its own DC), so each keeps
// its place on a short stack; a unit the inner call measured is measured
// again by the outer one, because it carries the inner call's stamp.
// Every measurement is made inside a call on its DC.

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

// Deep enough for a measuring routine, a Reflow inside it, a paint in that.
#define WIDTH_CALL_DEPTH 8

static UnitWidthEntry UnitWidthTable[65536];
static WidthCall WidthCalls[WIDTH_CALL_DEPTH];
static int WidthCallDepth;
static DWORD LastWidthStamp;

// Every unit gets a tenth of the font height as spacing, and a glyph that
// overhangs its cell gets twice the overhang as room instead of overlapping;
// a glyph that overhangs on the left is drawn moved right by the overhang.
static void MeasureUnit(HDC dc, WCHAR unit, const TEXTMETRIC *metrics, UnitWidthEntry *entry)
{
    ABC widths;
    if (!GetCharABCWidthsW(dc, unit, unit, &widths)) {
        entry->advance = metrics->tmMaxCharWidth;
        entry->offset = 0;
        return;
    }
    int b = widths.abcB == 0 ? metrics->tmMaxCharWidth : (int)widths.abcB;
    int a = widths.abcA < 0 ? -2 * widths.abcA : widths.abcA;
    int c = widths.abcC < 0 ? -2 * widths.abcC : widths.abcC;
    entry->advance = b + metrics->tmHeight / 10 + a + c;
    entry->offset = widths.abcA < 0 ? -widths.abcA : 0;
}

int CharWidthRule(HDC dc, WCHAR unit, const TEXTMETRIC *metrics)
{
    UnitWidthEntry entry;
    MeasureUnit(dc, unit, metrics, &entry);
    return entry.advance;
}

void BeginUnitWidths(HDC dc)
{
    WidthCallDepth++;
    if (WidthCallDepth > WIDTH_CALL_DEPTH)
        return;  // cannot happen: see WIDTH_CALL_DEPTH
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

// The open call on dc, or NULL.  Measuring outside one is a program fault;
// it gets width 0 rather than a read past the stack or another DC's widths.
static const WidthCall *OpenCall(HDC dc)
{
    if (WidthCallDepth < 1 || WidthCallDepth > WIDTH_CALL_DEPTH ||
        WidthCalls[WidthCallDepth - 1].dc != dc)
        return NULL;
    return &WidthCalls[WidthCallDepth - 1];
}

// The call's entry for unit, measured now if the call has not yet.
static const UnitWidthEntry *Entry(const WidthCall *call, WCHAR unit)
{
    static const UnitWidthEntry outsideEveryCall = {0, 0, 0};
    if (!call)
        return &outsideEveryCall;
    UnitWidthEntry *entry = &UnitWidthTable[unit];
    if (entry->stamp != call->stamp) {
        MeasureUnit(call->dc, unit, &call->metrics, entry);
        entry->stamp = call->stamp;
    }
    return entry;
}

int UnitAdvance(HDC dc, WCHAR unit)
{
    return Entry(OpenCall(dc), unit)->advance;
}

int UnitDrawOffset(HDC dc, WCHAR unit)
{
    return Entry(OpenCall(dc), unit)->offset;
}

// The call is looked up once for the run, not once a unit.
int MeasureRun(HDC dc, const WCHAR *units, int count)
{
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    const WidthCall *call = OpenCall(dc);
    int width = 0;
    for (int i = 0; i < count; i++)
        width += Entry(call, units[i])->advance;
    return width;
}
