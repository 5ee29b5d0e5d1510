#include "settings/settings.h"
#include "app/resource.h"
#include "app/shell.h"
#include "document/document.h"
#include "document/layout.h"
#include "editing/editing.h"
#include "view/view.h"

// Moves the check mark of a menu group from one item to another.
static void MoveCheckMark(int fromId, int toId)
{
    HMENU menu = GetMenu(MainWindow);
    CheckMenuItem(menu, fromId, MF_BYCOMMAND | MF_UNCHECKED);
    CheckMenuItem(menu, toId, MF_BYCOMMAND | MF_CHECKED);
}

// Both commands put the caret at the start.  A selection stays only if it
// starts there, so the caret still ends it; any other would be left out of
// sight of the caret, and the next key typed would replace it unseen.
static void DropSelectionNotAtStart(void)
{
    if (SelectionActive && SelStart != 0)
        DropSelection(0);
}

// Every line may change, so the whole text area is repainted.
void SetFontSize(int commandId)
{
    int points = commandId - IDM_POINTS_BASE;
    if (-points == FontPoints)
        return;
    MoveCheckMark(IDM_POINTS_BASE - FontPoints, commandId);
    DropSelectionNotAtStart();
    FontPoints = -points;

    MeasuringDC screen = GetMeasuringDC();
    ComputeLineMetrics(screen.dc, screen.logPixelsY);
    Caret = 0;
    TopLine = 0;
    Reflow();
    RepaintTextArea();
    ReleaseMeasuringDC(&screen);
}

// The text does not move, so only lines whose breaks changed are repainted.
void SetWordWrap(int commandId)
{
    int oldMode = WordWrapMode;
    WordWrapMode = commandId;
    if (commandId == oldMode)
        return;
    int pageGap = ScreenPageGap();
    LineRecord *snapshot = TakeLineSnapshot();
    if (!snapshot) {
        WordWrapMode = oldMode;
        ReportWarning(TEXT("Can Not Adjust Word Wrap"), TEXT("Can not allocate memory"));
        return;
    }

    // Before the old caret column is erased: the span's repaint draws the caret.
    DropSelectionNotAtStart();
    // The old column is repainted with the caret already at the start, which
    // erases it; one unit on, before a CR LF or at the end, it would be
    // drawn in the same column again.
    int oldCaret = Caret;
    Caret = 0;
    InvalidateCaret(oldCaret);
    MoveCheckMark(oldMode, commandId);

    int oldLineCount = LineCount;
    Reflow();
    InvalidateCaret(0);
    RefreshChangedLines(snapshot, oldLineCount, CharCount, CharCount, 0, pageGap);
    FreeLineSnapshot(snapshot);
}
