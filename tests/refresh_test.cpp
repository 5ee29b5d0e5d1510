// Edits whose repaint has to bring the whole screen in line: a scroll range
// that shrinks under the view, and a selection ending between CR and LF.
#include "editor_fixture.h"

#include "document/document.h"
#include "app/resource.h"
#include "app/shell.h"
#include "view/view.h"

namespace {

TEST_F(EditorTest, BackspacingUnderAViewThatTheScrollRangeNoLongerReachesRepaintsIt)
{
    // Eight rows visible, fifteen to a page.
    for (int i = 0; i < 23; i++) {
        Type(u"a");
        Press(VK_RETURN);
    }
    ASSERT_EQ(TopLine, 16);
    while (LineCount > 15) {
        int before = TopLine;
        Press(VK_BACK);
        if (TopLine != before)
            ExpectScreenMatchesFullRepaint();
        if (HasFailure())
            break;
    }
    EXPECT_EQ(TopLine, 8);
    ExpectScreenMatchesFullRepaint();
}

TEST_F(EditorTest, JoiningTheFirstLineOfASecondPageWhileScrolledToTheBottom)
{
    SetText(ShortLines(16));
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 100), 0);
    ASSERT_EQ(TopLine, 23);
    Caret = LineTable[15].first;
    Press(VK_BACK);
    EXPECT_EQ(LineCount, 15);
    EXPECT_EQ(TopLine, 8);
    ExpectScreenMatchesFullRepaint();
}

TEST_F(EditorTest, ASelectedLoneCarriageReturnIsPaintedInAndErased)
{
    SetText(u"ab\rX\ncd", 3);
    Press(VK_DELETE);  // the CR and LF now make a pair, the caret on the LF
    ASSERT_EQ(LineCount, 2);
    ASSERT_EQ(Caret, 3);
    Press(VK_RIGHT, true);
    ASSERT_EQ(SelStart, 2);
    ASSERT_EQ(SelEnd, 3);
    ExpectScreenMatchesFullRepaint();
    Press(VK_ESCAPE);
    ExpectScreenMatchesFullRepaint();
}

// A CR draws as a break mark only while an LF follows it, so an edit just
// after a CR changes the CR's own cell too, both ways.
TEST_F(EditorTest, TypingOrDeletingRightAfterACarriageReturnRepaintsItsCell)
{
    SetText(u"ab\rX\ncd", 3);
    Press(VK_DELETE);  // the CR and LF make a pair
    ExpectScreenMatchesFullRepaint();
    Type(u"a");  // and part again
    ExpectScreenMatchesFullRepaint();
    Press(VK_BACK);
    ExpectScreenMatchesFullRepaint();
}

// Exact rectangles for each key, so that a repaint of too much fails as well
// as one of too little.  Cells of 24 pixels ('a' is 20 wide, plus 49 / 10),
// so on a line of n units the unit p has its right edge at 688 - 24 p and the
// caret before it stands in column 687 - 24 p; lines start at y 144 + 49 l.
struct KeyCase {
    const char *name;
    std::u16string text;
    int caret;
    int selStart, selEnd;  // equal: no selection
    int key;
    bool shift;
    std::vector<RECT> rects;
};

class KeyRefreshTest : public EditorTest {
protected:
    void Check(const std::vector<KeyCase> &cases)
    {
        WinsimSetGlyphWidths('a', 0, 20, 0);
        for (const KeyCase &c : cases) {
            SCOPED_TRACE(c.name);
            SetText(c.text);
            Caret = c.caret;
            SelStart = c.selStart;
            SelEnd = c.selEnd;
            SelectionActive = c.selStart != c.selEnd;
            RepaintAll();
            WinsimClearLogs();
            Press(c.key, c.shift);
            std::vector<::testing::Matcher<RECT>> expected;
            for (const RECT &r : c.rects)
                expected.push_back(IsRect(r.left, r.top, r.right, r.bottom));
            EXPECT_THAT(Invalidated(), ::testing::ElementsAreArray(expected));
            EXPECT_TRUE(WinsimScrolls().empty());
            ExpectScreenMatchesFullRepaint();
        }
    }
};

const RECT kBelowLine0 = {0, 193, 800, 600};

TEST_F(KeyRefreshTest, BackspaceAndDelete)
{
    // Old caret column, new caret column, the line tails, the band below.
    Check({
        {"Backspace within a line", u"aaaa", 3, 0, 0, VK_BACK, false,
         {{615, 144, 616, 193}, {639, 144, 640, 193}, {0, 144, 640, 193}}},
        {"Backspace joining lines", u"aa\r\naa", 4, 0, 0, VK_BACK, false,
         {{687, 193, 688, 242}, {639, 144, 640, 193}, {0, 144, 640, 193}, kBelowLine0}},
        {"Delete within a line", u"aaaa", 1, 0, 0, VK_DELETE, false,
         {{663, 144, 664, 193}, {663, 144, 664, 193}, {0, 144, 664, 193}}},
        {"Delete on a CR LF", u"aa\r\naa", 2, 0, 0, VK_DELETE, false,
         {{639, 144, 640, 193}, {639, 144, 640, 193}, {0, 144, 640, 193}, kBelowLine0}},
        // The highlight on both lines first, then the frame as above.
        {"Delete of a selection across a CR LF", u"aa\r\naa", 5, 1, 5, VK_DELETE, false,
         {{0, 144, 664, 193},
          {664, 193, 800, 242},
          {663, 193, 664, 242},
          {663, 144, 664, 193},
          {0, 144, 664, 193},
          kBelowLine0}},
    });
}

