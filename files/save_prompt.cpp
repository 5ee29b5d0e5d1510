#include "files/files.h"
#include "app/shell.h"
#include "document/document.h"

const WCHAR SaveQuestionForNewAndClose[] =
    TEXT("The current file has changed since the last save.\n")
    TEXT("Do you wish to save the current file?");
const WCHAR SaveQuestionForOpen[] =
    TEXT("The current file has changed since the last save\n")
    TEXT("Do you wish to save the current file?");

int AskSaveQuestion(LPCWSTR question)
{
    return ShowMessageBox(question, TEXT("Save Current File?"), MB_YESNOCANCEL | MB_ICONQUESTION);
}

// TRUE: go on and discard the document.  After Yes the command that asked
// ends whatever the save did; the user gives it again.
BOOL SaveChangesPrompt(LPCWSTR question)
{
    if (!DocumentChanged())
        return TRUE;
    int answer = AskSaveQuestion(question);
    if (answer == IDYES)
        FileSave();
    return answer == IDNO;
}
