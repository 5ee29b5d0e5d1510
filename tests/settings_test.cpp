// The font-size and word-wrap menus: check marks, line metrics, re-layout
// and what each repaints.
#include "editor_fixture.h"

#include "app/resource.h"
#include "app/shell.h"
#include "document/document.h"
#include "view/view.h"

#include <set>

namespace {

std::vector<int> CheckedItems(HWND window, int firstId, int lastId)
{
    std::vector<int> checked;
    for (int id = firstId; id <= lastId; id++)
        if (GetMenuState(GetMenu(window), id, MF_BYCOMMAND) & MF_CHECKED)
            checked.push_back(id);
    return checked;
}

// Twenty units and a space, then a word that crosses the column edge at its
// third unit: word wrap breaks after the space, no wrap before that unit.
std::u16string Paragraphs(int count)
{
    std::u16string text;
    for (int i = 0; i < count; i++)
        text += std::u16string(20, u'a') + u" aaaa\r\n";
    return text;
}

TEST_F(EditorTest, ChoosingTheCheckedSizeOrWrapModeChangesAndRepaintsNothing)
{
    SetText(ShortLines(3));
    Caret = 5;
    size_t fonts = WinsimCreatedFonts().size();
    WinsimClearLogs();
    Command(44032);
    Command(IDM_WRAP_YES);
    EXPECT_EQ(Caret, 5);
    EXPECT_EQ(FontPoints, -32);
    EXPECT_EQ(WordWrapMode, IDM_WRAP_YES);
    EXPECT_EQ(WinsimCreatedFonts().size(), fonts);
    EXPECT_TRUE(WinsimInvalidations().empty());
    EXPECT_EQ(WinsimPaintCount(), 0);
}

// Both put the caret at the start: a selection it no longer ends is dropped
// and its inversion erased, one that starts there stays, and the caret's old
// column (here before a CR LF) is erased.
TEST_F(EditorTest, SizeAndWrapKeepOnlyASelectionThatStartsAtTheStart)
{
    SetText(ShortLines(3));
    // Each command, then the one that puts the setting back.
    const int commands[][2] = {{44012, 44032}, {IDM_WRAP_NO, IDM_WRAP_YES}};
    for (const auto &command : commands)
        for (int start : {1, 0}) {
            SCOPED_TRACE(command[0] + start);
            Caret = 2;  // the selection's repaint draws the caret here
            SelStart = start;
            SelEnd = 2;
            SelectionActive = 1;
            RepaintAll();
            Command(command[0]);
            EXPECT_EQ(Caret, 0);
            EXPECT_EQ(SelectionActive != 0, start == 0);
            ExpectScreenMatchesFullRepaint();
            Command(command[1]);
        }
}

TEST_F(EditorTest, FontSizeSetsTheHeightLineMetricsAndCheckMark)
{
    struct Case {
        int points, height, lineHeight, linesPerPage;
    };
    // winsim's cell is the em plus a sixth; a page is 768 pixels.
    const Case cases[] = {{8, -10, 11, 69}, {72, -96, 112, 6}, {32, -42, 49, 15}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.points);
        size_t fonts = WinsimCreatedFonts().size();
        Command(IDM_POINTS_BASE + c.points);
        EXPECT_EQ(FontPoints, -c.points);
        ASSERT_GT(WinsimCreatedFonts().size(), fonts);
        EXPECT_EQ(WinsimCreatedFonts()[fonts].lfHeight, c.height);
        EXPECT_EQ(LineHeight, c.lineHeight);
        EXPECT_EQ(LinesPerPage, c.linesPerPage);
        EXPECT_THAT(CheckedItems(window, IDM_POINTS_FIRST, IDM_POINTS_LAST),
                    ::testing::ElementsAre(IDM_POINTS_BASE + c.points));
    }
}

