// Page geometry, the line-based scroll model and the page rules.
#include "editor_fixture.h"

#include "app/shell.h"
#include "document/document.h"
#include "document/layout.h"
#include "picker/picker.h"
#include "view/view.h"

namespace {

int PageGapOnScreen()
{
    return PageGap(96);
}

TEST_F(EditorTest, TheColumnIsCentredAndTheScrollRangeCoversAWholePage)
{
    // Client 800 x 600 beside the scroll bar.
    EXPECT_EQ(ClientWidth, 800);
    EXPECT_EQ(ClientHeight, 600);
    EXPECT_EQ(ColumnLeft, 112);
    EXPECT_EQ(ColumnRight, 688);
    EXPECT_EQ(PageCount(), 1);
    EXPECT_EQ(VisibleLines(), 8);  // 456 / 49 - 1
    EXPECT_EQ(PageGapOnScreen(), 768 - 15 * 49);
    WinsimScrollBar bar = WinsimVerticalScrollBar(window);
    EXPECT_EQ(bar.min, 0);
    EXPECT_EQ(bar.max, 15 - 8 + 1);
    EXPECT_EQ(bar.pos, 0);
}

TEST_F(UnstartedTest, TheWorkedExampleOfPageGeometry)
{
    WinsimSetExternalLeading(1);  // LineHeight 50
    Start();
    EXPECT_EQ(LineHeight, 50);
    EXPECT_EQ(LinesPerPage, 15);
    EXPECT_EQ(PageGapOnScreen(), 18);
    SetText(ShortLines(20));
    ASSERT_EQ(LineCount, 20);
    EXPECT_EQ(PageCount(), 2);
    EXPECT_EQ(ScrollMax(), 23);
    EXPECT_EQ(WinsimVerticalScrollBar(window).max, 23);
    EXPECT_EQ(ScrollOffset(15, 18), 768);
    EXPECT_EQ(ScrollOffset(14, 18), 700);
}

TEST_F(UnstartedTest, GeometryFollowsAnotherResolution)
{
    Start(900, 700, 120);
    EXPECT_EQ(TopMargin, 180);
    EXPECT_EQ(ClientWidth, 883);
    EXPECT_EQ(ColumnLeft, (883 - 720) / 2);
    EXPECT_EQ(ColumnRight, ColumnLeft + 720);
    EXPECT_EQ(WinsimCreatedFonts()[0].lfHeight, -53);
    EXPECT_EQ(LineHeight, 61);
    EXPECT_EQ(LinesPerPage, 960 / 61);
    EXPECT_EQ(VisibleLines(), (700 - 180) / 61 - 1);
}

// Scrolled a page on, the caret's line and the rule above page 2 lie above
// the text area, where only the picker may draw.
TEST_F(EditorTest, NothingOfTheTextAreaIsDrawnAboveItAfterScrollingAPage)
{
    SetText(ShortLines(40));
    Caret = LineTable[15].first;
    RepaintAll();
    std::vector<COLORREF> before = WinsimFramebuffer(window);
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 16), 0);
    ASSERT_EQ(TopLine, 16);
    RepaintAll();
    const std::vector<COLORREF> &after = WinsimFramebuffer(window);
    size_t aboveTopRules = (size_t)(TopMargin - 2) * 800;
    for (size_t i = 0; i < aboveTopRules; i++)
        ASSERT_EQ(after[i], before[i]) << "pixel (" << i % 800 << ", " << i / 800 << ")";
}

