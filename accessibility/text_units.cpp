#include "accessibility/text_units.h"
#include "document/document.h"
#include "editing/editing.h"
#include "view/view.h"

int DocumentEnd(void)
{
    return CharCount - 1;
}

int ValidPosition(int position)
{
    if (position < 0)
        return 0;
    if (position > DocumentEnd())
        return DocumentEnd();
    return IsLineBreakAt(position - 1) ? position - 1 : position;
}

// Words: Chinese has no spaces, so each CJK unit (ideographs, kana,
// Hangul, CJK punctuation and full-width forms) is a word of its own, as
// reading word by word is reading character by character there; other
// words are runs between spaces and line breaks, each keeping the spaces
// after it.  A line break is a word of its own.
enum WordClass { SpaceUnit, BreakUnit, WideUnit, OtherUnit };

static BOOL IsWideUnit(WCHAR unit)
{
    return (unit >= 0x2E80 && unit <= 0x9FFF) || (unit >= 0xAC00 && unit <= 0xD7AF) ||
           (unit >= 0xF900 && unit <= 0xFAFF) || (unit >= 0xFE30 && unit <= 0xFE4F) ||
           (unit >= 0xFF00 && unit <= 0xFFEF);
}

// Of the unit at position; the terminator ends the text as a break does.
static WordClass ClassAt(int position)
{
    if (IsLineBreakAt(position) || position == DocumentEnd())
        return BreakUnit;
    WCHAR unit = TextBuffer[position];
    if (unit == ' ')
        return SpaceUnit;
    return IsWideUnit(unit) ? WideUnit : OtherUnit;
}

static WordClass ClassBefore(int position)
{
    return IsLineBreakAt(position - 2) ? BreakUnit : ClassAt(position - 1);
}

static BOOL IsWordStart(int position)
{
    WordClass here = ClassAt(position);
    WordClass before = ClassBefore(position);
    if (before == BreakUnit)
        return TRUE;
    if (position == DocumentEnd() || here == SpaceUnit)
        return FALSE;
    return here == BreakUnit || here == WideUnit || before == WideUnit || before == SpaceUnit;
}

// Every caret position starts a character; the end of the text starts a
// unit only where an empty one stands there (an empty last line).
static BOOL IsUnitStart(enum TextUnit unit, int position)
{
    if (position == 0)
        return TRUE;
    int line = CaretLine(position);
    switch (unit) {
    case TextUnit_Character: return TRUE;
    case TextUnit_Word: return IsWordStart(position);
    case TextUnit_Line: return LineTable[line].first == position;
    case TextUnit_Paragraph: return IsLineBreakAt(position - 2);
    case TextUnit_Page: return LineTable[line].first == position && line % LinesPerPage == 0;
    default: return FALSE;  // the document, and its one format
    }
}

int UnitStartAtOrBefore(enum TextUnit unit, int position)
{
    while (!IsUnitStart(unit, position))
        position = StepBackward(position);
    return position;
}

int NextUnitBoundary(enum TextUnit unit, int position)
{
    if (position == DocumentEnd())
        return position;
    do
        position = StepForward(position);
    while (position != DocumentEnd() && !IsUnitStart(unit, position));
    return position;
}

int NextUnitStart(enum TextUnit unit, int position)
{
    int next = NextUnitBoundary(unit, position);
    return next != position && IsUnitStart(unit, next) ? next : -1;
}

int PreviousUnitStart(enum TextUnit unit, int position)
{
    if (position == 0)
        return -1;
    return UnitStartAtOrBefore(unit, StepBackward(position));
}
