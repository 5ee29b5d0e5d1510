// Printing the document with page numbers.
#ifndef INKWARDEN_PRINTING_H
#define INKWARDEN_PRINTING_H

void PrintDocument(void);

#endif
