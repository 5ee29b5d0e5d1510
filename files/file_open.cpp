#include "files/files.h"
#include "app/shell.h"
#include "document/document.h"

#include <string.h>

#define LARGEST_FILE_BYTES (2 * FILE_BUFFER_UNITS)

static void ReportOpenFailure(LPCWSTR text)
{
    ReportWarning(TEXT("Can Not Open File"), text);
}

// Reads the file into FileBuffer behind its mark.  Returns the document's
// unit count, terminator included, or 0 once it has said why it can't.
// The checks run in this order so that each file gets the first cause.
static int ReadDocumentFile(HANDLE file)
{
    DWORD sizeHigh = 0;
    SetLastError(NO_ERROR);  // a 4 GiB - 1 byte file also reads back as INVALID_FILE_SIZE
    DWORD size = GetFileSize(file, &sizeHigh);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        ReportOpenFailure(TEXT("Can not obtain the size of the selected file"));
        return 0;
    }
    if (sizeHigh != 0) {
        ReportOpenFailure(TEXT("The selected file is too large to open"));
        return 0;
    }
    if (size < 2) {
        ReportOpenFailure(TEXT("The selected file is not a Unicode text file"));
        return 0;
    }
    WORD mark = 0;
    DWORD read = 0;
    if (!ReadFile(file, &mark, 2, &read, NULL) || read != 2) {
        ReportOpenFailure(TEXT("Can not read the selected file"));
        return 0;
    }
    if (mark != FILE_MARK || size % 2 != 0) {
        ReportOpenFailure(TEXT("The selected file is not a Unicode text file"));
        return 0;
    }
    if (size > LARGEST_FILE_BYTES) {
        ReportOpenFailure(TEXT("The selected file is too large to open"));
        return 0;
    }
    memset(FileBuffer, 0, sizeof FileBuffer);
    FileBuffer[0] = FILE_MARK;
    if (!ReadFile(file, &FileBuffer[1], size - 2, &read, NULL) || read != size - 2) {
        ReportOpenFailure(TEXT("Can not read the selected file"));
        return 0;
    }
    // Units counted with the mark as unit 0.  A final 0 is the file's own
    // terminator; otherwise the cleared unit after the data becomes one.
    int units = (int)(size / 2);
    if (FileBuffer[units - 1] == 0)
        return units - 1;
    if (units >= FILE_BUFFER_UNITS) {
        ReportOpenFailure(TEXT("The selected file is too large to open"));
        return 0;
    }
    return units;
}

void FileOpen(void)
{
    if (!SaveChangesPrompt(SaveQuestionForOpen))
        return;
    PrepareFileDialog(OFN_FILEMUSTEXIST);
    if (!ShowFileDialog(FALSE))
        return;
    HANDLE file = CreateFile(FilePath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        ReportOpenFailure(TEXT("Can not obtain a file handle to the selected file"));
        return;
    }
    int units = ReadDocumentFile(file);
    CloseHandle(file);
    if (units == 0)
        return;

    memset(TextBuffer, 0, sizeof TextBuffer);
    memcpy(TextBuffer, &FileBuffer[1], units * sizeof(WCHAR));
    CharCount = units;
    RememberSavedCopy();
    SetWindowText(MainWindow, FileTitle);
    ShowReplacedDocument();
}
