// The Print dialog and one simulated printer: its device caps, print jobs
// with failures a test can inject, and a recording of every printed page.
#include "internal.h"

namespace winsim {

struct PrinterCapsSet {
    int dpiX, dpiY, width, height, offsetX, offsetY;
};

// The printer the dialog hands back, standing for its DEVMODE and DEVNAMES.
static int devModeToken;
static int devNamesToken;

static struct PrinterState {
    WinsimPrintDialogAnswer dialogAnswer = WinsimPrintDialogPrint;
    std::vector<WinsimPrintDialogCall> dialogCalls;
    PrinterCapsSet caps = {300, 300, 2550, 3300, 0, 0};
    std::vector<WinsimPrintJob> jobs;
    // The DC whose job is running and whether it has a page started.
    HDC jobDC = nullptr;
    bool pageOpen = false;
} state;

void ResetPrinter()
{
    state = PrinterState{};
}

int PrinterCaps(int index)
{
    switch (index) {
    case LOGPIXELSX: return state.caps.dpiX;
    case LOGPIXELSY: return state.caps.dpiY;
    case PHYSICALWIDTH: return state.caps.width;
    case PHYSICALHEIGHT: return state.caps.height;
    case PHYSICALOFFSETX: return state.caps.offsetX;
    case PHYSICALOFFSETY: return state.caps.offsetY;
    case HORZRES: return state.caps.width - 2 * state.caps.offsetX;
    case VERTRES: return state.caps.height - 2 * state.caps.offsetY;
    }
    return 0;
}

// Text drawn while no page is started reaches no paper.
void RecordPrintedText(DeviceContext *dc, int x, int y, LPCWSTR text, int count)
{
    if (reinterpret_cast<HDC>(dc) != state.jobDC || !state.pageOpen)
        return;
    WinsimPrintedText printed = {x, y, std::u16string(text, text + count), dc->font->font.lfHeight,
                                 dc->bkMode};
    state.jobs.back().pages.back().texts.push_back(printed);
}

// The running job of hdc, or null.
static WinsimPrintJob *JobOf(HDC hdc)
{
    if (!hdc || hdc != state.jobDC)
        return nullptr;
    return &state.jobs.back();
}

}  // namespace winsim

using namespace winsim;

// A wrong structure size fails at once (CDERR_STRUCTSIZE).  The dialog keeps
// the printer the caller proposes through hDevMode and hDevNames.
BOOL WINAPI PrintDlgA(LPPRINTDLGA pd)
{
    state.dialogCalls.push_back(WinsimPrintDialogCall{pd->lStructSize, pd->hwndOwner, pd->Flags,
                                                      pd->hDC, pd->hDevMode, pd->hDevNames});
    if (pd->lStructSize != sizeof(PRINTDLGA) || state.dialogAnswer == WinsimPrintDialogCancel)
        return FALSE;
    if (!pd->hDevMode) {
        pd->hDevMode = &devModeToken;
        pd->hDevNames = &devNamesToken;
    }
    pd->hDC = nullptr;
    if ((pd->Flags & PD_RETURNDC) && state.dialogAnswer == WinsimPrintDialogPrint) {
        pd->hDC = NewContext(nullptr, false);
        ContextFrom(pd->hDC)->printer = true;
    }
    return TRUE;
}

int WINAPI StartDocA(HDC hdc, const DOCINFOA *di)
{
    DeviceContext *dc = ContextFrom(hdc);
    if (!dc || !dc->printer || state.jobDC || ShouldFail(WinsimStartDoc))
        return SP_ERROR;
    state.jobs.push_back(
        WinsimPrintJob{di->cbSize, di->lpszDocName ? di->lpszDocName : "", {}, false, false});
    state.jobDC = hdc;
    state.pageOpen = false;
    return (int)state.jobs.size();
}

int WINAPI StartPage(HDC hdc)
{
    WinsimPrintJob *job = JobOf(hdc);
    if (!job || state.pageOpen || ShouldFail(WinsimStartPage))
        return SP_ERROR;
    job->pages.push_back(WinsimPrintedPage{{}, false});
    state.pageOpen = true;
    return 1;
}

int WINAPI EndPage(HDC hdc)
{
    WinsimPrintJob *job = JobOf(hdc);
    if (!job || !state.pageOpen || ShouldFail(WinsimEndPage))
        return SP_ERROR;
    job->pages.back().ended = true;
    state.pageOpen = false;
    return 1;
}

// EndDoc and AbortDoc both end the running job; the record says which.
static int FinishJob(HDC hdc, bool aborted)
{
    WinsimPrintJob *job = JobOf(hdc);
    if (!job)
        return SP_ERROR;
    (aborted ? job->aborted : job->ended) = true;
    state.jobDC = nullptr;
    return 1;
}

int WINAPI EndDoc(HDC hdc)
{
    return FinishJob(hdc, false);
}

int WINAPI AbortDoc(HDC hdc)
{
    return FinishJob(hdc, true);
}

// Deleting the DC of a running job leaves that job unfinished in the record.
BOOL WINAPI DeleteDC(HDC hdc)
{
    DeviceContext *dc = ContextFrom(hdc);
    if (!dc || dc->window)
        return FALSE;
    if (hdc == state.jobDC)
        state.jobDC = nullptr;
    FreeContext(hdc);
    return TRUE;
}

// ---- test controls ----

void WinsimAnswerPrintDialog(WinsimPrintDialogAnswer answer)
{
    state.dialogAnswer = answer;
}

const std::vector<WinsimPrintDialogCall> &WinsimPrintDialogCalls(void)
{
    return state.dialogCalls;
}

void WinsimSetPrinterCaps(int dpiX, int dpiY, int physicalWidth, int physicalHeight, int offsetX,
                          int offsetY)
{
    state.caps = PrinterCapsSet{dpiX, dpiY, physicalWidth, physicalHeight, offsetX, offsetY};
}

const std::vector<WinsimPrintJob> &WinsimPrintJobs(void)
{
    return state.jobs;
}
