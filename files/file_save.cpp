#include "files/files.h"
#include "app/shell.h"
#include "document/document.h"

#include <string.h>

// Room for any path Windows takes in the "\\?\" form.
#define LONG_PATH_UNITS 32768
// The longest name one folder entry may have.
#define NAME_UNITS 255
// Names after the file tried before the "ink" names: "doc.txt.new", then
// "doc.txt.2.new" to "doc.txt.99.new".
#define NAMED_TRIES 99

static WCHAR TargetPath[LONG_PATH_UNITS];
static WCHAR RealPath[LONG_PATH_UNITS];
static WCHAR TemporaryPath[LONG_PATH_UNITS];  // the new text, until it takes the file's name
static WCHAR OldTextPath[LONG_PATH_UNITS];    // the old text, while the save may fail
static const WCHAR CanNotWrite[] = TEXT("Can not write to the selected file");
static const WCHAR OldTextKeptIn[] = TEXT("\nIts old text is kept in ");
// What FileSave tells when the save fails.
static WCHAR SaveFailure[(sizeof CanNotWrite + sizeof OldTextKeptIn) / sizeof(WCHAR) + NAME_UNITS];

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

// Where the name of the file at path begins.
static int NameStart(const WCHAR *path)
{
    int start = 0;
    for (int i = 0; path[i]; i++)
        if (path[i] == '\\' || path[i] == '/')
            start = i + 1;
    return start;
}

// Try n of a name beside path: from 0 to NAMED_TRIES - 1 the file's own
// name, a number from 2 and the ending ("doc.txt.old", "doc.txt.2.old"),
// so a user who lists the folder sees whose it is; past those, or where
// such a name would be too long, "ink" and four hex digits, then ".TMP".
static void NameBeside(const WCHAR *path, const WCHAR *ending, UINT n, BOOL named, WCHAR *out)
{
    int end = lstrlen(path);
    if (named && n < NAMED_TRIES) {
        lstrcpy(out, path);
        if (n > 0) {
            out[end++] = '.';
            if (n + 1 >= 10)
                out[end++] = (WCHAR)('0' + (n + 1) / 10);
            out[end++] = (WCHAR)('0' + (n + 1) % 10);
        }
        lstrcpy(out + end, ending);
        return;
    }
    static const WCHAR digits[] = TEXT("0123456789ABCDEF");
    WCHAR name[] = TEXT("ink0000.TMP");
    UINT number = GetCurrentProcessId() + n;
    for (int i = 0; i < 4; i++)
        name[6 - i] = digits[(number >> (4 * i)) & 0xF];
    int folderEnd = NameStart(path);
    memcpy(out, path, folderEnd * sizeof(WCHAR));
    lstrcpy(out + folderEnd, name);
}

