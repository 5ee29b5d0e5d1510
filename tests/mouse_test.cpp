// Clicks in the text: caret placement and Shift-click selection.
#include "editor_fixture.h"

#include "app/shell.h"
#include "document/document.h"
#include "picker/picker.h"
#include "view/view.h"

namespace {

// At 96 dpi every unit here but 中 is 25 pixels wide, ColumnRight is 688
// and line l starts at y 144 + 49 l on the first page.
class MouseTest : public EditorTest {
protected:
    void Click(int x, int y, bool shift = false)
    {
        WinsimSetKeyDown(VK_SHIFT, shift);
        SendMessage(window, WM_LBUTTONDOWN, 0, MAKELPARAM(x, y));
        WinsimSetKeyDown(VK_SHIFT, false);
    }
    // A point inside unit k of a line that starts at unit 0 at ColumnRight.
    static int OnUnit(int k, int fromRight = 12) { return 688 - 25 * k - fromRight; }
};
using UnstartedMouseTest = Unstarted<MouseTest>;

TEST_F(UnstartedMouseTest, AClickPutsTheCaretBeforeTheCharacterUnderThePointer)
{
    Start(817, 1000);
    UseWideUnits(u"中");
    // The scroll bar comes and goes with the page count, moving the column,
    // so x is given as pixels left of ColumnRight.
    struct Case {
        std::u16string text;
        int fromRight, y;
        int caret;  // -1: the click is ignored
    } cases[] = {
        {u"0123456789", 25 * 3 + 1, 150, 3},   // right half of unit 3
        {u"0123456789", 25 * 3 + 25, 150, 3},  // its leftmost pixel
        {u"0123456789", 25 * 9 + 25, 150, 9},
        {u"0123456789", 1, 150, 0},
        {u"ab\r\ncd", 500, 150, 2},           // left of a CR LF line: its CR
        {u"ab\r\ncd", 8, 193, 4},             // the first row of line 1
        {u"ab\r\n\r\ncd", 1, 200, 4},         // an empty line: its CR
        {u"中中中中中", 570, 150, 2},           // left of a wrapped line: its last unit
        {u"ab\r\ncd", 500, 200, 6},           // left of the last line: the end
        {u"ab\r\ncd", 8, 300, 6},             // below the text, on the last page
        {ShortLines(20), 8, 890, 60},          // the foot gap of page 1: line 15
        {u"0123456789", 577, 150, -1},         // left of the column
        {u"0123456789", 0, 150, -1},           // right of it
        {u"0123456789", 8, 912, -1},           // below the last page
    };
    for (const Case &c : cases) {
        SetText(c.text, 5);
        Click(ColumnRight - c.fromRight, c.y);
        EXPECT_EQ(Caret, c.caret < 0 ? 5 : c.caret) << c.fromRight << " left of the column's right, y " << c.y;
        ExpectScreenMatchesFullRepaint();
    }
}

TEST_F(MouseTest, AClickRepaintsOnlyTheOldAndTheNewCaretColumn)
{
    SetText(u"0123456789");
    Caret = 5;
    RepaintAll();
    WinsimClearLogs();
    Click(OnUnit(2), 160);
    EXPECT_THAT(Invalidated(), ::testing::ElementsAre(IsRect(562, 144, 563, 193), IsRect(637, 144, 638, 193)));
}

TEST_F(MouseTest, ShiftClickMovesTheEndTheCaretIsAt)
{
    storeArranged = true;  // the last case's caret is at neither end
    struct Case {
        int selStart, selEnd, caret;  // selStart == selEnd: no selection
        int click;
        int newStart, newEnd;         // equal: the selection is gone
    } cases[] = {
        {10, 10, 10, 4, 4, 10},
        {10, 10, 10, 15, 10, 15},
        {4, 10, 10, 2, 2, 4},
        {4, 10, 10, 7, 4, 7},
        {4, 10, 10, 4, 4, 4},
        {4, 10, 10, 12, 4, 12},
        {4, 10, 4, 12, 10, 12},
        {4, 10, 4, 7, 7, 10},
        {4, 10, 4, 2, 2, 10},
        {4, 10, 7, 2, 4, 10},  // a caret at neither end leaves the selection alone
    };
    for (const Case &c : cases) {
        SetText(u"0123456789abcdefghij");
        SelectionActive = c.selStart != c.selEnd;
        SelStart = c.selStart;
        SelEnd = c.selEnd;
        Caret = c.caret;
        RepaintAll();
        Click(OnUnit(c.click), 160, true);
        EXPECT_EQ(Caret, c.click);
        EXPECT_EQ(SelectionActive, c.newStart != c.newEnd) << "click at " << c.click;
        if (SelectionActive) {
            EXPECT_EQ(SelStart, c.newStart) << "click at " << c.click;
            EXPECT_EQ(SelEnd, c.newEnd) << "click at " << c.click;
        }
        ExpectScreenMatchesFullRepaint();
    }
}

TEST_F(MouseTest, APlainClickDropsTheSelectionAndAShiftClickExtendsTheKeyboardsOne)
{
    SetText(u"0123456789", 2);
    Press(VK_LEFT, true);
    Press(VK_LEFT, true);  // 2 to 4, the caret at 4
    Click(OnUnit(7), 160, true);
    EXPECT_EQ(SelStart, 2);
    EXPECT_EQ(SelEnd, 7);
    Click(OnUnit(5), 160);
    EXPECT_EQ(SelectionActive, 0);
    EXPECT_EQ(Caret, 5);
    EXPECT_EQ(SelStart, 5);
    ExpectScreenMatchesFullRepaint();
}

TEST_F(MouseTest, AClickInTheTextTakesTheKeyboardFromThePickerAndPlacesTheCaret)
{
    SetText(u"0123456789");
    Caret = 0;
    PickerFocus = 1;
    PickerHighlight = PICKER_FIRST_CELL + 3;
    RepaintAll();
    Click(OnUnit(6), 160);
    EXPECT_EQ(PickerFocus, 0);
    EXPECT_EQ(PickerHighlight, PICKER_FIRST_CELL + 3);
    EXPECT_EQ(Caret, 6);
    EXPECT_EQ(Pixel(ColumnLeft, TopMargin - 2), kBlack);  // the 2-pixel top rule again
    ExpectScreenMatchesFullRepaint();
}

TEST_F(MouseTest, AClickOnThePartlyShownLastLineScrollsItIntoView)
{
    // Eight whole lines in view.
    SetText(ShortLines(20));
    WinsimClearLogs();
    Click(680, 144 + 8 * 49 + 20);
    EXPECT_EQ(Caret, 32);
    EXPECT_EQ(TopLine, 1);
    ASSERT_EQ(WinsimScrolls().size(), 1u);
    EXPECT_EQ(WinsimScrolls()[0].dy, -49);
    ExpectScreenMatchesFullRepaint();
}

}  // namespace
