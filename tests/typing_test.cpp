// Typing, and the repaint every edit ends with: the rectangles it
// invalidates and the scroll that keeps the caret in view.
#include "editor_fixture.h"

#include "app/resource.h"
#include "app/shell.h"
#include "document/document.h"
#include "view/view.h"

#include <vector>

namespace {

TEST_F(EditorTest, TypingIntoTheEmptyDocument)
{
    Type(u"中");
    EXPECT_EQ(Text(), u"中");
    EXPECT_EQ(CharCount, 2);
    EXPECT_EQ(Caret, 1);
    EXPECT_EQ(LineCount, 1);
    EXPECT_EQ(SelStart, 1);
    EXPECT_EQ(SelEnd, 1);
    // The character's cell ends at the right edge; the caret left of it.
    EXPECT_EQ(BlackInColumn(688 - 46 - 1, 144, 193), 49);
    EXPECT_EQ(Pixel(687, 144), kWhite);
    EXPECT_EQ(Pixel(688 - 46 + 3, 144 + 20), kBlack);
    EXPECT_TRUE(WinsimUpdateRegionEmpty(window));
}

TEST_F(EditorTest, ControlCodesAndCodesBeyondSixteenBitsInsertNothing)
{
    for (int code : {0, 8, 9, 10, 13, 27, 30, 31})
        SendMessage(window, WM_CHAR, code, 0);
    EXPECT_EQ(CharCount, 1);
    Type(u"\x7f\xd800");
    EXPECT_EQ(Text(), u"\x7f\xd800");
    WinsimClearLogs();
    SendMessage(window, WM_CHAR, 0x10000, 0);
    EXPECT_EQ(CharCount, 3);
    EXPECT_TRUE(WinsimInvalidations().empty());
    EXPECT_TRUE(WinsimMessageBoxes().empty());
}

TEST_F(EditorTest, TypingMidLineRepaintsTheLineFromTheNewUnitAndTwoCaretColumns)
{
    WinsimSetGlyphWidths('a', 0, 20, 0);  // cells of 24
    SetText(u"aaaa", 2);
    WinsimClearLogs();
    Type(u"a");
    // Old caret 2: border at 688 - 48 - 1; new caret 3: 688 - 72 - 1; the
    // line from the new unit (index 2, right edge 640) leftward.
    EXPECT_THAT(Invalidated(),
                ::testing::ElementsAre(IsRect(639, 144, 640, 193), IsRect(615, 144, 616, 193),
                                       IsRect(0, 144, 640, 193)));
    EXPECT_TRUE(WinsimScrolls().empty());
}

TEST_F(EditorTest, AWordThatJumpsDownRepaintsTheRestOfTheLineAndTheBandBelow)
{
    UseWideUnits(u"abc ");
    SetText(u"a b", 3);
    WinsimClearLogs();
    Type(u"c");
    ASSERT_EQ(LineCount, 2);
    EXPECT_EQ(LineTable[0].last, 1);
    EXPECT_EQ(Caret, 4);
    EXPECT_THAT(Invalidated(),
                ::testing::ElementsAre(IsRect(147, 144, 148, 193),  // the old caret
                                       IsRect(327, 193, 328, 242),  // the new, after "bc"
                                       IsRect(0, 144, 328, 193),    // what "b" left
                                       IsRect(0, 193, 800, 600)));  // the new line
    ExpectScreenMatchesFullRepaint();
}

TEST_F(EditorTest, ASpaceTypedAtTheEndOfAFullLineStaysOnIt)
{
    UseWideUnits(u"abc ");
    SetText(u"abc");
    Caret = 3;
    Type(u" ");
    ASSERT_EQ(LineCount, 2);
    EXPECT_EQ(LineTable[0].last, 3);  // the space ends the upper line
    EXPECT_EQ(CaretLine(Caret), 1);
    EXPECT_EQ(BlackInColumn(687, 193, 242), 49);
}

TEST_F(EditorTest, TypingOnTheLastVisibleLineScrollsByOneLine)
{
    // Eight visible lines.
    UseWideUnits(u"abc");
    SetText(u"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\nabc");
    Caret = CharCount - 1;
    RepaintAll();
    WinsimClearLogs();
    Type(u"a");
    EXPECT_EQ(TopLine, 1);
    ASSERT_EQ(WinsimScrolls().size(), 1u);
    EXPECT_EQ(WinsimScrolls()[0].dy, -49);
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 1);
    ExpectScreenMatchesFullRepaint();
}

TEST_F(EditorTest, ScrollingToFollowTheCaretAcrossAPageAddsThePageGap)
{
    UseWideUnits(u"abc");
    std::u16string text;
    for (int i = 0; i < 21; i++)
        text += u"x\r\n";
    SetText(text + u"abc");  // line 21, the last visible with lines 14 to 21 shown
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 14), 0);
    Caret = CharCount - 1;
    RepaintAll();
    WinsimClearLogs();
    Type(u"a");
    EXPECT_EQ(TopLine, 15);
    ASSERT_EQ(WinsimScrolls().size(), 1u);
    EXPECT_EQ(WinsimScrolls()[0].dy, -(49 + PageGap(96)));
    ExpectScreenMatchesFullRepaint();
}

TEST_F(EditorTest, TypingReplacesTheSelectionWhicheverEndTheCaretIsAt)
{
    SetText(u"abcdefgh");
    for (int caretAtStart : {1, 0}) {
        SetText(u"abcdefgh");
        Select(2, 6, caretAtStart ? 2 : 6);
        Type(u"X");
        EXPECT_EQ(Text(), u"abXgh");
        EXPECT_EQ(Caret, 3);
        EXPECT_EQ(SelectionActive, 0);
        EXPECT_EQ(SelStart, 3);
        EXPECT_EQ(SelEnd, 3);
    }
}

