// Device contexts, GDI objects and drawing into a window's framebuffer.
#include "internal.h"

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <memory>
#include <unordered_map>

namespace winsim {

static struct GdiState {
    // Live ones only: a released or deleted handle is gone, so using it
    // again is caught.
    std::unordered_map<void *, std::unique_ptr<DeviceContext>> contexts;
    std::unordered_map<void *, std::unique_ptr<GdiObject>> objects;
    std::vector<LOGFONTW> createdFonts;
    GdiObject *stockObjects[18] = {};
    int screenDpiX = 96;
    int screenDpiY = 96;
    WinsimCallCounts calls = {};  // the calls that cost time on a real system
} state;

static GdiObject *NewObject(ObjectType type)
{
    auto object = std::make_unique<GdiObject>();
    GdiObject *o = object.get();
    state.objects[o] = std::move(object);
    o->type = type;
    o->font = LOGFONTW{};
    return o;
}

static GdiObject *NewStock(ObjectType type, COLORREF color, bool isNull)
{
    GdiObject *o = NewObject(type);
    o->color = color;
    o->isNull = isNull;
    o->stock = true;
    return o;
}

void ResetGdi()
{
    state = GdiState{};
    state.stockObjects[WHITE_BRUSH] = NewStock(BrushObject, RGB(255, 255, 255), false);
    state.stockObjects[BLACK_BRUSH] = NewStock(BrushObject, RGB(0, 0, 0), false);
    state.stockObjects[NULL_BRUSH] = NewStock(BrushObject, 0, true);
    state.stockObjects[WHITE_PEN] = NewStock(PenObject, RGB(255, 255, 255), false);
    state.stockObjects[BLACK_PEN] = NewStock(PenObject, RGB(0, 0, 0), false);
    GdiObject *systemFont = NewStock(FontObject, 0, false);
    systemFont->font.lfHeight = -13;
    state.stockObjects[13] = systemFont;  // SYSTEM_FONT
}

GdiObject *StockObject(int index)
{
    if (index < 0 || index >= (int)(sizeof state.stockObjects / sizeof state.stockObjects[0]))
        return nullptr;
    return state.stockObjects[index];
}

HDC NewContext(Window *window, bool paint)
{
    auto context = std::make_unique<DeviceContext>();
    DeviceContext *dc = context.get();
    state.contexts[dc] = std::move(context);
    dc->window = window;
    dc->paint = paint;
    dc->font = state.stockObjects[13];
    dc->pen = state.stockObjects[BLACK_PEN];
    dc->brush = state.stockObjects[WHITE_BRUSH];
    return reinterpret_cast<HDC>(dc);
}

DeviceContext *ContextFrom(HDC hdc)
{
    auto found = state.contexts.find(hdc);
    return found == state.contexts.end() ? nullptr : found->second.get();
}

static DeviceContext *RequireContext(HDC hdc, const char *call)
{
    DeviceContext *dc = ContextFrom(hdc);
    if (!dc) {
        fprintf(stderr, "winsim: %s called with an invalid or released device context\n", call);
        abort();
    }
    return dc;
}

void FreeContext(HDC hdc)
{
    RequireContext(hdc, "ReleaseDC/EndPaint");
    state.contexts.erase(hdc);
}

static GdiObject *ObjectFrom(HGDIOBJ handle)
{
    auto found = state.objects.find(handle);
    return found == state.objects.end() ? nullptr : found->second.get();
}

// Drawing reaches a pixel only inside the client area of a visible window
// and, for a paint DC, inside the region it was given to paint.
static bool InClip(const DeviceContext *dc, int x, int y)
{
    const RECT &b = dc->clipBounds;
    if (x < b.left || x >= b.right || y < b.top || y >= b.bottom)
        return false;
    return dc->clipIsBox || dc->clip[size_t(y) * dc->window->width + x];
}

bool PutPixel(DeviceContext *dc, int x, int y, COLORREF color)
{
    Window *w = dc->window;
    if (!w || !w->visible || x < 0 || y < 0 || x >= w->width || y >= w->height)
        return false;
    if (dc->paint && !InClip(dc, x, y))
        return false;
    w->pixels[size_t(y) * w->width + x] = color;
    return true;
}

// The part of rect that drawing on the DC can reach at all: the client
// area of a visible window, or the box around what a paint DC paints.
static bool ReachableArea(const DeviceContext *dc, const RECT &rect, RECT *area)
{
    const Window *w = dc->window;
    if (!w || !w->visible)
        return false;
    RECT limit = dc->paint ? dc->clipBounds : RECT{0, 0, w->width, w->height};
    area->left = std::max<int>({rect.left, limit.left, 0});
    area->top = std::max<int>({rect.top, limit.top, 0});
    area->right = std::min<int>({rect.right, limit.right, w->width});
    area->bottom = std::min<int>({rect.bottom, limit.bottom, w->height});
    return area->left < area->right && area->top < area->bottom;
}

// Row by row where the clip is a box; pixel by pixel only through a
// clip of another shape.
void FillRect(DeviceContext *dc, const RECT &rect, COLORREF color)
{
    RECT area;
    if (!ReachableArea(dc, rect, &area))
        return;
    Window *w = dc->window;
    for (int y = area.top; y < area.bottom; y++) {
        if (!dc->paint || dc->clipIsBox) {
            std::fill_n(&w->pixels[size_t(y) * w->width + area.left], area.right - area.left, color);
            continue;
        }
        for (int x = area.left; x < area.right; x++)
            PutPixel(dc, x, y, color);
    }
}

static void OutlineRect(DeviceContext *dc, const RECT &r, COLORREF color)
{
    FillRect(dc, RECT{r.left, r.top, r.right, r.top + 1}, color);
    FillRect(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, color);
    FillRect(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, color);
    FillRect(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, color);
}

}  // namespace winsim

