// What follows the caret for other programs: the system caret, which input
// methods, magnifiers and screen readers look for, and the input method's
// windows while a composition is open.  The system caret is never shown:
// the painted caret stays the only one on the screen.
#include "view/view.h"
#include "app/shell.h"
#include "document/document.h"
#include "document/layout.h"

#include <imm.h>

int SystemCaretHeight;
POINT SystemCaretPlace;
int CompositionOpen;

// Compositions are a few syllables; a longer one is measured by its start.
#define COMPOSITION_UNITS 256

// A line scrolled out of the text area takes the caret out of the client
// area with it, rather than leaving it over the picker.
static POINT SystemCaretPoint(const RECT *caret)
{
    POINT at = {caret->left, caret->top};
    if (caret->top < TopMargin && caret->top > -LineHeight)
        at.y = -LineHeight;
    return at;
}

// ScrollWindow carries the caret along with the pixels it moves, so where
// the caret was put last no longer says where it is.
int SystemCaretCarried;

void SystemCaretScrolled(void)
{
    SystemCaretCarried = TRUE;
}

static void MoveSystemCaret(const RECT *caret, BOOL force)
{
    // A caret is made at one height: a new font size needs a new one.
    if (SystemCaretHeight != LineHeight) {
        CreateCaret(MainWindow, NULL, 1, LineHeight);
        SystemCaretHeight = LineHeight;
        force = TRUE;
    }
    POINT at = SystemCaretPoint(caret);
    if (!force && !SystemCaretCarried && at.x == SystemCaretPlace.x && at.y == SystemCaretPlace.y)
        return;
    SetCaretPos(at.x, at.y);
    SystemCaretPlace = at;
    SystemCaretCarried = FALSE;
}

// The input method writes its composition left to right from the point it
// is given, but here the characters typed before the caret stand to its
// right: a composition starting at the caret would lie over the very text
// the user is going on from.  So it ends at the caret instead, in the cells
// its characters take once committed (each new unit goes in left of the
// caret), and grows leftward over the text after the caret, which the commit
// pushes left anyway.  The candidate list opens under the composition's
// start; excluding the caret's line from the column's left edge to its right
// keeps it off that line, above it when there is no room below.
static void PlaceInputMethodWindows(HDC dc, int logPixelsY, const RECT *caret)
{
    HIMC context = ImmGetContext(MainWindow);
    if (!context)
        return;
    WCHAR composition[COMPOSITION_UNITS];
    LONG bytes = ImmGetCompositionStringW(context, GCS_COMPSTR, composition, sizeof composition);
    int count = bytes > 0 ? (int)(bytes / sizeof(WCHAR)) : 0;
    POINT at = SystemCaretPoint(caret);
    at.x = caret->right - MeasureRun(dc, composition, count);
    if (at.x < 0)
        at.x = 0;

    COMPOSITIONFORM form = {CFS_POINT, at, {0, 0, 0, 0}};
    ImmSetCompositionWindow(context, &form);
    LOGFONT font = DocumentLogFont(logPixelsY);
    ImmSetCompositionFontW(context, &font);
    CANDIDATEFORM candidates = {0, CFS_EXCLUDE, {at.x, at.y + LineHeight},
                                {ColumnLeft, at.y, ColumnRight, at.y + LineHeight}};
    ImmSetCandidateWindow(context, &candidates);
    ImmReleaseContext(MainWindow, context);
}

static void Follow(BOOL force)
{
    if ((!SystemCaretHeight && !CompositionOpen) || Caret < 0 || Caret > CharCount - 1)
        return;
    MeasuringDC screen = GetMeasuringDC();
    RECT caret = CaretRect(screen.dc, Caret, screen.pageGap);
    if (CompositionOpen)
        PlaceInputMethodWindows(screen.dc, screen.logPixelsY, &caret);
    ReleaseMeasuringDC(&screen);
    if (SystemCaretHeight)
        MoveSystemCaret(&caret, force);
}

// After every message that can move the caret or what lies under it.
void FollowCaret(void)
{
    Follow(FALSE);
}

// The keyboard focus came: a caret one pixel wide and one line tall.
void CreateSystemCaret(void)
{
    CreateCaret(MainWindow, NULL, 1, LineHeight);
    SystemCaretHeight = LineHeight;
    Follow(TRUE);
}

void DestroySystemCaret(void)
{
    if (!SystemCaretHeight)
        return;
    DestroyCaret();
    SystemCaretHeight = 0;
}

void OpenComposition(void)
{
    CompositionOpen = 1;
    Follow(FALSE);
}

void CloseComposition(void)
{
    CompositionOpen = 0;
}

// While the picker has the keyboard typed characters are dropped, so the
// input method is turned off.  An open composition is cancelled first:
// detached, the input method would commit it into characters nobody takes.
void DetachInputMethod(void)
{
    if (CompositionOpen) {
        HIMC context = ImmGetContext(MainWindow);
        if (context) {
            ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_CANCEL, 0);
            ImmReleaseContext(MainWindow, context);
        }
    }
    ImmAssociateContextEx(MainWindow, NULL, 0);
    CompositionOpen = 0;
}

void RestoreInputMethod(void)
{
    ImmAssociateContextEx(MainWindow, NULL, IACE_DEFAULT);
}
