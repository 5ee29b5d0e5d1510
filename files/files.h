// Files: the document file format and the New, Open and Save commands.
#ifndef INKWARDEN_FILES_H
#define INKWARDEN_FILES_H

#include <windows.h>

// Every document file starts with it: little-endian UTF-16.
#define FILE_MARK 0xFEFF
// A mark slot, then room for every unit of the largest document.
#define FILE_BUFFER_UNITS (1 + 32768)
// Wide, so a Chinese file name works whatever the system's code page.
#define FILE_PATH_UNITS MAX_PATH

extern OPENFILENAMEW FileDialogRecord;
extern WCHAR FilePath[FILE_PATH_UNITS];
extern WCHAR FileTitle[FILE_PATH_UNITS];
extern WCHAR FileBuffer[FILE_BUFFER_UNITS];

// The two wordings of the save question.
extern const WCHAR SaveQuestionForNewAndClose[];
extern const WCHAR SaveQuestionForOpen[];

void InitFileDialog(void);
void PrepareFileDialog(DWORD flags);
BOOL ShowFileDialog(BOOL save);
int AskSaveQuestion(LPCWSTR question);
BOOL SaveChangesPrompt(LPCWSTR question);
void ShowReplacedDocument(void);
void FileNew(void);
void FileOpen(void);
BOOL FileSave(void);

#endif
