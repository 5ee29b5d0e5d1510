// Window classes, windows, the message queue, painting and update regions,
// the vertical scroll bar, window scrolling, timers, capture, key state and
// message boxes.
#include "internal.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <deque>
#include <memory>

namespace winsim {

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT interval;
    DWORD due;
};

static std::vector<std::unique_ptr<WindowClass>> classes;
static std::vector<std::unique_ptr<Window>> windows;
static std::deque<MSG> postedMessages;
static bool quitPosted;
static int quitCode;
static void (*idleHook)(void);
static std::vector<Timer> timers;
static DWORD clockNow;
static HWND captureWindow;
static short keyStates[256];
static int defaultClientWidth;
static int defaultClientHeight;
static std::vector<WinsimInvalidation> invalidations;
static std::vector<WinsimScroll> scrolls;
static int paintCount;
static std::vector<WinsimMessageBox> messageBoxes;
static std::u16string shutdownBlockReason;  // empty: none
static std::deque<int> messageBoxAnswers;
static std::vector<WinsimMessage> deliveredMessages;

void ResetWindowing()
{
    classes.clear();
    windows.clear();
    postedMessages.clear();
    quitPosted = false;
    quitCode = 0;
    idleHook = nullptr;
    timers.clear();
    clockNow = 0;
    captureWindow = nullptr;
    std::fill(std::begin(keyStates), std::end(keyStates), 0);
    defaultClientWidth = 800 + kScrollBarWidth;
    defaultClientHeight = 600;
    invalidations.clear();
    scrolls.clear();
    paintCount = 0;
    messageBoxes.clear();
    shutdownBlockReason.clear();
    messageBoxAnswers.clear();
    deliveredMessages.clear();
}

Window *WindowFrom(HWND hwnd)
{
    for (auto &w : windows)
        if (HandleOf(w.get()) == hwnd && !w->destroyed)
            return w.get();
    return nullptr;
}

HWND HandleOf(Window *window)
{
    return reinterpret_cast<HWND>(window);
}

static Window *RequireWindow(HWND hwnd, const char *call)
{
    Window *w = WindowFrom(hwnd);
    if (!w) {
        fprintf(stderr, "winsim: %s called with an invalid window handle\n", call);
        abort();
    }
    return w;
}

static bool HasVerticalBar(const Window *w)
{
    return (w->style & WS_VSCROLL) && w->verticalBar.min != w->verticalBar.max;
}

int ClientWidthOf(const Window *w)
{
    if (w->minimized)
        return 0;
    int width = w->frameWidth - (HasVerticalBar(w) ? kScrollBarWidth : 0);
    return width < 0 ? 0 : width;
}

int ClientHeightOf(const Window *w)
{
    return w->minimized ? 0 : w->frameHeight;
}

static RECT ClientRect(const Window *w)
{
    return RECT{0, 0, w->width, w->height};
}

static bool Intersect(const RECT &a, const RECT &b, RECT *out)
{
    out->left = std::max(a.left, b.left);
    out->top = std::max(a.top, b.top);
    out->right = std::min(a.right, b.right);
    out->bottom = std::min(a.bottom, b.bottom);
    return out->left < out->right && out->top < out->bottom;
}

static bool IsEmpty(const RECT &r)
{
    return r.left >= r.right || r.top >= r.bottom;
}

static void Unite(RECT *bounds, const RECT &r)
{
    if (IsEmpty(*bounds)) {
        *bounds = r;
        return;
    }
    bounds->left = std::min(bounds->left, r.left);
    bounds->top = std::min(bounds->top, r.top);
    bounds->right = std::max(bounds->right, r.right);
    bounds->bottom = std::max(bounds->bottom, r.bottom);
}

static long long AreaOf(const RECT &r)
{
    return IsEmpty(r) ? 0 : (long long)(r.right - r.left) * (r.bottom - r.top);
}

