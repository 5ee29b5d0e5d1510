#include "editing/editing.h"
#include "app/shell.h"
#include "document/document.h"
#include "picker/picker.h"
#include "view/view.h"

// The columns of the pages, from the top rule down to the foot of the last page.
static BOOL InTextArea(int x, int y, int logPixelsY, int pageGap)
{
    int documentBottom = TopMargin + PageCount() * PageHeightInches * logPixelsY -
                         ScrollOffset(TopLine, pageGap);
    return ColumnLeft <= x && x < ColumnRight && TopMargin <= y && y < documentBottom;
}

static void TakeKeyboardFromPicker(void)
{
    if (PickerFocus != 1)
        return;
    PickerFocus = 0;
    RepaintHighlight(PickerHighlight);
    RepaintFocusRule();
}

// One screen DC with the document font serves whichever branch runs.
void HandleLeftButtonDown(LPARAM lParam)
{
    int x = LOWORD(lParam);
    int y = HIWORD(lParam);
    HFONT font;
    HGDIOBJ oldFont;
    HDC dc = GetMeasuringDC(&font, &oldFont);
    int logPixelsY = GetDeviceCaps(dc, LOGPIXELSY);
    int pageGap = PageGap(logPixelsY);

    if (InTextArea(x, y, logPixelsY, pageGap)) {
        TakeKeyboardFromPicker();
        // Caret placement and Shift-click selection come here, measured on dc.
    } else {
        PickerLeftButtonDown(x, y);
    }

    ReleaseMeasuringDC(dc, font, oldFont);
}
