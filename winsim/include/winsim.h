// winsim test controls: what a test sets up, drives and reads back.  The
// program never includes this header; it sees only <windows.h>.
#ifndef WINSIM_WINSIM_H
#define WINSIM_WINSIM_H

#include <windows.h>
#include <imm.h>

#include <string>
#include <vector>

// A fresh platform: no classes, windows, objects, logs or failures, default
// settings.
void WinsimReset(void);

// Failures.  WinsimFailCall makes the nth call of one API from now fail (1:
// the next), and with andAfter every call after it too, until the next
// WinsimFailCall of that API (nth 0: none fails) or WinsimClearFailures.
// Each fails as Windows reports it, with the last error noted here.
enum WinsimCall {
    WinsimCreateFile,        // ERROR_ACCESS_DENIED
    WinsimGetFileSize,       // ERROR_ACCESS_DENIED
    WinsimReadFile,          // ERROR_READ_FAULT
    WinsimWriteFile,         // ERROR_WRITE_FAULT
    WinsimFlushFileBuffers,  // ERROR_WRITE_FAULT
    WinsimMoveFile,          // ERROR_ACCESS_DENIED
    WinsimReplaceFile,       // ERROR_UNABLE_TO_REMOVE_REPLACED, nothing changed
    WinsimCloseHandle,       // ERROR_WRITE_FAULT; the handle is closed all the same
    WinsimSetEndOfFile,      // ERROR_ACCESS_DENIED
    WinsimHeapAlloc,
    WinsimGlobalAlloc,
    WinsimGlobalLock,        // counts only locks of live blocks
    WinsimOpenClipboard,     // as while another program holds the clipboard
    WinsimSetClipboardData,  // as when the system cannot take the block
    WinsimCloseClipboard,    // the clipboard is released all the same
    WinsimCreateFontIndirect,  // a DC then keeps its font (the system font on a fresh one)
    WinsimStartDoc,
    WinsimStartPage,
    WinsimEndPage,
    WinsimRegisterClass,
    WinsimCreateWindowEx,    // before any message, as when out of window resources
    WinsimGetMessage,        // -1, with junk left in the record
    WinsimGetFinalPathName,  // ERROR_PATH_NOT_FOUND, as on a volume without a drive letter
    WinsimCallCount
};
void WinsimFailCall(WinsimCall call, int nth = 1, bool andAfter = false);
void WinsimClearFailures(void);

// Resources: where LoadMenu and LoadAccelerators read them from.  The path
// stays across resets, and the script is read again only when it changes.
void WinsimUseResourceScript(const char *path);
int WinsimMenuBarDraws(void);  // DrawMenuBar calls; tests read item states with GetMenuState

// ---- Windows and painting ----

// Client size a CW_USEDEFAULT window gets, scroll bar included.
void WinsimSetDefaultClientSize(int width, int height);
// Resizes a window's frame so its client area (scroll bar included) is
// width x height; a change of size sends WM_SIZE and invalidates as the
// class styles ask.
void WinsimResizeClient(HWND hwnd, int width, int height);
void WinsimMinimize(HWND hwnd);
void WinsimRestore(HWND hwnd);
HWND WinsimMainWindow(void);  // the first window created that is not destroyed
// The caption SetWindowText or CreateWindowEx gave the window.
std::u16string WinsimWindowText(HWND hwnd);
bool WinsimIsVisible(HWND hwnd);

// Framebuffer of a window's client area (COLORREF values).
COLORREF WinsimPixel(HWND hwnd, int x, int y);
// Never-painted pixels have this colour, so tests can see what no paint reached.
#define WINSIM_UNPAINTED RGB(255, 0, 255)
// The whole client area, row by row, for comparing two pictures.
const std::vector<COLORREF> &WinsimFramebuffer(HWND hwnd);
bool WinsimUpdateRegionEmpty(HWND hwnd);
// Exchanges the window's framebuffer with pixels, which must hold exactly
// its client area: a check that repaints everything takes the screen the
// partial repaints left out this way instead of copying it.
void WinsimSwapFramebuffer(HWND hwnd, std::vector<COLORREF> *pixels);
// Writes the client area as a PPM image, for a developer to look at.
bool WinsimSaveScreenshot(HWND hwnd, const char *path);

