// The document: text, display lines, caret, selection and the saved copy.
#ifndef INKWARDEN_DOCUMENT_H
#define INKWARDEN_DOCUMENT_H

#include <windows.h>

// Code units including the terminating 0, and display lines.
#define TEXT_BUFFER_UNITS 32768
#define LINE_TABLE_RECORDS 32768

struct LineRecord {
    int first;  // first code unit of the line
    int last;   // last code unit: the LF of a closing CR LF, or the terminator
};

extern WCHAR TextBuffer[TEXT_BUFFER_UNITS];
extern int CharCount;
extern LineRecord LineTable[LINE_TABLE_RECORDS];
extern int LineCount;

extern int Caret;
extern int SelStart;
extern int SelEnd;
extern int SelectionActive;

extern WCHAR SavedCopy[TEXT_BUFFER_UNITS];
extern int SavedCount;

void SetEmptyDocument(void);
BOOL DocumentChanged(void);
int StepForward(int position);
int StepBackward(int position);
BOOL IsLineBreakAt(int index);
BOOL RecordEndsWithBreak(const LineRecord *line);
int LineHolding(const LineRecord *lines, int count, int index);
void RememberSavedCopy(void);

void InsertUnits(int position, const WCHAR *units, int count);
void RemoveUnits(int start, int end);

LineRecord *TakeLineSnapshot(void);
void FreeLineSnapshot(LineRecord *snapshot);

#endif
