// Window classes, windows and their painting: update regions, the
// framebuffer, the vertical scroll bar and window scrolling.
#include "internal.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <memory>

namespace winsim {

static struct WindowState {
    std::vector<std::unique_ptr<WindowClass>> classes;
    std::vector<std::unique_ptr<Window>> windows;
    int defaultClientWidth = 800 + kScrollBarWidth;
    int defaultClientHeight = 600;
    std::vector<WinsimInvalidation> invalidations;
    std::vector<WinsimScroll> scrolls;
} state;

void ResetWindows()
{
    state = WindowState{};
}

void ClearWindowLogs()
{
    state.invalidations.clear();
    state.scrolls.clear();
}

Window *WindowFrom(HWND hwnd)
{
    for (auto &w : state.windows)
        if (HandleOf(w.get()) == hwnd && !w->destroyed)
            return w.get();
    return nullptr;
}

HWND HandleOf(Window *window)
{
    return reinterpret_cast<HWND>(window);
}

Window *RequireWindow(HWND hwnd, const char *call)
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

Window *WindowNeedingPaint()
{
    for (auto &w : state.windows)
        if (!w->destroyed && w->visible && !UpdateRegionEmpty(w.get()))
            return w.get();
    return nullptr;
}

}  // namespace winsim

using namespace winsim;

ATOM WINAPI RegisterClassW(const WNDCLASSW *wc)
{
    if (ShouldFail(WinsimRegisterClass))
        return 0;
    std::u16string name(wc->lpszClassName);
    for (auto &c : state.classes)
        if (c->name == name)
            return 0;
    auto c = std::make_unique<WindowClass>();
    c->name = name;
    c->info = *wc;
    state.classes.push_back(std::move(c));
    return (ATOM)(0xC000 + state.classes.size());
}

HWND WINAPI CreateWindowExW(DWORD, LPCWSTR className, LPCWSTR windowName, DWORD style, int, int,
                            int width, int height, HWND, HMENU menu, HINSTANCE, LPVOID)
{
    if (ShouldFail(WinsimCreateWindowEx))
        return nullptr;
    const WindowClass *windowClass = nullptr;
    for (auto &c : state.classes)
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
    w->frameWidth = width == CW_USEDEFAULT ? state.defaultClientWidth : width;
    w->frameHeight = height == CW_USEDEFAULT ? state.defaultClientHeight : height;
    w->width = ClientWidthOf(w.get());
    w->height = ClientHeightOf(w.get());
    w->pixels.assign(size_t(w->width) * w->height, WINSIM_UNPAINTED);
    w->updateMask.assign(size_t(w->width) * w->height, 0);
    Window *window = w.get();
    state.windows.push_back(std::move(w));
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
        PaintNow(hwnd);
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
    DropTimersAndCapture(hwnd);
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

BOOL WINAPI SetWindowTextW(HWND hwnd, LPCWSTR text)
{
    Window *w = WindowFrom(hwnd);
    if (!w)
        return FALSE;
    w->title = text ? text : u"";
    return TRUE;
}

LRESULT WINAPI DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = RequireWindow(hwnd, "DefWindowProcW");
    if (ImeDefaultProcessing(hwnd, msg, wParam, lParam))
        return 0;
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
        SendMessageW(hwnd, WM_ERASEBKGND, (WPARAM)hdc, 0);
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
    state.invalidations.push_back(WinsimInvalidation{hwnd, area, erase});
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
    state.scrolls.push_back(WinsimScroll{hwnd, dx, dy, scroll, clip});

    RECT area;
    if (!Intersect(scroll, clip, &area) || !Intersect(area, client, &area))
        return TRUE;
    MoveCaretWithScroll(hwnd, dx, dy, area);
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

// ---- test controls ----

void WinsimSetDefaultClientSize(int width, int height)
{
    state.defaultClientWidth = width;
    state.defaultClientHeight = height;
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

std::u16string WinsimWindowText(HWND hwnd)
{
    Window *w = WindowFrom(hwnd);
    return w ? w->title : u"";
}

HWND WinsimMainWindow(void)
{
    for (auto &w : state.windows)
        if (!w->destroyed)
            return HandleOf(w.get());
    return nullptr;
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

void WinsimSwapFramebuffer(HWND hwnd, std::vector<COLORREF> *pixels)
{
    Window *w = RequireWindow(hwnd, "WinsimSwapFramebuffer");
    if (pixels->size() != w->pixels.size()) {
        fprintf(stderr, "winsim: WinsimSwapFramebuffer given %zu pixels for a %dx%d client area\n",
                pixels->size(), w->width, w->height);
        abort();
    }
    w->pixels.swap(*pixels);
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
    return state.invalidations;
}

const std::vector<WinsimScroll> &WinsimScrolls(void)
{
    return state.scrolls;
}

WinsimScrollBar WinsimVerticalScrollBar(HWND hwnd)
{
    Window *w = RequireWindow(hwnd, "WinsimVerticalScrollBar");
    return WinsimScrollBar{w->verticalBar.min, w->verticalBar.max, w->verticalBar.pos,
                           HasVerticalBar(w)};
}
