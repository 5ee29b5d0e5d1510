#include "files/files.h"
#include "app/shell.h"
#include "document/document.h"

#include <string.h>

// The folder part of a path, separator kept: "C:\dir\" of "C:\dir\a.txt".
static void FolderOf(const char *path, char *folder)
{
    const char *end = NULL;
    for (const char *c = path; *c; c++)
        if (*c == '\\' || *c == '/')
            end = c + 1;
    if (!end) {
        strcpy(folder, ".");
        return;
    }
    memcpy(folder, path, end - path);
    folder[end - path] = 0;
}

// The mark, then every unit of the document including its terminator.
static BOOL WriteDocumentTo(const char *path)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    memset(FileBuffer, 0, sizeof FileBuffer);
    FileBuffer[0] = 0xFEFF;
    memcpy(&FileBuffer[1], TextBuffer, CharCount * sizeof(WCHAR));
    DWORD size = 2 + 2 * CharCount;
    DWORD written = 0;
    BOOL wroteAll = WriteFile(file, FileBuffer, size, &written, NULL) && written == size &&
                         FlushFileBuffers(file);
    return CloseHandle(file) && wroteAll;
}

// The new file is written whole beside the old one and only then put in
// its place, so a failure at any step leaves the old file as it was.
static BOOL SaveDocument(void)
{
    char folder[FILE_PATH_BYTES];
    char temporary[MAX_PATH];
    FolderOf(FilePath, folder);
    if (!GetTempFileNameA(folder, "ink", 0, temporary))
        return FALSE;
    if (WriteDocumentTo(temporary) &&
        MoveFileExA(temporary, FilePath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return TRUE;
    DeleteFileA(temporary);
    return FALSE;
}

// Always through the Save As dialog; the caret, selection and view stay.
void FileSave(void)
{
    PrepareFileDialog(OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST);
    if (!GetSaveFileNameA(&FileDialogRecord))
        return;
    if (!SaveDocument()) {
        ReportWarning(TEXT("Can Not Save File"), TEXT("Can not write to the selected file"));
        return;
    }
    RememberSavedCopy();
    SetWindowTextA(MainWindow, FileTitle);
}