using namespace winsim;

HDC WINAPI GetDC(HWND hwnd)
{
    Window *w = nullptr;
    if (hwnd) {
        w = WindowFrom(hwnd);
        if (!w)
            return nullptr;
    }
    return NewContext(w, false);
}

int WINAPI ReleaseDC(HWND, HDC hdc)
{
    DeviceContext *dc = ContextFrom(hdc);
    if (!dc || dc->paint || dc->printer)
        return 0;
    state.contexts.erase(hdc);
    return 1;
}

int WINAPI GetDeviceCaps(HDC hdc, int index)
{
    if (RequireContext(hdc, "GetDeviceCaps")->printer)
        return PrinterCaps(index);
    switch (index) {
    case LOGPIXELSX: return state.screenDpiX;
    case LOGPIXELSY: return state.screenDpiY;
    case HORZRES: return 1280;
    case VERTRES: return 1024;
    }
    return 0;
}

HGDIOBJ WINAPI GetStockObject(int index)
{
    return StockObject(index);
}

HFONT WINAPI CreateFontIndirectW(const LOGFONTW *lf)
{
    state.calls.fontCreations++;
    if (ShouldFail(WinsimCreateFontIndirect))
        return nullptr;
    GdiObject *o = NewObject(FontObject);
    o->font = *lf;
    state.createdFonts.push_back(*lf);
    return reinterpret_cast<HFONT>(o);
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ handle)
{
    DeviceContext *dc = RequireContext(hdc, "SelectObject");
    GdiObject *o = ObjectFrom(handle);
    if (!o)
        return nullptr;
    GdiObject **slot = o->type == FontObject ? &dc->font : o->type == PenObject ? &dc->pen : &dc->brush;
    GdiObject *previous = *slot;
    *slot = o;
    return previous;
}

// Like Windows, refuses to delete an object still selected into a live DC,
// so a font left selected shows up as still alive.
BOOL WINAPI DeleteObject(HGDIOBJ handle)
{
    GdiObject *o = ObjectFrom(handle);
    if (!o)
        return FALSE;
    if (o->stock)
        return TRUE;
    for (auto &entry : state.contexts) {
        const DeviceContext *dc = entry.second.get();
        if (dc->font == o || dc->pen == o || dc->brush == o)
            return FALSE;
    }
    state.objects.erase(handle);
    return TRUE;
}

BOOL WINAPI GetTextMetricsW(HDC hdc, TEXTMETRICW *tm)
{
    state.calls.textMetricReads++;
    DeviceContext *dc = RequireContext(hdc, "GetTextMetricsW");
    *tm = MetricsOf(dc->font->font).text;
    return TRUE;
}

BOOL WINAPI GetCharABCWidthsW(HDC hdc, UINT first, UINT last, LPABC abc)
{
    state.calls.abcWidthQueries++;
    DeviceContext *dc = RequireContext(hdc, "GetCharABCWidthsW");
    for (UINT u = first; u <= last; u++)
        if (!GlyphWidthsOf(dc->font->font, (WCHAR)u, &abc[u - first]))
            return FALSE;
    return TRUE;
}

