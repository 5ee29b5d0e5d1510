// winsim's shared internals: the simulated windows, device contexts and GDI
// objects, and what each source needs of another.  Only winsim's own
// sources include this.
#ifndef WINSIM_INTERNAL_H
#define WINSIM_INTERNAL_H

#include <windows.h>
#include "winsim.h"

#include <stdint.h>
#include <string>
#include <vector>

namespace winsim {

const int kScrollBarWidth = 17;

struct WindowClass {
    std::u16string name;
    WNDCLASSW info;
};

struct ScrollBar {
    int min = 0;
    int max = 100;
    int pos = 0;
};

struct Window {
    const WindowClass *windowClass = nullptr;
    WNDPROC procedure = nullptr;
    std::u16string title;
    DWORD style = 0;
    HMENU menu = nullptr;
    int frameWidth = 0;   // client width with the scroll bar's room
    int frameHeight = 0;
    bool visible = false;
    bool minimized = false;
    bool destroyed = false;
    ScrollBar verticalBar;
    // What is on screen, and which of its pixels await painting.
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    std::vector<uint8_t> updateMask;
    RECT updateBounds = {0, 0, 0, 0};  // the box around the mask; empty when valid
    bool updateIsBox = true;  // the mask is exactly updateBounds, so nobody need read it
    bool updateErase = false;
};

enum ObjectType { FontObject, PenObject, BrushObject };

struct GdiObject {
    ObjectType type;
    LOGFONTW font;
    COLORREF color = 0;
    bool isNull = false;
    bool stock = false;
};

struct DeviceContext {
    Window *window = nullptr;  // null for a screen DC without a window
    bool paint = false;
    std::vector<uint8_t> clip;  // paint DCs: the update region they paint, unless it is a box
    GdiObject *font = nullptr;
    GdiObject *pen = nullptr;
    GdiObject *brush = nullptr;
    UINT textAlign = TA_LEFT | TA_TOP;
    int bkMode = OPAQUE;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    POINT position = {0, 0};
    RECT clipBounds = {0, 0, 0, 0};  // paint DCs: the box around the clip
    bool clipIsBox = true;           // paint DCs: the clip is all of clipBounds
    bool printer = false;  // made by PrintDlgA; its text goes to the print job
};

Window *WindowFrom(HWND hwnd);  // null for a handle that is not a live window
Window *RequireWindow(HWND hwnd, const char *call);  // aborts on a handle that is not
HWND HandleOf(Window *window);
Window *WindowNeedingPaint(void);  // a visible window with an update region, or null
void ClearWindowLogs(void);
DeviceContext *ContextFrom(HDC hdc);
HDC NewContext(Window *window, bool paint);
void FreeContext(HDC hdc);
GdiObject *StockObject(int index);
void CountScrollBarRedraw(void);
int ClientWidthOf(const Window *window);
int ClientHeightOf(const Window *window);

// The message queue's part in a window's life.
void PaintNow(HWND hwnd);
void DropTimersAndCapture(HWND hwnd);  // of a window being destroyed

// Focus, caret and input method: ScrollWindow carries a caret inside the
// area it moves; DefWindowProcW hands the input method's messages here.
void MoveCaretWithScroll(HWND hwnd, int dx, int dy, const RECT &area);
bool ImeDefaultProcessing(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Painting helpers shared by the window manager and GDI.
void FillRect(DeviceContext *dc, const RECT &rect, COLORREF color);
bool PutPixel(DeviceContext *dc, int x, int y, COLORREF color);

// Font model.
struct FontMetrics {
    int em;
    TEXTMETRICW text;
};
FontMetrics MetricsOf(const LOGFONTW &font);
bool GlyphWidthsOf(const LOGFONTW &font, WCHAR unit, ABC *widths);

// Printer device contexts.
int PrinterCaps(int index);
void RecordPrintedText(DeviceContext *dc, int x, int y, LPCWSTR text, int count);

// Resources.
HMENU LoadMenuFromScript(LPCWSTR name);
void FindMenuCommand(HMENU menu, UINT id, HMENU *popup, int *popupPosition, UINT *state);

// Fault injection.  An aim counts calls down to the one a test chose.
struct CallAim {
    int left = 0;  // calls to go, the chosen one included; 0: none chosen
    bool andAfter = false;
};
bool Due(CallAim &aim);  // counts a call: is it the chosen one, or after it with andAfter?
bool ShouldFail(WinsimCall call);

// Paths: the program's UTF-16, the host's UTF-8.
std::string Utf8FromUtf16(const std::u16string &text);
std::u16string Utf16FromUtf8(const std::string &text);

// Each source puts its state back as a fresh process finds it.
void ResetWindows();
void ResetMessages();
void ResetMessageBoxes();
void RunDuringDialogHook();  // inside each modal dialog, once it is recorded
void ResetGdi();
void ResetFonts();
void ResetResources();
void ResetKernel();
void ResetPrinter();
void ResetFiles();
void ResetClipboard();
void ResetFaults();
void ResetUiAutomation();
void ResetInput();

}  // namespace winsim

#endif
