// The keyboard focus, the thread's one caret and the input method (IMM32):
// a default input context per window, which the program can detach and
// restore, and a composition a test types into it.
#include "internal.h"

#include <string.h>

#include <algorithm>
#include <map>

namespace winsim {

struct InputContext {
    bool attached = true;  // every window starts with its default context
    bool composing = false;
    std::u16string composition;
    std::u16string result;  // while WM_IME_COMPOSITION carries GCS_RESULTSTR
    COMPOSITIONFORM compositionForm = {};
    CANDIDATEFORM candidateForm = {};
    LOGFONTW font = {};
};

static struct InputState {
    HWND focus = nullptr;
    HWND caretWindow = nullptr;
    RECT caret = {0, 0, 0, 0};
    std::map<HWND, InputContext> contexts;
    int contextsHeld = 0;
} state;

void ResetInput()
{
    state = InputState{};
}

// The window's default context; its handle is the record's address.
static InputContext &ContextOf(HWND hwnd)
{
    return state.contexts[hwnd];
}

static InputContext *FromHandle(HIMC context)
{
    for (auto &entry : state.contexts)
        if (reinterpret_cast<HIMC>(&entry.second) == context)
            return &entry.second;
    return nullptr;
}

static HWND WindowOf(const InputContext *context)
{
    for (auto &entry : state.contexts)
        if (&entry.second == context)
            return entry.first;
    return nullptr;
}

// The composition ends: its result, if any, goes first, as the input method
// sends it.
static void EndComposition(HWND hwnd, InputContext &context, std::u16string result)
{
    context.composition.clear();
    context.result = result;
    SendMessageW(hwnd, WM_IME_COMPOSITION, result.empty() ? 0 : result.back(),
                 result.empty() ? 0 : GCS_RESULTSTR);
    context.result.clear();
    context.composing = false;
    SendMessageW(hwnd, WM_IME_ENDCOMPOSITION, 0, 0);
}

void MoveCaretWithScroll(HWND hwnd, int dx, int dy, const RECT &area)
{
    const RECT &r = state.caret;
    if (state.caretWindow != hwnd || r.left < area.left || r.left >= area.right ||
        r.top < area.top || r.top >= area.bottom)
        return;
    state.caret = RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// A Unicode window's WM_IME_CHAR is its WM_CHAR; the result string comes as
// one WM_IME_CHAR a unit.
bool ImeDefaultProcessing(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_IME_CHAR:
        PostMessageW(hwnd, WM_CHAR, wParam, lParam);
        return true;
    case WM_IME_COMPOSITION:
        if (lParam & GCS_RESULTSTR)
            for (char16_t unit : ContextOf(hwnd).result)
                PostMessageW(hwnd, WM_IME_CHAR, unit, 1);
        return true;
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_ENDCOMPOSITION:
        return true;
    }
    return false;
}

}  // namespace winsim

using namespace winsim;

BOOL WINAPI CreateCaret(HWND hwnd, HBITMAP, int width, int height)
{
    RequireWindow(hwnd, "CreateCaret");
    // 0 asks for the window border's width or height, one pixel here.
    state.caretWindow = hwnd;
    state.caret = RECT{0, 0, width ? width : 1, height ? height : 1};
    return TRUE;
}

BOOL WINAPI DestroyCaret(void)
{
    if (!state.caretWindow)
        return FALSE;
    state.caretWindow = nullptr;
    return TRUE;
}

BOOL WINAPI SetCaretPos(int x, int y)
{
    if (!state.caretWindow)
        return FALSE;
    RECT &r = state.caret;
    r = RECT{x, y, x + r.right - r.left, y + r.bottom - r.top};
    return TRUE;
}

BOOL WINAPI GetCaretPos(LPPOINT point)
{
    if (!state.caretWindow)
        return FALSE;
    *point = POINT{state.caret.left, state.caret.top};
    return TRUE;
}

HIMC WINAPI ImmGetContext(HWND hwnd)
{
    RequireWindow(hwnd, "ImmGetContext");
    InputContext &context = ContextOf(hwnd);
    if (!context.attached)
        return nullptr;
    state.contextsHeld++;
    return reinterpret_cast<HIMC>(&context);
}

BOOL WINAPI ImmReleaseContext(HWND, HIMC context)
{
    if (!FromHandle(context))
        return FALSE;
    state.contextsHeld--;
    return TRUE;
}

BOOL WINAPI ImmSetCompositionWindow(HIMC handle, LPCOMPOSITIONFORM form)
{
    InputContext *context = FromHandle(handle);
    if (!context)
        return FALSE;
    context->compositionForm = *form;
    return TRUE;
}

BOOL WINAPI ImmSetCandidateWindow(HIMC handle, LPCANDIDATEFORM form)
{
    InputContext *context = FromHandle(handle);
    if (!context || form->dwIndex >= 4)
        return FALSE;
    if (form->dwIndex == 0)
        context->candidateForm = *form;
    return TRUE;
}

