/* Lists the visible top-level windows of the Wine session it runs in, and
   their visible child windows, one per line, tab-separated: handle, parent
   handle (0 for a top-level window), process id, class, text (UTF-8, with
   backslash, tab, CR and LF escaped as \\ \t \r \n), the client
   area's screen origin and size, the owner's handle (0 if none) and the
   X window Wine made for a top-level window (0 if none).  Under Xvfb
   without a window manager the X window of a top-level window also holds
   its menu bar and scroll bars, so only Win32 itself can tell where the
   client area is.
   A last line "foreground", tab, the X window of the foreground window
   (0 if none), tells where keys typed now go.

   winprobe acp prints the ANSI code page, which Wine takes from the locale.

   winprobe font POINTS CHARSET FACE [CODE...] instead creates the font
   the program would (POINTS negative for a character height), on the
   screen, and prints which face Wine chose and its metrics; then for each
   character code whether the face has a glyph for it, its ABC widths, and
   its picture as the program draws it alone on a line: black on white in
   a cell as wide as the program's spacing gives it, one row of hex RGB
   pixels per line.  Which face a request gets depends on the prefix and
   the installed fonts, so the tests ask rather than assume.

   winprobe caret WINDOW asks GetGUIThreadInfo, from this other process,
   about the thread of the window with that handle (decimal, as listed)
   and prints "caret", tab-separated: the thread's caret window and its
   focus window (0 for none), the flags, and the caret's rectangle in its
   window's client coordinates.

   winprobe uia HANDLE asks UI Automation, as a client in this process,
   for the element of the window with that handle and prints one line
   "uia", tab, its ControlType, Name, IsKeyboardFocusable and
   HasKeyboardFocus (booleans as 1 or 0, anything unreadable as -), or
   "uia", tab, "none" when the window gives no element.  Wine 8 reads
   these four properties across processes. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void print_escaped(const wchar_t *text)
{
    char bytes[2048];
    const char *c;

    if (!WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, NULL, NULL))
        bytes[0] = '\0';
    for (c = bytes; *c; c++) {
        switch (*c) {
        case '\\': fputs("\\\\", stdout); break;
        case '\t': fputs("\\t", stdout); break;
        case '\r': fputs("\\r", stdout); break;
        case '\n': fputs("\\n", stdout); break;
        default: putchar(*c);
        }
    }
}

static void print_window(HWND window, HWND parent)
{
    wchar_t text[512];
    RECT client;
    POINT origin = {0, 0};
    DWORD pid = 0;

    GetClientRect(window, &client);
    ClientToScreen(window, &origin);
    GetWindowThreadProcessId(window, &pid);
    printf("%llu\t%llu\t%lu\t", (unsigned long long)(ULONG_PTR)window,
           (unsigned long long)(ULONG_PTR)parent, (unsigned long)pid);
    text[0] = L'\0';
    GetClassNameW(window, text, 512);
    print_escaped(text);
    putchar('\t');
    text[0] = L'\0';
    GetWindowTextW(window, text, 512);
    print_escaped(text);
    printf("\t%ld\t%ld\t%ld\t%ld\t%llu\t%llu\n", origin.x, origin.y, client.right, client.bottom,
           (unsigned long long)(ULONG_PTR)GetWindow(window, GW_OWNER),
           (unsigned long long)(ULONG_PTR)GetPropW(window, L"__wine_x11_whole_window"));
}

static BOOL CALLBACK each_child(HWND child, LPARAM unused)
{
    (void)unused;
    if (IsWindowVisible(child))
        print_window(child, GetAncestor(child, GA_PARENT));
    return TRUE;
}

static BOOL CALLBACK each_top_level(HWND window, LPARAM unused)
{
    (void)unused;
    if (IsWindowVisible(window)) {
        print_window(window, NULL);
        EnumChildWindows(window, each_child, 0);
    }
    return TRUE;
}

/* The program's spacing: a tenth of the font height besides the glyph,
   and twice any overhang. */
