// Files: the document file format and the New, Open and Save commands.
#ifndef INKWARDEN_FILES_H
#define INKWARDEN_FILES_H

#include <windows.h>

void InitFileDialog(void);
int SaveChangesPrompt(void);
void FileNew(void);
void FileOpen(void);
void FileSave(void);

#endif