// Each glyph is drawn as the outline of its black box: B wide, starting A
// from the pen position, from the internal leading down to the baseline.
BOOL WINAPI TextOutW(HDC hdc, int x, int y, LPCWSTR text, int count)
{
    state.calls.textOutputs++;
    DeviceContext *dc = RequireContext(hdc, "TextOutW");
    if (dc->printer) {
        RecordPrintedText(dc, x, y, text, count);
        return TRUE;
    }
    FontMetrics metrics = MetricsOf(dc->font->font);
    std::vector<ABC> widths(count > 0 ? count : 0);
    int total = 0;
    for (int i = 0; i < count; i++) {
        if (!GlyphWidthsOf(dc->font->font, text[i], &widths[i]))
            widths[i] = ABC{0, (UINT)metrics.text.tmMaxCharWidth, 0};
        total += widths[i].abcA + (int)widths[i].abcB + widths[i].abcC;
    }
    UINT horizontal = dc->textAlign & (TA_RIGHT | TA_CENTER);
    if (horizontal == TA_RIGHT)
        x -= total;
    else if (horizontal == TA_CENTER)
        x -= total / 2;
    UINT vertical = dc->textAlign & TA_BASELINE;
    int top = y;
    if (vertical == TA_BASELINE)
        top = y - metrics.text.tmAscent;
    else if (vertical == TA_BOTTOM)
        top = y - metrics.text.tmHeight;

    if (dc->bkMode == OPAQUE)
        FillRect(dc, RECT{x, top, x + total, top + metrics.text.tmHeight}, dc->bkColor);
    for (int i = 0; i < count; i++) {
        const ABC &w = widths[i];
        if (text[i] != ' ' && w.abcB > 0) {
            RECT ink = {x + w.abcA, top + metrics.text.tmInternalLeading, x + w.abcA + (int)w.abcB,
                        top + metrics.text.tmAscent};
            OutlineRect(dc, ink, dc->textColor);
        }
        x += w.abcA + (int)w.abcB + w.abcC;
    }
    return TRUE;
}

// The ANSI text calls, for the Latin-1 range.
static std::u16string WidenAnsi(LPCSTR text, int count)
{
    std::u16string wide;
    for (int i = 0; i < count; i++)
        wide += (char16_t)(unsigned char)text[i];
    return wide;
}

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR text, int count)
{
    std::u16string wide = WidenAnsi(text, count);
    return TextOutW(hdc, x, y, wide.c_str(), count);
}

BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR text, int count, LPSIZE size)
{
    DeviceContext *dc = RequireContext(hdc, "GetTextExtentPoint32A");
    FontMetrics metrics = MetricsOf(dc->font->font);
    std::u16string wide = WidenAnsi(text, count);
    size->cx = 0;
    for (char16_t unit : wide) {
        ABC w;
        if (!GlyphWidthsOf(dc->font->font, unit, &w))
            w = ABC{0, (UINT)metrics.text.tmMaxCharWidth, 0};
        size->cx += w.abcA + (int)w.abcB + w.abcC;
    }
    size->cy = metrics.text.tmHeight;
    return TRUE;
}

UINT WINAPI SetTextAlign(HDC hdc, UINT align)
{
    DeviceContext *dc = RequireContext(hdc, "SetTextAlign");
    UINT previous = dc->textAlign;
    dc->textAlign = align;
    return previous;
}

int WINAPI SetBkMode(HDC hdc, int mode)
{
    DeviceContext *dc = RequireContext(hdc, "SetBkMode");
    int previous = dc->bkMode;
    dc->bkMode = mode;
    return previous;
}

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT old)
{
    DeviceContext *dc = RequireContext(hdc, "MoveToEx");
    if (old)
        *old = dc->position;
    dc->position = POINT{x, y};
    return TRUE;
}