TEST_F(KeyRefreshTest, ReturnAndTab)
{
    // A space is 42 / 4 + 4 = 14 wide.
    Check({
        {"Return mid-line", u"aaaa", 2, 0, 0, VK_RETURN, false,
         {{639, 144, 640, 193}, {687, 193, 688, 242}, {0, 144, 640, 193}, kBelowLine0}},
        {"Tab mid-line", u"aa", 1, 0, 0, VK_TAB, false,
         {{663, 144, 664, 193}, {607, 144, 608, 193}, {0, 144, 664, 193}}},
    });
}

TEST_F(KeyRefreshTest, ANavigationKeyWithAndWithoutShift)
{
    // Left moves toward the end of the text.
    Check({
        {"Left", u"aaaaaa", 2, 0, 0, VK_LEFT, false, {{639, 144, 640, 193}, {615, 144, 616, 193}}},
        {"Shift+Left starts a selection", u"aaaaaa", 2, 0, 0, VK_LEFT, true,
         {{639, 144, 640, 193}, {615, 144, 616, 193}, {616, 144, 640, 193}}},
        {"Shift+Left shrinks it from the start", u"aaaaaa", 1, 1, 3, VK_LEFT, true,
         {{663, 144, 664, 193}, {639, 144, 640, 193}, {640, 144, 664, 193}}},
        // From the start of 1..3 past its end: 1..3 goes, 3..6 comes.
        {"Shift+End crosses the anchor", u"aaaaaa", 1, 1, 3, VK_END, true,
         {{663, 144, 664, 193}, {543, 144, 544, 193}, {616, 144, 664, 193}, {544, 144, 616, 193}}},
        {"Left drops the selection", u"aaaaaa", 1, 1, 3, VK_LEFT, false,
         {{663, 144, 664, 193}, {639, 144, 640, 193}, {616, 144, 664, 193}}},
    });
}

// Both refused before anything changes: nothing repainted, the selection kept.
TEST_F(EditorTest, ARefusedReturnOrTabRepaintsNothing)
{
    SetText(std::u16string(TEXT_BUFFER_UNITS - 1, u'a'));
    for (int key : {VK_RETURN, VK_TAB}) {
        SCOPED_TRACE(key);
        Select(5, 6, 6);
        std::vector<COLORREF> before = WinsimFramebuffer(window);
        WinsimClearLogs();
        Press(key);
        EXPECT_EQ(WinsimMessageBoxes().back().caption, u"Can Not Add Characters");
        EXPECT_TRUE(WinsimInvalidations().empty());
        EXPECT_TRUE(before == WinsimFramebuffer(window));
        EXPECT_EQ(SelectionActive, 1);
        EXPECT_EQ(CharCount, TEXT_BUFFER_UNITS);
    }
    EXPECT_EQ(WinsimMessageBoxes().size(), 2u);
}

}  // namespace

namespace {

// Paints skip what lies outside their clip box, so a repaint of any strip,
// however thin, must draw exactly what the full paint draws there: text with
// overhanging glyphs, a selection over a line break, the caret, and the
// picker with its highlight frame.
TEST_F(EditorTest, EveryOnePixelStripRepaintsAsTheFullPaint)
{
    WinsimSetGlyphWidths('b', -2, 100, -3);
    SetText(u"ab中 b文\r\nbbb\r\n中ab");
    Press(VK_TAB, true);  // the picker takes the keys and shows its frame
    ASSERT_EQ(PickerFocus, 1);
    Select(2, 10, 10);
    for (int y = 0; y < ClientHeight; y++) {
        RECT row = {0, y, ClientWidth, y + 1};
        RepaintRect(&row);
    }
    ExpectScreenMatchesFullRepaint();
    for (int x = 0; x < ClientWidth; x++) {
        RECT column = {x, 0, x + 1, ClientHeight};
        RepaintRect(&column);
    }
    ExpectScreenMatchesFullRepaint();
}

// At 16 points a page holds exactly 32 lines, so the rule between two pages
// lies on the last row of a page's last line: a line break there adds a page
// and its rule, and taking it back takes the rule away.
TEST_F(EditorTest, ARuleOnThePagesLastRowComesAndGoesWithTheNextPage)
{
    Command(IDM_POINTS_BASE + 16);
    SetText(ShortLines(32));
    Caret = CharCount - 1;
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 27), 0);
    ASSERT_EQ(PageGap(96), 0);
    Press(VK_RETURN);
    ASSERT_EQ(LineCount, 33);
    ExpectScreenMatchesFullRepaint();
    Press(VK_BACK);
    ASSERT_EQ(LineCount, 32);
    ExpectScreenMatchesFullRepaint();
}

}  // namespace