// Widths come from LOGPIXELSX, heights and the font from LOGPIXELSY.
TEST_F(UnstartedTest, WidthsAndHeightsEachFollowTheirOwnResolution)
{
    Start(817, 600, 96, 144);
    EXPECT_EQ(ColumnLeft, (800 - 576) / 2);
    EXPECT_EQ(ColumnRight, ColumnLeft + 576);
    EXPECT_EQ(TopMargin, 216);
    EXPECT_EQ(WinsimCreatedFonts()[0].lfHeight, -64);
    EXPECT_EQ(LineHeight, 74);
    EXPECT_EQ(LinesPerPage, 8 * 144 / 74);
    EXPECT_EQ(PickerItems[PICKER_FIRST_CELL].right - PickerItems[PICKER_FIRST_CELL].left, 36);
    EXPECT_EQ(PickerItems[PICKER_FIRST_CELL].bottom - PickerItems[PICKER_FIRST_CELL].top, 54);
    // The top rule spans the 576-pixel column.
    EXPECT_EQ(Pixel(ColumnLeft - 1, 215), kWhite);
    EXPECT_EQ(Pixel(ColumnLeft, 215), kBlack);
    EXPECT_EQ(Pixel(ColumnRight - 1, 215), kBlack);
    EXPECT_EQ(Pixel(ColumnRight, 215), kWhite);
    // Cells of 137 + 74 / 10 = 144: four fill the column, a fifth wraps.
    WinsimSetGlyphWidths('a', 0, 137, 0);
    SetText(u"aaaaa");
    ASSERT_EQ(LineCount, 2);
    EXPECT_EQ(LineTable[0].last, 3);
}

TEST_F(UnstartedTest, ANarrowWindowPutsTheColumnPastItsLeftEdge)
{
    Start(517, 600);
    EXPECT_EQ(ColumnLeft, -38);  // (500 - 576) / 2, truncated toward zero
    EXPECT_EQ(ColumnRight, 538);
    // The rules are clipped by the window, starting at its left edge.
    EXPECT_EQ(Pixel(0, 143), kBlack);
    EXPECT_EQ(Pixel(499, 143), kBlack);
    EXPECT_EQ(Pixel(0, 142), kBlack);
}

TEST_F(EditorTest, MinimisingKeepsTopLineAndRestoringRecomputes)
{
    SetText(ShortLines(40));
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 12), 0);
    ASSERT_EQ(TopLine, 12);
    WinsimMinimize(window);
    EXPECT_EQ(ClientWidth, 0);
    EXPECT_EQ(ClientHeight, 0);
    EXPECT_EQ(VisibleLines(), 0);
    EXPECT_EQ(ScrollMax(), 15 * 3 + 1);
    EXPECT_EQ(TopLine, 12);
    WinsimRestore(window);
    EXPECT_EQ(ClientHeight, 600);
    EXPECT_EQ(ColumnLeft, 112);
    EXPECT_EQ(TopLine, 12);
}

TEST_F(UnstartedTest, ThePageStepIsTwoLessThanTheRowsThatFit)
{
    Start(817, 144 + 6 * 49);  // exactly six rows
    SetText(ShortLines(60));
    EXPECT_EQ(VisibleLines(), 5);
    SendMessage(window, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(TopLine, 4);
    SendMessage(window, WM_VSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(TopLine, 0);
}

TEST_F(UnstartedTest, AWindowShorterThanOneRowStillPagesByOne)
{
    Start(817, 144 + 48);
    SetText(ShortLines(60));
    EXPECT_EQ(VisibleLines(), 0);
    SendMessage(window, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(TopLine, 1);
}

TEST_F(EditorTest, ScrollingUpAtTheTopChangesAndRepaintsNothing)
{
    SetText(ShortLines(40));
    WinsimClearLogs();
    SendMessage(window, WM_VSCROLL, SB_LINEUP, 0);
    SendMessage(window, WM_VSCROLL, SB_ENDSCROLL, 0);
    EXPECT_EQ(TopLine, 0);
    EXPECT_TRUE(WinsimScrolls().empty());
    EXPECT_EQ(WinsimPaintCount(), 0);
}

TEST_F(UnstartedTest, ScrollingMovesTheTextAreaByRowsAndPageGaps)
{
    Start(817, 1000);
    SetText(ShortLines(40));
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 13), 0);
    ASSERT_EQ(TopLine, 13);
    int gap = PageGapOnScreen();
    // The rule above page 2 is at TopMargin + 768 - ScrollOffset(13) - 1.
    int ruleRow = 144 + 768 - 13 * 49 - 1;
    ASSERT_EQ(Pixel(400, ruleRow), kBlack);
    WinsimClearLogs();

    SendMessage(window, WM_VSCROLL, SB_LINEDOWN, 0);  // within page 1
    ASSERT_EQ(WinsimScrolls().size(), 1u);
    EXPECT_EQ(WinsimScrolls()[0].dy, -49);
    EXPECT_EQ(Pixel(400, ruleRow - 49), kBlack);

    SendMessage(window, WM_VSCROLL, SB_LINEDOWN, 0);  // 14 to 15 crosses the page
    ASSERT_EQ(WinsimScrolls().size(), 2u);
    EXPECT_EQ(WinsimScrolls()[1].dy, -(49 + gap));
    EXPECT_EQ(Pixel(400, ruleRow - 49), kWhite);  // the rule left the text area
    EXPECT_EQ(Pixel(400, 144 + 2 * 768 - 15 * 49 - gap - 1), kBlack);
    const WinsimScroll &s = WinsimScrolls()[1];
    EXPECT_EQ(s.scroll.top, 144);
    EXPECT_EQ(s.scroll.bottom, 1000);
    EXPECT_EQ(s.clip.top, 144);
    // The picker area and the top rules did not move; the strip was painted.
    EXPECT_EQ(Pixel(400, 142), kBlack);
    EXPECT_EQ(Pixel(400, 143), kBlack);
    EXPECT_TRUE(WinsimUpdateRegionEmpty(window));
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 15);

    SendMessage(window, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(WinsimScrolls()[2].dy, 49 + gap);
}

TEST_F(EditorTest, TheThumbIsFollowedAndClampedToTheRange)
{
    SetText(ShortLines(40));
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5000), 0);
    EXPECT_EQ(TopLine, ScrollMax());
    EXPECT_EQ(TopLine, 45 - 8 + 1);
    EXPECT_EQ(GetScrollPos(window, SB_VERT), TopLine);
}