// A file of a name nobody holds, beside path, its name into out: CREATE_NEW
// never opens an existing file, so no other file is ever written, and
// nobody else may open this one while it is held.
static HANDLE CreateBeside(const WCHAR *path, const WCHAR *ending, WCHAR *out)
{
    int extra = 3 + lstrlen(ending);  // ".99" and the ending
    int length = lstrlen(path);
    BOOL named = length - NameStart(path) + extra <= NAME_UNITS && length + extra < LONG_PATH_UNITS;
    for (UINT n = 0; n <= 0xFFFF + NAMED_TRIES; n++) {
        NameBeside(path, ending, n, named, out);
        HANDLE file = CreateFile(out, GENERIC_READ | GENERIC_WRITE, 0, NULL, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

// The mark, then every unit of the document including its terminator, as
// the whole file.  Emptied first, so a stop half-way leaves a beginning of
// the new text, never the new text over the old one's end.
static BOOL WriteDocumentInto(HANDLE file)
{
    memset(FileBuffer, 0, sizeof FileBuffer);
    FileBuffer[0] = FILE_MARK;
    memcpy(&FileBuffer[1], TextBuffer, CharCount * sizeof(WCHAR));
    DWORD size = 2 + 2 * CharCount;
    DWORD written = 0;
    return SetFilePointer(file, 0, NULL, FILE_BEGIN) == 0 && SetEndOfFile(file) &&
           WriteFile(file, FileBuffer, size, &written, NULL) && written == size && FlushFileBuffers(file);
}

// The whole new file, written, flushed and closed; removed if any step fails.
static BOOL FinishTemporary(HANDLE file)
{
    BOOL wrote = WriteDocumentInto(file);
    if (CloseHandle(file) && wrote)
        return TRUE;
    DeleteFile(TemporaryPath);
    return FALSE;
}

// All of from's content, in the same order, as the whole of to.
static BOOL CopyContent(HANDLE from, HANDLE to)
{
    if (SetFilePointer(from, 0, NULL, FILE_BEGIN) != 0 || SetFilePointer(to, 0, NULL, FILE_BEGIN) != 0 ||
        !SetEndOfFile(to))
        return FALSE;
    for (;;) {
        DWORD read = 0, written = 0;
        if (!ReadFile(from, FileBuffer, sizeof FileBuffer, &read, NULL))
            return FALSE;
        if (read == 0)
            return FlushFileBuffers(to);
        if (!WriteFile(to, FileBuffer, read, &written, NULL) || written != read)
            return FALSE;
    }
}

// The old text could not go back under the file's name: the user is told
// the name of the file beside it that holds it.
static void TellWhereTheOldTextIs(void)
{
    lstrcpy(SaveFailure, CanNotWrite);
    lstrcpy(SaveFailure + lstrlen(SaveFailure), OldTextKeptIn);
    lstrcpy(SaveFailure + lstrlen(SaveFailure), OldTextPath + NameStart(OldTextPath));
}

// The copy's content put back as the whole file at path.
static BOOL PutBack(HANDLE copy, const WCHAR *path)
{
    HANDLE file = CreateFile(path, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL copied = CopyContent(copy, file);
    BOOL closed = CloseHandle(file);
    return copied && closed;
}

// A file with other hard links, or in a folder that takes no new file, is
// written where it is, so that every link shows the new text.  A copy of
// the old content, named after the file, is taken first and kept until the
// new text is whole on disk: it puts the old text back when a step fails.
// Where the folder takes no copy either, the file gets the plain write.
static BOOL SaveInPlace(const WCHAR *path)
{
    HANDLE file = CreateFile(path, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    HANDLE copy = CreateBeside(path, TEXT(".old"), OldTextPath);
    BOOL copied = copy == INVALID_HANDLE_VALUE ? GetLastError() == ERROR_ACCESS_DENIED
                                               : CopyContent(file, copy);
    BOOL wrote = copied && WriteDocumentInto(file);
    BOOL closed = CloseHandle(file);
    if (copy == INVALID_HANDLE_VALUE)
        return wrote && closed;
    if (!(wrote && closed) && copied && !PutBack(copy, path)) {
        CloseHandle(copy);
        TellWhereTheOldTextIs();
        return FALSE;
    }
    CloseHandle(copy);
    DeleteFile(OldTextPath);
    return wrote && closed;
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
// time, streams).  Given a backup name, each of its partial failures leaves
// the old text under the file's name or the backup's; that name is taken
// with an empty file first, so ReplaceFile never writes over anyone's file.
static BOOL ReplaceWithTemporary(const WCHAR *path)
{
    HANDLE backup = CreateBeside(path, TEXT(".old"), OldTextPath);
    if (backup == INVALID_HANDLE_VALUE) {
        DeleteFile(TemporaryPath);
        return FALSE;
    }
    CloseHandle(backup);
    BOOL replaced =
        ReplaceFile(path, TemporaryPath, OldTextPath, REPLACEFILE_IGNORE_MERGE_ERRORS, NULL, NULL);
    DWORD error = GetLastError();
    if (!replaced && error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        // The old file is under the backup's name: the new text takes the
        // file's, or else the old text takes it back.
        replaced = MoveTemporaryTo(path, 0);
        if (!replaced && !MoveFileEx(OldTextPath, path, MOVEFILE_WRITE_THROUGH)) {
            TellWhereTheOldTextIs();
            return FALSE;
        }
    } else if (!replaced && (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION ||
                             error == ERROR_CALL_NOT_IMPLEMENTED)) {
        // A file system without it: a plain move does.
        replaced = MoveTemporaryTo(path, MOVEFILE_REPLACE_EXISTING);
    } else if (!replaced) {
        // Each file is under its own name still.
        DeleteFile(TemporaryPath);
    }
    DeleteFile(OldTextPath);
    return replaced;
}

// The new text is written whole into a file of its own and only then takes
// the old one's place, so a failure or a stop at any step leaves the old
// file as it was.  A folder that lets the file be written but takes no new
// file gets the write in place.
static BOOL ReplaceExisting(const WCHAR *path)
{
    HANDLE file = CreateBeside(path, TEXT(".new"), TemporaryPath);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_ACCESS_DENIED && SaveInPlace(path);
    return FinishTemporary(file) && ReplaceWithTemporary(path);
}

// A new file is moved into place, never over one that appeared meanwhile.
static BOOL SaveNewFile(const WCHAR *path)
{
    HANDLE file = CreateBeside(path, TEXT(".new"), TemporaryPath);
    return file != INVALID_HANDLE_VALUE && FinishTemporary(file) && MoveTemporaryTo(path, 0);
}

// A link is followed to the file it names, which the new text replaces; the
// link stays.  Where the file's final path cannot be had (some volumes and
// file systems), the path chosen is saved as it stands.
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
    if (length == 0 || length >= LONG_PATH_UNITS)
        lstrcpy(RealPath, TargetPath);
    BOOL known = GetFileInformationByHandle(target, &info);
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
    if (!ShowFileDialog(TRUE))
        return FALSE;
    lstrcpy(SaveFailure, CanNotWrite);
    if (!SaveDocument()) {
        ReportWarning(TEXT("Can Not Save File"), SaveFailure);
        return FALSE;
    }
    RememberSavedCopy();
    SetWindowText(MainWindow, FileTitle);
    return TRUE;
}
