#include "files/files.h"
#include "app/shell.h"
#include "document/document.h"

#include <string.h>

// The folder part of a path, separator kept: "C:\dir\" of "C:\dir\a.txt".
static void FolderOf(const WCHAR *path, WCHAR *folder)
{
    const WCHAR *end = NULL;
    for (const WCHAR *c = path; *c; c++)
        if (*c == '\\' || *c == '/')
            end = c + 1;
    if (!end) {
        lstrcpy(folder, TEXT("."));
        return;
    }
    memcpy(folder, path, (end - path) * sizeof(WCHAR));
    folder[end - path] = 0;
}

// The mark, then every unit of the document including its terminator.
static BOOL WriteDocumentTo(const WCHAR *path)
{
    HANDLE file = CreateFile(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
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

// The temporary's number, 1 to 0xFFFF, from the target's file name with
// ASCII case folded (Windows names ignore case), so every save of one file
// uses the same temporary beside it.
static UINT TemporaryNumber(const WCHAR *path)
{
    const WCHAR *name = path;
    for (const WCHAR *c = path; *c; c++)
        if (*c == '\\' || *c == '/')
            name = c + 1;
    DWORD hash = 2166136261u;  // FNV-1a
    for (const WCHAR *c = name; *c; c++) {
        WCHAR unit = *c >= 'a' && *c <= 'z' ? (WCHAR)(*c - 'a' + 'A') : *c;
        hash = (hash ^ unit) * 16777619u;
    }
    return (UINT)(hash % 0xFFFF) + 1;
}

// The new file is written whole beside the old one and only then put in
// its place, so a failure or a stop at any step leaves the old file as it
// was.  A save that stopped midway (a power cut) leaves its temporary; the
// fixed name lets the next save of the same file write over it and move it
// away, so none lingers.  Two processes cannot write it at once: it is
// opened without sharing.
static BOOL SaveDocument(void)
{
    WCHAR folder[FILE_PATH_UNITS];
    WCHAR temporary[MAX_PATH];
    FolderOf(FilePath, folder);
    if (!GetTempFileName(folder, TEXT("ink"), TemporaryNumber(FilePath), temporary))
        return FALSE;
    if (WriteDocumentTo(temporary) &&
        MoveFileEx(temporary, FilePath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return TRUE;
    DeleteFile(temporary);
    return FALSE;
}

// Always through the Save As dialog; the caret, selection and view stay.
void FileSave(void)
{
    PrepareFileDialog(OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST);
    if (!GetSaveFileName(&FileDialogRecord))
        return;
    if (!SaveDocument()) {
        ReportWarning(TEXT("Can Not Save File"), TEXT("Can not write to the selected file"));
        return;
    }
    RememberSavedCopy();
    SetWindowText(MainWindow, FileTitle);
}
