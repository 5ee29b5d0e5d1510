// Message boxes, answered from a queue the test fills, and the reason a
// window gives for blocking shutdown, which each box records.
#include "internal.h"

#include <deque>

namespace winsim {

static struct MessageBoxState {
    std::vector<WinsimMessageBox> messageBoxes;
    std::u16string shutdownBlockReason;  // empty: none
    std::deque<int> messageBoxAnswers;
    void (*duringNextDialog)(void) = nullptr;
} state;

void ResetMessageBoxes()
{
    state = MessageBoxState{};
}

// ---- what happens while a dialog is open ----

void RunDuringDialogHook()
{
    void (*hook)(void) = state.duringNextDialog;
    state.duringNextDialog = nullptr;
    if (hook)
        hook();
}

}  // namespace winsim

using namespace winsim;

int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    state.messageBoxes.push_back(WinsimMessageBox{owner, text ? text : u"", caption ? caption : u"", type,
                                                  state.shutdownBlockReason});
    RunDuringDialogHook();
    if (!state.messageBoxAnswers.empty()) {
        int answer = state.messageBoxAnswers.front();
        state.messageBoxAnswers.pop_front();
        return answer;
    }
    switch (type & 0xF) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDYES;
    default:
        return IDOK;
    }
}

// One window's reason at a time is all the program needs.
BOOL WINAPI ShutdownBlockReasonCreate(HWND hwnd, LPCWSTR reason)
{
    RequireWindow(hwnd, "ShutdownBlockReasonCreate");
    state.shutdownBlockReason = reason ? reason : u"";
    return TRUE;
}

BOOL WINAPI ShutdownBlockReasonDestroy(HWND hwnd)
{
    RequireWindow(hwnd, "ShutdownBlockReasonDestroy");
    state.shutdownBlockReason.clear();
    return TRUE;
}

// With buffer null, size gets the length the reason needs with its 0.
BOOL WINAPI ShutdownBlockReasonQuery(HWND hwnd, LPWSTR buffer, DWORD *size)
{
    RequireWindow(hwnd, "ShutdownBlockReasonQuery");
    if (state.shutdownBlockReason.empty())
        return FALSE;
    if (!buffer) {
        *size = (DWORD)state.shutdownBlockReason.size() + 1;
        return TRUE;
    }
    lstrcpynW(buffer, state.shutdownBlockReason.c_str(), (int)*size);
    return TRUE;
}

// ---- test controls ----

const std::vector<WinsimMessageBox> &WinsimMessageBoxes(void)
{
    return state.messageBoxes;
}

void WinsimAnswerNextMessageBox(int answer)
{
    state.messageBoxAnswers.push_back(answer);
}

void WinsimDuringNextDialog(void (*hook)(void))
{
    state.duringNextDialog = hook;
}
