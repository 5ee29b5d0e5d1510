// Printing the document with page numbers.
#ifndef INKWARDEN_PRINTING_H
#define INKWARDEN_PRINTING_H

#include <windows.h>

extern PRINTDLGA PrintDialogRecord;
extern int PageNumber;
extern LOGFONT PrintFont;
extern int RowPitch;  // between printed lines, in printer pixels

void PrintDocument(void);

#endif
