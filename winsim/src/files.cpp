// Files over real POSIX files, and the Open and Save As dialogs answered by
// the test.  Paths become UTF-8; as under Wine, "Z:" is the Unix root and
// '\' separates as '/' does, so a test works in the folder WinsimTempFolder
// gives it by either spelling.  Only "\\?\" paths may reach MAX_PATH.
// Links, link counts and the read-only attribute are the real file
// system's; hidden, system and archive are kept here per file.
#include "internal.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <limits.h>
#include <unistd.h>

#include <deque>
#include <map>
#include <string>

namespace winsim {

struct FileHandle {
    int fd;
    DWORD access;
    DWORD share;
    dev_t device;
    ino_t inode;
};

struct StopHook {
    CallAim aim;
    void (*hook)(void);
};

static struct FileState {
    // The attributes Linux has no room for, by file.
    std::map<std::pair<dev_t, ino_t>, DWORD> keptAttributes;
    bool replaceUnsupported = false;
    DWORD lastError = 0;
    CallAim shortenings[WinsimCallCount];      // transfers that move a byte fewer
    StopHook stopHooks[WinsimCallCount] = {};  // run after the chosen call succeeds
    std::deque<std::string> dialogAnswers;
    std::vector<WinsimFileDialog> dialogs;
    std::vector<FileHandle *> openHandles;
    std::string tempFolder;
    // Saves that stop part of the way, and a folder that takes no files.
    CallAim partialReplace;
    DWORD partialReplaceError = 0;
    std::string createDenied;
} state;

static void RemoveTree(const std::string &path)
{
    DIR *dir = opendir(path.c_str());
    if (dir) {
        while (dirent *entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..")
                RemoveTree(path + "/" + name);
        }
        closedir(dir);
        rmdir(path.c_str());
    } else {
        unlink(path.c_str());
    }
}

static void RemoveTempFolder()
{
    if (!state.tempFolder.empty())
        RemoveTree(state.tempFolder);
    state.tempFolder.clear();
}

void ResetFiles()
{
    for (FileHandle *handle : state.openHandles) {
        close(handle->fd);
        delete handle;
    }
    RemoveTempFolder();
    state = FileState{};
}

// Called as a call succeeds: runs the test's hook when it is the chosen one.
static void Succeeded(WinsimCall call)
{
    if (Due(state.stopHooks[call].aim))
        state.stopHooks[call].hook();
}

static DWORD ErrorFromErrno(int error)
{
    switch (error) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EEXIST: return ERROR_FILE_EXISTS;
    case EACCES:
    case EPERM:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case ENOSPC: return ERROR_HANDLE_DISK_FULL;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    default: return ERROR_ACCESS_DENIED;
    }
}

static FileHandle *HandleFrom(HANDLE file)
{
    for (FileHandle *handle : state.openHandles)
        if (handle == file)
            return handle;
    return nullptr;
}

// The Unix path of a Windows one, or false with the error Windows gives.
static bool UnixPath(LPCWSTR name, std::string &path)
{
    std::u16string text = name ? name : u"";
    if (text.compare(0, 4, u"\\\\?\\") == 0) {
        text.erase(0, 4);
    } else if (text.size() >= MAX_PATH) {
        state.lastError = ERROR_PATH_NOT_FOUND;
        return false;
    }
    if (text.size() >= 2 && (text[0] == 'Z' || text[0] == 'z') && text[1] == ':')
        text.erase(0, 2);
    for (char16_t &unit : text)
        if (unit == '\\')
            unit = '/';
    path = Utf8FromUtf16(text);
    return true;
}

static bool ReadOnly(const struct stat &info)
{
    return (info.st_mode & 0222) == 0;
}

static bool Reads(DWORD access)
{
    return (access & GENERIC_READ) != 0;
}

static bool Writes(DWORD access)
{
    return (access & GENERIC_WRITE) != 0;
}

static bool Deletes(DWORD access)
{
    return (access & DELETE) != 0;
}

static bool TouchesData(DWORD access)
{
    return Reads(access) || Writes(access) || Deletes(access);
}

