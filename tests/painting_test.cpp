// Right-to-left painting of the text lines and the caret, to the pixel.
#include "editor_fixture.h"

#include "app/resource.h"
#include "app/shell.h"
#include "document/document.h"
#include "view/view.h"

namespace {

// Row 20 of a line crosses every glyph's box (ink rows 7 to 39 at 49 high).
int InkRow(int line) { return 144 + line * 49 + 20; }

// Glyph widths chosen so cells are easy to follow: the rule adds 4 at 96 dpi.
void UseSimpleWidths()
{
    WinsimSetGlyphWidths('a', 0, 20, 0);  // cell 24
    WinsimSetGlyphWidths('b', 0, 10, 0);  // cell 14
}

TEST_F(EditorTest, TheEmptyDocumentShowsTheCaretAtTheColumnsRightEdge)
{
    EXPECT_EQ(BlackInColumn(687, 144, 193), 49);
    EXPECT_EQ(Pixel(687, 193), kWhite);
    EXPECT_EQ(BlackInRow(160, 0, 800), 1);
    EXPECT_EQ(Pixel(686, 160), kWhite);
    EXPECT_EQ(Pixel(688, 160), kWhite);
    SaveScreenshot("empty-document");
}

TEST_F(EditorTest, TheFirstCharacterEndsFlushAtTheColumnsRightEdge)
{
    UseSimpleWidths();
    SetText(u"ab", 2);
    int y = InkRow(0);
    // a's cell is 664..687 with its ink at 664..683; b's cell 650..663.
    EXPECT_EQ(Pixel(664, y), kBlack);
    EXPECT_EQ(Pixel(683, y), kBlack);
    EXPECT_EQ(Pixel(684, y), kWhite);
    EXPECT_EQ(Pixel(663, y), kWhite);
    EXPECT_EQ(Pixel(650, y), kBlack);
    EXPECT_EQ(Pixel(659, y), kBlack);
    EXPECT_EQ(Pixel(660, y), kWhite);
    // The caret at the end stands one pixel left of the leftmost cell.
    EXPECT_EQ(BlackInColumn(649, 144, 193), 49);
    EXPECT_EQ(Pixel(687, 144), kWhite);
}

TEST_F(EditorTest, TheCaretStandsOnTheBorderBeforeTheUnitAtTheCaret)
{
    UseSimpleWidths();
    SetText(u"ab", 1);
    EXPECT_EQ(BlackInColumn(663, 144, 193), 49);
    Caret = 0;
    RepaintAll();
    EXPECT_EQ(BlackInColumn(663, 144, 193), 0);
    EXPECT_EQ(BlackInColumn(687, 144, 193), 49);
}

TEST_F(EditorTest, AGlyphWithANegativeAWidthIsMovedInsideItsCell)
{
    WinsimSetGlyphWidths('n', -3, 10, 0);  // cell 10 + 4 + 6 = 20: 668..687
    SetText(u"n");
    int y = InkRow(0);
    EXPECT_EQ(Pixel(668, y), kBlack);
    EXPECT_EQ(Pixel(667, y), kWhite);
    EXPECT_EQ(Pixel(677, y), kBlack);
    EXPECT_EQ(Pixel(678, y), kWhite);
}

TEST_F(EditorTest, AGlyphWhoseWidthsCannotBeReadStillGetsItsCell)
{
    WinsimFailGlyphWidths('q');
    SetText(u"q", 1);
    EXPECT_EQ(BlackInColumn(688 - 42 - 1, 144, 193), 49);  // the cell is tmMaxCharWidth
}

// The program does not test font creation: without fonts it edits, paints
// and prints in each device context's own font, and leaks nothing.
TEST_F(UnstartedTest, FontsThatCannotBeCreatedLeaveTheDeviceContextsFont)
{
    WinsimFailCall(WinsimCreateFontIndirect, 1, true);
    Start();
    SetText(u"ab\r\ncd");
    Type(u"x");
    Press(VK_RETURN);
    Press(VK_BACK);
    Command(IDM_POINTS_BASE + 12);
    Command(IDM_FILE_PRINT);
    EXPECT_EQ(Text(), u"xab\r\ncd");
    EXPECT_TRUE(WinsimMessageBoxes().empty());
    ASSERT_EQ(WinsimPrintJobs().size(), 1u);
    EXPECT_TRUE(WinsimPrintJobs()[0].ended);
    ExpectTableOfAFullReflow();
    ExpectScreenMatchesFullRepaint();
}

TEST_F(EditorTest, WrappedLinesStartAtTheRightEdgeAndCarryTheCaret)
{
    for (char16_t u : std::u16string(u"abcd"))
        WinsimSetGlyphWidths(u, 0, 176, 0);  // cells of 180: three to a line
    SetText(u"abcd");
    ASSERT_EQ(LineCount, 2);
    Caret = 3;  // the first unit of the wrapped line
    RepaintAll();
    EXPECT_EQ(BlackInColumn(687, 144 + 49, 144 + 98), 49);
    EXPECT_EQ(Pixel(687, 160), kWhite);
    EXPECT_EQ(Pixel(688 - 180, InkRow(1)), kBlack);  // d's ink starts its cell
}

TEST_F(EditorTest, ADocumentOfLineBreaksDrawsOnlyTheCaretOnTheEmptyLastLine)
{
    SetText(u"\r\n\r\n");
    Caret = CharCount - 1;
    RepaintAll();
    int black = 0;
    for (int y = 144; y < 600; y++)
        black += BlackInRow(y, 0, 800);
    EXPECT_EQ(black, 49);
    EXPECT_EQ(BlackInColumn(687, 144 + 2 * 49, 144 + 3 * 49), 49);
}

TEST_F(EditorTest, ACaretOutsideTheTextDrawsNothing)
{
    Caret = 5;
    RepaintAll();
    EXPECT_EQ(BlackInColumn(687, 144, 600), 0);
    Caret = -1;
    storeArranged = true;
    RepaintAll();
    EXPECT_EQ(BlackInColumn(687, 144, 600), 0);
}

TEST_F(EditorTest, AUnitWiderThanTheColumnIsClippedByTheWindowNotTheColumn)
{
    WinsimSetGlyphWidths('W', 0, 700, 0);  // cell 704, starting at 688 - 704
    SetText(u"W");
    int top = 144 + 7;  // the top edge of its box
    EXPECT_EQ(Pixel(0, top), kBlack);
    EXPECT_EQ(Pixel(ColumnLeft - 1, top), kBlack);
    EXPECT_EQ(Pixel(683, top), kBlack);
    EXPECT_EQ(Pixel(684, top), kWhite);
}

TEST_F(UnstartedTest, TheLineAfterAPagesLastRowIsDrawnOnTheNextPage)
{
    Start(817, 1100);
    std::u16string text;
    for (int i = 0; i < 16; i++)
        text += u"a\r\n";
    UseSimpleWidths();
    SetText(text);
    EXPECT_EQ(Pixel(664, 144 + 14 * 49 + 20), kBlack);  // row 14, the page's last
    EXPECT_EQ(Pixel(664, 144 + 768 + 20), kBlack);      // line 15, top of page 2
    EXPECT_EQ(Pixel(664, 144 + 15 * 49 + 20), kWhite);  // the page gap
}

// At 16 points 32 lines of 24 rows fill the 768-row page, so the rule at
// its foot lies in the last row of its last line, under the glyphs.
TEST_F(UnstartedTest, TypingOnTheLastLineOfAFullPageLeavesTheRuleUnderIt)
{
    Start(817, 1100);
    Command(IDM_POINTS_BASE + 16);
    ASSERT_EQ(PageGap(96), 0);
    SetText(ShortLines(LinesPerPage + 1), 4 * (LinesPerPage - 1));  // that line's start
    Type(u"a");
    EXPECT_EQ(BlackInRow(144 + 768 - 1, ColumnLeft, ColumnRight), ColumnRight - ColumnLeft);
    ExpectScreenMatchesFullRepaint();
}

TEST_F(EditorTest, LinesScrolledAboveTheTextAreaAreNotDrawnOverThePicker)
{
    UseSimpleWidths();
    SetText(u"a\r\na\r\na\r\na\r\na\r\na\r\na\r\na\r\na\r\na\r\na");
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 3), 0);
    RepaintAll();
    // Line 2 would stand one row above TopMargin, its ink at rows 102..134.
    for (int y = 110; y < 135; y++)
        EXPECT_EQ(BlackInRow(y, 664, 684), 0) << "row " << y;
    EXPECT_EQ(Pixel(664, InkRow(0)), kBlack);  // line 3 at the top
}

// What a repaint costs, counted: each distinct unit is measured once by the
// text and once by the caret's line, and only lines in the repainted rows
// are drawn, a unit at a time.
TEST_F(EditorTest, ARepaintMeasuresEachUnitOnceAndDrawsOnlyTheLinesItCovers)
{
    const struct {
        std::u16string text;
        int line;  // whose rows are repainted; the caret is on line 0
        int queries, outputs;
    } cases[] = {
        {u"aaaaaaaaaa", 0, 2, 10},
        {ShortLines(8), 3, 2, 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        SetText(c.text);
        RECT rows = {0, 144 + c.line * 49, ClientWidth, 144 + (c.line + 1) * 49};
        WinsimClearCalls();
        RepaintRect(&rows);
        EXPECT_EQ(WinsimCalls().abcWidthQueries, c.queries);
        EXPECT_EQ(WinsimCalls().textOutputs, c.outputs);
    }
}

TEST_F(EditorTest, PaintingReleasesEveryFontAndDeviceContext)
{
    SetText(u"中文 text\r\nmore");
    RepaintAll();
    SaveScreenshot("two-lines");
}

}  // namespace
