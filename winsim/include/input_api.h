// Keyboard focus, the system caret and the input method's messages (USER32).
// Included by windows.h, as the SDK's winuser.h carries them.
#ifndef WINSIM_INPUT_API_H
#define WINSIM_INPUT_API_H

#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_IME_STARTCOMPOSITION 0x010D
#define WM_IME_ENDCOMPOSITION 0x010E
#define WM_IME_COMPOSITION 0x010F
#define WM_IME_CHAR 0x0286

DECLARE_WINSIM_HANDLE(HBITMAP);

HWND WINAPI GetFocus(void);
HWND WINAPI SetFocus(HWND hwnd);
typedef struct tagGUITHREADINFO {
    DWORD cbSize;
    DWORD flags;
    HWND hwndFocus;
} GUITHREADINFO;
// The program's one thread: every window belongs to it.
DWORD WINAPI GetWindowThreadProcessId(HWND hwnd, LPDWORD processId);
BOOL WINAPI GetGUIThreadInfo(DWORD threadId, GUITHREADINFO *info);

// One caret per thread: CreateCaret replaces any caret the thread had, and
// the new one starts hidden.
BOOL WINAPI CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height);
BOOL WINAPI DestroyCaret(void);
BOOL WINAPI SetCaretPos(int x, int y);
BOOL WINAPI GetCaretPos(LPPOINT point);

#endif
