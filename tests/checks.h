// Checks of the program's state shared by the host tests and the fuzz
// targets.  Each gives an empty string when all holds, else what broke, so
// that a test can report it and a fuzz target can abort on it.
#ifndef INKWARDEN_CHECKS_H
#define INKWARDEN_CHECKS_H

#include <windows.h>

#include <string>
#include <vector>

// Terminator, line table coverage, caret, selection and scroll position.
std::string StoreInvariantFault(HWND window);
// The line table must be the one a full Reflow of the text gives.
std::string FullReflowFault(void);
// What the partial repaints left must equal a full repaint of the same state.
// With screen given, what the partial repaints left is swapped into it, so a
// caller that keeps the screen needs no copy of its own.
std::string FullRepaintFault(HWND window, std::vector<COLORREF> *screen = nullptr);
// No font, device context, heap block or global block outlives a message.
std::string LeakFault(void);

#endif