struct WinsimInvalidation {
    HWND hwnd;
    RECT rect;  // the client rectangle when the call passed NULL
    BOOL erase;
};
const std::vector<WinsimInvalidation> &WinsimInvalidations(void);

struct WinsimScroll {
    HWND hwnd;
    int dx, dy;
    RECT scroll, clip;  // the client rectangle for each one the call passed NULL
};
const std::vector<WinsimScroll> &WinsimScrolls(void);

struct WinsimScrollBar {
    int min, max, pos;
    bool visible;
};
WinsimScrollBar WinsimVerticalScrollBar(HWND hwnd);

// ---- Messages and input ----

// Translates and dispatches posted messages and pending paints until none
// remain; a quit message stops it and is left for a message loop.
void WinsimPumpMessages(void);
// Called by GetMessage whenever the queue is empty; it must post something
// or leave a paint due (PostQuitMessage ends the loop), or the run aborts.
void WinsimSetIdleHook(void (*hook)(void));

// Every message sent or dispatched to a window procedure, in order.
struct WinsimMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
const std::vector<WinsimMessage> &WinsimMessages(void);
int WinsimPaintCount(void);  // WM_PAINT messages delivered so far
void WinsimClearLogs(void);  // messages, invalidations, scrolls and the paint count

// Key state read by GetKeyState.
void WinsimSetKeyDown(int virtKey, bool down);
// The lParam Windows gives a key-down of this key: repeat count 1 and the
// key's scan code in bits 16 to 23 (0 for keys winsim has no code for).
LPARAM WinsimKeyLParam(int virtKey);

// The virtual clock and its timers: advancing sends every WM_TIMER that
// falls due, in order.  Posted messages carry its time.
void WinsimAdvanceClock(int milliseconds);

// ---- Message boxes ----

// Each call is recorded and answered from a queue the test fills; with the
// queue empty, IDYES answers a Yes/No box and IDOK any other.
struct WinsimMessageBox {
    HWND owner;
    std::u16string text;
    std::u16string caption;
    UINT type;
    std::u16string shutdownBlockReason;  // what ShutdownBlockReasonCreate said while it was shown
};
const std::vector<WinsimMessageBox> &WinsimMessageBoxes(void);
void WinsimAnswerNextMessageBox(int answer);
// Runs hook once, inside the next message box or file dialog, as a message
// that dialog's own loop dispatches while the user has not answered yet.
void WinsimDuringNextDialog(void (*hook)(void));

// ---- GDI and the font model ----

// Screen resolution reported by LOGPIXELSX / LOGPIXELSY.
void WinsimSetScreenDpi(int x, int y);

// Metrics follow the LOGFONT height: em = -lfHeight for a negative height,
// tmHeight = em + em / 6, tmMaxCharWidth = em.  Default advances: wide (CJK)
// units em wide, others half an em, the space a quarter.
void WinsimSetGlyphWidths(WCHAR unit, int a, UINT b, int c);
// The font has no widths for the unit: GetCharABCWidthsW over it fails, and
// text draws it tmMaxCharWidth wide, until WinsimSetGlyphWidths gives some.
void WinsimFailGlyphWidths(WCHAR unit);
void WinsimSetExternalLeading(int pixels);
const std::vector<LOGFONTW> &WinsimCreatedFonts(void);  // each font made, in order

// Calls that cost time on a real system, counted since the last reset or
// clear, so a benchmark or a test can see how much work a message does.
struct WinsimCallCounts {
    int abcWidthQueries;  // GetCharABCWidthsW
    int textOutputs;      // TextOutW
    int fontCreations;    // CreateFontIndirectW, failed ones included
    int textMetricReads;  // GetTextMetricsW
    int scrollBarRedraws; // SetScrollPos and SetScrollRange asked to redraw
};
WinsimCallCounts WinsimCalls(void);
void WinsimClearCalls(void);
int WinsimLiveFonts(void);  // fonts created and not yet deleted
int WinsimLiveDCs(void);    // device contexts not yet released, ended or deleted

// ---- Memory and the clipboard ----

int WinsimLiveHeapBlocks(void);  // HeapAlloc blocks not yet freed

