#include "document/document.h"

#include <string.h>

WCHAR TextBuffer[TEXT_BUFFER_UNITS];
int CharCount;
LineRecord LineTable[LINE_TABLE_RECORDS];
int LineCount;

int Caret;
int SelStart;
int SelEnd;
int SelectionActive;

WCHAR SavedCopy[TEXT_BUFFER_UNITS];
int SavedCount;

// One line holding only the terminator; the saved copy matches it.
void SetEmptyDocument(void)
{
    memset(TextBuffer, 0, sizeof TextBuffer);
    CharCount = 1;
    LineCount = 1;
    LineTable[0].first = 0;
    LineTable[0].last = 0;
    memset(SavedCopy, 0, sizeof SavedCopy);
    SavedCount = 1;
}

// Compares content, so an edit undone by hand leaves the document unchanged.
BOOL DocumentChanged(void)
{
    if (CharCount != SavedCount)
        return TRUE;
    return memcmp(TextBuffer, SavedCopy, CharCount * sizeof(WCHAR)) != 0;
}

// One caret step toward the end of the text, a CR LF pair as one; -1 at
// the end.
int StepForward(int position)
{
    if (position == CharCount - 1)
        return -1;
    return IsLineBreakAt(position) ? position + 2 : position + 1;
}

// One caret step toward the start; -1 at the start.
int StepBackward(int position)
{
    if (position == 0)
        return -1;
    return IsLineBreakAt(position - 2) ? position - 2 : position - 1;
}

// Only a CR immediately followed by LF is a line break.
BOOL IsLineBreakAt(int index)
{
    return index >= 0 && index + 1 < CharCount && TextBuffer[index] == 13 &&
           TextBuffer[index + 1] == 10;
}

// A line whose last unit is the LF of a CR LF.
BOOL RecordEndsWithBreak(const LineRecord *line)
{
    return line->last > line->first && IsLineBreakAt(line->last - 1);
}

// The first of count lines whose last unit is at or after index, or the
// final one; lasts only grow.
int LineHolding(const LineRecord *lines, int count, int index)
{
    int low = 0, high = count - 1;
    while (low < high) {
        int middle = (low + high) / 2;
        if (lines[middle].last >= index)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

void RememberSavedCopy(void)
{
    memset(SavedCopy, 0, sizeof SavedCopy);
    memcpy(SavedCopy, TextBuffer, CharCount * sizeof(WCHAR));
    SavedCount = CharCount;
}

// The caller has tested that CharCount + count stays within the buffer.
void InsertUnits(int position, const WCHAR *units, int count)
{
    memmove(&TextBuffer[position + count], &TextBuffer[position],
            (CharCount - position) * sizeof(WCHAR));
    memcpy(&TextBuffer[position], units, count * sizeof(WCHAR));
    CharCount += count;
}

// Removes the units start to end - 1 and clears the units vacated at the top.
void RemoveUnits(int start, int end)
{
    int removed = end - start;
    memmove(&TextBuffer[start], &TextBuffer[end], (CharCount - end) * sizeof(WCHAR));
    memset(&TextBuffer[CharCount - removed], 0, removed * sizeof(WCHAR));
    CharCount -= removed;
}

// The first and last unit of every line, for comparing after a reflow.
// Returns NULL when the process heap refuses the block.
LineRecord *TakeLineSnapshot(void)
{
    LineRecord *snapshot = (LineRecord *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                                                   LineCount * sizeof(LineRecord));
    if (snapshot)
        memcpy(snapshot, LineTable, LineCount * sizeof(LineRecord));
    return snapshot;
}

void FreeLineSnapshot(LineRecord *snapshot)
{
    HeapFree(GetProcessHeap(), 0, snapshot);
}