// Whether an open of the file with this access and sharing clashes with a
// handle already open on it, either way round.  An open for none of reading,
// writing or deleting (attributes only) takes no part, as on Windows.
static bool SharingClash(const struct stat &info, DWORD access, DWORD share)
{
    if (!TouchesData(access))
        return false;
    for (FileHandle *h : state.openHandles) {
        if (h->device != info.st_dev || h->inode != info.st_ino || !TouchesData(h->access))
            continue;
        if ((Reads(access) && !(h->share & FILE_SHARE_READ)) ||
            (Writes(access) && !(h->share & FILE_SHARE_WRITE)) ||
            (Deletes(access) && !(h->share & FILE_SHARE_DELETE)) ||
            (Reads(h->access) && !(share & FILE_SHARE_READ)) ||
            (Writes(h->access) && !(share & FILE_SHARE_WRITE)) ||
            (Deletes(h->access) && !(share & FILE_SHARE_DELETE)))
            return true;
    }
    return false;
}

// Renaming or deleting a name needs every handle on its file to share delete.
static bool HeldAgainstDelete(const std::string &path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && SharingClash(info, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE);
}

// ---- a folder that takes no new names ----

static bool CreatingDenied(const std::string &path)
{
    if (state.createDenied.empty())
        return false;
    size_t slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder == state.createDenied;
}

// A new name in the refusing folder: false, with the error Windows gives.
static bool MayCreate(const std::string &path)
{
    struct stat info;
    if (lstat(path.c_str(), &info) == 0 || !CreatingDenied(path))
        return true;
    state.lastError = ERROR_ACCESS_DENIED;
    return false;
}

static std::string Path(LPCWSTR name)
{
    return Utf8FromUtf16(name ? name : u"");
}

std::string Utf8FromUtf16(const std::u16string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out += (char)c;
        } else if (c < 0x800) {
            out += (char)(0xC0 | c >> 6);
            out += (char)(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += (char)(0xE0 | c >> 12);
            out += (char)(0x80 | (c >> 6 & 0x3F));
            out += (char)(0x80 | (c & 0x3F));
        } else {
            out += (char)(0xF0 | c >> 18);
            out += (char)(0x80 | (c >> 12 & 0x3F));
            out += (char)(0x80 | (c >> 6 & 0x3F));
            out += (char)(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// A malformed byte becomes U+FFFD, as MultiByteToWideChar does.
std::u16string Utf16FromUtf8(const std::string &text)
{
    std::u16string out;
    const unsigned char *p = (const unsigned char *)text.c_str();
    while (*p) {
        uint32_t code = 0xFFFD;
        int extra = *p < 0x80 ? 0 : *p >= 0xF0 ? 3 : *p >= 0xE0 ? 2 : *p >= 0xC0 ? 1 : -1;
        if (extra < 0) {
            p++;
        } else {
            uint32_t value = extra == 0 ? *p : *p & (0x3F >> extra);
            int i = 1;
            for (; i <= extra && (p[i] & 0xC0) == 0x80; i++)
                value = value << 6 | (p[i] & 0x3F);
            if (i > extra)
                code = value;
            p += i;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out += (char16_t)(0xD800 + (code >> 10));
            out += (char16_t)(0xDC00 + (code & 0x3FF));
        } else {
            out += (char16_t)code;
        }
    }
    return out;
}

}  // namespace winsim

using namespace winsim;

DWORD WINAPI GetLastError(void)
{
    return state.lastError;
}

void WINAPI SetLastError(DWORD error)
{
    state.lastError = error;
}

HANDLE WINAPI CreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES,
                          DWORD disposition, DWORD, HANDLE)
{
    if (ShouldFail(WinsimCreateFile)) {
        state.lastError = ERROR_ACCESS_DENIED;
        return INVALID_HANDLE_VALUE;
    }
    std::string path;
    if (!UnixPath(name, path))
        return INVALID_HANDLE_VALUE;
    int flags = O_RDONLY;
    if (Reads(access) && Writes(access))
        flags = O_RDWR;
    else if (Writes(access))
        flags = O_WRONLY;
    switch (disposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING: flags |= O_TRUNC; break;
    default: state.lastError = ERROR_INVALID_PARAMETER; return INVALID_HANDLE_VALUE;
    }
    struct stat before;
    bool existed = stat(path.c_str(), &before) == 0;
    if (!existed && (flags & O_CREAT) && !MayCreate(path))
        return INVALID_HANDLE_VALUE;
    if (existed && disposition != CREATE_NEW) {
        // Checked before the open, which may truncate.
        if (ReadOnly(before) && (Writes(access) || (flags & O_TRUNC))) {
            state.lastError = ERROR_ACCESS_DENIED;
            return INVALID_HANDLE_VALUE;
        }
        if (SharingClash(before, access, share)) {
            state.lastError = ERROR_SHARING_VIOLATION;
            return INVALID_HANDLE_VALUE;
        }
    }
    int fd = open(path.c_str(), flags | O_CLOEXEC, 0644);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0) {
        state.lastError = ErrorFromErrno(errno);
        if (fd >= 0)
            close(fd);
        return INVALID_HANDLE_VALUE;
    }
    FileHandle *handle = new FileHandle{fd, access, share, info.st_dev, info.st_ino};
    state.openHandles.push_back(handle);
    // Documented: these two report whether the file was already there.
    bool reportsExisting = disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS;
    state.lastError = reportsExisting && existed ? ERROR_ALREADY_EXISTS : NO_ERROR;
    Succeeded(WinsimCreateFile);
    return handle;
}

