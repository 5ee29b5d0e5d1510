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

// Between these, each distinct unit measured on dc is measured once; dc
// must keep the same font selected throughout.
void BeginUnitWidths(HDC dc);
void EndUnitWidths(void);
int UnitAdvance(HDC dc, WCHAR unit);
// How far right a unit's glyph is drawn in its cell, so an overhang stays inside.
int UnitDrawOffset(HDC dc, WCHAR unit);
void Reflow(void);
void ReflowAfterEdit(const LineRecord *oldLines, int oldLineCount, int start, int end, int count);

#endif
