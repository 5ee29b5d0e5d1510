/* Lists the visible top-level windows of the Wine session it runs in, and
   their visible child windows, one per line, tab-separated: handle, parent
   handle (0 for a top-level window), process id, class, text (UTF-8, with
   backslash, tab, CR and LF escaped as \\ \t \r \n), then the client
   area's screen origin and size.  Under Xvfb without a window manager
   the X window of a top-level window also holds its menu bar and scroll
   bars, so only Win32 itself can tell where the client area is. */
#include <windows.h>
#include <stdio.h>

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
    printf("\t%ld\t%ld\t%ld\t%ld\n", origin.x, origin.y, client.right, client.bottom);
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

int main(void)
{
    EnumWindows(each_top_level, 0);
    return fflush(stdout) == 0 ? 0 : 1;
}
