#include "files/files.h"
#include "app/shell.h"
#include "document/document.h"

#include <string.h>

// Room for any path Windows takes in the "\\?\" form.
#define LONG_PATH_UNITS 32768

static WCHAR TargetPath[LONG_PATH_UNITS];
static WCHAR RealPath[LONG_PATH_UNITS];
static WCHAR TemporaryPath[LONG_PATH_UNITS];

// "\\?\" in front of a drive or UNC path lifts the MAX_PATH limit, so a
// temporary beside a file deep in folders still has a name.
static void LongPathOf(const WCHAR *path, WCHAR *out)
{
    if (path[0] == '\\' && path[1] == '\\' && (path[2] == '?' || path[2] == '.') && path[3] == '\\') {
        lstrcpy(out, path);
    } else if (path[0] == '\\' && path[1] == '\\') {
        lstrcpy(out, TEXT("\\\\?\\UNC\\"));
        lstrcpy(out + 8, path + 2);
    } else if (path[0] && path[1] == ':' && path[2] == '\\') {
        lstrcpy(out, TEXT("\\\\?\\"));
        lstrcpy(out + 4, path);
    } else {
        lstrcpy(out, path);
    }
}

// "ink" and four hex digits, then ".TMP", in the folder of path.
static void TemporaryNameBeside(const WCHAR *path, UINT number, WCHAR *out)
{
    int folderEnd = 0;
    for (int i = 0; path[i]; i++)
        if (path[i] == '\\' || path[i] == '/')
            folderEnd = i + 1;
    static const WCHAR digits[] = TEXT("0123456789ABCDEF");
    WCHAR name[] = TEXT("ink0000.TMP");
    for (int i = 0; i < 4; i++)
        name[6 - i] = digits[(number >> (4 * i)) & 0xF];
    memcpy(out, path, folderEnd * sizeof(WCHAR));
    lstrcpy(out + folderEnd, name);
}

