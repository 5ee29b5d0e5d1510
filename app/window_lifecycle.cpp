#include "app/shell.h"
#include "document/document.h"
#include "files/files.h"
#include "picker/picker.h"
#include "view/view.h"

// Window creation: the empty document and the line metrics of the default
// font.  The client size and column edges wait for the first WM_SIZE.
LRESULT CreateInitialState(HWND window)
{
    MainWindow = window;
    HDC dc = GetDC(window);
    int logPixelsY = GetDeviceCaps(dc, LOGPIXELSY);
    lstrcpyn(CurrentFace, TEXT("Courier New"), LF_FACESIZE);
    HFONT font = CreateDocumentFont(logPixelsY);
    HGDIOBJ oldFont = SelectObject(dc, font);
    ComputeLineMetrics(dc, logPixelsY);
    TopMargin = PageMargin(logPixelsY);
    SetEmptyDocument();
    InitFileDialog();
    SelectObject(dc, oldFont);
    DeleteObject(font);
    ReleaseDC(window, dc);
    return 0;
}

void HandleSize(LPARAM lParam)
{
    ClientWidth = LOWORD(lParam);
    ClientHeight = HIWORD(lParam);
    UpdateScrollRange();
    ComputePickerGeometry();
    ComputePageGeometry();
}

// After Yes the window stays whatever the save did; a later close finds it saved.
LRESULT ClosePrompt(HWND window)
{
    if (!SaveChangesPrompt(SaveQuestionForNewAndClose))
        return 0;
    return DefWindowProc(window, WM_CLOSE, 0, 0);
}

static int ModalLoops;              // our dialogs and message boxes open now
static BOOL AskingAtSessionEnd;     // its question or Save As is one of them
static BOOL ReasonUntilLoopsEnd;    // the session was told to wait for them

void EnterModalLoop(void)
{
    ModalLoops++;
}

void LeaveModalLoop(void)
{
    if (--ModalLoops == 0 && ReasonUntilLoopsEnd) {
        ReasonUntilLoopsEnd = FALSE;
        ShutdownBlockReasonDestroy(MainWindow);
    }
}

int ShowMessageBox(LPCWSTR text, LPCWSTR caption, UINT type)
{
    EnterModalLoop();
    int answer = MessageBox(MainWindow, text, caption, type);
    LeaveModalLoop();
    return answer;
}

// Log-off, restart or shutdown: the close question, while Windows shows
// why the session waits.  TRUE lets it end: after No, or a save that worked.
// While a dialog of ours is open the session waits for it: a second
// question or Save As would share its records.
LRESULT QueryEndSession(void)
{
    if (ModalLoops > 0) {
        if (!AskingAtSessionEnd && !ReasonUntilLoopsEnd) {
            ShutdownBlockReasonCreate(MainWindow, TEXT("Inkwarden: a dialog is open"));
            ReasonUntilLoopsEnd = TRUE;
        }
        return FALSE;
    }
    if (!DocumentChanged())
        return TRUE;
    ShutdownBlockReasonCreate(MainWindow, TEXT("Inkwarden: unsaved changes"));
    AskingAtSessionEnd = TRUE;
    int answer = AskSaveQuestion(SaveQuestionForNewAndClose);
    BOOL mayEnd = answer == IDNO || (answer == IDYES && FileSave());
    AskingAtSessionEnd = FALSE;
    ShutdownBlockReasonDestroy(MainWindow);
    return mayEnd;
}

// The question was asked already; the process may be ended after this.
void EndSession(WPARAM ending)
{
    if (ending)
        DestroyWindow(MainWindow);
}

void DestroyMainWindow(void)
{
    // Nothing may follow the caret of a window that is going away.
    DestroySystemCaret();
    CloseComposition();
    if (AutoRepeat)
        StopAutoRepeat();
    PostQuitMessage(0);
}

// The selection inverts pixels, so it must be the last step.
void PaintWindow(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    DrawPicker(dc);
    DrawPageRules(dc);
    DrawTextLines(dc);
    DrawCaret(dc);
    DrawSelection(dc);
    EndPaint(window, &paint);
}

void ShowAboutBox(void)
{
    ShowMessageBox(TEXT("Inkwarden\nText Editor Computer Program"), TEXT("Inkwarden"),
                   MB_ICONINFORMATION | MB_OK);
}

void ReportWarning(LPCWSTR caption, LPCWSTR text)
{
    ShowMessageBox(text, caption, MB_ICONWARNING | MB_OK);
}
