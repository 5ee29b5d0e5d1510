// The text units a screen reader moves by, as positions in TextBuffer
// from 0 to the terminator's index.
#ifndef INKWARDEN_TEXT_UNITS_H
#define INKWARDEN_TEXT_UNITS_H

#include "accessibility/uia_declarations.h"

int DocumentEnd(void);
// A position of a range after the text changed under it: inside the text,
// never between the CR and the LF of a line break.
int ValidPosition(int position);
int UnitStartAtOrBefore(enum TextUnit unit, int position);
// The next unit start; -1 when there is none before the end.
int NextUnitStart(enum TextUnit unit, int position);
// The next unit start, or the end of the text.
int NextUnitBoundary(enum TextUnit unit, int position);
int PreviousUnitStart(enum TextUnit unit, int position);

#endif
