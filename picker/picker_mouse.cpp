#include "picker/picker.h"
#include "app/shell.h"
#include "editing/editing.h"
#include "view/view.h"

int AutoRepeatTicks;

static BOOL Inside(const RECT &r, int x, int y)
{
    return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}

static int ItemAt(int x, int y)
{
    int item = 0;
    while (item < PICKER_ITEM_COUNT - 1 && !Inside(PickerItems[item], x, y))
        item++;
    return item;
}

// The page box stands for the Up button and a digit for the cell under it,
// so only the buttons and the cells are ever highlighted.
static int HighlightFor(int item)
{
    if (item == PICKER_PAGE_BOX)
        return PICKER_UP;
    if (item >= PICKER_FIRST_DIGIT && item < PICKER_FIRST_CELL)
        return item - PICKER_FIRST_DIGIT + PICKER_FIRST_CELL;
    return item;
}

static void TakeKeyboard(int oldHighlight)
{
    if (PickerFocus == 1) {
        RepaintMovedHighlight(oldHighlight);
        return;
    }
    PickerFocus = 1;
    DetachInputMethod();
    RepaintFocusRule();
    RepaintHighlight(PickerHighlight);
}

// One step at the press; the timer keeps stepping while the button is held.
static void PressPageButton(int direction)
{
    if (PickerPageAtLimit(direction))
        return;
    PickerPage += direction;
    RepaintPageNumber();
    RepaintCells();
    AutoRepeat = 1;
    SetCapture(MainWindow);
    AutoRepeatTicks = 0;
    SetTimer(MainWindow, AUTO_REPEAT_TIMER, 400, NULL);
}

void PickerLeftButtonDown(int x, int y)
{
    if (!Inside(PickerStrip, x, y))
        return;
    int item = ItemAt(x, y);
    int oldHighlight = PickerHighlight;
    PickerHighlight = HighlightFor(item);
    TakeKeyboard(oldHighlight);

    if (item == PICKER_UP)
        PressPageButton(-1);
    else if (item == PICKER_DOWN)
        PressPageButton(+1);
    else if (item >= PICKER_FIRST_CELL)
        InsertCharacter(PickerPage * 10 + item - PICKER_FIRST_CELL);
}

void AutoRepeatStep(void)
{
    if (PickerHighlight != PICKER_UP && PickerHighlight != PICKER_DOWN) {
        StopAutoRepeat();
        return;
    }
    int direction = PickerHighlight == PICKER_UP ? -1 : +1;
    if (PickerPageAtLimit(direction)) {
        StopAutoRepeat();
        return;
    }
    GrowingPageStep(direction, &AutoRepeatTicks);
    RepaintPageNumber();
    RepaintCells();
    if (PickerPageAtLimit(direction)) {
        StopAutoRepeat();
        return;
    }
    // Restarted after painting, so a slow paint never lets ticks pile up.
    KillTimer(MainWindow, AUTO_REPEAT_TIMER);
    SetTimer(MainWindow, AUTO_REPEAT_TIMER, 100, NULL);
}

// While the mouse is captured, a pointer left of or above the window reads
// as a large unsigned coordinate and so counts as outside.
BOOL PointerLeftPressedButton(LPARAM lParam)
{
    return !Inside(PickerItems[PickerHighlight], LOWORD(lParam), HIWORD(lParam));
}

void StopAutoRepeat(void)
{
    AutoRepeat = 0;
    ReleaseCapture();
    KillTimer(MainWindow, AUTO_REPEAT_TIMER);
}