static void AddToUpdateRegion(Window *w, const RECT &rect, bool erase)
{
    RECT area;
    if (!Intersect(rect, ClientRect(w), &area))
        return;
    for (int y = area.top; y < area.bottom; y++)
        std::fill_n(&w->updateMask[size_t(y) * w->width + area.left], area.right - area.left, 1);
    RECT old = w->updateBounds;
    Unite(&w->updateBounds, area);
    // The union of two boxes is a box when it leaves no gap in the box around both.
    RECT overlap;
    long long shared = Intersect(old, area, &overlap) ? AreaOf(overlap) : 0;
    long long box = AreaOf(w->updateBounds);
    w->updateIsBox = box == AreaOf(area) ||
                     (w->updateIsBox && AreaOf(old) + AreaOf(area) - shared == box);
    if (erase)
        w->updateErase = true;
}

// After pixels of the mask moved: the box around what is still set, and
// whether the mask fills it.
static void RecomputeUpdateBounds(Window *w)
{
    w->updateBounds = RECT{0, 0, 0, 0};
    long long set = 0;
    for (int y = 0; w->width > 0 && y < w->height; y++) {
        const uint8_t *row = w->updateMask.data() + size_t(y) * w->width;
        const uint8_t *end = row + w->width;
        const uint8_t *first = (const uint8_t *)memchr(row, 1, w->width);
        if (!first)
            continue;
        const uint8_t *last = (const uint8_t *)memrchr(first, 1, end - first);
        Unite(&w->updateBounds, RECT{int(first - row), y, int(last - row) + 1, y + 1});
        set += std::count(first, last + 1, 1);
    }
    w->updateIsBox = set == AreaOf(w->updateBounds);
}

// Outside its bounds the mask is already clear.
static void ValidateAll(Window *w)
{
    const RECT &b = w->updateBounds;
    for (int y = b.top; y < b.bottom; y++)
        std::fill_n(&w->updateMask[size_t(y) * w->width + b.left], b.right - b.left, 0);
    w->updateBounds = RECT{0, 0, 0, 0};
    w->updateIsBox = true;
    w->updateErase = false;
}

static bool UpdateRegionEmpty(const Window *w)
{
    return IsEmpty(w->updateBounds);
}

// Brings the framebuffer to the client size; what is new is unpainted and,
// with the redraw styles, the whole client area is invalidated.
static void ApplyClientSize(Window *w)
{
    int newWidth = ClientWidthOf(w);
    int newHeight = ClientHeightOf(w);
    if (newWidth == w->width && newHeight == w->height)
        return;
    std::vector<COLORREF> pixels(size_t(newWidth) * newHeight, WINSIM_UNPAINTED);
    std::vector<uint8_t> mask(size_t(newWidth) * newHeight, 0);
    for (int y = 0; y < std::min(newHeight, w->height); y++)
        for (int x = 0; x < std::min(newWidth, w->width); x++) {
            pixels[y * newWidth + x] = w->pixels[y * w->width + x];
            mask[y * newWidth + x] = w->updateMask[y * w->width + x];
        }
    int oldWidth = w->width;
    int oldHeight = w->height;
    w->pixels.swap(pixels);
    w->updateMask.swap(mask);
    w->width = newWidth;
    w->height = newHeight;
    RecomputeUpdateBounds(w);

    UINT style = w->windowClass->info.style;
    bool redrawAll = ((style & CS_HREDRAW) && newWidth != oldWidth) ||
                     ((style & CS_VREDRAW) && newHeight != oldHeight);
    if (redrawAll) {
        AddToUpdateRegion(w, ClientRect(w), true);
    } else {
        AddToUpdateRegion(w, RECT{oldWidth, 0, newWidth, newHeight}, true);
        AddToUpdateRegion(w, RECT{0, oldHeight, newWidth, newHeight}, true);
    }
    SendMessageW(HandleOf(w), WM_SIZE, w->minimized ? SIZE_MINIMIZED : SIZE_RESTORED,
                 MAKELPARAM(newWidth, newHeight));
}

