#include "view/view.h"
#include "app/shell.h"
#include "document/layout.h"

// The record of the font every on-screen measuring and drawing step
// creates for itself; the input method writes its composition in it too.
LOGFONT DocumentLogFont(int logPixelsY)
{
    LOGFONT font = {};
    font.lfHeight = logPixelsY * FontPoints / 72;
    font.lfCharSet = FontCharset;
    lstrcpyn(font.lfFaceName, CurrentFace, LF_FACESIZE);
    return font;
}

HFONT CreateDocumentFont(int logPixelsY)
{
    LOGFONT font = DocumentLogFont(logPixelsY);
    return CreateFontIndirect(&font);
}

// Selects a fresh document font into dc and opens a width table for it;
// EndDocumentFont closes the table and puts the old font back.
HFONT BeginDocumentFont(HDC dc, int logPixelsY, HGDIOBJ *oldFont)
{
    HFONT font = CreateDocumentFont(logPixelsY);
    *oldFont = SelectObject(dc, font);
    BeginUnitWidths(dc);
    return font;
}

void EndDocumentFont(HDC dc, HFONT font, HGDIOBJ oldFont)
{
    EndUnitWidths();
    SelectObject(dc, oldFont);
    DeleteObject(font);
}

// For a routine that measures text; release it with ReleaseMeasuringDC.
MeasuringDC GetMeasuringDC(void)
{
    MeasuringDC screen;
    screen.dc = GetDC(MainWindow);
    screen.logPixelsY = GetDeviceCaps(screen.dc, LOGPIXELSY);
    screen.font = BeginDocumentFont(screen.dc, screen.logPixelsY, &screen.oldFont);
    return screen;
}

void ReleaseMeasuringDC(const MeasuringDC *screen)
{
    EndDocumentFont(screen->dc, screen->font, screen->oldFont);
    ReleaseDC(MainWindow, screen->dc);
}

// The document font must be selected into dc.
void ComputeLineMetrics(HDC dc, int logPixelsY)
{
    TEXTMETRIC metrics;
    GetTextMetrics(dc, &metrics);
    LineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    if (LineHeight < 1)
        LineHeight = 1;
    LinesPerPage = logPixelsY * PageHeightInches / LineHeight;
    if (LinesPerPage < 1)
        LinesPerPage = 1;
}