TEST_F(EditorTest, FontSizeChangeReturnsToTheTopAndRepaintsTheTextArea)
{
    SetText(ShortLines(40));
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 20), 0);
    Caret = 50;
    WinsimClearLogs();
    Command(44008);
    EXPECT_EQ(Caret, 0);
    EXPECT_EQ(TopLine, 0);
    // 69 lines a page, 40 visible rows of 11 pixels: 69 - 40 + 1.
    WinsimScrollBar bar = WinsimVerticalScrollBar(window);
    EXPECT_EQ(bar.max, 30);
    EXPECT_EQ(bar.pos, 0);
    ASSERT_EQ(WinsimInvalidations().size(), 1u);
    RECT textArea = WinsimInvalidations()[0].rect;
    EXPECT_EQ(textArea.left, 0);
    EXPECT_EQ(textArea.top, 144);
    EXPECT_EQ(textArea.right, 800);
    EXPECT_EQ(textArea.bottom, 600);
    EXPECT_TRUE(WinsimInvalidations()[0].erase);
    ExpectScreenMatchesFullRepaint();
}

TEST_F(EditorTest, WrapSwitchThatMovesNoBreakRepaintsOnlyTheCaretColumns)
{
    SetText(ShortLines(3), 5);
    WinsimClearLogs();
    Command(IDM_WRAP_NO);
    EXPECT_EQ(WordWrapMode, IDM_WRAP_NO);
    EXPECT_THAT(CheckedItems(window, IDM_WRAP_NO, IDM_WRAP_YES), ::testing::ElementsAre(IDM_WRAP_NO));
    EXPECT_EQ(Caret, 0);
    // Cells of 25: the old caret stood between a and b of line 1, the new
    // one stands right of line 0.
    std::vector<RECT> expected = {{662, 193, 663, 242}, {687, 144, 688, 193}};
    ASSERT_EQ(WinsimInvalidations().size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++) {
        const RECT &r = WinsimInvalidations()[i].rect;
        EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
                  std::vector<LONG>({expected[i].left, expected[i].top, expected[i].right,
                                     expected[i].bottom}));
    }
    ExpectScreenMatchesFullRepaint();
}

TEST_F(EditorTest, WrapSwitchWhileScrolledRefreshesTheViewThenReturnsToTheTop)
{
    SetText(Paragraphs(12));
    ASSERT_EQ(LineTable[0].last, 20);
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 10), 0);
    Caret = LineTable[12].first;
    WinsimClearLogs();
    Command(IDM_WRAP_NO);
    EXPECT_EQ(LineTable[0].last, 22);
    EXPECT_EQ(LineCount, 25);
    // Every visible line changed its breaks and was repainted where line 10
    // stood at the top: rows of 49, with the 33-pixel gap before line 15.
    std::set<LONG> tops;
    for (const WinsimInvalidation &i : WinsimInvalidations())
        tops.insert(i.rect.top);
    EXPECT_EQ(tops, std::set<LONG>({144, 193, 242, 291, 340, 422, 471, 520, 569}));
    ASSERT_EQ(WinsimScrolls().size(), 1u);
    EXPECT_EQ(WinsimScrolls()[0].dy, 10 * 49);
    EXPECT_EQ(TopLine, 0);
    EXPECT_EQ(WinsimVerticalScrollBar(window).pos, 0);
    ExpectScreenMatchesFullRepaint();
}

TEST_F(EditorTest, WrapSwitchWithoutMemoryForTheSnapshotChangesNothing)
{
    SetText(Paragraphs(2));
    Caret = 3;
    WinsimClearLogs();
    WinsimFailCall(WinsimHeapAlloc);
    Command(IDM_WRAP_NO);
    ASSERT_EQ(WinsimMessageBoxes().size(), 1u);
    EXPECT_EQ(WinsimMessageBoxes()[0].owner, window);
    EXPECT_EQ(WinsimMessageBoxes()[0].caption, u"Can Not Adjust Word Wrap");
    EXPECT_EQ(WinsimMessageBoxes()[0].text, u"Can not allocate memory");
    EXPECT_EQ(WinsimMessageBoxes()[0].type, (UINT)(MB_ICONWARNING | MB_OK));
    EXPECT_EQ(WordWrapMode, IDM_WRAP_YES);
    EXPECT_THAT(CheckedItems(window, IDM_WRAP_NO, IDM_WRAP_YES), ::testing::ElementsAre(IDM_WRAP_YES));
    EXPECT_EQ(LineTable[0].last, 20);
    EXPECT_EQ(Caret, 3);
    EXPECT_TRUE(WinsimInvalidations().empty());
}

}  // namespace
