#include "view/view.h"
#include "app/shell.h"
#include "document/document.h"

int ClientWidth;
int ClientHeight;
int ColumnLeft;
int ColumnRight;
int TopMargin;
int LineHeight = 1;
int LinesPerPage = 1;
int TopLine;

int PageHeight(int logPixelsY)
{
    return PageHeightInches * logPixelsY;
}

// The blank rows at the foot of every page.
int PageGap(int logPixelsY)
{
    return PageHeight(logPixelsY) - LinesPerPage * LineHeight;
}

// PageGap for the screen, from a device context obtained for the purpose.
int ScreenPageGap(void)
{
    HDC dc = GetDC(MainWindow);
    int pageGap = PageGap(GetDeviceCaps(dc, LOGPIXELSY));
    ReleaseDC(MainWindow, dc);
    return pageGap;
}

int PageCount(void)
{
    return (LineCount - 1) / LinesPerPage + 1;
}

int VisibleLines(void)
{
    int lines = (ClientHeight - TopMargin) / LineHeight - 1;
    return lines < 0 ? 0 : lines;
}

// Counts whole pages of rows, so the blank rest of the last page can be reached.
int ScrollMax(void)
{
    int max = LinesPerPage * PageCount() - VisibleLines() + 1;
    return max < 0 ? 0 : max;
}

int ScrollOffset(int line, int pageGap)
{
    return line * LineHeight + (line / LinesPerPage) * pageGap;
}

int LineTop(int line, int pageGap)
{
    return TopMargin + ScrollOffset(line, pageGap) - ScrollOffset(TopLine, pageGap);
}

// The first row of page on the screen; page PageCount() gives the row just
// below the last page.
int PageTop(int page, int logPixelsY)
{
    return TopMargin + page * PageHeight(logPixelsY) - ScrollOffset(TopLine, PageGap(logPixelsY));
}

void ClampTopLine(void)
{
    int max = ScrollMax();
    if (TopLine < 0)
        TopLine = 0;
    if (TopLine >= max)
        TopLine = max;
}

// A page key or a click beside the scroll box moves a view's height less one
// line, so one line stays in sight.
int PageStep(void)
{
    int step = VisibleLines() - 1;
    return step < 1 ? 1 : step;
}

// The blank band above the text on screen, and above and below it on paper.
int PageMargin(int logPixelsY)
{
    return 3 * logPixelsY / 2;
}

void ComputePageGeometry(void)
{
    HDC dc = GetDC(MainWindow);
    int logPixelsX = GetDeviceCaps(dc, LOGPIXELSX);
    int logPixelsY = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(MainWindow, dc);
    ColumnLeft = (ClientWidth - ColumnWidthInches * logPixelsX) / 2;
    ColumnRight = ColumnLeft + ColumnWidthInches * logPixelsX;
    TopMargin = PageMargin(logPixelsY);
}

// Sets the bar's position to TopLine and redraws it, unless it already
// stands there over the same range: under Wine each redraw of the bar costs
// about sixty wineserver requests and ninety X requests for the same pixels.
void ShowScrollPosition(BOOL rangeChanged)
{
    if (rangeChanged || GetScrollPos(MainWindow, SB_VERT) != TopLine)
        SetScrollPos(MainWindow, SB_VERT, TopLine, TRUE);
}

void UpdateScrollRange(void)
{
    int max = ScrollMax();
    int oldMin, oldMax;
    BOOL rangeChanged = !GetScrollRange(MainWindow, SB_VERT, &oldMin, &oldMax) || oldMin != 0 || oldMax != max;
    if (rangeChanged)
        SetScrollRange(MainWindow, SB_VERT, 0, max, FALSE);
    ClampTopLine();
    ShowScrollPosition(rangeChanged);
}

// Only the text area moves; the picker and the top rules stay put.
void ScrollTextArea(int oldTopLine, int newTopLine, int pageGap)
{
    RECT textArea = {0, TopMargin, ClientWidth, ClientHeight};
    int dy = ScrollOffset(oldTopLine, pageGap) - ScrollOffset(newTopLine, pageGap);
    ScrollWindow(MainWindow, 0, dy, &textArea, &textArea);
    SystemCaretScrolled();
    UpdateWindow(MainWindow);
}

void HandleVerticalScroll(WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case SB_LINEUP: TopLine -= 1; break;
    case SB_LINEDOWN: TopLine += 1; break;
    case SB_PAGEUP: TopLine -= PageStep(); break;
    case SB_PAGEDOWN: TopLine += PageStep(); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: TopLine = HIWORD(wParam); break;
    default: break;
    }
    ClampTopLine();

    int previous = GetScrollPos(MainWindow, SB_VERT);
    if (previous == TopLine)
        return;
    SetScrollPos(MainWindow, SB_VERT, TopLine, TRUE);
    ScrollTextArea(previous, TopLine, ScreenPageGap());
}

static void DrawRule(HDC dc, int y)
{
    DrawLine(dc, ColumnLeft, y, ColumnRight, y);
}

static void DrawRuleIfVisible(HDC dc, int y)
{
    if (TopMargin <= y && y < ClientHeight)
        DrawRule(dc, y);
}

void DrawPageRules(HDC dc)
{
    int logPixelsY = GetDeviceCaps(dc, LOGPIXELSY);
    int pages = PageCount();

    DrawRule(dc, TopMargin - 1);
    for (int k = 1; k < pages; k++)
        DrawRuleIfVisible(dc, PageTop(k, logPixelsY) - 1);
    DrawRuleIfVisible(dc, PageTop(pages, logPixelsY));
    // A one-pixel top rule tells the user the keyboard is on the picker.
    if (!PickerFocus)
        DrawRule(dc, TopMargin - 2);
}
