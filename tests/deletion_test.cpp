// Backspace, Delete, Return and Tab.
#include "editor_fixture.h"

#include "document/document.h"
#include "app/shell.h"
#include "view/view.h"

namespace {

TEST_F(EditorTest, BackspaceAfterALineBreakJoinsTheLines)
{
    SetText(u"ab\r\ncd");
    Caret = 4;
    Press(VK_BACK);
    EXPECT_EQ(Text(), u"abcd");
    EXPECT_EQ(Caret, 2);
    EXPECT_EQ(LineCount, 1);
}

TEST_F(EditorTest, DeleteTakesAPairAsOneAndLoneBreaksOneAtATime)
{
    SetText(u"a\r\nb\rc\nd");
    Caret = 1;
    Press(VK_DELETE);
    EXPECT_EQ(Text(), u"ab\rc\nd");
    Caret = 2;
    Press(VK_DELETE);
    EXPECT_EQ(Text(), u"abc\nd");
    Caret = 3;
    Press(VK_DELETE);
    EXPECT_EQ(Text(), u"abcd");
    EXPECT_EQ(Caret, 3);
}

TEST_F(EditorTest, BackspaceAtTheStartAndDeleteAtTheEndDoNothing)
{
    SetText(u"ab");
    WinsimClearLogs();
    Caret = 0;
    Press(VK_BACK);
    Caret = 2;
    Press(VK_DELETE);
    EXPECT_EQ(Text(), u"ab");
    EXPECT_TRUE(WinsimInvalidations().empty());
    EXPECT_TRUE(WinsimMessageBoxes().empty());
}

TEST_F(EditorTest, DeletingASelectionRemovesExactlyItsUnits)
{
    for (int key : {VK_BACK, VK_DELETE}) {
        SetText(u"0123456789");
        Select(3, 7, 7);
        Press(key);
        EXPECT_EQ(Text(), u"012789");
        EXPECT_EQ(Caret, 3);
        EXPECT_EQ(SelectionActive, 0);
        EXPECT_EQ(SelStart, 3);
        EXPECT_EQ(SelEnd, 3);
        EXPECT_EQ(TextBuffer[CharCount], 0);
    }
}

TEST_F(EditorTest, TabInsertsFourSpacesAndShiftTabInsertsNothing)
{
    Press(VK_TAB);
    EXPECT_EQ(Text(), u"    ");
    EXPECT_EQ(CharCount, 5);
    EXPECT_EQ(Caret, 4);
    Press(VK_TAB, false, true);  // Ctrl changes nothing
    EXPECT_EQ(CharCount, 9);
    Press(VK_TAB, true);
    EXPECT_EQ(CharCount, 9);
}

TEST_F(EditorTest, ReturnAtTheEndAddsAnEmptyLastLine)
{
    SetText(u"ab");
    Caret = 2;
    Press(VK_RETURN);
    EXPECT_EQ(Text(), u"ab\r\n");
    EXPECT_EQ(Caret, CharCount - 1);
    ASSERT_EQ(LineCount, 2);
    EXPECT_EQ(LineTable[1].first, 4);
    EXPECT_EQ(BlackInColumn(687, 193, 242), 49);  // the caret on the new line
}

TEST_F(EditorTest, ReturnReplacesASelection)
{
    SetText(u"0123456789");
    Select(2, 7, 2);
    Press(VK_RETURN);
    EXPECT_EQ(Text(), u"01\r\n789");
    EXPECT_EQ(CharCount, 11 - 3);
    EXPECT_EQ(Caret, 4);
}

TEST_F(EditorTest, TabAndReturnNearTheLimit)
{
    SetText(std::u16string(32764, u'x'));  // CharCount 32,765
    Caret = 0;
    Press(VK_TAB);
    ASSERT_EQ(WinsimMessageBoxes().size(), 1u);
    EXPECT_EQ(WinsimMessageBoxes()[0].caption, u"Can Not Add Characters");
    EXPECT_EQ(WinsimMessageBoxes()[0].text, u"Input exceeds memory limit");
    EXPECT_EQ(CharCount, 32765);
    Press(VK_RETURN);
    EXPECT_EQ(WinsimMessageBoxes().size(), 1u);
    EXPECT_EQ(CharCount, 32767);
    Press(VK_RETURN);
    Press(VK_TAB);
    EXPECT_EQ(WinsimMessageBoxes().size(), 3u);
    EXPECT_EQ(CharCount, 32767);
}

TEST_F(EditorTest, ASelectionMakesRoomForTabAndARefusalKeepsIt)
{
    SetText(std::u16string(TEXT_BUFFER_UNITS - 1, u'x'));
    Select(10, 13, 13);  // three units: not enough for four spaces
    Press(VK_TAB);
    EXPECT_EQ(WinsimMessageBoxes().size(), 1u);
    EXPECT_EQ(SelectionActive, 1);
    EXPECT_EQ(SelStart, 10);
    EXPECT_EQ(SelEnd, 13);
    SelEnd = 14;
    Press(VK_TAB);
    EXPECT_EQ(WinsimMessageBoxes().size(), 1u);
    EXPECT_EQ(CharCount, TEXT_BUFFER_UNITS);
    EXPECT_EQ(Caret, 14);
    EXPECT_EQ(SelectionActive, 0);
}

TEST_F(EditorTest, ARefusedSnapshotIsReportedWithTheKeysCaption)
{
    SetText(u"abc");
    Caret = 2;
    WinsimFailCall(WinsimHeapAlloc);
    Press(VK_BACK);
    WinsimFailCall(WinsimHeapAlloc);
    Press(VK_RETURN);
    ASSERT_EQ(WinsimMessageBoxes().size(), 2u);
    EXPECT_EQ(WinsimMessageBoxes()[0].caption, u"Can Not Delete");
    EXPECT_EQ(WinsimMessageBoxes()[0].text, u"Can not allocate memory");
    EXPECT_EQ(WinsimMessageBoxes()[1].caption, u"Can Not Add Characters");
    EXPECT_EQ(Text(), u"abc");
    EXPECT_EQ(Caret, 2);
}

TEST_F(EditorTest, TheEditingKeysDoNothingWhileThePickerHasTheKeyboard)
{
    SetText(u"abc");
    Caret = 1;
    PickerFocus = 1;
    for (int key : {VK_BACK, VK_DELETE, VK_RETURN, VK_LEFT, VK_HOME})
        Press(key);
    EXPECT_EQ(Text(), u"abc");
    EXPECT_EQ(Caret, 1);
}

}  // namespace