TEST_F(EditorTest, ShrinkingTheDocumentPullsTopLineIntoTheRange)
{
    SetText(ShortLines(40));
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 30), 0);
    ASSERT_EQ(TopLine, 30);
    SetText(u"x");
    EXPECT_EQ(TopLine, 8);
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 8);
}

TEST_F(EditorTest, EnlargingTheWindowPullsTopLineDownAtTheNextSize)
{
    SetText(ShortLines(10));
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 8), 0);
    ASSERT_EQ(TopLine, 8);
    WinsimResizeClient(window, 817, 144 + 12 * 49);  // eleven visible rows
    EXPECT_EQ(TopLine, 15 - 11 + 1);
    UpdateWindow(window);
    ExpectScreenMatchesFullRepaint();
}

TEST_F(UnstartedTest, AOnePageDocumentHasTheTopRuleAndTheClosingRule)
{
    Start(817, 1000);
    // Sixteen visible rows leave nothing to scroll: the bar goes and the
    // column re-centres in the wider client area.
    EXPECT_FALSE(WinsimVerticalScrollBar(window).visible);
    ASSERT_EQ(ClientWidth, 817);
    ASSERT_EQ(ColumnLeft, 120);
    for (int y : {142, 143, 912})
        EXPECT_EQ(BlackInRow(y, 0, 817), 576) << "row " << y;
    EXPECT_EQ(Pixel(119, 143), kWhite);
    EXPECT_EQ(Pixel(120, 143), kBlack);
    EXPECT_EQ(Pixel(695, 143), kBlack);
    EXPECT_EQ(Pixel(696, 143), kWhite);
    for (int y : {141, 911, 913})
        EXPECT_EQ(BlackInRow(y, 0, 817), 0) << "row " << y;
}

TEST_F(UnstartedTest, InnerRulesMarkThePageBoundaries)
{
    Start(817, 1000);
    SetText(ShortLines(20));
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 10), 0);
    int inner = 144 + 768 - 10 * 49 - 1;
    EXPECT_EQ(BlackInRow(inner, 0, 800), 576);
    EXPECT_EQ(BlackInRow(inner + 1, 112, 600), 0);
    EXPECT_EQ(BlackInRow(inner - 1, 112, 600), 0);

    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 15), 0);
    int closing = 144 + 2 * 768 - 768;  // one row lower than the inner pattern
    EXPECT_EQ(BlackInRow(closing, 0, 800), 576);
    EXPECT_EQ(BlackInRow(closing - 1, 112, 600), 0);
}

TEST_F(EditorTest, WithThePickerFocusedTheTopRuleIsOnePixel)
{
    PickerFocus = 1;
    RepaintAll();
    EXPECT_EQ(BlackInRow(142, 0, 800), 0);
    EXPECT_EQ(BlackInRow(143, 0, 800), 576);
}

}  // namespace
