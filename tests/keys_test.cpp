// Caret movement and keyboard selection.
#include "editor_fixture.h"

#include "app/resource.h"
#include "document/document.h"
#include "view/view.h"

namespace {

TEST_F(EditorTest, LeftAndRightFollowThePictureAndStepOverLineBreaks)
{
    SetText(u"AB\r\nC");
    Press(VK_LEFT);
    EXPECT_EQ(Caret, 1);
    Press(VK_LEFT);
    EXPECT_EQ(Caret, 2);
    Press(VK_LEFT);  // over CR LF at once
    EXPECT_EQ(Caret, 4);
    Press(VK_LEFT, false, true);  // Ctrl is not looked at
    EXPECT_EQ(Caret, 5);
    Press(VK_RIGHT);
    Press(VK_RIGHT);
    EXPECT_EQ(Caret, 2);
}

TEST_F(EditorTest, KeysAtABoundaryDoNothingAndKeepTheSelection)
{
    SetText(u"ab\r\ncd");
    Select(1, CharCount - 1, CharCount - 1);
    WinsimClearLogs();
    for (int key : {VK_LEFT, VK_DOWN, VK_NEXT}) {
        Press(key);
        EXPECT_EQ(Caret, CharCount - 1);
        EXPECT_EQ(SelectionActive, 1);
    }
    SelStart = 0;
    SelEnd = 3;
    Caret = 0;
    for (int key : {VK_RIGHT, VK_UP, VK_PRIOR}) {
        Press(key);
        EXPECT_EQ(Caret, 0);
        EXPECT_EQ(SelectionActive, 1);
    }
    EXPECT_TRUE(WinsimInvalidations().empty());
    EXPECT_TRUE(WinsimScrolls().empty());
}

TEST_F(EditorTest, UpToAShorterLineEndingInALineBreakStopsOnItsCarriageReturn)
{
    SetText(u"a\r\nabcdef");
    Caret = 9;  // left end of the long line
    Press(VK_UP);
    EXPECT_EQ(Caret, 1);
}

TEST_F(EditorTest, UpToAShorterWrappedLineStopsBeforeItsLastUnit)
{
    UseWideUnits(u"abcde ");
    SetText(u"a bcde");  // "a " wrapped, "bcd" wrapped, "e"
    ASSERT_EQ(LineCount, 3);
    Caret = 4;  // on d, left of where "a " starts
    Press(VK_UP);
    EXPECT_EQ(Caret, 1);
}

TEST_F(EditorTest, DownKeepsTheColumnAndReachesTheEmptyLastLine)
{
    WinsimSetGlyphWidths('a', 0, 20, 0);
    SetText(u"aaaa\r\naa\r\n");
    Caret = 3;  // x = 688 - 96 + 24 - 1
    Press(VK_DOWN);
    EXPECT_EQ(Caret, 8);  // past "aa": the end of its text
    Press(VK_DOWN);
    EXPECT_EQ(Caret, CharCount - 1);
    Press(VK_UP);
    Press(VK_UP);
    EXPECT_EQ(Caret, 0);  // from the right edge back to the right edge
}

TEST_F(EditorTest, HomeAndEndStayOnTheCaretsLine)
{
    UseWideUnits(u"abc");
    SetText(u"abcab\r\nc");
    Caret = 4;
    Press(VK_HOME);
    EXPECT_EQ(Caret, 3);
    Press(VK_END);
    EXPECT_EQ(Caret, 5);  // on the CR
    Caret = 1;
    Press(VK_END);
    EXPECT_EQ(Caret, 2);  // a wrapped line: before its last unit
    Press(VK_END, false, true);
    EXPECT_EQ(Caret, CharCount - 1);
    Press(VK_HOME, false, true);
    EXPECT_EQ(Caret, 0);
}

TEST_F(EditorTest, PageDownAndUpMoveByTheRowsThatFitLessOne)
{
    // VisibleLines 8: PageStep 7.
    SetText(ShortLines(100));
    Caret = LineTable[10].first + 1;
    Press(VK_NEXT);
    EXPECT_EQ(Caret, LineTable[17].first);
    Caret = LineTable[3].first + 1;
    Press(VK_PRIOR);
    EXPECT_EQ(Caret, 0);
    Caret = LineTable[97].first;
    Press(VK_NEXT);
    EXPECT_EQ(Caret, LineTable[99].first);
}

TEST_F(EditorTest, ControlPageUpGoesToThePageStartThenThePreviousPage)
{
    SetText(ShortLines(40));  // pages start at lines 0, 15, 30
    Caret = LineTable[35].first + 1;
    Press(VK_PRIOR, false, true);
    EXPECT_EQ(Caret, LineTable[30].first);
    Press(VK_PRIOR, false, true);
    EXPECT_EQ(Caret, LineTable[15].first);
    Press(VK_PRIOR, false, true);
    EXPECT_EQ(Caret, 0);
    Press(VK_NEXT, false, true);
    EXPECT_EQ(Caret, LineTable[15].first);
    Caret = LineTable[31].first;
    Press(VK_NEXT, false, true);  // on the last page: the final line
    EXPECT_EQ(Caret, LineTable[39].first);
}

TEST_F(EditorTest, ShiftExtendsTheSelectionAndCrossesTheAnchorBothWays)
{
    SetText(u"abcdef");
    Caret = 2;
    Press(VK_LEFT, true);
    EXPECT_EQ(SelectionActive, 1);
    EXPECT_EQ(SelStart, 2);
    EXPECT_EQ(SelEnd, 3);
    Press(VK_RIGHT, true);  // back to the anchor: empty, so inactive
    EXPECT_EQ(SelectionActive, 0);
    Press(VK_RIGHT, true);
    Press(VK_RIGHT, true);
    EXPECT_EQ(SelStart, 0);
    EXPECT_EQ(SelEnd, 2);
    Press(VK_END, true);  // forward across the anchor at 2
    EXPECT_EQ(SelStart, 2);
    EXPECT_EQ(SelEnd, 6);
    EXPECT_EQ(Caret, 6);
    Press(VK_HOME, true);  // backward across it again
    EXPECT_EQ(SelStart, 0);
    EXPECT_EQ(SelEnd, 2);
    EXPECT_EQ(Caret, 0);
}

TEST_F(EditorTest, ShiftDownFromTheSelectionStartFlipsItPastTheEnd)
{
    WinsimSetGlyphWidths('a', 0, 20, 0);
    SetText(u"aaaa\r\naaaa");
    Select(1, 2, 1);
    Press(VK_DOWN, true);
    EXPECT_EQ(Caret, 7);
    EXPECT_EQ(SelStart, 2);
    EXPECT_EQ(SelEnd, 7);
}

TEST_F(EditorTest, EscapeClearsASelectionAndOnlyThenScrollsToTheCaret)
{
    SetText(ShortLines(40));
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 20), 0);
    Press(VK_ESCAPE);
    EXPECT_EQ(TopLine, 20);  // no selection: nothing at all
    Select(0, 2, 2);
    Press(VK_ESCAPE);
    EXPECT_EQ(SelectionActive, 0);
    EXPECT_EQ(SelStart, 2);
    EXPECT_EQ(TopLine, 0);
}

TEST_F(EditorTest, AMoveWithoutShiftClearsTheSelectionAndRepaintsIt)
{
    WinsimSetGlyphWidths('a', 0, 20, 0);
    SetText(u"aaaaaa");
    Select(1, 4, 4);
    ASSERT_EQ(Pixel(620, 144 + 44), kBlack);
    Press(VK_LEFT);
    EXPECT_EQ(SelectionActive, 0);
    EXPECT_EQ(Caret, 5);
    EXPECT_EQ(Pixel(620, 144 + 44), kWhite);
}

TEST_F(EditorTest, AnyMoveScrollsTheCaretBackIntoView)
{
    SetText(ShortLines(40));
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 20), 0);
    WinsimClearLogs();
    Press(VK_LEFT);
    EXPECT_EQ(TopLine, 0);
    ASSERT_EQ(WinsimScrolls().size(), 1u);
    EXPECT_EQ(WinsimScrolls()[0].dy, 20 * 49 + PageGap(96));
}

}  // namespace