// Global memory: blocks that are neither freed nor owned by the clipboard
// count as live; misuses (freeing a block the clipboard owns or a dead
// handle, leaving a clipboard block locked, giving the clipboard a fixed
// block) are recorded.
int WinsimLiveGlobalBlocks(void);
const std::vector<std::string> &WinsimGlobalMemoryMisuses(void);

// The clipboard as other programs see it.  Put places a block as another
// program would (exactly these bytes, no terminator added).
void WinsimPutClipboardData(UINT format, const std::string &bytes);
void WinsimPutClipboardText(const std::u16string &units);
// Another program offers the format for delayed rendering and never renders
// it: the format is available, and GetClipboardData gives NULL.
void WinsimOfferUnrenderedFormat(UINT format);
void WinsimEmptyClipboard(void);
struct WinsimClipboardEntry {
    UINT format;
    UINT allocFlags;    // the GlobalAlloc flags of the block
    std::string bytes;  // the whole block
};
std::vector<WinsimClipboardEntry> WinsimClipboardContents(void);
std::u16string WinsimClipboardText(void);  // the whole CF_UNICODETEXT block, or empty
bool WinsimClipboardIsOpen(void);

// ---- Files ----

// Each test gets a fresh folder of its own, removed at the next reset and at
// exit.  Paths are UTF-8 here and UTF-16 to the program.
const char *WinsimTempFolder(void);
int WinsimOpenFileHandles(void);  // handles CreateFileW gave and nobody closed
// The nth ReadFile or WriteFile from now succeeds but moves one byte fewer.
void WinsimShortenFileTransfer(WinsimCall call, int nth = 1);
// Runs hook right after the nth such file call from now has succeeded, so
// that a test can end the process there (in a child of its own) as a power
// cut would.
void WinsimAfterFileCall(WinsimCall call, int nth, void (*hook)(void));
// ReplaceFileW fails with ERROR_NOT_SUPPORTED, as on a file system without it.
void WinsimReplaceFileUnsupported(bool unsupported);

// ---- Saves that stop part of the way, and folders that take no files ----

// The nth ReplaceFileW from now fails with error half-way, leaving the
// files as its documentation says, with or without a backup name:
// ERROR_UNABLE_TO_REMOVE_REPLACED: each file under its own name.
// ERROR_UNABLE_TO_MOVE_REPLACEMENT: the same with a backup name; without
//   one, the replaced file is gone.
// ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: the replaced file under the backup
//   name (without one, under its name with "~RF" added), the replacement
//   under its own name with the replaced one's attributes.
void WinsimFailReplaceFile(DWORD error, int nth = 1);
// The folder (a Unix path) refuses every new name in it with
// ERROR_ACCESS_DENIED, as an access list without "create files" does,
// while the files in it stay as writable as they are.  Checked by winsim
// itself, since the tests run as root.  An empty folder: none refuses.
void WinsimDenyCreatingFiles(const std::string &folder);

// The Open and Save As dialogs: each call is recorded, and answered with the
// next queued path; an empty path, or an empty queue, cancels.
struct WinsimFileDialog {
    bool save;
    DWORD structSize;
    HWND owner;
    std::vector<std::string> filter;  // the 0-separated strings, in order, as UTF-8
    DWORD filterIndex;
    DWORD flags;
    std::string defExt;
    DWORD maxFile, maxFileTitle;
    std::string proposed;  // what lpstrFile held when the dialog opened
};
void WinsimAnswerNextFileDialog(const std::string &path);
const std::vector<WinsimFileDialog> &WinsimFileDialogs(void);

// ---- The printer ----

// PrintDlgA records every call and ends as the test says (printing by
// default); a printer DC reports the caps set here (300 dpi, a US letter
// sheet, no offsets by default) and records every page.
enum WinsimPrintDialogAnswer { WinsimPrintDialogPrint, WinsimPrintDialogCancel, WinsimPrintDialogNoDC };
void WinsimAnswerPrintDialog(WinsimPrintDialogAnswer answer);
struct WinsimPrintDialogCall {
    DWORD structSize;
    HWND owner;
    DWORD flags;
    HDC dc;
    HGLOBAL devMode;   // as the caller passed them in
    HGLOBAL devNames;
};
const std::vector<WinsimPrintDialogCall> &WinsimPrintDialogCalls(void);
void WinsimSetPrinterCaps(int dpiX, int dpiY, int physicalWidth, int physicalHeight, int offsetX,
                          int offsetY);

