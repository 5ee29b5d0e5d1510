// The view: page geometry, scrolling, and painting of text and caret.
#ifndef INKWARDEN_VIEW_H
#define INKWARDEN_VIEW_H

#include <windows.h>

extern int ClientWidth;
extern int ClientHeight;
extern int ColumnLeft;
extern int ColumnRight;
extern int TopMargin;
extern int LineHeight;
extern int LinesPerPage;
extern int TopLine;

LOGFONT DocumentLogFont(int logPixelsY);
HFONT CreateDocumentFont(int logPixelsY);
HFONT BeginDocumentFont(HDC dc, int logPixelsY, HGDIOBJ *oldFont);
void EndDocumentFont(HDC dc, HFONT font, HGDIOBJ oldFont);
void ComputeLineMetrics(HDC dc, int logPixelsY);

// A screen DC of the main window (GetMeasuringDC), or a paint's (MeasureOn),
// with a fresh document font selected and a width table open.  The
// resolution read for the font is kept, and its page gap, to be read once.
struct MeasuringDC {
    HDC dc;
    HFONT font;
    HGDIOBJ oldFont;
    int logPixelsY;
    int pageGap;
};
MeasuringDC GetMeasuringDC(void);
void ReleaseMeasuringDC(const MeasuringDC *screen);
MeasuringDC MeasureOn(HDC dc);
void EndMeasuring(const MeasuringDC *on);

int PageHeight(int logPixelsY);
int PageGap(int logPixelsY);
int ScreenPageGap(void);
int PageCount(void);
int VisibleLines(void);
int ScrollMax(void);
int ScrollOffset(int line, int pageGap);
int LineTop(int line, int pageGap);
int PageTop(int page, int logPixelsY);
void ClampTopLine(void);
void ComputePageGeometry(void);
int PageStep(void);
int PageMargin(int logPixelsY);

void UpdateScrollRange(void);
void ShowScrollPosition(BOOL rangeChanged);
void ScrollTextArea(int oldTopLine, int newTopLine, int pageGap);
void HandleVerticalScroll(WPARAM wParam);
void DrawPageRules(HDC dc);

int DrawableRun(int line);
int CopyRunReversed(int line);
int CaretLine(int index);
int RunWidth(HDC dc, int line);
int UnitRightEdge(HDC dc, int index, int line, int runWidth);
int CaretX(HDC dc, int index, int line, int runWidth);
RECT PaintClipBox(HDC dc);
void DrawLineAt(HDC dc, int line, int right, int y);
void DrawTextLines(HDC dc);
void DrawLine(HDC dc, int x0, int y0, int x1, int y1);
void DrawCaret(HDC dc);

// Where the caret for index stands on the screen: its one-pixel column and
// its line's rows.  dc has the document font selected.
BOOL RowsVisible(int top);
int CaretTop(int index, int pageGap);
RECT CaretRect(HDC dc, int index, int pageGap);

// The system caret and the input method's windows follow the caret.
extern int SystemCaretHeight;   // the LineHeight it was made at; 0: none
extern POINT SystemCaretPlace;  // where it was put last
extern int SystemCaretCarried;  // a scroll may have moved it since
extern int CompositionOpen;
void CreateSystemCaret(void);
void DestroySystemCaret(void);
void FollowCaret(void);
void SystemCaretScrolled(void);
void OpenComposition(void);
void CloseComposition(void);
void DetachInputMethod(void);
void RestoreInputMethod(void);

void DrawSelection(HDC dc);

struct LineRecord;
void Reflow(void);
void ReflowAfterEdit(const LineRecord *oldLines, int oldLineCount, int start, int end, int count);
void RepaintRect(const RECT *rect);
void RepaintTextArea(void);
void InvalidateCaret(int index);
void InvalidateSpan(int a, int b);
void KeepCaretVisible(void);
void KeepIndexVisible(int index);
void ScrollToCaret(int pageGap);
void ScrollToIndex(int index, int pageGap);
void RefreshChangedLines(const LineRecord *snapshot, int oldLineCount, int p, int q, int d,
                         int pageGap);

#endif