static int cell_width(const ABC *w, const TEXTMETRICW *metrics)
{
    int b = w->abcB == 0 ? metrics->tmMaxCharWidth : (int)w->abcB;
    int a = w->abcA < 0 ? -2 * w->abcA : w->abcA;
    int c = w->abcC < 0 ? -2 * w->abcC : w->abcC;
    return b + metrics->tmHeight / 10 + a + c;
}

static void print_glyph(HDC screen, HFONT font, WCHAR code, const TEXTMETRICW *metrics)
{
    int height = metrics->tmHeight + metrics->tmExternalLeading;
    BITMAPINFO info = {0};
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap;
    HGDIOBJ old_bitmap, old_font;
    unsigned char *bits;
    WORD glyph = 0xFFFF;
    ABC w = {0, 0, 0};
    RECT all;
    int width, x, y;

    old_font = SelectObject(dc, font);
    GetGlyphIndicesW(dc, &code, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS);
    GetCharABCWidthsW(dc, code, code, &w);
    width = cell_width(&w, metrics);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, (void **)&bits, NULL, 0);
    old_bitmap = SelectObject(dc, bitmap);
    SetRect(&all, 0, 0, width, height);
    FillRect(dc, &all, GetStockObject(WHITE_BRUSH));
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    TextOutW(dc, w.abcA < 0 ? -w.abcA : 0, 0, &code, 1);
    GdiFlush();

    printf("glyph\t%u\t%d\t%d\t%u\t%d\t%d\t%d\n", code, glyph != 0xFFFF, w.abcA, w.abcB, w.abcC,
           width, height);
    for (y = 0; y < height; y++) {
        for (x = 0; x < width; x++) {
            const unsigned char *bgra = bits + 4 * (y * width + x);
            printf("%02x%02x%02x", bgra[2], bgra[1], bgra[0]);
        }
        putchar('\n');
    }
    SelectObject(dc, old_bitmap);
    SelectObject(dc, old_font);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

static int print_font(int argc, char **argv)
{
    HDC screen = GetDC(NULL);
    int log_pixels_y = GetDeviceCaps(screen, LOGPIXELSY);
    LOGFONTA request = {0};
    TEXTMETRICW metrics;
    wchar_t face[LF_FACESIZE];
    OUTLINETEXTMETRICW *outline = NULL;
    UINT size;
    HFONT font;
    HGDIOBJ old_font;
    int i;

    request.lfHeight = log_pixels_y * atoi(argv[2]) / 72;
    request.lfCharSet = (BYTE)atoi(argv[3]);
    lstrcpynA(request.lfFaceName, argv[4], LF_FACESIZE);
    font = CreateFontIndirectA(&request);
    old_font = SelectObject(screen, font);
    GetTextMetricsW(screen, &metrics);
    /* A substituted face keeps the requested name in GetTextFace; the
       outline metrics name the font file's own face. */
    face[0] = L'\0';
    GetTextFaceW(screen, LF_FACESIZE, face);
    fputs("face\t", stdout);
    print_escaped(face);
    fputs("\nfont\t", stdout);
    size = GetOutlineTextMetricsW(screen, 0, NULL);
    if (size && (outline = malloc(size)) && GetOutlineTextMetricsW(screen, size, outline))
        print_escaped((const wchar_t *)((const char *)outline + (ULONG_PTR)outline->otmpFaceName));
    free(outline);
    printf("\nrequest\t%ld\t%d\nheight\t%ld\nexternal_leading\t%ld\n", request.lfHeight,
           log_pixels_y, metrics.tmHeight, metrics.tmExternalLeading);
    for (i = 5; i < argc; i++)
        print_glyph(screen, font, (WCHAR)atoi(argv[i]), &metrics);
    SelectObject(screen, old_font);
    DeleteObject(font);
    ReleaseDC(NULL, screen);
    return fflush(stdout) == 0 ? 0 : 1;
}