// A file of a name nobody holds, beside path: CREATE_NEW never opens an
// existing file, so no other file is ever written, and nobody else may
// open this one while it is held.
static HANDLE CreateTemporaryBeside(const WCHAR *path)
{
    UINT start = GetCurrentProcessId();
    for (UINT n = 0; n <= 0xFFFF; n++) {
        TemporaryNameBeside(path, (start + n) & 0xFFFF, TemporaryPath);
        HANDLE file = CreateFile(TemporaryPath, GENERIC_READ | GENERIC_WRITE, 0, NULL, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

// The mark, then every unit of the document including its terminator,
// from the file's start, and nothing after it.
static BOOL WriteDocumentInto(HANDLE file)
{
    memset(FileBuffer, 0, sizeof FileBuffer);
    FileBuffer[0] = 0xFEFF;
    memcpy(&FileBuffer[1], TextBuffer, CharCount * sizeof(WCHAR));
    DWORD size = 2 + 2 * CharCount;
    DWORD written = 0;
    return SetFilePointer(file, 0, NULL, FILE_BEGIN) == 0 &&
           WriteFile(file, FileBuffer, size, &written, NULL) && written == size && SetEndOfFile(file) &&
           FlushFileBuffers(file);
}

// The whole new file, written, flushed and closed beside path.
static BOOL WriteTemporaryBeside(const WCHAR *path)
{
    HANDLE file = CreateTemporaryBeside(path);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL wrote = WriteDocumentInto(file);
    if (CloseHandle(file) && wrote)
        return TRUE;
    DeleteFile(TemporaryPath);
    return FALSE;
}

// The rest of from's content, from its start, over to's from its start.
static BOOL CopyContent(HANDLE from, HANDLE to)
{
    if (SetFilePointer(from, 0, NULL, FILE_BEGIN) != 0 || SetFilePointer(to, 0, NULL, FILE_BEGIN) != 0)
        return FALSE;
    for (;;) {
        DWORD read = 0, written = 0;
        if (!ReadFile(from, FileBuffer, sizeof FileBuffer, &read, NULL))
            return FALSE;
        if (read == 0)
            return SetEndOfFile(to) && FlushFileBuffers(to);
        if (!WriteFile(to, FileBuffer, read, &written, NULL) || written != read)
            return FALSE;
    }
}

// A file with other hard links is written where it is, so that every link
// shows the new text; a copy of the old content taken first puts it back
// when the write fails.  The copy stays behind only if that fails too.
static BOOL SaveInPlace(const WCHAR *path)
{
    HANDLE file = CreateFile(path, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    HANDLE copy = CreateTemporaryBeside(path);
    BOOL copied = copy != INVALID_HANDLE_VALUE && CopyContent(file, copy);
    BOOL saved = copied && WriteDocumentInto(file);
    BOOL restored = saved || !copied || CopyContent(copy, file);
    CloseHandle(file);
    if (copy != INVALID_HANDLE_VALUE) {
        CloseHandle(copy);
        if (restored)
            DeleteFile(TemporaryPath);
    }
    return saved;
}

// The temporary takes path's name; a temporary that cannot is removed.
static BOOL MoveTemporaryTo(const WCHAR *path, DWORD flags)
{
    if (MoveFileEx(TemporaryPath, path, flags | MOVEFILE_WRITE_THROUGH))
        return TRUE;
    DeleteFile(TemporaryPath);
    return FALSE;
}

// ReplaceFile keeps what the file was (attributes, security, creation
// time, streams).  Where the file system cannot, a plain move does.
static BOOL ReplaceExisting(const WCHAR *path)
{
    if (!WriteTemporaryBeside(path))
        return FALSE;
    if (ReplaceFile(path, TemporaryPath, NULL, REPLACEFILE_IGNORE_MERGE_ERRORS, NULL, NULL))
        return TRUE;
    DWORD error = GetLastError();
    // The old file is gone already: the new text must take its name, and
    // stays under the temporary's if it cannot.
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT)
        return MoveFileEx(TemporaryPath, path, MOVEFILE_WRITE_THROUGH);
    if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION || error == ERROR_CALL_NOT_IMPLEMENTED)
        return MoveTemporaryTo(path, MOVEFILE_REPLACE_EXISTING);
    DeleteFile(TemporaryPath);
    return FALSE;
}

// A new file is moved into place, never over one that appeared meanwhile.
static BOOL SaveNewFile(const WCHAR *path)
{
    return WriteTemporaryBeside(path) && MoveTemporaryTo(path, 0);
}

// The new text is written whole into a file of its own and only then takes
// the old one's place, so a failure or a stop at any step leaves the old
// file as it was.  A link is followed to the file it names, which the new
// text replaces; the link stays.
static BOOL SaveDocument(void)
{
    LongPathOf(FilePath, TargetPath);
    HANDLE target = CreateFile(TargetPath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                               OPEN_EXISTING, 0, NULL);
    if (target == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND && SaveNewFile(TargetPath);
    BY_HANDLE_FILE_INFORMATION info;
    DWORD length = GetFinalPathNameByHandle(target, RealPath, LONG_PATH_UNITS,
                                            FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    BOOL known = length > 0 && length < LONG_PATH_UNITS && GetFileInformationByHandle(target, &info);
    CloseHandle(target);
    if (!known)
        return FALSE;
    if (info.nNumberOfLinks > 1)
        return SaveInPlace(RealPath);
    return ReplaceExisting(RealPath);
}

// Always through the Save As dialog; the caret, selection and view stay.
// TRUE when the document is now on disk.
BOOL FileSave(void)
{
    PrepareFileDialog(OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST);
    if (!GetSaveFileName(&FileDialogRecord))
        return FALSE;
    if (!SaveDocument()) {
        ReportWarning(TEXT("Can Not Save File"), TEXT("Can not write to the selected file"));
        return FALSE;
    }
    RememberSavedCopy();
    SetWindowText(MainWindow, FileTitle);
    return TRUE;
}