static void PaintNow(Window *w)
{
    paintCount++;
    SendMessageW(HandleOf(w), WM_PAINT, 0, 0);
}

}  // namespace winsim

using namespace winsim;

ATOM WINAPI RegisterClassW(const WNDCLASSW *wc)
{
    if (ShouldFail(WinsimRegisterClass))
        return 0;
    std::u16string name(wc->lpszClassName);
    for (auto &c : classes)
        if (c->name == name)
            return 0;
    auto c = std::make_unique<WindowClass>();
    c->name = name;
    c->info = *wc;
    classes.push_back(std::move(c));
    return (ATOM)(0xC000 + classes.size());
}

HWND WINAPI CreateWindowExW(DWORD, LPCWSTR className, LPCWSTR windowName, DWORD style, int, int,
                            int width, int height, HWND, HMENU menu, HINSTANCE, LPVOID)
{
    if (ShouldFail(WinsimCreateWindowEx))
        return nullptr;
    const WindowClass *windowClass = nullptr;
    for (auto &c : classes)
        if (c->name == std::u16string(className))
            windowClass = c.get();
    if (!windowClass)
        return nullptr;

    auto w = std::make_unique<Window>();
    w->windowClass = windowClass;
    w->procedure = windowClass->info.lpfnWndProc;
    w->title = windowName ? windowName : u"";
    w->style = style;
    w->menu = menu ? menu
                   : (windowClass->info.lpszMenuName
                          ? LoadMenuW(windowClass->info.hInstance, windowClass->info.lpszMenuName)
                          : nullptr);
    w->frameWidth = width == CW_USEDEFAULT ? defaultClientWidth : width;
    w->frameHeight = height == CW_USEDEFAULT ? defaultClientHeight : height;
    w->width = ClientWidthOf(w.get());
    w->height = ClientHeightOf(w.get());
    w->pixels.assign(size_t(w->width) * w->height, WINSIM_UNPAINTED);
    w->updateMask.assign(size_t(w->width) * w->height, 0);
    Window *window = w.get();
    windows.push_back(std::move(w));
    HWND hwnd = HandleOf(window);

    if (SendMessageW(hwnd, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(window->width, window->height));
    return hwnd;
}

BOOL WINAPI ShowWindow(HWND hwnd, int cmdShow)
{
    Window *w = RequireWindow(hwnd, "ShowWindow");
    bool wasVisible = w->visible;
    if (cmdShow == SW_HIDE) {
        w->visible = false;
        return wasVisible;
    }
    bool minimize = cmdShow == SW_SHOWMINIMIZED || cmdShow == SW_MINIMIZE;
    w->visible = true;
    if (!wasVisible)
        AddToUpdateRegion(w, ClientRect(w), true);
    if (minimize != w->minimized) {
        w->minimized = minimize;
        ApplyClientSize(w);
    }
    return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND hwnd)
{
    Window *w = RequireWindow(hwnd, "UpdateWindow");
    if (w->visible && !UpdateRegionEmpty(w))
        PaintNow(w);
    return TRUE;
}

BOOL WINAPI DestroyWindow(HWND hwnd)
{
    Window *w = WindowFrom(hwnd);
    if (!w)
        return FALSE;
    SendMessageW(hwnd, WM_DESTROY, 0, 0);
    w->destroyed = true;
    w->visible = false;
    if (captureWindow == hwnd)
        captureWindow = nullptr;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [hwnd](const Timer &t) { return t.hwnd == hwnd; }),
                 timers.end());
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd)
{
    return WindowFrom(hwnd) != nullptr;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect)
{
    Window *w = RequireWindow(hwnd, "GetClientRect");
    *rect = ClientRect(w);
    return TRUE;
}

