#include "files/files.h"
#include "app/shell.h"

#include <string.h>

OPENFILENAMEW FileDialogRecord;
WCHAR FilePath[FILE_PATH_UNITS];
WCHAR FileTitle[FILE_PATH_UNITS];
WCHAR FileBuffer[FILE_BUFFER_UNITS];

// Two filter pairs; the literal's own 0 ends the list.
static const WCHAR FileFilter[] = TEXT("Unicode Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0");

void InitFileDialog(void)
{
    memset(&FileDialogRecord, 0, sizeof FileDialogRecord);
    // The record without the later fields; the full record would be accepted
    // too, but the older one is what every Windows version takes.
    FileDialogRecord.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    FileDialogRecord.hwndOwner = MainWindow;
    FileDialogRecord.lpstrFilter = FileFilter;
    FileDialogRecord.nFilterIndex = 1;
    FileDialogRecord.nMaxFile = FILE_PATH_UNITS;
    FileDialogRecord.nMaxFileTitle = FILE_PATH_UNITS;
    FileDialogRecord.lpstrDefExt = TEXT("txt");
}

// Each dialog proposes the last path chosen, in either dialog.
void PrepareFileDialog(DWORD flags)
{
    FileDialogRecord.lpstrFile = FilePath;
    FileDialogRecord.lpstrFileTitle = FileTitle;
    FileDialogRecord.lpstrFilter = FileFilter;
    FileDialogRecord.Flags = flags;
}

// The Save As (save TRUE) or Open dialog, one of our modal loops.
BOOL ShowFileDialog(BOOL save)
{
    EnterModalLoop();
    BOOL chosen = save ? GetSaveFileName(&FileDialogRecord) : GetOpenFileName(&FileDialogRecord);
    LeaveModalLoop();
    return chosen;
}
