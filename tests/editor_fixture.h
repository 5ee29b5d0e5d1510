// Starts the editor on winsim and offers the few helpers the tests share.
#ifndef INKWARDEN_EDITOR_FIXTURE_H
#define INKWARDEN_EDITOR_FIXTURE_H

#include <windows.h>
#include "winsim.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

inline void PrintTo(const RECT &r, std::ostream *out)
{
    *out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

// The rectangles invalidated since the logs were last cleared, in order.
std::vector<RECT> Invalidated();

MATCHER_P4(IsRect, l, t, r, b, "")
{
    return arg.left == l && arg.top == t && arg.right == r && arg.bottom == b;
}

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);

// count lines of "ab", each but the last ended by CR LF.
std::u16string ShortLines(int count);
// The document's text, without the terminator.
std::u16string Text();
// Cells of 180 pixels for these units at 96 dpi (176 plus a tenth of the
// font height): three fit in the 576-pixel column, four do not.
void UseWideUnits(const std::u16string &units);

// What a refused command must leave as it was: the text and its saved copy,
// the line table, caret, selection, view, caption and every pixel.
struct EditorState {
    std::u16string text, saved;  // up to CharCount and SavedCount
    std::vector<std::pair<int, int>> lines;
    int caret, selStart, selEnd, selectionActive, topLine, scrollPos;
    std::u16string caption;
    std::vector<COLORREF> screen;
};

// Every test starts from the program's initial globals and a fresh winsim,
// and ends with the store's invariants and nothing leaked.
class EditorTest : public ::testing::Test {
protected:
    HWND window = nullptr;
    // Set by a test that arranges a store the program never makes (a caret
    // off the text, a stale line table): its end skips the store's check.
    bool storeArranged = false;

    void SetUp() override;
    void TearDown() override;
    // For a test that runs several cases: checks this one's end and starts afresh.
    void Restart();
    // Client size with the scroll bar's room (817 wide leaves 800 beside the bar).
    // A dpiY of 0 means the same resolution both ways.
    void Start(int frameWidth = 817, int frameHeight = 600, int dpi = 96, int dpiY = 0);
    // Puts text in the buffer as a loaded file would, lays it out and repaints.
    void SetText(const std::u16string &text);
    void SetText(const std::u16string &text, int caret);
    // An active selection from start to end with the caret at caret, repainted.
    void Select(int start, int end, int caret);
    void RepaintAll();
    // Sends each unit as WM_CHAR, as typing does.
    void Type(const std::u16string &text);
    // A key press with the given modifiers held, then its release.
    void Press(int virtualKey, bool shift = false, bool control = false);
    // Black pixels become white and the other way round: what DSTINVERT did.
    bool Inverted(int x, int y) const { return Pixel(x, y) == kBlack; }
    COLORREF Pixel(int x, int y) const { return WinsimPixel(window, x, y); }
    // Black pixels in row y from x0 to x1 - 1.
    int BlackInRow(int y, int x0, int x1) const;
    int BlackInColumn(int x, int y0, int y1) const;
    void SaveScreenshot(const char *name) const;
    // What the partial repaints left must equal a full repaint of the same
    // state; a pixel the refresh missed fails with its position.
    void ExpectScreenMatchesFullRepaint();
    // Repaints everything, so the screen is current, and notes the state.
    EditorState RepaintAndNoteState();
    void ExpectStateUnchanged(const EditorState &before) const;
    // The line table must be the one a full Reflow of the text gives.
    void ExpectTableOfAFullReflow();
};

#endif
