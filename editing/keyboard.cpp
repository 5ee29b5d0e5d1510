#include "editing/editing.h"
#include "app/shell.h"
#include "picker/picker.h"
#include "view/view.h"

BOOL KeyHeld(int virtualKey)
{
    return GetKeyState(virtualKey) < 0;
}

// Every key-down the window procedure passes on.
void HandleKeyDown(int virtualKey)
{
    int pageGap = ScreenPageGap();
    if (PickerFocus == 1) {
        PickerKeyDown(virtualKey);
        return;
    }
    if (PickerFocus != 0)
        return;
    switch (virtualKey) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
        MoveCaretByKey(virtualKey, pageGap);
        break;
    case VK_ESCAPE:
        CancelSelection(pageGap);
        break;
    case VK_TAB:
        if (KeyHeld(VK_SHIFT))
            EnterPickerKeyboardMode();
        else
            InsertSpaces();
        break;
    case VK_RETURN:
        InsertLineBreak();
        break;
    case VK_BACK:
        DeleteBackward();
        break;
    case VK_DELETE:
        DeleteForward();
        break;
    }
}
