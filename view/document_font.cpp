#include "view/view.h"
#include "app/shell.h"

// The font every on-screen measuring and drawing step creates for itself.
HFONT CreateDocumentFont(int logPixelsY)
{
    LOGFONT font = {};
    font.lfHeight = logPixelsY * FontPoints / 72;
    font.lfCharSet = FontCharset;
    lstrcpyn(font.lfFaceName, CurrentFace, LF_FACESIZE);
    return CreateFontIndirect(&font);
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
