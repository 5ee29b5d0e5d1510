// The message queue and input: sent, posted and dispatched messages, the
// quit message, key state and its translation, timers on a virtual clock,
// and the mouse capture.
#include "internal.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <deque>

namespace winsim {

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT interval;
    DWORD due;
};

static struct MessageState {
    std::deque<MSG> postedMessages;
    bool quitPosted = false;
    int quitCode = 0;
    void (*idleHook)(void) = nullptr;
    std::vector<Timer> timers;
    DWORD clockNow = 0;
    HWND captureWindow = nullptr;
    short keyStates[256] = {};
    std::vector<WinsimMessage> deliveredMessages;
    int paintCount = 0;
} state;

void ResetMessages()
{
    state = MessageState{};
}

// UpdateWindow's paint: sent at once, and counted as a dispatched one is.
void PaintNow(HWND hwnd)
{
    state.paintCount++;
    SendMessageW(hwnd, WM_PAINT, 0, 0);
}

void DropTimersAndCapture(HWND hwnd)
{
    if (state.captureWindow == hwnd)
        state.captureWindow = nullptr;
    std::vector<Timer> &timers = state.timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [hwnd](const Timer &t) { return t.hwnd == hwnd; }),
                 timers.end());
}

// GetMessage's range: both bounds 0 take every message.
static bool InFilter(UINT message, UINT filterMin, UINT filterMax)
{
    return (filterMin == 0 && filterMax == 0) || (filterMin <= message && message <= filterMax);
}

// Windows' order: posted messages, then the quit message (whatever the
// filter), then paints.
static bool NextMessage(MSG *msg, UINT filterMin = 0, UINT filterMax = 0)
{
    *msg = MSG{};
    for (auto it = state.postedMessages.begin(); it != state.postedMessages.end(); ++it)
        if (InFilter(it->message, filterMin, filterMax)) {
            *msg = *it;
            state.postedMessages.erase(it);
            return true;
        }
    if (state.quitPosted) {
        state.quitPosted = false;
        msg->message = WM_QUIT;
        msg->wParam = (WPARAM)state.quitCode;
        return true;
    }
    if (!InFilter(WM_PAINT, filterMin, filterMax))
        return false;
    if (Window *w = WindowNeedingPaint()) {
        msg->hwnd = HandleOf(w);
        msg->message = WM_PAINT;
        return true;
    }
    return false;
}

// Set 1 scan codes of the keys TranslateMessage knows, by virtual key.
static UINT ScanCode(UINT vk)
{
    static const char letters[] = "\x1e\x30\x2e\x20\x12\x21\x22\x23\x17\x24\x25\x26\x32"
                                  "\x31\x18\x19\x10\x13\x1f\x14\x16\x2f\x11\x2d\x15\x2c";
    if (vk >= 'A' && vk <= 'Z')
        return (UINT)letters[vk - 'A'];
    if (vk >= '1' && vk <= '9')
        return vk - '1' + 0x02;
    switch (vk) {
    case '0': return 0x0B;
    case VK_BACK: return 0x0E;
    case VK_TAB: return 0x0F;
    case VK_RETURN: return 0x1C;
    case VK_ESCAPE: return 0x01;
    case VK_SPACE: return 0x39;
    }
    return 0;
}

// The window losing the capture hears of it, with the gaining window in lParam.
static void ChangeCapture(HWND hwnd)
{
    HWND previous = state.captureWindow;
    state.captureWindow = hwnd;
    if (previous && previous != hwnd && WindowFrom(previous))
        SendMessageW(previous, WM_CAPTURECHANGED, 0, (LPARAM)hwnd);
}

}  // namespace winsim

using namespace winsim;

LRESULT WINAPI SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = RequireWindow(hwnd, "SendMessageW");
    state.deliveredMessages.push_back(WinsimMessage{hwnd, msg, wParam, lParam});
    return w->procedure(hwnd, msg, wParam, lParam);
}

BOOL WINAPI PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    MSG m = {};
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = state.clockNow;
    state.postedMessages.push_back(m);
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode)
{
    state.quitPosted = true;
    state.quitCode = exitCode;
}

