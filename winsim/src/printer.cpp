// The Print dialog and one simulated printer: its device caps, print jobs
// with failures a test can inject, and a recording of every printed page.
#include "internal.h"

#include <string.h>

namespace winsim {

struct PrinterCapsSet {
    int dpiX, dpiY, width, height, offsetX, offsetY;
};

static WinsimPrintDialogAnswer dialogAnswer;
static std::vector<WinsimPrintDialogCall> dialogCalls;
static PrinterCapsSet caps;
static std::vector<WinsimPrintJob> jobs;
// The printer the dialog hands back, standing for its DEVMODE and DEVNAMES.
static int devModeToken;
static int devNamesToken;
// The DC whose job is running and whether it has a page started.
static HDC jobDC;
static bool pageOpen;

void ResetPrinter()
{
    dialogAnswer = WinsimPrintDialogPrint;
    dialogCalls.clear();
    caps = PrinterCapsSet{300, 300, 2550, 3300, 0, 0};
    jobs.clear();
    jobDC = nullptr;
    pageOpen = false;
}

int PrinterCaps(int index)
{
    switch (index) {
    case LOGPIXELSX: return caps.dpiX;
    case LOGPIXELSY: return caps.dpiY;
    case PHYSICALWIDTH: return caps.width;
    case PHYSICALHEIGHT: return caps.height;
    case PHYSICALOFFSETX: return caps.offsetX;
    case PHYSICALOFFSETY: return caps.offsetY;
    case HORZRES: return caps.width - 2 * caps.offsetX;
    case VERTRES: return caps.height - 2 * caps.offsetY;
    }
    return 0;
}

// Text drawn while no page is started reaches no paper.
void RecordPrintedText(DeviceContext *dc, int x, int y, LPCWSTR text, int count)
{
    if (reinterpret_cast<HDC>(dc) != jobDC || !pageOpen)
        return;
    WinsimPrintedText printed = {x, y, std::u16string(text, text + count), dc->font->font.lfHeight,
                                 dc->bkMode};
    jobs.back().pages.back().texts.push_back(printed);
}

// The running job of hdc, or null.
static WinsimPrintJob *JobOf(HDC hdc)
{
    if (!hdc || hdc != jobDC)
        return nullptr;
    return &jobs.back();
}

}  // namespace winsim

using namespace winsim;

// A wrong structure size fails at once (CDERR_STRUCTSIZE).  The dialog keeps
// the printer the caller proposes through hDevMode and hDevNames.
BOOL WINAPI PrintDlgA(LPPRINTDLGA pd)
{
    dialogCalls.push_back(WinsimPrintDialogCall{pd->lStructSize, pd->hwndOwner, pd->Flags, pd->hDC,
                                                pd->hDevMode, pd->hDevNames});
    if (pd->lStructSize != sizeof(PRINTDLGA) || dialogAnswer == WinsimPrintDialogCancel)
        return FALSE;
    if (!pd->hDevMode) {
        pd->hDevMode = &devModeToken;
        pd->hDevNames = &devNamesToken;
    }
    pd->hDC = nullptr;
    if ((pd->Flags & PD_RETURNDC) && dialogAnswer == WinsimPrintDialogPrint) {
        pd->hDC = NewContext(nullptr, false);
        ContextFrom(pd->hDC)->printer = true;
    }
    return TRUE;
}

int WINAPI StartDocA(HDC hdc, const DOCINFOA *di)
{
    DeviceContext *dc = ContextFrom(hdc);
    if (!dc || !dc->printer || jobDC || ShouldFail(WinsimStartDoc))
        return SP_ERROR;
    jobs.push_back(WinsimPrintJob{di->cbSize, di->lpszDocName ? di->lpszDocName : "", {}, false,
                                  false});
    jobDC = hdc;
    pageOpen = false;
    return (int)jobs.size();
}

int WINAPI StartPage(HDC hdc)
{
    WinsimPrintJob *job = JobOf(hdc);
    if (!job || pageOpen || ShouldFail(WinsimStartPage))
        return SP_ERROR;
    job->pages.push_back(WinsimPrintedPage{{}, false});
    pageOpen = true;
    return 1;
}

int WINAPI EndPage(HDC hdc)
{
    WinsimPrintJob *job = JobOf(hdc);
    if (!job || !pageOpen || ShouldFail(WinsimEndPage))
        return SP_ERROR;
    job->pages.back().ended = true;
    pageOpen = false;
    return 1;
}

// EndDoc and AbortDoc both end the running job; the record says which.
static int FinishJob(HDC hdc, bool aborted)
{
    WinsimPrintJob *job = JobOf(hdc);
    if (!job)
        return SP_ERROR;
    (aborted ? job->aborted : job->ended) = true;
    jobDC = nullptr;
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
    if (hdc == jobDC)
        jobDC = nullptr;
    FreeContext(hdc);
    return TRUE;
}

// ---- test controls ----

void WinsimAnswerPrintDialog(WinsimPrintDialogAnswer answer)
{
    dialogAnswer = answer;
}

const std::vector<WinsimPrintDialogCall> &WinsimPrintDialogCalls(void)
{
    return dialogCalls;
}

void WinsimSetPrinterCaps(int dpiX, int dpiY, int physicalWidth, int physicalHeight, int offsetX,
                          int offsetY)
{
    caps = PrinterCapsSet{dpiX, dpiY, physicalWidth, physicalHeight, offsetX, offsetY};
}

const std::vector<WinsimPrintJob> &WinsimPrintJobs(void)
{
    return jobs;
}
