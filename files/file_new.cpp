#include "files/files.h"
#include "app/shell.h"
#include "document/document.h"
#include "document/layout.h"
#include "view/view.h"

// A new or opened document starts at its top, with nothing selected, and
// the whole text area is repainted.
void ShowReplacedDocument(void)
{
    Caret = 0;
    SelectionActive = 0;
    SelStart = SelEnd = 0;
    TopLine = 0;
    Reflow();
    RepaintTextArea();
}

// The path is kept, so the next Save As proposes the last file again.
void FileNew(void)
{
    if (!SaveChangesPrompt(SaveQuestionForNewAndClose))
        return;
    SetEmptyDocument();
    SetWindowText(MainWindow, TEXT("Inkwarden"));
    ShowReplacedDocument();
}
