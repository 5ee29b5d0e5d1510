// Starting the program and reading its state, for the host tests and the
// fuzz targets alike: a fresh start, the text, the bytes Save writes for it,
// and a note of all that a refused command must leave as it was.
#ifndef INKWARDEN_PROGRAM_STATE_H
#define INKWARDEN_PROGRAM_STATE_H

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// Every program global as at process start, and a fresh winsim that knows
// the program's resources.
void FreshProgram(void);
// Registers the class and creates the main window with this frame size and
// resolution: "" or what failed.
std::string StartFault(int frameWidth, int frameHeight, int dpiX, int dpiY, HWND *window);

// The document's text, without the terminator.
std::u16string Text(void);
// A file of these units as Save writes it: little-endian behind the mark FF FE.
std::string Utf16File(const std::u16string &units);
// A path in winsim's folder, where each test's files go.
std::string InFolder(const std::string &name);
void WriteBytes(const std::string &path, const std::string &bytes);
// The whole file; exists, if given, tells whether it could be read.
std::string ReadBytes(const std::string &path, bool *exists = nullptr);

// Each line's first and last unit, as the line table holds them.
std::vector<std::pair<int, int>> LineTableEntries(void);

// The text and its saved copy, the line table, caret, selection, view,
// caption and every pixel.
struct EditorState {
    std::u16string text, saved;  // up to CharCount and SavedCount
    std::vector<std::pair<int, int>> lines;
    int caret, selStart, selEnd, selectionActive, topLine, scrollPos;
    std::u16string caption;
    std::vector<COLORREF> screen;
};

// The parts a comparison looks at.
enum {
    SAME_DOCUMENT = 1,  // the text, the caret, and the selection's ends while there is one
    SAME_VIEW = 2,      // the top line and every pixel
    // Also the saved copy, the line table, the selection's ends even with no
    // selection, the scroll position, the caption and no pending repaint.
    SAME_EVERYTHING = 7,
};

// Notes what the parts need, and the caption; a screen given is swapped in,
// for a caller that holds a copy of it already.
void NoteState(HWND window, EditorState *state, int parts = SAME_EVERYTHING,
               std::vector<COLORREF> *screen = nullptr);
// Each difference in these parts from before, or "".
std::string StateChangeFault(const EditorState &before, HWND window, int parts = SAME_EVERYTHING);

#endif
