// Starts the editor on winsim and offers the few helpers the tests share.
#ifndef INKWARDEN_EDITOR_FIXTURE_H
#define INKWARDEN_EDITOR_FIXTURE_H

#include <windows.h>
#include "winsim.h"
#include "program_state.h"

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

// A case of a parameterised test is named, and printed, by its name.
#define PRINTED_BY_NAME(Case) \
    void PrintTo(const Case &c, std::ostream *out) { *out << c.name; }
struct CaseName {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case> &info) const
    {
        return info.param.name;
    }
};

MATCHER_P4(IsRect, l, t, r, b, "")
{
    return arg.left == l && arg.top == t && arg.right == r && arg.bottom == b;
}

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);

// count lines of "ab", each but the last ended by CR LF.
std::u16string ShortLines(int count);
// Cells of 180 pixels for these units at 96 dpi (176 plus a tenth of the
// font height): three fit in the 576-pixel column, four do not.
void UseWideUnits(const std::u16string &units);

// Every test starts from the program's initial globals and a fresh winsim,
// with the editor started by Start(), and ends with the store's invariants
// and nothing leaked.
class EditorTest : public ::testing::Test {
protected:
    HWND window = nullptr;
    // Set by a test that arranges a store the program never makes (a caret
    // off the text, a stale line table): its end skips the store's check.
    bool storeArranged = false;

    void SetUp() override
    {
        Fresh();
        Start();
    }
    void TearDown() override;
    // The initial globals and a fresh winsim, with no window yet.
    void Fresh();
    // For a test that runs several cases: checks this one's end and starts
    // afresh as its fixture's SetUp does.
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
    // The left button pressed and released at a client point.
    void Click(int x, int y);
    void Command(int id) { SendMessage(window, WM_COMMAND, id, 0); }
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
    // What a refused command must leave as it was: all of it.
    void ExpectStateUnchanged(const EditorState &before) const;
    // The line table must be the one a full Reflow of the text gives.
    void ExpectTableOfAFullReflow();
};

// A fixture whose tests call Start themselves: at another size or
// resolution, after arranging what the start reads, or through WinMain.
template <class Fixture>
class Unstarted : public Fixture {
protected:
    void SetUp() override { this->Fresh(); }
};
using UnstartedTest = Unstarted<EditorTest>;

#endif
