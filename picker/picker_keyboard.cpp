#include "picker/picker.h"
#include "app/shell.h"
#include "editing/editing.h"
#include "view/view.h"

static BOOL OnCell(void)
{
    return PickerHighlight >= PICKER_FIRST_CELL;
}

static void MoveHighlight(int item)
{
    int old = PickerHighlight;
    PickerHighlight = item;
    RepaintMovedHighlight(old);
}

// A held key repeats as further key-downs, so the counter grows the step.
static void KeyPageStep(int direction)
{
    if (PickerPageAtLimit(direction))
        return;
    GrowingPageStep(direction, &KeyRepeatCounter);
    RepaintPageNumber();
    RepaintCells();
}

static void JumpTo(int page, int highlight)
{
    int oldPage = PickerPage;
    int oldHighlight = PickerHighlight;
    PickerPage = ClampPickerPage(page);
    PickerHighlight = highlight;
    if (PickerPage != oldPage) {
        RepaintPageNumber();
        RepaintCells();
    }
    RepaintMovedHighlight(oldHighlight);
}

static void PageJump(int direction)
{
    int step = 100;
    if (!KeyHeld(VK_CONTROL) && KeyRepeatCounter < 10) {
        step = 10;
        KeyRepeatCounter += 1;
    }
    JumpTo(PickerPage + direction * step, PICKER_FIRST_CELL);
}

static void Choose(void)
{
    if (PickerHighlight == PICKER_UP)
        KeyPageStep(-1);
    else if (PickerHighlight == PICKER_DOWN)
        KeyPageStep(+1);
    else
        InsertCharacter(PickerPage * 10 + PickerHighlight - PICKER_FIRST_CELL);
}

// Gives the keyboard back to the text.  A click in the text erases the
// highlight frame before the rule comes back, Shift+Tab the other way round.
void LeavePickerKeyboardMode(BOOL frameFirst)
{
    PickerFocus = 0;
    RestoreInputMethod();
    if (frameFirst)
        RepaintHighlight(PickerHighlight);
    RepaintFocusRule();
    if (!frameFirst)
        RepaintHighlight(PickerHighlight);
}

// Always starts on the Up button, wherever the highlight was left.
void EnterPickerKeyboardMode(void)
{
    PickerFocus = 1;
    DetachInputMethod();
    RepaintFocusRule();
    PickerHighlight = PICKER_UP;
    RepaintHighlight(PICKER_UP);
}

void PickerKeyDown(int virtualKey)
{
    switch (virtualKey) {
    case VK_TAB:
        if (KeyHeld(VK_SHIFT))
            LeavePickerKeyboardMode(FALSE);
        else
            MoveHighlight(OnCell() ? PICKER_UP : PICKER_FIRST_CELL);
        break;
    case VK_RETURN:
    case VK_SPACE:
        Choose();
        break;
    case VK_LEFT:
        if (OnCell() && PickerHighlight > PICKER_FIRST_CELL)
            MoveHighlight(PickerHighlight - 1);
        break;
    case VK_RIGHT:
        if (OnCell() && PickerHighlight < PICKER_LAST_CELL)
            MoveHighlight(PickerHighlight + 1);
        break;
    case VK_UP:
        if (PickerHighlight == PICKER_DOWN)
            MoveHighlight(PICKER_UP);
        else if (OnCell())
            KeyPageStep(-1);
        break;
    case VK_DOWN:
        if (PickerHighlight == PICKER_UP)
            MoveHighlight(PICKER_DOWN);
        else if (OnCell())
            KeyPageStep(+1);
        break;
    case VK_PRIOR:
        PageJump(-1);
        break;
    case VK_NEXT:
        PageJump(+1);
        break;
    case VK_HOME:
        if (KeyHeld(VK_CONTROL))
            JumpTo(PICKER_FIRST_PAGE, PICKER_FIRST_CELL);
        else
            MoveHighlight(PICKER_FIRST_CELL);
        break;
    case VK_END:
        if (KeyHeld(VK_CONTROL))
            JumpTo(PICKER_LAST_PAGE, PICKER_LAST_CELL);
        else
            MoveHighlight(PICKER_LAST_CELL);
        break;
    }
}
