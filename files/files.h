// Files: the document file format and the New, Open and Save commands.
#ifndef INKWARDEN_FILES_H
#define INKWARDEN_FILES_H

#include <windows.h>

// A mark slot, then room for every unit of the largest document.
#define FILE_BUFFER_UNITS (1 + 32768)
#define FILE_PATH_BYTES 260

extern OPENFILENAMEA FileDialogRecord;
extern char FilePath[FILE_PATH_BYTES];
extern char FileTitle[FILE_PATH_BYTES];
extern WCHAR FileBuffer[FILE_BUFFER_UNITS];

// The two wordings of the save question.
extern const WCHAR SaveQuestionForNewAndClose[];
extern const WCHAR SaveQuestionForOpen[];

void InitFileDialog(void);
void PrepareFileDialog(DWORD flags);
BOOL SaveChangesPrompt(LPCWSTR question);
void ShowReplacedDocument(void);
void FileNew(void);
void FileOpen(void);
void FileSave(void);

#endif
