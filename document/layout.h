// Measuring code units and breaking the text into display lines.
#ifndef INKWARDEN_LAYOUT_H
#define INKWARDEN_LAYOUT_H

#include <windows.h>
#include "document/document.h"

// A line's units, last unit first: index 0 is drawn leftmost.
extern WCHAR ReverseScratch[TEXT_BUFFER_UNITS];
// Counts every layout, so that whoever follows the text can tell it changed:
// every edit, and every other change of the line table, reflows.
extern int LayoutChanges;

int CharWidthRule(HDC dc, WCHAR unit, const TEXTMETRIC *metrics);
int MeasureRun(HDC dc, const WCHAR *units, int count);

// Every measurement on dc is made between these, and each distinct unit is
// measured once there; dc must keep the same font selected throughout.
void BeginUnitWidths(HDC dc);
void EndUnitWidths(void);
int UnitAdvance(HDC dc, WCHAR unit);
// How far right a unit's glyph is drawn in its cell, so an overhang stays inside.
int UnitDrawOffset(HDC dc, WCHAR unit);
// Rebuilds LineTable on dc, which has the document font selected and a width
// table open.  oldLines, when given, is the table of the text before its
// units start to end - 1 were replaced by count units.  FALSE when the table
// is full before the text ends.
BOOL BreakIntoLines(HDC dc, const LineRecord *oldLines, int oldLineCount, int start, int end,
                    int count);

#endif