BOOL WINAPI ImmSetCompositionFontW(HIMC handle, LPLOGFONTW font)
{
    InputContext *context = FromHandle(handle);
    if (!context)
        return FALSE;
    context->font = *font;
    return TRUE;
}

LONG WINAPI ImmGetCompositionStringW(HIMC handle, DWORD index, LPVOID buffer, DWORD bytes)
{
    InputContext *context = FromHandle(handle);
    if (!context || (index != GCS_COMPSTR && index != GCS_RESULTSTR))
        return -1;  // IMM_ERROR_GENERAL
    const std::u16string &text = index == GCS_COMPSTR ? context->composition : context->result;
    DWORD size = DWORD(text.size() * sizeof(WCHAR));
    if (!buffer || bytes == 0)
        return (LONG)size;
    DWORD copied = std::min(size, bytes / DWORD(sizeof(WCHAR)) * DWORD(sizeof(WCHAR)));
    memcpy(buffer, text.data(), copied);
    return (LONG)copied;
}

BOOL WINAPI ImmNotifyIME(HIMC handle, DWORD action, DWORD index, DWORD)
{
    InputContext *context = FromHandle(handle);
    if (!context || action != NI_COMPOSITIONSTR)
        return FALSE;
    if (!context->composing)
        return index == CPS_CANCEL || index == CPS_COMPLETE;
    if (index == CPS_CANCEL)
        EndComposition(WindowOf(context), *context, u"");
    else if (index == CPS_COMPLETE)
        EndComposition(WindowOf(context), *context, context->composition);
    else
        return FALSE;
    return TRUE;
}

// Detaching a context with a composition open deactivates it, and an input
// method completes its composition then: the text is committed.
BOOL WINAPI ImmAssociateContextEx(HWND hwnd, HIMC handle, DWORD flags)
{
    RequireWindow(hwnd, "ImmAssociateContextEx");
    InputContext &context = ContextOf(hwnd);
    bool attach = (flags & IACE_DEFAULT) || handle == reinterpret_cast<HIMC>(&context);
    if (flags & IACE_CHILDREN)
        return TRUE;  // winsim windows have no children
    if (!attach && context.attached && context.composing)
        EndComposition(hwnd, context, context.composition);
    context.attached = attach;
    return TRUE;
}

HWND WINAPI GetFocus(void)
{
    return WindowFrom(state.focus) ? state.focus : nullptr;
}

HWND WINAPI SetFocus(HWND hwnd)
{
    HWND old = GetFocus();
    WinsimSetFocus(hwnd);
    return old;
}

// The program's one thread: every window belongs to it.
const DWORD kThreadId = 1;

DWORD WINAPI GetWindowThreadProcessId(HWND hwnd, LPDWORD processId)
{
    if (!WindowFrom(hwnd))
        return 0;
    if (processId)
        *processId = GetCurrentProcessId();
    return kThreadId;
}

// The focus, the capture and the caret; no menu or move is told.
BOOL WINAPI GetGUIThreadInfo(DWORD threadId, GUITHREADINFO *info)
{
    if (!info || info->cbSize != sizeof *info || (threadId != 0 && threadId != kThreadId)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    memset(&info->flags, 0, sizeof *info - sizeof info->cbSize);
    info->hwndFocus = GetFocus();
    return TRUE;
}

// ---- test controls ----

void WinsimSetFocus(HWND hwnd)
{
    HWND old = state.focus;
    if (old == hwnd)
        return;
    state.focus = hwnd;
    if (old && WindowFrom(old))
        SendMessageW(old, WM_KILLFOCUS, (WPARAM)hwnd, 0);
    if (hwnd)
        SendMessageW(hwnd, WM_SETFOCUS, (WPARAM)old, 0);
}

WinsimCaretState WinsimCaret(void)
{
    return WinsimCaretState{state.caretWindow, state.caret};
}

WinsimImeState WinsimInputMethod(HWND hwnd)
{
    const InputContext &c = ContextOf(hwnd);
    return WinsimImeState{c.attached,        c.composing,     c.composition, c.compositionForm,
                          c.candidateForm,   c.font, state.contextsHeld};
}

bool WinsimImeCompose(HWND hwnd, const std::u16string &text)
{
    InputContext &context = ContextOf(hwnd);
    if (!context.attached)
        return false;
    if (!context.composing) {
        context.composing = true;
        SendMessageW(hwnd, WM_IME_STARTCOMPOSITION, 0, 0);
    }
    context.composition = text;
    SendMessageW(hwnd, WM_IME_COMPOSITION, text.empty() ? 0 : text.back(), GCS_COMPSTR);
    return true;
}

bool WinsimImeCommit(HWND hwnd, const std::u16string &text)
{
    InputContext &context = ContextOf(hwnd);
    if (!context.attached || !context.composing)
        return false;
    EndComposition(hwnd, context, text);
    return true;
}