static int print_caret(const char *handle)
{
    HWND window = (HWND)(ULONG_PTR)strtoull(handle, NULL, 10);
    DWORD thread = GetWindowThreadProcessId(window, NULL);
    GUITHREADINFO info;

    if (!thread)
        return 2;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(thread, &info))
        return 3;
    printf("caret\t%llu\t%llu\t%lu\t%ld\t%ld\t%ld\t%ld\n", (unsigned long long)(ULONG_PTR)info.hwndCaret, (unsigned long long)(ULONG_PTR)info.hwndFocus,
           (unsigned long)info.flags, info.rcCaret.left, info.rcCaret.top, info.rcCaret.right,
           info.rcCaret.bottom);
    return fflush(stdout) == 0 ? 0 : 1;
}

/* uiautomationcore.dll has no import library in MinGW-w64, and its
   header declares none of the client calls. */
typedef HRESULT (WINAPI *NodeFromHandle)(HWND, void **);
typedef HRESULT (WINAPI *GetPropertyValue)(void *, int, VARIANT *);
typedef BOOL (WINAPI *NodeRelease)(void *);

static void print_property(GetPropertyValue get, void *node, int id)
{
    VARIANT value;

    VariantInit(&value);
    putchar('\t');
    if (FAILED(get(node, id, &value)))
        putchar('-');
    else if (value.vt == VT_I4)
        printf("%ld", (long)value.lVal);
    else if (value.vt == VT_BOOL)
        putchar(value.boolVal ? '1' : '0');
    else if (value.vt == VT_BSTR)
        print_escaped(value.bstrVal);
    else
        putchar('-');
    VariantClear(&value);
}

static int print_uia(const char *handle)
{
    HMODULE core = LoadLibraryA("uiautomationcore.dll");
    NodeFromHandle from_handle;
    GetPropertyValue get;
    NodeRelease release;
    void *node = NULL;

    if (!core)
        return 1;
    from_handle = (NodeFromHandle)(void (*)(void))GetProcAddress(core, "UiaNodeFromHandle");
    get = (GetPropertyValue)(void (*)(void))GetProcAddress(core, "UiaGetPropertyValue");
    release = (NodeRelease)(void (*)(void))GetProcAddress(core, "UiaNodeRelease");
    if (!from_handle || !get || !release)
        return 1;
    CoInitializeEx(NULL, COINIT_MULTITHREADED);
    if (FAILED(from_handle((HWND)(ULONG_PTR)_strtoui64(handle, NULL, 10), &node)) || !node) {
        puts("uia\tnone");
    } else {
        fputs("uia", stdout);
        print_property(get, node, 30003);  /* UIA_ControlTypePropertyId */
        print_property(get, node, 30005);  /* UIA_NamePropertyId */
        print_property(get, node, 30009);  /* UIA_IsKeyboardFocusablePropertyId */
        print_property(get, node, 30008);  /* UIA_HasKeyboardFocusPropertyId */
        putchar('\n');
        release(node);
    }
    CoUninitialize();
    return fflush(stdout) == 0 ? 0 : 1;
}

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], "uia") == 0)
        return print_uia(argv[2]);
    if (argc >= 5 && strcmp(argv[1], "font") == 0)
        return print_font(argc, argv);
    if (argc == 2 && strcmp(argv[1], "acp") == 0) {
        printf("%u\n", GetACP());
        return fflush(stdout) == 0 ? 0 : 1;
    }
    if (argc == 3 && strcmp(argv[1], "caret") == 0)
        return print_caret(argv[2]);
    EnumWindows(each_top_level, 0);
    printf("foreground\t%llu\n",
           (unsigned long long)(ULONG_PTR)GetPropW(GetForegroundWindow(), L"__wine_x11_whole_window"));
    return fflush(stdout) == 0 ? 0 : 4;  /* 4: the listing could not be written */
}
