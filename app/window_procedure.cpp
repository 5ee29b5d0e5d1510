#include "app/shell.h"
#include "accessibility/accessibility.h"
#include "app/resource.h"
#include "document/document.h"
#include "editing/editing.h"
#include "files/files.h"
#include "picker/picker.h"
#include "printing/printing.h"
#include "settings/settings.h"
#include "view/view.h"

// Ctrl+Backspace also arrives as DEL (127) after its key-down has deleted;
// a 127 that comes any other way (Alt+numpad) is text.
static BOOL IsBackspaceKeyDel(WPARAM code, LPARAM lParam)
{
    UINT scanCode = (UINT)(lParam >> 16) & 0xFF;
    return code == 0x7F && scanCode == MapVirtualKey(VK_BACK, MAPVK_VK_TO_VSC);
}

static BOOL RunCommand(int commandId);
static LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Whatever a message changed of the text, the caret or the selection, a
// listening screen reader hears of afterwards.
LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TextState before = NoteTextState();
    LRESULT result = HandleMessage(window, message, wParam, lParam);
    RaiseTextEvents(&before);
    return result;
}

static LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return CreateInitialState(window);
    case WM_DESTROY:
        ForgetElement(window);
        DestroyMainWindow();
        return 0;
    case WM_SIZE:
        HandleSize(lParam);
        FollowCaret();
        return 0;
    case WM_PAINT:
        PaintWindow(window);
        return 0;
    case WM_CLOSE:
        return ClosePrompt(window);
    case WM_QUERYENDSESSION:
        return QueryEndSession();
    case WM_ENDSESSION:
        EndSession(wParam);
        return 0;
    case WM_KEYDOWN:
        if (AutoRepeat)
            return 0;  // the mouse holds a picker button
        CollapseEmptySelection();
        HandleKeyDown((int)wParam);
        CollapseEmptySelection();
        FollowCaret();
        return 0;
    case WM_KEYUP:
        KeyRepeatCounter = 0;
        return 0;
    case WM_CHAR:
        if (!PickerFocus && !IsBackspaceKeyDel(wParam, lParam))
            InsertCharacter((int)wParam);
        FollowCaret();
        return 0;
    case WM_SYSKEYDOWN:
        if (AutoRepeat)
            return 0;
        break;
    case WM_COMMAND:
        if (RunCommand(LOWORD(wParam))) {
            FollowCaret();
            return 0;
        }
        break;
    case WM_TIMER:
        if (wParam == AUTO_REPEAT_TIMER && AutoRepeat)
            AutoRepeatStep();
        return 0;
    case WM_VSCROLL:
        HandleVerticalScroll(wParam);
        FollowCaret();
        return 0;
    case WM_INITMENUPOPUP:
        UpdateEditMenu();
        return 0;
    case WM_MOUSEMOVE:
        if (AutoRepeat && PointerLeftPressedButton(lParam)) {
            StopAutoRepeat();
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
        CollapseEmptySelection();
        HandleLeftButtonDown(lParam);
        CollapseEmptySelection();
        FollowCaret();
        return 0;
    case WM_GETOBJECT:
        return AnswerGetObject(window, wParam, lParam);
    case WM_SETFOCUS:
        CreateSystemCaret();
        return 0;
    case WM_KILLFOCUS:
        DestroySystemCaret();
        return 0;
    // The input method's own windows show the composition; the committed
    // text comes back as WM_IME_CHAR, whose default processing makes it the
    // WM_CHAR above, so every rule of typing holds for it.
    case WM_IME_STARTCOMPOSITION:
        OpenComposition();
        break;
    case WM_IME_COMPOSITION:
        FollowCaret();
        break;
    case WM_IME_ENDCOMPOSITION:
        CloseComposition();
        break;
    case WM_CAPTURECHANGED:
        // Another window took the mouse: the release will never reach us.
        if (AutoRepeat && (HWND)lParam != window)
            StopAutoRepeat();
        return 0;
    case WM_LBUTTONUP:
        if (AutoRepeat) {
            StopAutoRepeat();
            return 0;
        }
        break;
    }
    return DefWindowProc(window, message, wParam, lParam);
}

// Menu and accelerator commands alike; FALSE leaves the id to default processing.
static BOOL RunCommand(int commandId)
{
    if (commandId >= IDM_POINTS_FIRST && commandId <= IDM_POINTS_LAST) {
        SetFontSize(commandId);
        return TRUE;
    }
    switch (commandId) {
    case IDM_FILE_NEW: FileNew(); return TRUE;
    case IDM_FILE_OPEN: FileOpen(); return TRUE;
    case IDM_FILE_SAVE: FileSave(); return TRUE;
    case IDM_FILE_PRINT: PrintDocument(); return TRUE;
    case IDM_FILE_EXIT: SendMessage(MainWindow, WM_CLOSE, 0, 0); return TRUE;
    case IDM_EDIT_CUT: CutSelection(); return TRUE;
    case IDM_EDIT_COPY: CopySelection(); return TRUE;
    case IDM_EDIT_PASTE: PasteClipboard(); return TRUE;
    case IDM_EDIT_DELETE: DeleteSelection(); return TRUE;
    case IDM_EDIT_SELECT_ALL: SelectAll(); return TRUE;
    case IDM_WRAP_NO:
    case IDM_WRAP_YES: SetWordWrap(commandId); return TRUE;
    case IDM_ABOUT: ShowAboutBox(); return TRUE;
    }
    return FALSE;
}