LRESULT WINAPI DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM)
{
    Window *w = RequireWindow(hwnd, "DefWindowProcW");
    switch (msg) {
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ERASEBKGND: {
        DeviceContext *dc = ContextFrom((HDC)wParam);
        HBRUSH brush = w->windowClass->info.hbrBackground;
        GdiObject *b = reinterpret_cast<GdiObject *>(brush);
        if (dc && b && !b->isNull)
            FillRect(dc, ClientRect(w), b->color);
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_SYSKEYDOWN:
        // Alt+F4 closes the window, through WM_SYSCOMMAND as on Windows.
        if (wParam == VK_F4)
            SendMessageW(hwnd, WM_CLOSE, 0, 0);
        return 0;
    }
    return 0;
}

LRESULT WINAPI SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = RequireWindow(hwnd, "SendMessageW");
    deliveredMessages.push_back(WinsimMessage{hwnd, msg, wParam, lParam});
    return w->procedure(hwnd, msg, wParam, lParam);
}

BOOL WINAPI PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    MSG m = {};
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = clockNow;
    postedMessages.push_back(m);
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode)
{
    quitPosted = true;
    quitCode = exitCode;
}

static Window *WindowNeedingPaint()
{
    for (auto &w : windows)
        if (!w->destroyed && w->visible && !UpdateRegionEmpty(w.get()))
            return w.get();
    return nullptr;
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
    for (auto it = postedMessages.begin(); it != postedMessages.end(); ++it)
        if (InFilter(it->message, filterMin, filterMax)) {
            *msg = *it;
            postedMessages.erase(it);
            return true;
        }
    if (quitPosted) {
        quitPosted = false;
        msg->message = WM_QUIT;
        msg->wParam = (WPARAM)quitCode;
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

BOOL WINAPI GetMessageW(LPMSG msg, HWND, UINT filterMin, UINT filterMax)
{
    if (ShouldFail(WinsimGetMessage)) {
        // What the record holds after a failure is undefined; make it junk.
        memset(msg, 0xCD, sizeof *msg);
        return -1;
    }
    while (!NextMessage(msg, filterMin, filterMax)) {
        if (!idleHook) {
            fprintf(stderr, "winsim: GetMessage would wait forever (no idle hook)\n");
            abort();
        }
        size_t before = postedMessages.size();
        bool quitBefore = quitPosted;
        idleHook();
        bool paintDue = InFilter(WM_PAINT, filterMin, filterMax) && WindowNeedingPaint();
        if (postedMessages.size() == before && quitPosted == quitBefore && !paintDue) {
            fprintf(stderr, "winsim: the idle hook posted nothing; GetMessage would hang\n");
            abort();
        }
    }
    return msg->message != WM_QUIT;
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

UINT WINAPI MapVirtualKeyW(UINT code, UINT mapType)
{
    return mapType == MAPVK_VK_TO_VSC ? ScanCode(code) : 0;
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

LPARAM WinsimKeyLParam(int virtKey)
{
    return (LPARAM)(1 | ScanCode((UINT)virtKey) << 16);
}

LRESULT WINAPI DispatchMessageW(const MSG *msg)
{
    Window *w = WindowFrom(msg->hwnd);
    if (!w)
        return 0;
    if (msg->message == WM_PAINT)
        paintCount++;
    deliveredMessages.push_back(WinsimMessage{msg->hwnd, msg->message, msg->wParam, msg->lParam});
    return w->procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    messageBoxes.push_back(
        WinsimMessageBox{owner, text ? text : u"", caption ? caption : u"", type, shutdownBlockReason});
    if (!messageBoxAnswers.empty()) {
        int answer = messageBoxAnswers.front();
        messageBoxAnswers.pop_front();
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
    shutdownBlockReason = reason ? reason : u"";
    return TRUE;
}

BOOL WINAPI ShutdownBlockReasonDestroy(HWND hwnd)
{
    RequireWindow(hwnd, "ShutdownBlockReasonDestroy");
    shutdownBlockReason.clear();
    return TRUE;
}

// With buffer null, size gets the length the reason needs with its 0.
BOOL WINAPI ShutdownBlockReasonQuery(HWND hwnd, LPWSTR buffer, DWORD *size)
{
    RequireWindow(hwnd, "ShutdownBlockReasonQuery");
    if (shutdownBlockReason.empty())
        return FALSE;
    if (!buffer) {
        *size = (DWORD)shutdownBlockReason.size() + 1;
        return TRUE;
    }
    lstrcpynW(buffer, shutdownBlockReason.c_str(), (int)*size);
    return TRUE;
}

HICON WINAPI LoadIconW(HINSTANCE, LPCWSTR)
{
    static int icon;
    return reinterpret_cast<HICON>(&icon);
}

HCURSOR WINAPI LoadCursorW(HINSTANCE, LPCWSTR)
{
    static int cursor;
    return reinterpret_cast<HCURSOR>(&cursor);
}

int WINAPI GetSystemMetrics(int index)
{
    return index == SM_CXVSCROLL ? kScrollBarWidth : 0;
}

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT ps)
{
    Window *w = RequireWindow(hwnd, "BeginPaint");
    HDC hdc = NewContext(w, true);
    DeviceContext *dc = ContextFrom(hdc);
    dc->clipIsBox = w->updateIsBox;
    if (!w->updateIsBox)
        dc->clip = w->updateMask;
    bool erase = w->updateErase;
    *ps = PAINTSTRUCT{};
    ps->hdc = hdc;
    ps->rcPaint = w->updateBounds;
    dc->clipBounds = w->updateBounds;
    ValidateAll(w);
    if (erase)
        ps->fErase = SendMessageW(hwnd, WM_ERASEBKGND, (WPARAM)hdc, 0) == 0;
    return hdc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT *ps)
{
    FreeContext(ps->hdc);
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT *rect, BOOL erase)
{
    Window *w = RequireWindow(hwnd, "InvalidateRect");
    RECT area = rect ? *rect : ClientRect(w);
    invalidations.push_back(WinsimInvalidation{hwnd, area, erase});
    AddToUpdateRegion(w, area, erase != FALSE);
    return TRUE;
}

// Moves the pixels of the scroll rectangle, clipped to the clip rectangle,
// and adds what the move uncovers to the update region.
BOOL WINAPI ScrollWindow(HWND hwnd, int dx, int dy, const RECT *scrollRect, const RECT *clipRect)
{
    Window *w = RequireWindow(hwnd, "ScrollWindow");
    RECT client = ClientRect(w);
    RECT scroll = scrollRect ? *scrollRect : client;
    RECT clip = clipRect ? *clipRect : client;
    scrolls.push_back(WinsimScroll{hwnd, dx, dy, scroll, clip});

    RECT area;
    if (!Intersect(scroll, clip, &area) || !Intersect(area, client, &area))
        return TRUE;
    // Row by row, in the order that reads each source row before it is
    // overwritten; what has no source inside the area is uncovered.
    int keepLeft = std::max<int>(area.left, area.left + dx);
    int keepRight = std::min<int>(area.right, area.right + dx);
    int first = dy > 0 ? area.bottom - 1 : area.top;
    int stop = dy > 0 ? area.top - 1 : area.bottom;
    int step = dy > 0 ? -1 : 1;
    auto uncover = [w](size_t at, int count) {
        if (count <= 0)
            return;
        std::fill_n(&w->updateMask[at], count, 1);
        w->updateErase = true;
    };
    for (int y = first; y != stop; y += step) {
        size_t row = size_t(y) * w->width;
        int sy = y - dy;
        if (sy < area.top || sy >= area.bottom || keepLeft >= keepRight) {
            uncover(row + area.left, area.right - area.left);
            continue;
        }
        size_t to = row + keepLeft;
        size_t from = size_t(sy) * w->width + keepLeft - dx;
        size_t count = size_t(keepRight - keepLeft);
        memmove(&w->pixels[to], &w->pixels[from], count * sizeof(COLORREF));
        memmove(&w->updateMask[to], &w->updateMask[from], count);
        uncover(row + area.left, keepLeft - area.left);
        uncover(row + keepRight, area.right - keepRight);
    }
    RecomputeUpdateBounds(w);
    return TRUE;
}

BOOL WINAPI SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw)
{
    Window *w = RequireWindow(hwnd, "SetScrollRange");
    if (redraw)
        CountScrollBarRedraw();
    if (bar != SB_VERT)
        return FALSE;
    w->verticalBar.min = minPos;
    w->verticalBar.max = maxPos;
    w->verticalBar.pos = std::max(minPos, std::min(maxPos, w->verticalBar.pos));
    // An empty range hides the bar, which changes the client width.
    ApplyClientSize(w);
    return TRUE;
}

int WINAPI SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw)
{
    Window *w = RequireWindow(hwnd, "SetScrollPos");
    if (redraw)
        CountScrollBarRedraw();
    if (bar != SB_VERT)
        return 0;
    int previous = w->verticalBar.pos;
    w->verticalBar.pos = std::max(w->verticalBar.min, std::min(w->verticalBar.max, pos));
    return previous;
}

int WINAPI GetScrollPos(HWND hwnd, int bar)
{
    Window *w = RequireWindow(hwnd, "GetScrollPos");
    return bar == SB_VERT ? w->verticalBar.pos : 0;
}

BOOL WINAPI GetScrollRange(HWND hwnd, int bar, int *minPos, int *maxPos)
{
    Window *w = RequireWindow(hwnd, "GetScrollRange");
    if (bar != SB_VERT)
        return FALSE;
    *minPos = w->verticalBar.min;
    *maxPos = w->verticalBar.max;
    return TRUE;
}

short WINAPI GetKeyState(int virtKey)
{
    return keyStates[virtKey & 0xFF];
}

UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC)
{
    RequireWindow(hwnd, "SetTimer");
    KillTimer(hwnd, id);
    timers.push_back(Timer{hwnd, id, elapse, clockNow + elapse});
    return id;
}

BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id)
{
    for (auto it = timers.begin(); it != timers.end(); ++it)
        if (it->hwnd == hwnd && it->id == id) {
            timers.erase(it);
            return TRUE;
        }
    return FALSE;
}

