#include "files/files.h"
#include "app/shell.h"

// IDYES, IDNO or IDCANCEL.
int SaveChangesPrompt(void)
{
    return MessageBox(MainWindow,
                      TEXT("The current file has changed since the last save.\n")
                      TEXT("Do you wish to save the current file?"),
                      TEXT("Save Current File?"), MB_YESNOCANCEL | MB_ICONQUESTION);
}