struct WinsimPrintedText {
    int x, y;
    std::u16string text;
    LONG fontHeight;  // lfHeight of the font selected at the time
    int bkMode;
};
struct WinsimPrintedPage {
    std::vector<WinsimPrintedText> texts;
    bool ended;  // EndPage
};
struct WinsimPrintJob {
    int docInfoSize;
    std::string docName;
    std::vector<WinsimPrintedPage> pages;
    bool ended;    // EndDoc
    bool aborted;  // AbortDoc
};
const std::vector<WinsimPrintJob> &WinsimPrintJobs(void);

// ---- UI Automation ----

struct IUnknown;
struct IRawElementProviderSimple;

// What UI Automation does for a client: sends WM_GETOBJECT for
// UiaRootObjectId and gives the provider UiaReturnRawElementProvider was
// handed, with a reference the caller releases; NULL when none was.
IRawElementProviderSimple *WinsimUiaElement(HWND hwnd);
// Whether UiaReturnRawElementProvider(hwnd, 0, 0, NULL) said the window's
// providers are gone.
bool WinsimUiaProviderReleased(HWND hwnd);
// The window a provider from UiaHostProviderFromHwnd stands for, or NULL.
HWND WinsimHostProviderWindow(IRawElementProviderSimple *provider);
IUnknown *WinsimUiaNotSupportedValue(void);  // what UiaGetReservedNotSupportedValue gives
// What UiaClientsAreListening answers (false at reset), and how often it was asked.
void WinsimSetUiaClientsListening(bool listening);
struct WinsimUiaEvent {
    IRawElementProviderSimple *provider;
    int eventId;
};
const std::vector<WinsimUiaEvent> &WinsimUiaEvents(void);  // raised with UiaRaiseAutomationEvent
void WinsimClearUiaEvents(void);  // the events and the listening queries
// LoadLibraryExW finds no uiautomationcore.dll, as on a system without it.
void WinsimUiaCoreMissing(bool missing);
int WinsimModuleLoads(void);  // LoadLibraryExW calls that found the DLL
// Every window's client area stands at the same place on the screen:
// ClientToScreen and ScreenToClient convert.
// ---- Focus, the system caret and the input method ----

// Moves the keyboard focus as a click would: WM_KILLFOCUS to the window that
// had it, then WM_SETFOCUS to hwnd (NULL: another program takes it).  The
// program's own SetFocus does the same; GetFocus and GetGUIThreadInfo tell.
void WinsimSetFocus(HWND hwnd);

// The thread's caret: hwnd is NULL while there is none; the rectangle is in
// its window's client coordinates.  winsim has no ShowCaret, so it is never
// shown.
struct WinsimCaretState {
    HWND hwnd;
    RECT rect;
};
WinsimCaretState WinsimCaret(void);

// What the program set on a window's input context, and what the input
// method holds.  Each form and the font are the last ones set, and stay
// while the context is detached.
struct WinsimImeState {
    bool attached;      // the window has its input context
    bool composing;     // between WM_IME_STARTCOMPOSITION and WM_IME_ENDCOMPOSITION
    std::u16string composition;
    COMPOSITIONFORM compositionForm;
    CANDIDATEFORM candidateForm;  // index 0
    LOGFONTW font;
    int contextsHeld;   // ImmGetContext calls not yet released
};
WinsimImeState WinsimInputMethod(HWND hwnd);
// The user types into the input method: the composition opens if it is not
// open (WM_IME_STARTCOMPOSITION) and shows text (WM_IME_COMPOSITION with
// GCS_COMPSTR).  A window without its input context gets nothing: false.
bool WinsimImeCompose(HWND hwnd, const std::u16string &text);
// The user chooses: WM_IME_COMPOSITION with GCS_RESULTSTR, whose default
// processing posts a WM_IME_CHAR a unit, then WM_IME_ENDCOMPOSITION.
bool WinsimImeCommit(HWND hwnd, const std::u16string &text);

#endif