// A one-pixel pen line that, as on Windows, leaves out its end point.
BOOL WINAPI LineTo(HDC hdc, int x, int y)
{
    DeviceContext *dc = RequireContext(hdc, "LineTo");
    int x0 = dc->position.x;
    int y0 = dc->position.y;
    dc->position = POINT{x, y};
    if (dc->pen->isNull)
        return TRUE;
    if (y0 == y) {
        FillRect(dc, x0 < x ? RECT{x0, y, x, y + 1} : RECT{x + 1, y, x0 + 1, y + 1}, dc->pen->color);
        return TRUE;
    }
    if (x0 == x) {
        FillRect(dc, y0 < y ? RECT{x, y0, x + 1, y} : RECT{x, y + 1, x + 1, y0 + 1}, dc->pen->color);
        return TRUE;
    }
    int dx = abs(x - x0), sx = x0 < x ? 1 : -1;
    int dy = -abs(y - y0), sy = y0 < y ? 1 : -1;
    int error = dx + dy;
    while (x0 != x || y0 != y) {
        PutPixel(dc, x0, y0, dc->pen->color);
        int e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            error += dx;
            y0 += sy;
        }
    }
    return TRUE;
}

// The outline in the pen, inside the rectangle; the interior in the brush.
BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    DeviceContext *dc = RequireContext(hdc, "Rectangle");
    RECT r = {std::min(left, right), std::min(top, bottom), std::max(left, right),
              std::max(top, bottom)};
    if (!dc->brush->isNull)
        FillRect(dc, RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, dc->brush->color);
    if (!dc->pen->isNull)
        OutlineRect(dc, r, dc->pen->color);
    return TRUE;
}

// As FillRect, turning each pixel to its inverse colour.
static void InvertRect(DeviceContext *dc, const RECT &rect)
{
    RECT area;
    if (!ReachableArea(dc, rect, &area))
        return;
    bool whole = !dc->paint || dc->clipIsBox;
    COLORREF *pixels = dc->window->pixels.data();
    for (int y = area.top; y < area.bottom; y++)
        for (int x = area.left; x < area.right; x++)
            if (whole || InClip(dc, x, y))
                pixels[size_t(y) * dc->window->width + x] ^= 0x00FFFFFF;
}

BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop)
{
    DeviceContext *dc = RequireContext(hdc, "PatBlt");
    RECT r = {std::min(x, x + w), std::min(y, y + h), std::max(x, x + w), std::max(y, y + h)};
    if (r.left >= r.right || r.top >= r.bottom)
        return TRUE;
    switch (rop) {
    case DSTINVERT: InvertRect(dc, r); break;
    case BLACKNESS: FillRect(dc, r, RGB(0, 0, 0)); break;
    case WHITENESS: FillRect(dc, r, RGB(255, 255, 255)); break;
    case PATCOPY:
        if (!dc->brush->isNull)
            FillRect(dc, r, dc->brush->color);
        break;
    default:
        fprintf(stderr, "winsim: PatBlt raster operation %#x is not simulated\n", rop);
        abort();
    }
    return TRUE;
}

// The smallest rectangle around what drawing on the DC can reach: for a
// paint DC its update region, for a window DC the client area, for a
// printer DC the printable area.
int WINAPI GetClipBox(HDC hdc, LPRECT rect)
{
    DeviceContext *dc = RequireContext(hdc, "GetClipBox");
    if (dc->printer) {
        *rect = RECT{0, 0, PrinterCaps(HORZRES), PrinterCaps(VERTRES)};
        return SIMPLEREGION;
    }
    if (!dc->window) {
        *rect = RECT{0, 0, 0, 0};
        return NULLREGION;
    }
    Window *w = dc->window;
    if (!dc->paint) {
        *rect = RECT{0, 0, w->width, w->height};
        return w->width > 0 && w->height > 0 ? SIMPLEREGION : NULLREGION;
    }
    *rect = dc->clipBounds;
    if (rect->left >= rect->right || rect->top >= rect->bottom) {
        *rect = RECT{0, 0, 0, 0};
        return NULLREGION;
    }
    return dc->clipIsBox ? SIMPLEREGION : COMPLEXREGION;
}

// ---- test controls ----

void WinsimSetScreenDpi(int x, int y)
{
    state.screenDpiX = x;
    state.screenDpiY = y;
}

int WinsimLiveFonts(void)
{
    int live = 0;
    for (auto &entry : state.objects)
        if (entry.second->type == FontObject && !entry.second->stock)
            live++;
    return live;
}

int WinsimLiveDCs(void)
{
    return (int)state.contexts.size();
}

const std::vector<LOGFONTW> &WinsimCreatedFonts(void)
{
    return state.createdFonts;
}

void winsim::CountScrollBarRedraw(void)
{
    state.calls.scrollBarRedraws++;
}

WinsimCallCounts WinsimCalls(void)
{
    return state.calls;
}

void WinsimClearCalls(void)
{
    state.calls = WinsimCallCounts{};
}
