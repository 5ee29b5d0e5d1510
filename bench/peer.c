/* The benchmark's peer: the system's own multiline EDIT control holding
   the document's font, its text area one 6-inch column wide, word wrap on
   (no horizontal scrolling).  The driver fills it with WM_SETTEXT. */
#include <windows.h>

#define PEER_CLASS L"InkwardenBenchPeer"
#define PEER_EDIT_ID 1

static HFONT PeerFont;

/* The record Inkwarden's document font uses: 32 points, Big5. */
static HFONT CreatePeerFont(HWND window)
{
    HDC dc = GetDC(window);
    LOGFONTW font = {0};
    font.lfHeight = GetDeviceCaps(dc, LOGPIXELSY) * -32 / 72;
    font.lfCharSet = CHINESEBIG5_CHARSET;
    lstrcpynW(font.lfFaceName, L"Courier New", LF_FACESIZE);
    ReleaseDC(window, dc);
    return CreateFontIndirectW(&font);
}

static LRESULT CALLBACK PeerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        RECT client;
        GetClientRect(window, &client);
        HWND edit = CreateWindowExW(0, L"EDIT", L"",
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL
                                        | ES_WANTRETURN,
                                    0, 0, client.right, client.bottom, window, (HMENU)PEER_EDIT_ID,
                                    ((LPCREATESTRUCTW)lParam)->hInstance, NULL);
        if (!edit)
            return -1;
        PeerFont = CreatePeerFont(window);
        SendMessageW(edit, WM_SETFONT, (WPARAM)PeerFont, FALSE);
        SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
        SendMessageW(edit, EM_SETLIMITTEXT, 32767, 0);
        SetFocus(edit);
        return 0;
    }
    case WM_DESTROY:
        DeleteObject(PeerFont);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    (void)previous;
    (void)commandLine;
    WNDCLASSW windowClass = {0};
    windowClass.lpfnWndProc = PeerProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(NULL, IDC_IBEAM);
    windowClass.lpszClassName = PEER_CLASS;
    if (!RegisterClassW(&windowClass))
        return 1;

    /* A client area one column of text (plus the scroll bar) by one page. */
    HDC screen = GetDC(NULL);
    RECT frame = {0, 0, GetDeviceCaps(screen, LOGPIXELSX) * 6 + GetSystemMetrics(SM_CXVSCROLL),
                  GetDeviceCaps(screen, LOGPIXELSY) * 8};
    ReleaseDC(NULL, screen);
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExW(0, PEER_CLASS, L"Inkwarden Bench Peer", WS_OVERLAPPEDWINDOW, 1050, 0,
                                  frame.right - frame.left, frame.bottom - frame.top, NULL, NULL,
                                  instance, NULL);
    if (!window)
        return 1;
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