TEST_F(EditorTest, AFullDocumentRefusesACharacterUnlessASelectionMakesRoom)
{
    SetText(std::u16string(TEXT_BUFFER_UNITS - 1, u'x'), 5);
    std::vector<COLORREF> before = WinsimFramebuffer(window);
    WinsimClearLogs();
    Type(u"y");
    ASSERT_EQ(WinsimMessageBoxes().size(), 1u);
    EXPECT_EQ(WinsimMessageBoxes()[0].caption, u"Can Not Add Character");
    EXPECT_EQ(WinsimMessageBoxes()[0].text, u"Input exceeds memory limit");
    EXPECT_EQ(WinsimMessageBoxes()[0].type, (UINT)(MB_ICONWARNING | MB_OK));
    EXPECT_EQ(WinsimMessageBoxes()[0].owner, window);
    EXPECT_EQ(CharCount, TEXT_BUFFER_UNITS);
    EXPECT_EQ(Caret, 5);
    EXPECT_TRUE(WinsimInvalidations().empty());
    EXPECT_TRUE(before == WinsimFramebuffer(window));

    SelectionActive = 1;
    SelStart = 5;
    SelEnd = 6;
    Type(u"y");
    EXPECT_EQ(WinsimMessageBoxes().size(), 1u);
    EXPECT_EQ(CharCount, TEXT_BUFFER_UNITS);
    EXPECT_EQ(TextBuffer[5], u'y');
}

TEST_F(EditorTest, ARefusedSnapshotLeavesTextCaretSelectionAndScreen)
{
    SetText(u"abcdef");
    Select(1, 3, 3);
    std::vector<COLORREF> before = WinsimFramebuffer(window);
    WinsimClearLogs();
    WinsimFailCall(WinsimHeapAlloc);
    Type(u"z");
    ASSERT_EQ(WinsimMessageBoxes().size(), 1u);
    EXPECT_EQ(WinsimMessageBoxes()[0].caption, u"Can Not Add Character");
    EXPECT_EQ(WinsimMessageBoxes()[0].text, u"Can not allocate memory");
    EXPECT_EQ(Text(), u"abcdef");
    EXPECT_EQ(Caret, 3);
    EXPECT_EQ(SelectionActive, 1);
    EXPECT_EQ(SelStart, 1);
    EXPECT_EQ(SelEnd, 3);
    EXPECT_TRUE(WinsimInvalidations().empty());
    EXPECT_TRUE(before == WinsimFramebuffer(window));
}

TEST_F(EditorTest, TypingAndDeletingAgainLeavesTheDocumentUnchanged)
{
    Type(u"q");
    EXPECT_TRUE(DocumentChanged());
    Press(VK_BACK);
    EXPECT_FALSE(DocumentChanged());
    SendMessage(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(WinsimMessageBoxes().empty());
}

TEST_F(EditorTest, ACharacterTypedWhileThePickerHasTheKeyboardIsDropped)
{
    PickerFocus = 1;
    Type(u"a");
    EXPECT_EQ(CharCount, 1);
}

TEST_F(EditorTest, InvalidateSpanInsideOneLineCoversExactlyTheSpansCells)
{
    WinsimSetGlyphWidths('a', 0, 20, 0);
    SetText(u"aaaaaa");  // x0 = 688 - 144
    WinsimClearLogs();
    InvalidateSpan(2, 5);
    EXPECT_THAT(Invalidated(), ::testing::ElementsAre(IsRect(544 + 24, 144, 544 + 96, 193)));
    WinsimClearLogs();
    InvalidateSpan(2, 6);  // to the end of the run
    EXPECT_THAT(Invalidated(), ::testing::ElementsAre(IsRect(544, 144, 544 + 96, 193)));
}

TEST_F(EditorTest, InvalidateSpanAcrossLinesCoversTheMiddleLinesWhole)
{
    WinsimSetGlyphWidths('a', 0, 20, 0);
    SetText(u"aaa\r\naaa\r\naaa");
    WinsimClearLogs();
    InvalidateSpan(1, 11);
    EXPECT_THAT(Invalidated(),
                ::testing::ElementsAre(IsRect(0, 144, 688 - 24, 193), IsRect(0, 193, 800, 242),
                                       IsRect(688 - 72 + 48, 242, 800, 291)));
}

TEST_F(UnstartedTest, WithNoVisibleRowsTheCaretsLineGoesToTheTop)
{
    Start(817, 144 + 30);
    SetText(u"1\r\n2\r\n3\r\n4\r\n5");
    Caret = CharCount - 1;
    KeepCaretVisible();
    EXPECT_EQ(TopLine, 4);
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 4);
}

// Under Wine a redraw of the scroll bar costs more than the rest of a
// keystroke, so the bar is redrawn only when its range or position moves.
TEST_F(EditorTest, TheScrollBarIsRedrawnOnlyWhenItsRangeOrPositionChanges)
{
    // Eight rows visible, fifteen to a page.
    SetText(ShortLines(15));
    Caret = LineTable[3].first;
    RepaintAll();
    WinsimClearCalls();
    Type(u"a");
    EXPECT_EQ(WinsimCalls().scrollBarRedraws, 0);
    Press(VK_RETURN);  // a sixteenth line opens a second page; the view stays
    ASSERT_EQ(TopLine, 0);
    EXPECT_EQ(WinsimCalls().scrollBarRedraws, 1);
    EXPECT_EQ(WinsimVerticalScrollBar(window).max, ScrollMax());
}

}  // namespace