BOOL WINAPI GetMessageW(LPMSG msg, HWND, UINT filterMin, UINT filterMax)
{
    if (ShouldFail(WinsimGetMessage)) {
        // What the record holds after a failure is undefined; make it junk.
        memset(msg, 0xCD, sizeof *msg);
        return -1;
    }
    while (!NextMessage(msg, filterMin, filterMax)) {
        if (!state.idleHook) {
            fprintf(stderr, "winsim: GetMessage would wait forever (no idle hook)\n");
            abort();
        }
        size_t before = state.postedMessages.size();
        bool quitBefore = state.quitPosted;
        state.idleHook();
        bool paintDue = InFilter(WM_PAINT, filterMin, filterMax) && WindowNeedingPaint();
        if (state.postedMessages.size() == before && state.quitPosted == quitBefore && !paintDue) {
            fprintf(stderr, "winsim: the idle hook posted nothing; GetMessage would hang\n");
            abort();
        }
    }
    return msg->message != WM_QUIT;
}

// The character message keeps the key-down's lParam, and with it the scan
// code in bits 16 to 23.  Control turns Backspace into DEL and Return into LF.
BOOL WINAPI TranslateMessage(const MSG *msg)
{
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)
        return FALSE;
    int vk = (int)msg->wParam;
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool control = GetKeyState(VK_CONTROL) < 0;
    int code = -1;
    if (vk >= 'A' && vk <= 'Z')
        code = control ? vk - 'A' + 1 : (shift ? vk : vk + 32);
    else if (vk >= '0' && vk <= '9')
        code = vk;
    else if (vk == VK_BACK)
        code = control ? 0x7F : vk;
    else if (vk == VK_RETURN)
        code = control ? 0x0A : vk;
    else if (vk == VK_SPACE || vk == VK_TAB || vk == VK_ESCAPE)
        code = vk;
    if (code < 0)
        return FALSE;
    PostMessageW(msg->hwnd, msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, (WPARAM)code,
                 msg->lParam);
    return TRUE;
}

LRESULT WINAPI DispatchMessageW(const MSG *msg)
{
    Window *w = WindowFrom(msg->hwnd);
    if (!w)
        return 0;
    if (msg->message == WM_PAINT)
        state.paintCount++;
    state.deliveredMessages.push_back(
        WinsimMessage{msg->hwnd, msg->message, msg->wParam, msg->lParam});
    return w->procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

UINT WINAPI MapVirtualKeyW(UINT code, UINT mapType)
{
    return mapType == MAPVK_VK_TO_VSC ? ScanCode(code) : 0;
}

short WINAPI GetKeyState(int virtKey)
{
    return state.keyStates[virtKey & 0xFF];
}

UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC)
{
    RequireWindow(hwnd, "SetTimer");
    KillTimer(hwnd, id);
    state.timers.push_back(Timer{hwnd, id, elapse, state.clockNow + elapse});
    return id;
}

BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id)
{
    for (auto it = state.timers.begin(); it != state.timers.end(); ++it)
        if (it->hwnd == hwnd && it->id == id) {
            state.timers.erase(it);
            return TRUE;
        }
    return FALSE;
}

HWND WINAPI SetCapture(HWND hwnd)
{
    HWND previous = state.captureWindow;
    ChangeCapture(hwnd);
    return previous;
}

BOOL WINAPI ReleaseCapture(void)
{
    ChangeCapture(nullptr);
    return TRUE;
}

HWND WINAPI GetCapture(void)
{
    return state.captureWindow;
}

// ---- test controls ----

void WinsimPumpMessages(void)
{
    MSG msg;
    while (NextMessage(&msg)) {
        if (msg.message == WM_QUIT) {
            state.quitPosted = true;  // leave it for a message loop to see
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void WinsimSetIdleHook(void (*hook)(void))
{
    state.idleHook = hook;
}

void WinsimSetKeyDown(int virtKey, bool down)
{
    state.keyStates[virtKey & 0xFF] = down ? (short)0x8000 : 0;
}

LPARAM WinsimKeyLParam(int virtKey)
{
    return (LPARAM)(1 | ScanCode((UINT)virtKey) << 16);
}

void WinsimAdvanceClock(int milliseconds)
{
    DWORD target = state.clockNow + milliseconds;
    for (;;) {
        Timer *next = nullptr;
        for (auto &t : state.timers)
            if (t.due <= target && (!next || t.due < next->due))
                next = &t;
        if (!next)
            break;
        state.clockNow = next->due;
        next->due += next->interval;
        HWND hwnd = next->hwnd;
        UINT_PTR id = next->id;
        SendMessageW(hwnd, WM_TIMER, id, 0);
    }
    state.clockNow = target;
}

const std::vector<WinsimMessage> &WinsimMessages(void)
{
    return state.deliveredMessages;
}

int WinsimPaintCount(void)
{
    return state.paintCount;
}

void WinsimClearLogs(void)
{
    state.deliveredMessages.clear();
    ClearWindowLogs();
    state.paintCount = 0;
}