// The window losing the capture hears of it, with the gaining window in lParam.
static void ChangeCapture(HWND hwnd)
{
    HWND previous = captureWindow;
    captureWindow = hwnd;
    if (previous && previous != hwnd && WindowFrom(previous))
        SendMessageW(previous, WM_CAPTURECHANGED, 0, (LPARAM)hwnd);
}

HWND WINAPI SetCapture(HWND hwnd)
{
    HWND previous = captureWindow;
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
    return captureWindow;
}

// ---- test controls ----

void WinsimSetDefaultClientSize(int width, int height)
{
    defaultClientWidth = width;
    defaultClientHeight = height;
}

void WinsimResizeClient(HWND hwnd, int width, int height)
{
    Window *w = RequireWindow(hwnd, "WinsimResizeClient");
    w->frameWidth = width;
    w->frameHeight = height;
    ApplyClientSize(w);
}

void WinsimMinimize(HWND hwnd)
{
    ShowWindow(hwnd, SW_MINIMIZE);
}

void WinsimRestore(HWND hwnd)
{
    Window *w = RequireWindow(hwnd, "WinsimRestore");
    w->minimized = false;
    ApplyClientSize(w);
}

BOOL WINAPI SetWindowTextW(HWND hwnd, LPCWSTR text)
{
    Window *w = WindowFrom(hwnd);
    if (!w)
        return FALSE;
    w->title = text ? text : u"";
    return TRUE;
}

