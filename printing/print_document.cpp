#include "printing/printing.h"
#include "app/shell.h"
#include "document/document.h"
#include "document/layout.h"
#include "view/view.h"

// Kept for the process: the dialog proposes the printer chosen last time.
PRINTDLGA PrintDialogRecord;
int PageNumber;
LOGFONT PrintFont;
int RowPitch;

// Copies and collation are left to the driver through the device mode.
#define PRINT_DIALOG_FLAGS \
    (PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE)

// Where a page's text goes, in printer pixels.  Drawing coordinates start at
// the printable area, so the sheet's unprintable margin is taken off.
struct PrintPage {
    int columnWidth;
    int columnLeft;
    int columnRight;
    int textTop;
    int textBottom;
};

static PrintPage PageLayout(HDC dc)
{
    int logPixelsY = GetDeviceCaps(dc, LOGPIXELSY);
    int offsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    PrintPage page;
    page.columnWidth = ColumnWidthInches * GetDeviceCaps(dc, LOGPIXELSX);
    page.columnLeft = (GetDeviceCaps(dc, PHYSICALWIDTH) - page.columnWidth) / 2 -
                      GetDeviceCaps(dc, PHYSICALOFFSETX);
    page.columnRight = page.columnLeft + page.columnWidth;
    page.textTop = PageMargin(logPixelsY) - offsetY;
    page.textBottom = GetDeviceCaps(dc, PHYSICALHEIGHT) - PageMargin(logPixelsY) - offsetY;
    return page;
}

static void ReportPrintFailure(LPCWSTR text)
{
    ReportWarning(TEXT("Can Not Print"), text);
}

// "(n)" centred under the column, one text height below the text.
static void PrintPageNumber(HDC dc)
{
    PrintPage page = PageLayout(dc);
    SetBkMode(dc, TRANSPARENT);
    LOGFONT numberFont = {};
    numberFont.lfHeight = -12 * GetDeviceCaps(dc, LOGPIXELSY) / 72;
    numberFont.lfCharSet = ANSI_CHARSET;
    lstrcpyn(numberFont.lfFaceName, TEXT("Courier New"), LF_FACESIZE);
    HFONT font = CreateFontIndirect(&numberFont);
    HGDIOBJ oldFont = SelectObject(dc, font);

    char label[32];
    wsprintfA(label, "%s%i%s", "(", PageNumber, ")");
    SIZE size;
    GetTextExtentPoint32A(dc, label, lstrlenA(label), &size);
    TextOutA(dc, page.columnLeft + (page.columnWidth - size.cx) / 2, page.textBottom + size.cy,
             label, lstrlenA(label));
    PageNumber++;

    SelectObject(dc, oldFont);
    DeleteObject(font);
}

// A line fits when its run, less a trailing space of a soft break, is as
// wide as the column at most; a single unit always fits.
static BOOL LineFits(HDC dc, int line, int columnWidth)
{
    int count = CopyRunReversed(line);
    const WCHAR *run = ReverseScratch;
    if (count > 0 && TextBuffer[LineTable[line].last] == ' ') {
        run++;  // reversed: the trailing space comes first
        count--;
    }
    return count <= 1 || MeasureRun(dc, run, count) <= columnWidth;
}

// The selected PrintFont fits when every line fits the column and a page's
// worth of lines fits the page height.
static BOOL PrintFontFits(HDC dc, int columnWidth, int pageHeight)
{
    TEXTMETRIC metrics;
    GetTextMetrics(dc, &metrics);
    if (LinesPerPage * (metrics.tmHeight + metrics.tmExternalLeading) > pageHeight)
        return FALSE;
    BeginUnitWidths(dc);
    int line = 0;
    while (line < LineCount && LineFits(dc, line, columnWidth))
        line++;
    EndUnitWidths();
    return line == LineCount;
}

// Shrinks PrintFont one printer pixel at a time until the document fits.
// Height -1 is the smallest character height there is (0 would ask for a
// default-sized font), so on a device where nothing fits it prints with -1.
// A smaller font that cannot be made ends the fit: the last one prints, as
// the old one must not stay selected when it is deleted.
static HFONT FitPrintFont(HDC dc, HFONT font, int columnWidth, int pageHeight)
{
    while (PrintFont.lfHeight < -1 && !PrintFontFits(dc, columnWidth, pageHeight)) {
        PrintFont.lfHeight += 1;
        HFONT smaller = CreateFontIndirect(&PrintFont);
        if (!smaller) {
            PrintFont.lfHeight -= 1;
            break;
        }
        SelectObject(dc, smaller);
        DeleteObject(font);
        font = smaller;
    }
    return font;
}

// The screen's lines, right to left, RowPitch apart, starting a page when
// the next line would pass the text bottom.
static void PrintLines(HDC dc)
{
    PrintPage page = PageLayout(dc);
    int logPixelsY = GetDeviceCaps(dc, LOGPIXELSY);
    int pageHeight = PageHeight(logPixelsY);
    SetBkMode(dc, TRANSPARENT);
    PrintFont = DocumentLogFont(logPixelsY);
    HFONT font = CreateFontIndirect(&PrintFont);
    HGDIOBJ oldFont = SelectObject(dc, font);
    font = FitPrintFont(dc, font, page.columnWidth, pageHeight);

    RowPitch = pageHeight / LinesPerPage;
    BeginUnitWidths(dc);
    int y = page.textTop;
    for (int line = 0; line < LineCount; line++) {
        if (y > page.textTop && y + RowPitch > page.textBottom) {
            EndPage(dc);
            StartPage(dc);
            PrintPageNumber(dc);
            SelectObject(dc, font);
            SetBkMode(dc, TRANSPARENT);
            y = page.textTop;
        }
        DrawLineAt(dc, line, page.columnRight, y);
        y += RowPitch;
    }
    EndUnitWidths();

    SelectObject(dc, oldFont);
    DeleteObject(font);
}

// One job, one sheet per page.  A job that has been started is aborted when
// it fails, so that nothing half-made stays on the spooler.
void PrintDocument(void)
{
    PrintDialogRecord.lStructSize = sizeof PrintDialogRecord;
    PrintDialogRecord.hwndOwner = MainWindow;
    PrintDialogRecord.Flags = PRINT_DIALOG_FLAGS;
    PrintDialogRecord.hDC = NULL;
    EnterModalLoop();
    BOOL chosen = PrintDlgA(&PrintDialogRecord);
    LeaveModalLoop();
    if (!chosen)
        return;
    HDC dc = PrintDialogRecord.hDC;
    if (!dc) {
        ReportPrintFailure(TEXT("Can not obtain a Printer DC"));
        return;
    }

    DOCINFOA job = {};
    job.cbSize = sizeof job;
    job.lpszDocName = "Inkwarden: Printing";
    if (StartDocA(dc, &job) <= 0) {
        DeleteDC(dc);
        ReportPrintFailure(TEXT("Can not start document"));
        return;
    }
    if (StartPage(dc) <= 0) {
        AbortDoc(dc);
        DeleteDC(dc);
        ReportPrintFailure(TEXT("Can not start page"));
        return;
    }

    PageNumber = 1;
    PrintPageNumber(dc);
    PrintLines(dc);

    if (EndPage(dc) > 0) {
        EndDoc(dc);
        DeleteDC(dc);
        return;
    }
    AbortDoc(dc);
    DeleteDC(dc);
    ReportPrintFailure(TEXT("Could not print document"));
}
