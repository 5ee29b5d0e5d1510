// The application shell: main window, settings and message dispatch.
#ifndef INKWARDEN_SHELL_H
#define INKWARDEN_SHELL_H

#include <windows.h>

extern HWND MainWindow;

// Compiled-in settings; the menu changes FontPoints and WordWrapMode.
extern int ColumnWidthInches;
extern int PageHeightInches;
// The point size negated, as a LOGFONT height wants it: a negative height
// asks for the character height rather than the cell height.
extern int FontPoints;
extern BYTE FontCharset;
extern WCHAR CurrentFace[LF_FACESIZE];
extern int WordWrapMode;

extern int PickerFocus;
extern int AutoRepeat;
extern int KeyRepeatCounter;

ATOM RegisterMainWindowClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance, int showCommand);

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Message handlers of the shell itself.
LRESULT CreateInitialState(HWND window);
void HandleSize(LPARAM lParam);
LRESULT ClosePrompt(HWND window);
LRESULT QueryEndSession(void);
void EndSession(WPARAM ending);
void DestroyMainWindow(void);
void PaintWindow(HWND window);
void ShowAboutBox(void);
void ReportWarning(LPCWSTR caption, LPCWSTR text);

// Around each dialog and message box of ours, whose loop dispatches our
// messages while it is open.
void EnterModalLoop(void);
void LeaveModalLoop(void);
int ShowMessageBox(LPCWSTR text, LPCWSTR caption, UINT type);

#endif