DWORD WINAPI GetFileSize(HANDLE file, LPDWORD sizeHigh)
{
    FileHandle *handle = HandleFrom(file);
    struct stat info;
    if (!handle || ShouldFail(WinsimGetFileSize) || fstat(handle->fd, &info) != 0) {
        state.lastError = handle ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE;
        return INVALID_FILE_SIZE;
    }
    uint64_t size = (uint64_t)info.st_size;
    if (sizeHigh)
        *sizeHigh = (DWORD)(size >> 32);
    state.lastError = NO_ERROR;
    Succeeded(WinsimGetFileSize);
    return (DWORD)size;
}

// A short transfer moves one byte fewer than asked, and still succeeds.
static DWORD TransferSize(WinsimCall call, DWORD asked)
{
    return asked > 0 && Due(state.shortenings[call]) ? asked - 1 : asked;
}

BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED)
{
    if (read)
        *read = 0;
    FileHandle *handle = HandleFrom(file);
    if (!handle || ShouldFail(WinsimReadFile)) {
        state.lastError = handle ? ERROR_READ_FAULT : ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (!Reads(handle->access)) {
        state.lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    DWORD wanted = TransferSize(WinsimReadFile, toRead);
    DWORD done = 0;
    while (done < wanted) {
        ssize_t n = ::read(handle->fd, (char *)buffer + done, wanted - done);
        if (n < 0) {
            state.lastError = ERROR_READ_FAULT;
            return FALSE;
        }
        if (n == 0)
            break;  // end of file: success with fewer bytes
        done += (DWORD)n;
    }
    if (read)
        *read = done;
    Succeeded(WinsimReadFile);
    return TRUE;
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED)
{
    if (written)
        *written = 0;
    FileHandle *handle = HandleFrom(file);
    if (!handle || ShouldFail(WinsimWriteFile)) {
        state.lastError = handle ? ERROR_WRITE_FAULT : ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (!Writes(handle->access)) {
        state.lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    DWORD wanted = TransferSize(WinsimWriteFile, toWrite);
    DWORD done = 0;
    while (done < wanted) {
        ssize_t n = ::write(handle->fd, (const char *)buffer + done, wanted - done);
        if (n <= 0) {
            state.lastError = ErrorFromErrno(errno);
            return FALSE;
        }
        done += (DWORD)n;
    }
    if (written)
        *written = done;
    Succeeded(WinsimWriteFile);
    return TRUE;
}

BOOL WINAPI FlushFileBuffers(HANDLE file)
{
    FileHandle *handle = HandleFrom(file);
    if (!handle || ShouldFail(WinsimFlushFileBuffers) || fsync(handle->fd) != 0) {
        state.lastError = handle ? ERROR_WRITE_FAULT : ERROR_INVALID_HANDLE;
        return FALSE;
    }
    Succeeded(WinsimFlushFileBuffers);
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE object)
{
    for (size_t i = 0; i < state.openHandles.size(); i++)
        if (state.openHandles[i] == object) {
            close(state.openHandles[i]->fd);
            delete state.openHandles[i];
            state.openHandles.erase(state.openHandles.begin() + i);
            if (ShouldFail(WinsimCloseHandle)) {  // closed all the same
                state.lastError = ERROR_WRITE_FAULT;
                return FALSE;
            }
            Succeeded(WinsimCloseHandle);
            return TRUE;
        }
    state.lastError = ERROR_INVALID_HANDLE;
    return FALSE;
}

BOOL WINAPI DeleteFileW(LPCWSTR name)
{
    std::string path;
    if (!UnixPath(name, path))
        return FALSE;
    struct stat info;
    if (lstat(path.c_str(), &info) == 0 && ReadOnly(info) && !S_ISLNK(info.st_mode)) {
        state.lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    if (HeldAgainstDelete(path)) {
        state.lastError = ERROR_SHARING_VIOLATION;
        return FALSE;
    }
    if (unlink(path.c_str()) != 0) {
        state.lastError = ErrorFromErrno(errno);
        return FALSE;
    }
    return TRUE;
}

// Like Windows, a link at the new name is replaced, not followed.
BOOL WINAPI MoveFileExW(LPCWSTR existing, LPCWSTR replacement, DWORD flags)
{
    if (ShouldFail(WinsimMoveFile)) {
        state.lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    std::string from, to;
    if (!UnixPath(existing, from) || !UnixPath(replacement, to))
        return FALSE;
    struct stat target;
    bool targetExists = lstat(to.c_str(), &target) == 0;
    if (targetExists && !(flags & MOVEFILE_REPLACE_EXISTING)) {
        state.lastError = ERROR_ALREADY_EXISTS;
        return FALSE;
    }
    if (!MayCreate(to))
        return FALSE;
    if (HeldAgainstDelete(from)) {
        state.lastError = ERROR_SHARING_VIOLATION;
        return FALSE;
    }
    if (targetExists && ((ReadOnly(target) && !S_ISLNK(target.st_mode)) || HeldAgainstDelete(to))) {
        state.lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    if (rename(from.c_str(), to.c_str()) != 0) {
        state.lastError = ErrorFromErrno(errno);
        return FALSE;
    }
    Succeeded(WinsimMoveFile);
    return TRUE;
}

// The replacement takes the replaced file's name, its permissions (standing
// in for the security descriptor) and its attributes; with a backup name
// the replaced file moves there, over a file of that name.  A failure
// before the first change leaves everything as it was; a partial failure
// (WinsimFailReplaceFile) leaves what the documentation says.
BOOL WINAPI ReplaceFileW(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD, LPVOID, LPVOID)
{
    if (state.replaceUnsupported) {
        state.lastError = ERROR_NOT_SUPPORTED;
        return FALSE;
    }
    if (ShouldFail(WinsimReplaceFile)) {
        state.lastError = ERROR_UNABLE_TO_REMOVE_REPLACED;
        return FALSE;
    }
    std::string to, from, kept;
    if (!UnixPath(replaced, to) || !UnixPath(replacement, from) || (backup && !UnixPath(backup, kept)))
        return FALSE;
    struct stat old, fresh;
    if (lstat(to.c_str(), &old) != 0 || lstat(from.c_str(), &fresh) != 0) {
        state.lastError = ERROR_FILE_NOT_FOUND;
        return FALSE;
    }
    if (ReadOnly(old)) {
        state.lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    if (HeldAgainstDelete(to) || HeldAgainstDelete(from) || (backup && HeldAgainstDelete(kept))) {
        state.lastError = ERROR_SHARING_VIOLATION;
        return FALSE;
    }
    if (backup && !MayCreate(kept))
        return FALSE;
    DWORD partly = Due(state.partialReplace) ? state.partialReplaceError : 0;
    if (partly == ERROR_UNABLE_TO_REMOVE_REPLACED || (partly == ERROR_UNABLE_TO_MOVE_REPLACEMENT && backup)) {
        state.lastError = partly;
        return FALSE;
    }
    if (chmod(from.c_str(), old.st_mode & 07777) != 0) {
        state.lastError = ErrorFromErrno(errno);
        return FALSE;
    }
    auto attributes = state.keptAttributes.find({old.st_dev, old.st_ino});
    state.keptAttributes[{fresh.st_dev, fresh.st_ino}] =
        attributes == state.keptAttributes.end() ? 0 : attributes->second;
    // The replaced file steps aside, then the replacement takes its name.
    int aside = 0;
    if (backup)
        aside = rename(to.c_str(), kept.c_str());
    else if (partly == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
        aside = rename(to.c_str(), (to + "~RF").c_str());
    else if (partly == ERROR_UNABLE_TO_MOVE_REPLACEMENT)
        aside = unlink(to.c_str());
    if (aside != 0) {
        state.lastError = ErrorFromErrno(errno);
        return FALSE;
    }
    if (partly) {
        state.lastError = partly;
        return FALSE;
    }
    if (rename(from.c_str(), to.c_str()) != 0) {
        state.lastError = ErrorFromErrno(errno);
        return FALSE;
    }
    Succeeded(WinsimReplaceFile);
    return TRUE;
}

// VOLUME_NAME_DOS: "\\?\Z:" and the real path with every link resolved.
DWORD WINAPI GetFinalPathNameByHandleW(HANDLE file, LPWSTR path, DWORD size, DWORD)
{
    if (ShouldFail(WinsimGetFinalPathName)) {
        state.lastError = ERROR_PATH_NOT_FOUND;
        return 0;
    }
    FileHandle *handle = HandleFrom(file);
    char link[64], real[PATH_MAX + 1];
    snprintf(link, sizeof link, "/proc/self/fd/%d", handle ? handle->fd : -1);
    ssize_t length = handle ? readlink(link, real, PATH_MAX) : -1;
    if (length < 0) {
        state.lastError = ERROR_INVALID_HANDLE;
        return 0;
    }
    real[length] = 0;
    std::u16string name = u"\\\\?\\Z:" + Utf16FromUtf8(real);
    for (size_t i = 6; i < name.size(); i++)
        if (name[i] == '/')
            name[i] = '\\';
    if (name.size() + 1 > size)
        return (DWORD)name.size() + 1;
    lstrcpyW(path, name.c_str());
    return (DWORD)name.size();
}

static DWORD AttributesOf(const struct stat &info)
{
    auto kept = state.keptAttributes.find({info.st_dev, info.st_ino});
    DWORD attributes = kept == state.keptAttributes.end() ? 0 : kept->second;
    if (ReadOnly(info))
        attributes |= FILE_ATTRIBUTE_READONLY;
    if (S_ISDIR(info.st_mode))
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

BOOL WINAPI GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION info)
{
    FileHandle *handle = HandleFrom(file);
    struct stat st;
    if (!handle || fstat(handle->fd, &st) != 0) {
        state.lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    info->nNumberOfLinks = (DWORD)st.st_nlink;
    return TRUE;
}

// The named file's Unix path and status; false with the last error set.
static bool StatNamed(LPCWSTR name, std::string &path, struct stat &info)
{
    if (!UnixPath(name, path))
        return false;
    if (stat(path.c_str(), &info) != 0) {
        state.lastError = ErrorFromErrno(errno);
        return false;
    }
    return true;
}

DWORD WINAPI GetFileAttributesW(LPCWSTR name)
{
    std::string path;
    struct stat info;
    if (!StatNamed(name, path, info))
        return INVALID_FILE_ATTRIBUTES;
    return AttributesOf(info);
}

// Read-only is the file's write permission, as Wine keeps it.
BOOL WINAPI SetFileAttributesW(LPCWSTR name, DWORD attributes)
{
    std::string path;
    struct stat info;
    if (!StatNamed(name, path, info))
        return FALSE;
    mode_t mode = attributes & FILE_ATTRIBUTE_READONLY ? info.st_mode & ~0222 : info.st_mode | 0200;
    if (chmod(path.c_str(), mode & 07777) != 0) {
        state.lastError = ErrorFromErrno(errno);
        return FALSE;
    }
    state.keptAttributes[{info.st_dev, info.st_ino}] =
        attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE file, LONG distance, LONG *distanceHigh, DWORD method)
{
    FileHandle *handle = HandleFrom(file);
    off_t offset = distanceHigh ? (off_t)((uint64_t)(uint32_t)*distanceHigh << 32 | (uint32_t)distance)
                                : (off_t)distance;
    off_t at = handle && method == FILE_BEGIN ? lseek(handle->fd, offset, SEEK_SET) : -1;
    if (at < 0) {
        state.lastError = handle ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE;
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh)
        *distanceHigh = (LONG)((uint64_t)at >> 32);
    state.lastError = NO_ERROR;
    return (DWORD)at;
}

BOOL WINAPI SetEndOfFile(HANDLE file)
{
    FileHandle *handle = HandleFrom(file);
    if (!handle || ShouldFail(WinsimSetEndOfFile) || !Writes(handle->access) ||
        ftruncate(handle->fd, lseek(handle->fd, 0, SEEK_CUR)) != 0) {
        state.lastError = handle ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE;
        return FALSE;
    }
    Succeeded(WinsimSetEndOfFile);
    return TRUE;
}

DWORD WINAPI GetCurrentProcessId(void)
{
    return (DWORD)getpid();
}

// The dialog as the user would fill it: the chosen path into lpstrFile, its
// name into lpstrFileTitle, the default extension added to a bare name.
static BOOL RunFileDialog(LPOPENFILENAMEW record, bool save)
{
    if (record->lStructSize != OPENFILENAME_SIZE_VERSION_400W && record->lStructSize != sizeof *record)
        return FALSE;
    WinsimFileDialog seen;
    seen.save = save;
    seen.structSize = record->lStructSize;
    seen.owner = record->hwndOwner;
    if (record->lpstrFilter) {
        const WCHAR *f = record->lpstrFilter;
        while (*f) {
            seen.filter.push_back(Path(f));
            f += lstrlenW(f) + 1;
        }
    }
    seen.filterIndex = record->nFilterIndex;
    seen.flags = record->Flags;
    seen.defExt = Path(record->lpstrDefExt);
    seen.maxFile = record->nMaxFile;
    seen.maxFileTitle = record->nMaxFileTitle;
    seen.proposed = Path(record->lpstrFile);
    state.dialogs.push_back(seen);
    RunDuringDialogHook();

    if (state.dialogAnswers.empty())
        return FALSE;
    std::u16string path = Utf16FromUtf8(state.dialogAnswers.front());
    state.dialogAnswers.pop_front();
    if (path.empty())
        return FALSE;  // the user cancelled
    size_t slash = path.find_last_of(u"/\\");
    size_t nameStart = slash == std::u16string::npos ? 0 : slash + 1;
    if (record->lpstrDefExt && *record->lpstrDefExt && path.find(u'.', nameStart) == std::u16string::npos)
        path += u"." + std::u16string(record->lpstrDefExt);
    std::u16string title = path.substr(nameStart);
    if (!record->lpstrFile || path.size() + 1 > record->nMaxFile)
        return FALSE;  // the buffer is too small
    lstrcpyW(record->lpstrFile, path.c_str());
    if (record->lpstrFileTitle && record->nMaxFileTitle > 0)
        lstrcpynW(record->lpstrFileTitle, title.c_str(), (int)record->nMaxFileTitle);
    record->nFileOffset = (WORD)nameStart;
    size_t dot = path.find_last_of(u'.');
    record->nFileExtension = (WORD)(dot != std::u16string::npos && dot >= nameStart ? dot + 1 : path.size());
    return TRUE;
}

BOOL WINAPI GetOpenFileNameW(LPOPENFILENAMEW record)
{
    return RunFileDialog(record, false);
}

BOOL WINAPI GetSaveFileNameW(LPOPENFILENAMEW record)
{
    return RunFileDialog(record, true);
}

const char *WinsimTempFolder(void)
{
    if (state.tempFolder.empty()) {
        char pattern[] = "/tmp/winsim-files-XXXXXX";
        if (!mkdtemp(pattern))
            abort();
        state.tempFolder = pattern;
        static bool registered;
        if (!registered) {
            registered = true;
            atexit(RemoveTempFolder);
        }
    }
    return state.tempFolder.c_str();
}

void WinsimAnswerNextFileDialog(const std::string &path)
{
    state.dialogAnswers.push_back(path);
}

const std::vector<WinsimFileDialog> &WinsimFileDialogs(void)
{
    return state.dialogs;
}

void WinsimShortenFileTransfer(WinsimCall call, int nth)
{
    state.shortenings[call] = CallAim{nth, false};
}

void WinsimAfterFileCall(WinsimCall call, int nth, void (*hook)(void))
{
    state.stopHooks[call] = StopHook{CallAim{nth, false}, hook};
}

void WinsimReplaceFileUnsupported(bool unsupported)
{
    state.replaceUnsupported = unsupported;
}

int WinsimOpenFileHandles(void)
{
    return (int)state.openHandles.size();
}

// ---- saves that stop part of the way, and folders that take no files ----

void WinsimFailReplaceFile(DWORD error, int nth)
{
    state.partialReplace = CallAim{nth, false};
    state.partialReplaceError = error;
}

void WinsimDenyCreatingFiles(const std::string &folder)
{
    state.createDenied = folder;
    while (state.createDenied.size() > 1 && state.createDenied.back() == '/')
        state.createDenied.pop_back();
}
