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

// The document font on a DC the routine has already, such as a paint's;
// EndMeasuring takes it off again.
MeasuringDC MeasureOn(HDC dc)
{
    MeasuringDC on;
    on.dc = dc;
    on.logPixelsY = GetDeviceCaps(dc, LOGPIXELSY);
    on.font = BeginDocumentFont(dc, on.logPixelsY, &on.oldFont);
    on.pageGap = PageGap(on.logPixelsY);
    return on;
}

void EndMeasuring(const MeasuringDC *on)
{
    EndDocumentFont(on->dc, on->font, on->oldFont);
}

// For a routine that measures text; release it with ReleaseMeasuringDC.
MeasuringDC GetMeasuringDC(void)
{
    return MeasureOn(GetDC(MainWindow));
}

void ReleaseMeasuringDC(const MeasuringDC *screen)
{
    EndMeasuring(screen);
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
    LinesPerPage = PageHeight(logPixelsY) / LineHeight;
    if (LinesPerPage < 1)
        LinesPerPage = 1;
}