std::u16string WinsimWindowText(HWND hwnd)
{
    Window *w = WindowFrom(hwnd);
    return w ? w->title : u"";
}

HWND WinsimMainWindow(void)
{
    for (auto &w : windows)
        if (!w->destroyed)
            return HandleOf(w.get());
    return nullptr;
}

void WinsimPumpMessages(void)
{
    MSG msg;
    while (NextMessage(&msg)) {
        if (msg.message == WM_QUIT) {
            quitPosted = true;  // leave it for a message loop to see
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void WinsimSetIdleHook(void (*hook)(void))
{
    idleHook = hook;
}

void WinsimSetKeyDown(int virtKey, bool down)
{
    keyStates[virtKey & 0xFF] = down ? (short)0x8000 : 0;
}

void WinsimAdvanceClock(int milliseconds)
{
    DWORD target = clockNow + milliseconds;
    for (;;) {
        Timer *next = nullptr;
        for (auto &t : timers)
            if (t.due <= target && (!next || t.due < next->due))
                next = &t;
        if (!next)
            break;
        clockNow = next->due;
        next->due += next->interval;
        HWND hwnd = next->hwnd;
        UINT_PTR id = next->id;
        SendMessageW(hwnd, WM_TIMER, id, 0);
    }
    clockNow = target;
}

DWORD WinsimNow(void)
{
    return clockNow;
}

COLORREF WinsimPixel(HWND hwnd, int x, int y)
{
    Window *w = RequireWindow(hwnd, "WinsimPixel");
    if (x < 0 || y < 0 || x >= w->width || y >= w->height) {
        fprintf(stderr, "winsim: pixel (%d, %d) is outside the %dx%d client area\n", x, y,
                w->width, w->height);
        abort();
    }
    return w->pixels[size_t(y) * w->width + x];
}

const std::vector<COLORREF> &WinsimFramebuffer(HWND hwnd)
{
    return RequireWindow(hwnd, "WinsimFramebuffer")->pixels;
}

bool WinsimUpdateRegionEmpty(HWND hwnd)
{
    return UpdateRegionEmpty(RequireWindow(hwnd, "WinsimUpdateRegionEmpty"));
}

bool WinsimIsVisible(HWND hwnd)
{
    Window *w = WindowFrom(hwnd);
    return w && w->visible;
}

bool WinsimSaveScreenshot(HWND hwnd, const char *path)
{
    Window *w = RequireWindow(hwnd, "WinsimSaveScreenshot");
    FILE *f = fopen(path, "wb");
    if (!f)
        return false;
    fprintf(f, "P6\n%d %d\n255\n", w->width, w->height);
    for (COLORREF c : w->pixels) {
        unsigned char rgb[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
        fwrite(rgb, 1, 3, f);
    }
    return fclose(f) == 0;
}

const std::vector<WinsimInvalidation> &WinsimInvalidations(void)
{
    return invalidations;
}

const std::vector<WinsimScroll> &WinsimScrolls(void)
{
    return scrolls;
}

int WinsimPaintCount(void)
{
    return paintCount;
}

const std::vector<WinsimMessage> &WinsimMessages(void)
{
    return deliveredMessages;
}

void WinsimClearLogs(void)
{
    deliveredMessages.clear();
    invalidations.clear();
    scrolls.clear();
    paintCount = 0;
}

WinsimScrollBar WinsimVerticalScrollBar(HWND hwnd)
{
    Window *w = RequireWindow(hwnd, "WinsimVerticalScrollBar");
    return WinsimScrollBar{w->verticalBar.min, w->verticalBar.max, w->verticalBar.pos,
                           HasVerticalBar(w)};
}

const std::vector<WinsimMessageBox> &WinsimMessageBoxes(void)
{
    return messageBoxes;
}

void WinsimAnswerNextMessageBox(int answer)
{
    messageBoxAnswers.push_back(answer);
}

void WinsimReset(void)
{
    ResetWindowing();
    ResetGdi();
    ResetFonts();
    ResetResources();
    ResetClipboard();
    ResetKernel();
    ResetPrinter();
    ResetFiles();
    ResetFaults();
}
