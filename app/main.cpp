#include "app/shell.h"

ATOM RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASS windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIcon(instance, TEXT("Inkwarden"));
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszMenuName = TEXT("Inkwarden");
    windowClass.lpszClassName = TEXT("Inkwarden");
    return RegisterClass(&windowClass);
}

HWND CreateMainWindow(HINSTANCE instance, int showCommand)
{
    HWND window = CreateWindowEx(0, TEXT("Inkwarden"), TEXT("Inkwarden"),
                                 WS_OVERLAPPEDWINDOW | WS_VSCROLL,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 NULL, NULL, instance, NULL);
    if (!window)
        return NULL;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return window;
}

static int RunMessageLoop(HINSTANCE instance)
{
    // Loaded only once the window is shown and painted.
    HACCEL accelerators = LoadAccelerators(instance, TEXT("Inkwarden"));
    MSG message;
    BOOL got;
    while ((got = GetMessage(&message, NULL, 0, 0)) > 0) {
        // While the mouse holds a picker button the keyboard changes nothing:
        // no accelerator commands and no characters, only the swallowed key-down.
        if (AutoRepeat) {
            DispatchMessage(&message);
            continue;
        }
        if (!TranslateAccelerator(MainWindow, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessage(&message);
        }
    }
    // GetMessage returns -1 on failure and leaves the record undefined.
    if (got < 0)
        return 1;
    return (int)message.wParam;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    if (!RegisterMainWindowClass(instance)) {
        MessageBox(NULL, TEXT("Can not register class"), TEXT("Inkwarden"), MB_ICONWARNING);
        // 1, not 0: whoever started us, a script or a launcher, can tell that
        // no editor came up.
        return 1;
    }
    // With no window nothing could ever end the message loop.
    if (!CreateMainWindow(instance, showCommand)) {
        MessageBox(NULL, TEXT("Can not create the main window"), TEXT("Inkwarden"), MB_ICONWARNING);
        return 1;
    }
    return RunMessageLoop(instance);
}
