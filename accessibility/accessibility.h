// UI Automation for screen readers: the window's element with the text
// pattern, and the events that tell a listening client what changed.
#ifndef INKWARDEN_ACCESSIBILITY_H
#define INKWARDEN_ACCESSIBILITY_H

#include <windows.h>

// WM_GETOBJECT: the element for UiaRootObjectId, default processing for
// anything else or where uiautomationcore.dll is missing.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam);
// WM_DESTROY: tells UI Automation that the element handed out is gone.
void ForgetElement(HWND window);

// What a client follows, noted before a message and compared after it.
struct TextState {
    int caret, selStart, selEnd, selectionActive, layoutChanges;
};
TextState NoteTextState(void);
// Raises text-changed and text-selection-changed for what changed since
// before, only while a client listens to an element handed out.
void RaiseTextEvents(const TextState *before);

#endif
