// The selection drawn as inverted bands, line breaks included.
#include "editor_fixture.h"

#include "document/document.h"
#include "view/view.h"

namespace {

// Row 44 of a line lies below every glyph's box, so it is white unless inverted.
int BandRow(int line) { return 144 + line * 49 + 44; }

class SelectionTest : public EditorTest {
protected:
    void Select(int start, int end)
    {
        SelectionActive = 1;
        SelStart = start;
        SelEnd = end;
        Caret = -1;  // no caret, so a band row shows the selection alone
        storeArranged = true;
        RepaintAll();
    }
    // The inverted columns of a line's band row, as [first, last + 1).
    std::pair<int, int> Band(int line)
    {
        int y = BandRow(line);
        int first = -1, last = -1;
        for (int x = 0; x < ClientWidth; x++)
            if (Inverted(x, y)) {
                if (first < 0)
                    first = x;
                last = x;
            }
        return first < 0 ? std::make_pair(0, 0) : std::make_pair(first, last + 1);
    }
};

// Cells of 24 for 'a'; CR and LF keep the default 25, so the break mark is 50.
void UseSimpleWidths()
{
    WinsimSetGlyphWidths('a', 0, 20, 0);
}

TEST_F(SelectionTest, ASelectionInsideALineRunsFromTheLastUnitsLeftEdgeToTheFirstsRightEdge)
{
    UseSimpleWidths();
    SetText(u"aaaaaa");  // x0 544
    Select(2, 5);
    EXPECT_EQ(Band(0), std::make_pair(544 + 24, 544 + 96));
    EXPECT_FALSE(Inverted(544 + 23, BandRow(0)));
}

TEST_F(SelectionTest, ASelectedLineBreakIsABandTheWidthOfTheMarkLeftOfTheText)
{
    UseSimpleWidths();
    SetText(u"aaa\r\naaa");  // line 0: x0 616, CR at 3
    Select(1, 6);
    EXPECT_EQ(Band(0), std::make_pair(616 - 50, 616 + 48));
    EXPECT_EQ(Band(1), std::make_pair(616 + 48, 688));
}

TEST_F(SelectionTest, ASelectionEndingAtTheCarriageReturnShowsNoMark)
{
    UseSimpleWidths();
    SetText(u"aaa\r\naaa");
    Select(1, 3);
    EXPECT_EQ(Band(0), std::make_pair(616, 616 + 48));
    EXPECT_EQ(Band(1), std::make_pair(0, 0));
}

TEST_F(SelectionTest, AnEmptySelectedLineShowsOnlyItsMarkAtTheRightEdge)
{
    UseSimpleWidths();
    SetText(u"a\r\n\r\na");
    Select(0, 6);
    EXPECT_EQ(Band(0), std::make_pair(664 - 50, 688));
    EXPECT_EQ(Band(1), std::make_pair(688 - 50, 688));
    EXPECT_EQ(Band(2), std::make_pair(664, 688));
}

TEST_F(SelectionTest, ASelectionToTheEndOfTheTextHasNoMarkForTheTerminator)
{
    UseSimpleWidths();
    SetText(u"aa\r\naaa");
    Select(1, CharCount - 1);
    EXPECT_EQ(Band(0), std::make_pair(640 - 50, 664));
    EXPECT_EQ(Band(1), std::make_pair(616, 688));
}

TEST_F(SelectionTest, LinesScrolledOutAreSkippedAndTheVisibleRestIsInverted)
{
    UseSimpleWidths();
    SetText(u"a\r\na\r\na\r\na\r\na");
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 2), 0);
    Select(1, 10);  // from line 0, out of view, into line 3
    // Line 2 is now the top row: a whole middle line with its mark.
    EXPECT_EQ(Band(0), std::make_pair(664 - 50, 688));
    EXPECT_EQ(Band(1), std::make_pair(688 - 24, 688));
    // Nothing was inverted above the text area.
    EXPECT_EQ(BlackInRow(140, 0, 800), 0);
    EXPECT_EQ(BlackInRow(143, 0, 800), 576);
}

TEST_F(SelectionTest, AnEmptyActiveSelectionDrawsNothing)
{
    UseSimpleWidths();
    SetText(u"aaaa");
    Select(2, 2);
    EXPECT_EQ(Band(0), std::make_pair(0, 0));
}

}  // namespace
