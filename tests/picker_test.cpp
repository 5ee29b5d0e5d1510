// The character picker: its layout and pixels, the mouse with its held-button
// repeat on the virtual clock, and the keyboard mode.
#include "editor_fixture.h"

#include "app/shell.h"
#include "document/document.h"
#include "picker/picker.h"
#include "view/view.h"

#include <array>
#include <map>
#include <vector>

namespace {

typedef std::array<int, 4> Box;

Box BoxOf(const RECT &r) { return Box{r.left, r.top, r.right, r.bottom}; }

std::vector<Box> Invalidated()
{
    std::vector<Box> boxes;
    for (const WinsimInvalidation &i : WinsimInvalidations()) {
        EXPECT_TRUE(i.erase);
        boxes.push_back(BoxOf(i.rect));
    }
    return boxes;
}

// At 96 ppi and 800 pixels wide: unit 36, strip from x 112, rows 36 to 108.
const Box kUpArea = {111, 35, 221, 73};
const Box kDownArea = {111, 71, 221, 109};
const Box kPageBox = {220, 36, 328, 108};
const Box kCells = {328, 72, 688, 108};
const Box kFocusRule = {112, 142, 688, 143};
Box CellArea(int j) { return Box{327 + 36 * j, 71, 365 + 36 * j, 109}; }
int CellX(int j) { return 346 + 36 * j; }
const int kCellY = 90;
const int kDigitY = 54;

// Digits and the underscore get widths of their own, so a label can be read
// back from one pixel row: each glyph is a box whose two sides are black.
void UseReadableDigits()
{
    for (int d = 0; d < 10; d++)
        WinsimSetGlyphWidths(u'0' + d, 0, 3 + d, 1);
    WinsimSetGlyphWidths(u'_', 0, 14, 1);
}

class PickerTest : public EditorTest {
protected:
    void KeyDown(int virtualKey) { SendMessage(window, WM_KEYDOWN, virtualKey, 0); }
    void KeyUp(int virtualKey) { SendMessage(window, WM_KEYUP, virtualKey, 0); }
    void EnterKeyboardMode() { Press(VK_TAB, true); }
    std::string ReadLabel(int y, int x0, int x1) const
    {
        std::string text;
        int left = -1;
        for (int x = x0; x < x1; x++) {
            if (Pixel(x, y) != kBlack)
                continue;
            if (left < 0) {
                left = x;
                continue;
            }
            int width = x - left + 1;
            text += width == 14 ? '_' : char('0' + width - 3);
            left = -1;
        }
        return left < 0 ? text : text + "?";
    }
    std::string PageLabel() const { return ReadLabel(70, 221, 328); }
};
using UnstartedPickerTest = Unstarted<PickerTest>;

TEST_F(PickerTest, TheStripIsSixteenUnitsCentredAboveTheColumnAt96Ppi)
{
    EXPECT_EQ(BoxOf(PickerStrip), (Box{112, 36, 688, 108}));
    EXPECT_EQ(BoxOf(PickerItems[PICKER_UP]), (Box{112, 36, 220, 72}));
    EXPECT_EQ(BoxOf(PickerItems[PICKER_DOWN]), (Box{112, 72, 220, 108}));
    EXPECT_EQ(BoxOf(PickerItems[PICKER_PAGE_BOX]), kPageBox);
    for (int d = 0; d < 10; d++) {
        EXPECT_EQ(BoxOf(PickerItems[PICKER_FIRST_DIGIT + d]), (Box{328 + 36 * d, 36, 364 + 36 * d, 72}));
        EXPECT_EQ(BoxOf(PickerItems[PICKER_FIRST_CELL + d]), (Box{328 + 36 * d, 72, 364 + 36 * d, 108}));
    }
    EXPECT_EQ(ColumnLeft, PickerStrip.left);
    EXPECT_EQ(ColumnRight, PickerStrip.right);

    // Both picker fonts ask for a character height of 4/7 of a 36-pixel box.
    int labelFonts = 0, cellFonts = 0;
    for (const LOGFONTW &font : WinsimCreatedFonts()) {
        if (font.lfHeight != -20)
            continue;
        EXPECT_EQ(std::u16string(font.lfFaceName), u"Courier New");
        EXPECT_EQ(font.lfWeight, 0);
        labelFonts += font.lfCharSet == ANSI_CHARSET;
        cellFonts += font.lfCharSet == CHINESEBIG5_CHARSET;
    }
    EXPECT_GE(labelFonts, 1);
    EXPECT_EQ(labelFonts, cellFonts);
}

TEST_F(UnstartedPickerTest, AResolutionNotAMultipleOfEightKeepsWholeUnitsAndANarrowerStrip)
{
    Start(817, 600, 100);
    // 3 * (100 / 8) = 36, while the column is 600 wide.
    EXPECT_EQ(BoxOf(PickerStrip), (Box{112, 36, 688, 108}));
    EXPECT_EQ(ColumnLeft, 100);
    EXPECT_EQ(ColumnRight, 700);
    EXPECT_EQ(TopMargin, 150);
    WinsimClearLogs();
    Click(CellX(0), kCellY);
    // The focus rule follows the column, not the strip.
    ASSERT_GE(Invalidated().size(), 2u);
    EXPECT_EQ(Invalidated()[0], (Box{100, 148, 700, 149}));
    EXPECT_EQ(Invalidated()[1], CellArea(0));
}

TEST_F(UnstartedPickerTest, ResizingRecentresTheStripAtAnyResolution)
{
    Start(817, 600, 120);
    // Unit 45: 720 wide from (800 - 720) / 2.
    EXPECT_EQ(BoxOf(PickerStrip), (Box{40, 45, 760, 135}));
    EXPECT_EQ(BoxOf(PickerItems[PICKER_LAST_CELL]), (Box{715, 90, 760, 135}));
    WinsimResizeClient(window, 617, 600);
    EXPECT_EQ(BoxOf(PickerStrip), (Box{-60, 45, 660, 135}));
    UpdateWindow(window);
    ExpectScreenMatchesFullRepaint();
    bool sawLabelFont = false;
    for (const LOGFONTW &font : WinsimCreatedFonts())
        sawLabelFont |= font.lfHeight == -25 && font.lfCharSet == ANSI_CHARSET;
    EXPECT_TRUE(sawLabelFont);
}

TEST_F(UnstartedPickerTest, BoxesShareOneBorderLineAndLabelsAreCentred)
{
    UseReadableDigits();
    Start();
    // The strip's outline and the border between the rows.
    EXPECT_EQ(BlackInRow(36, 112, 688), 576);
    EXPECT_EQ(BlackInRow(107, 112, 688), 576);
    EXPECT_EQ(BlackInRow(72, 112, 221), 109);
    EXPECT_EQ(BlackInRow(72, 328, 688), 360);
    EXPECT_EQ(Pixel(225, 72), kWhite);  // the page box spans both rows
    EXPECT_EQ(Pixel(111, 50), kWhite);
    EXPECT_EQ(Pixel(688, 50), kWhite);
    // One-pixel borders between neighbours, on both rows.
    for (int y : {40, 104}) {
        EXPECT_EQ(Pixel(219, y), kWhite);
        EXPECT_EQ(Pixel(220, y), kBlack);
        EXPECT_EQ(Pixel(221, y), kWhite);
        EXPECT_EQ(Pixel(328, y), kBlack);
        EXPECT_EQ(Pixel(363, y), kWhite);
        EXPECT_EQ(Pixel(364, y), kBlack);
        EXPECT_EQ(Pixel(365, y), kWhite);
        EXPECT_EQ(Pixel(686, y), kWhite);
        EXPECT_EQ(Pixel(687, y), kBlack);
    }
    // "Up": two glyphs of 10 centred on x 166, the label font 23 high in a
    // 36-pixel box so its ink starts at row 36 + 6 + 3.
    EXPECT_EQ(Pixel(157, 45), kBlack);
    EXPECT_EQ(Pixel(157, 44), kWhite);
    EXPECT_EQ(Pixel(156, 50), kWhite);
    EXPECT_EQ(Pixel(174, 50), kBlack);
    EXPECT_EQ(Pixel(175, 50), kWhite);
    EXPECT_EQ(Pixel(147, 81), kBlack);  // "Down", four glyphs
    EXPECT_EQ(Pixel(146, 81), kWhite);
    EXPECT_EQ(PageLabel(), "1997_");
    for (int d = 0; d < 10; d++)
        EXPECT_EQ(ReadLabel(kDigitY, 329 + 36 * d, 363 + 36 * d), std::to_string(d));
    // Cell 0 shows code 19970, a wide glyph of 18 centred on x 346.
    EXPECT_EQ(Pixel(337, 88), kBlack);
    EXPECT_EQ(Pixel(354, 88), kBlack);
    EXPECT_EQ(Pixel(336, 88), kWhite);
    SaveScreenshot("picker");
}

TEST_F(UnstartedPickerTest, EachCellShowsThePageTimesTenPlusItsDigit)
{
    WinsimSetGlyphWidths(19974, 0, 6, 0);
    Start();
    // Cell 4 alone has the narrow glyph, centred on x 490.
    EXPECT_EQ(Pixel(487, 88), kBlack);
    EXPECT_EQ(Pixel(492, 88), kBlack);
    EXPECT_EQ(Pixel(483, 88), kWhite);
    EXPECT_EQ(Pixel(CellX(3) - 9, 88), kBlack);
    EXPECT_EQ(Pixel(CellX(5) - 9, 88), kBlack);
}

TEST_F(UnstartedPickerTest, CodesOutsideSixteenBitsOrBelowASpaceAreCrossedOut)
{
    UseReadableDigits();
    Start();
    PickerPage = 3;
    RepaintAll();
    EXPECT_EQ(PageLabel(), "3_");
    // Cells 0 and 1 (codes 30 and 31) carry both diagonals, end pixels left out.
    for (int j : {0, 1}) {
        int l = 328 + 36 * j;
        for (int k : {5, 12, 30})
            EXPECT_EQ(Pixel(l + k, 72 + k), kBlack) << j << " " << k;
        EXPECT_EQ(Pixel(l + 12, 107 - 12), kBlack);
        EXPECT_EQ(Pixel(l + 13, 72 + 12), kWhite);
    }
    EXPECT_EQ(Pixel(328 + 72 + 12, 84), kWhite);  // code 32 is a space

    PickerPage = 6553;
    RepaintAll();
    EXPECT_EQ(PageLabel(), "6553_");
    for (int j = 0; j < 10; j++) {
        int l = 328 + 36 * j;
        bool crossed = j >= 6;  // 65536 and above
        EXPECT_EQ(Pixel(l + 12, 84) == kBlack, crossed) << j;
        EXPECT_EQ(Pixel(l + 12, 95) == kBlack, crossed) << j;
    }
}

TEST_F(PickerTest, TheHighlightIsATwoPixelFrameStraddlingTheItemsBorder)
{
    EXPECT_EQ(BlackInRow(142, 112, 688), 576);  // the text has the keyboard
    Click(CellX(4), kCellY);
    // Cell 4 is 472..508 by 72..108; its border columns are 472 and 508.
    EXPECT_EQ(BlackInRow(71, 472, 508), 36);
    EXPECT_EQ(BlackInRow(108, 472, 508), 36);
    EXPECT_EQ(BlackInColumn(471, 72, 108), 36);
    EXPECT_EQ(BlackInColumn(507, 72, 108), 36);
    EXPECT_EQ(Pixel(471, 71), kWhite);  // the frame's corners are left out
    EXPECT_EQ(Pixel(508, 108), kWhite);
    EXPECT_EQ(Pixel(473, 100), kWhite);
    EXPECT_EQ(Pixel(471, 108), kWhite);
    EXPECT_EQ(BlackInRow(142, 112, 688), 0);  // only the one-pixel top rule
    EXPECT_EQ(BlackInRow(143, 112, 688), 576);

    Click(150, 50);
    EXPECT_EQ(BlackInRow(35, 112, 220), 108);
    EXPECT_EQ(BlackInColumn(111, 36, 72), 36);
    EXPECT_EQ(BlackInRow(71, 112, 220), 108);  // above the border the Up box shares
    EXPECT_EQ(BlackInRow(71, 473, 508), 0);  // the old frame is gone
    EXPECT_EQ(BlackInColumn(471, 73, 107), 0);
    EXPECT_EQ(BlackInColumn(507, 73, 107), 0);
    ExpectScreenMatchesFullRepaint();
}

TEST_F(PickerTest, ThePageBoxAndADigitOnlyMoveTheHighlight)
{
    WinsimClearLogs();
    Click(270, 60);
    EXPECT_EQ(PickerFocus, 1);
    EXPECT_EQ(PickerHighlight, PICKER_UP);
    EXPECT_EQ(PickerPage, 1997);
    EXPECT_EQ(AutoRepeat, 0);
    EXPECT_EQ(Invalidated(), (std::vector<Box>{kFocusRule, kUpArea}));

    WinsimClearLogs();
    Click(CellX(7), kDigitY);
    EXPECT_EQ(PickerHighlight, PICKER_FIRST_CELL + 7);
    EXPECT_EQ(PickerPage, 1997);
    EXPECT_EQ(CharCount, 1);
    EXPECT_EQ(Invalidated(), (std::vector<Box>{kUpArea, CellArea(7)}));

    // The same item again repaints nothing.
    WinsimClearLogs();
    Click(CellX(7), kDigitY + 10);
    EXPECT_TRUE(Invalidated().empty());
    ExpectScreenMatchesFullRepaint();
}

TEST_F(PickerTest, PointsOffTheStripAndOutsideTheTextDoNothing)
{
    WinsimClearLogs();
    for (POINT p : {POINT{50, 50}, POINT{700, 50}, POINT{400, 20}, POINT{400, 120},
                    POINT{50, 300}, POINT{700, 300}})
        Click(p.x, p.y);
    EXPECT_EQ(PickerFocus, 0);
    EXPECT_TRUE(Invalidated().empty());
}

TEST_F(PickerTest, ClickingACellInsertsItsCharacterAsTypingWouldAndKeepsTheKeyboard)
{
    SetText(u"abcd");
    Select(1, 3, 3);
    WinsimClearLogs();
    Click(CellX(4), kCellY);
    EXPECT_EQ(Text(), u"a\u4e06d");  // 1997 * 10 + 4
    EXPECT_EQ(Caret, 2);
    EXPECT_EQ(SelectionActive, 0);
    std::vector<Box> boxes = Invalidated();
    ASSERT_GE(boxes.size(), 3u);
    EXPECT_EQ(boxes[0], kFocusRule);
    EXPECT_EQ(boxes[1], CellArea(4));
    EXPECT_EQ(AutoRepeat, 0);
    EXPECT_EQ(GetCapture(), nullptr);

    Type(u"x");
    EXPECT_EQ(Text(), u"a\u4e06d");
    Click(CellX(4), kCellY);
    EXPECT_EQ(Text(), u"a\u4e06\u4e06d");
    EXPECT_EQ(PickerFocus, 1);
    ExpectScreenMatchesFullRepaint();
}

TEST_F(PickerTest, ACrossedOutCellTakesTheKeyboardButInsertsNothing)
{
    PickerPage = 6553;
    Click(CellX(9), kCellY);
    EXPECT_EQ(PickerFocus, 1);
    EXPECT_EQ(PickerHighlight, PICKER_LAST_CELL);
    EXPECT_EQ(CharCount, 1);
    EXPECT_TRUE(WinsimMessageBoxes().empty());
}

TEST_F(PickerTest, HoldingDownStepsByOneThenTenThenHundredOnTheClock)
{
    WinsimClearLogs();
    SendMessage(window, WM_LBUTTONDOWN, 0, MAKELPARAM(150, 90));
    EXPECT_EQ(PickerPage, 1998);
    EXPECT_EQ(PickerHighlight, PICKER_DOWN);
    EXPECT_EQ(AutoRepeat, 1);
    EXPECT_EQ(GetCapture(), window);
    EXPECT_EQ(Invalidated(), (std::vector<Box>{kFocusRule, kDownArea, kPageBox, kCells}));

    WinsimAdvanceClock(399);
    EXPECT_EQ(PickerPage, 1998);
    std::vector<int> pages;
    WinsimAdvanceClock(1);
    pages.push_back(PickerPage);
    for (int tick = 2; tick <= 23; tick++) {
        WinsimAdvanceClock(100);
        pages.push_back(PickerPage);
    }
    EXPECT_EQ(pages, (std::vector<int>{1999, 2000, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008,
                                       2018, 2028, 2038, 2048, 2058, 2068, 2078, 2088, 2098, 2108,
                                       2208, 2308, 2408}));
    WinsimClearLogs();
    WinsimAdvanceClock(100);
    EXPECT_EQ(Invalidated(), (std::vector<Box>{kPageBox, kCells}));

    SendMessage(window, WM_LBUTTONUP, 0, MAKELPARAM(150, 90));
    EXPECT_EQ(AutoRepeat, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    WinsimClearLogs();
    WinsimAdvanceClock(1000);
    EXPECT_TRUE(WinsimMessages().empty());  // the timer is gone, not only ignored
    EXPECT_EQ(PickerPage, 2508);
    EXPECT_EQ(PickerFocus, 1);
    ExpectScreenMatchesFullRepaint();
}

TEST_F(UnstartedPickerTest, HoldingUpFromSixtyEndsAtThree)
{
    UseReadableDigits();
    Start();
    PickerPage = 60;
    SendMessage(window, WM_LBUTTONDOWN, 0, MAKELPARAM(150, 50));
    EXPECT_EQ(PickerPage, 59);
    std::vector<int> pages;
    WinsimAdvanceClock(400);
    pages.push_back(PickerPage);
    while (AutoRepeat && pages.size() < 30) {
        WinsimAdvanceClock(100);
        pages.push_back(PickerPage);
    }
    EXPECT_EQ(pages, (std::vector<int>{58, 57, 56, 55, 54, 53, 52, 51, 50, 49, 39, 29, 19, 9, 3}));
    EXPECT_EQ(AutoRepeat, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(PageLabel(), "3_");
    // No timer is left behind.
    WinsimClearLogs();
    WinsimAdvanceClock(1000);
    EXPECT_TRUE(Invalidated().empty());

    // At the bound a press only takes the highlight.
    SendMessage(window, WM_LBUTTONUP, 0, MAKELPARAM(150, 50));
    SendMessage(window, WM_LBUTTONDOWN, 0, MAKELPARAM(150, 50));
    EXPECT_EQ(PickerPage, 3);
    EXPECT_EQ(AutoRepeat, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(PickerTest, DraggingOffTheButtonStopsTheRepeatForGood)
{
    SendMessage(window, WM_LBUTTONDOWN, 0, MAKELPARAM(150, 90));
    WinsimAdvanceClock(500);
    EXPECT_EQ(PickerPage, 2000);
    SendMessage(window, WM_MOUSEMOVE, 0, MAKELPARAM(219, 107));  // still on Down
    EXPECT_EQ(AutoRepeat, 1);
    SendMessage(window, WM_MOUSEMOVE, 0, MAKELPARAM(150, 71));  // onto Up
    EXPECT_EQ(AutoRepeat, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessage(window, WM_MOUSEMOVE, 0, MAKELPARAM(150, 90));
    WinsimAdvanceClock(1000);
    SendMessage(window, WM_LBUTTONUP, 0, MAKELPARAM(150, 90));
    EXPECT_EQ(PickerPage, 2000);
    EXPECT_EQ(AutoRepeat, 0);

    // A captured pointer left of the window reads as a huge x.
    SendMessage(window, WM_LBUTTONDOWN, 0, MAKELPARAM(150, 90));
    EXPECT_EQ(AutoRepeat, 1);
    SendMessage(window, WM_MOUSEMOVE, 0, MAKELPARAM(-5, 90));
    EXPECT_EQ(AutoRepeat, 0);
    EXPECT_EQ(PickerPage, 2001);
}

TEST_F(PickerTest, LosingTheMouseCaptureStopsTheRepeat)
{
    SendMessage(window, WM_LBUTTONDOWN, 0, MAKELPARAM(150, 90));
    ASSERT_EQ(AutoRepeat, 1);
    ReleaseCapture();  // as when another window takes the mouse
    EXPECT_EQ(AutoRepeat, 0);
    WinsimAdvanceClock(2000);
    EXPECT_EQ(PickerPage, 1998);
    SendMessage(window, WM_KEYDOWN, VK_TAB, 0);  // keys are no longer swallowed
    EXPECT_EQ(PickerHighlight, PICKER_FIRST_CELL);
}

TEST_F(PickerTest, ClickingUpAgainStepsWithoutRepaintingTheHighlight)
{
    Click(150, 50);
    EXPECT_EQ(PickerPage, 1996);
    WinsimClearLogs();
    Click(150, 50);
    EXPECT_EQ(PickerPage, 1995);
    EXPECT_EQ(Invalidated(), (std::vector<Box>{kPageBox, kCells}));
}

TEST_F(PickerTest, AClickInTheTextGivesTheKeyboardBack)
{
    Click(CellX(2), kDigitY);
    ASSERT_EQ(PickerFocus, 1);
    WinsimClearLogs();
    Click(400, 300);
    EXPECT_EQ(PickerFocus, 0);
    EXPECT_EQ(PickerHighlight, PICKER_FIRST_CELL + 2);
    EXPECT_EQ(Invalidated(), (std::vector<Box>{CellArea(2), kFocusRule}));
    EXPECT_EQ(BlackInRow(142, 112, 688), 576);
    EXPECT_EQ(BlackInRow(108, 400, 436), 0);
    ExpectScreenMatchesFullRepaint();

    // Another click in the text has nothing to give back.
    WinsimClearLogs();
    Click(400, 300);
    EXPECT_TRUE(Invalidated().empty());
}

TEST_F(PickerTest, TheTextAreaEndsAtTheFootOfTheLastPageOnScreen)
{
    // Lines of 49, 15 to a page: at TopLine 8 the page's foot is at
    // 144 + 768 - 8 * 49 = 520.
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 8), 0);
    ASSERT_EQ(TopLine, 8);
    PickerFocus = 1;
    Click(400, 520);
    EXPECT_EQ(PickerFocus, 1);
    Click(687, 519);
    EXPECT_EQ(PickerFocus, 0);
    PickerFocus = 1;
    Click(688, 300);
    Click(111, 300);
    Click(400, 143);
    EXPECT_EQ(PickerFocus, 1);
    Click(112, 144);
    EXPECT_EQ(PickerFocus, 0);
}

TEST_F(PickerTest, ShiftTabAlwaysEntersOnTheUpButtonAndLeavesTheHighlightWhereItWas)
{
    WinsimClearLogs();
    EnterKeyboardMode();
    EXPECT_EQ(PickerFocus, 1);
    EXPECT_EQ(PickerHighlight, PICKER_UP);
    EXPECT_EQ(Invalidated(), (std::vector<Box>{kFocusRule, kUpArea}));
    Press(VK_TAB);
    for (int i = 0; i < 5; i++)
        Press(VK_RIGHT);
    EXPECT_EQ(PickerHighlight, PICKER_FIRST_CELL + 5);

    WinsimClearLogs();
    Press(VK_TAB, true);
    EXPECT_EQ(PickerFocus, 0);
    EXPECT_EQ(PickerHighlight, PICKER_FIRST_CELL + 5);
    EXPECT_EQ(Invalidated(), (std::vector<Box>{kFocusRule, CellArea(5)}));
    EXPECT_EQ(BlackInRow(142, 112, 688), 576);
    ExpectScreenMatchesFullRepaint();

    EnterKeyboardMode();
    EXPECT_EQ(PickerHighlight, PICKER_UP);
    EXPECT_EQ(BlackInRow(108, 508, 544), 0);
    EXPECT_EQ(BlackInRow(35, 112, 220), 108);
}

TEST_F(PickerTest, TabAndTheArrowsMoveTheHighlightOverButtonsAndCells)
{
    EnterKeyboardMode();
    WinsimClearLogs();
    Press(VK_TAB);
    EXPECT_EQ(PickerHighlight, PICKER_FIRST_CELL);
    EXPECT_EQ(Invalidated(), (std::vector<Box>{kUpArea, CellArea(0)}));
    Press(VK_LEFT);
    EXPECT_EQ(PickerHighlight, PICKER_FIRST_CELL);
    for (int i = 0; i < 12; i++)
        Press(VK_RIGHT);
    EXPECT_EQ(PickerHighlight, PICKER_LAST_CELL);
    Press(VK_LEFT);
    EXPECT_EQ(PickerHighlight, PICKER_LAST_CELL - 1);
    Press(VK_TAB);
    EXPECT_EQ(PickerHighlight, PICKER_UP);
    Press(VK_UP);
    Press(VK_LEFT);
    Press(VK_RIGHT);
    EXPECT_EQ(PickerHighlight, PICKER_UP);
    Press(VK_DOWN);
    EXPECT_EQ(PickerHighlight, PICKER_DOWN);
    Press(VK_DOWN);
    EXPECT_EQ(PickerHighlight, PICKER_DOWN);
    WinsimClearLogs();
    Press(VK_UP);
    EXPECT_EQ(PickerHighlight, PICKER_UP);
    EXPECT_EQ(Invalidated(), (std::vector<Box>{kDownArea, kUpArea}));
    Press(VK_DOWN);
    Press(VK_TAB);
    EXPECT_EQ(PickerHighlight, PICKER_FIRST_CELL);
    EXPECT_EQ(PickerPage, 1997);
    ExpectScreenMatchesFullRepaint();
}

TEST_F(UnstartedPickerTest, AHeldArrowOnACellPagesFasterUntilTheKeyIsReleased)
{
    UseReadableDigits();
    Start();
    EnterKeyboardMode();
    Press(VK_TAB);
    std::vector<int> pages;
    for (int i = 0; i < 23; i++) {
        KeyDown(VK_DOWN);
        pages.push_back(PickerPage);
    }
    EXPECT_EQ(pages, (std::vector<int>{1998, 1999, 2000, 2001, 2002, 2003, 2004, 2005, 2006, 2007,
                                       2017, 2027, 2037, 2047, 2057, 2067, 2077, 2087, 2097, 2107,
                                       2207, 2307, 2407}));
    EXPECT_EQ(PageLabel(), "2407_");
    KeyUp(VK_DOWN);
    WinsimClearLogs();
    KeyDown(VK_DOWN);
    EXPECT_EQ(PickerPage, 2408);
    EXPECT_EQ(Invalidated(), (std::vector<Box>{kPageBox, kCells}));
    KeyUp(VK_DOWN);
    KeyDown(VK_UP);
    EXPECT_EQ(PickerPage, 2407);
    EXPECT_EQ(PickerHighlight, PICKER_FIRST_CELL);
    ExpectScreenMatchesFullRepaint();
}

TEST_F(PickerTest, StepsStopAtTheBoundsAndPaintNothingThere)
{
    EnterKeyboardMode();
    Press(VK_TAB);
    PickerPage = 5;
    KeyDown(VK_UP);
    KeyDown(VK_UP);
    EXPECT_EQ(PickerPage, 3);
    WinsimClearLogs();
    KeyDown(VK_UP);
    EXPECT_EQ(PickerPage, 3);
    EXPECT_TRUE(Invalidated().empty());
    Press(VK_TAB);  // the Up button: Return steps down
    Press(VK_RETURN);
    EXPECT_EQ(PickerPage, 3);
    Press(VK_DOWN);
    Press(VK_RETURN);
    EXPECT_EQ(PickerPage, 4);
    Press(VK_SPACE);
    EXPECT_EQ(PickerPage, 5);
    Press(VK_UP);
    Press(VK_SPACE);
    EXPECT_EQ(PickerPage, 4);

    PickerPage = 6552;
    Press(VK_TAB);
    KeyDown(VK_DOWN);
    KeyDown(VK_DOWN);
    EXPECT_EQ(PickerPage, 6553);
    EXPECT_EQ(CharCount, 1);
}

TEST_F(PickerTest, PageKeysJumpAndLandOnCellZero)
{
    EnterKeyboardMode();
    WinsimClearLogs();
    KeyDown(VK_NEXT);
    EXPECT_EQ(PickerPage, 2007);
    EXPECT_EQ(PickerHighlight, PICKER_FIRST_CELL);
    EXPECT_EQ(Invalidated(), (std::vector<Box>{kPageBox, kCells, kUpArea, CellArea(0)}));
    for (int i = 0; i < 9; i++)
        KeyDown(VK_NEXT);
    EXPECT_EQ(PickerPage, 2097);
    KeyDown(VK_NEXT);
    EXPECT_EQ(PickerPage, 2197);
    KeyUp(VK_NEXT);

    PickerPage = 6545;
    WinsimClearLogs();
    Press(VK_NEXT);
    EXPECT_EQ(PickerPage, 6553);
    EXPECT_EQ(Invalidated(), (std::vector<Box>{kPageBox, kCells}));
    WinsimClearLogs();
    Press(VK_NEXT);
    EXPECT_TRUE(Invalidated().empty());

    PickerPage = 50;
    Press(VK_PRIOR, false, true);
    EXPECT_EQ(PickerPage, 3);
    PickerPage = 1000;
    Press(VK_NEXT, false, true);
    EXPECT_EQ(PickerPage, 1100);
    Press(VK_PRIOR);
    EXPECT_EQ(PickerPage, 1090);
}

TEST_F(PickerTest, HomeAndEndMoveTheHighlightAndWithCtrlThePage)
{
    EnterKeyboardMode();
    Press(VK_END);
    EXPECT_EQ(PickerHighlight, PICKER_LAST_CELL);
    EXPECT_EQ(PickerPage, 1997);
    WinsimClearLogs();
    Press(VK_END);
    EXPECT_TRUE(Invalidated().empty());
    Press(VK_HOME);
    EXPECT_EQ(PickerHighlight, PICKER_FIRST_CELL);

    WinsimClearLogs();
    Press(VK_END, false, true);
    EXPECT_EQ(PickerPage, 6553);
    EXPECT_EQ(PickerHighlight, PICKER_LAST_CELL);
    EXPECT_EQ(Invalidated(), (std::vector<Box>{kPageBox, kCells, CellArea(0), CellArea(9)}));
    Press(VK_RETURN);  // code 65539 has no unit
    EXPECT_EQ(CharCount, 1);
    EXPECT_TRUE(WinsimMessageBoxes().empty());

    Press(VK_HOME, false, true);
    EXPECT_EQ(PickerPage, 3);
    EXPECT_EQ(PickerHighlight, PICKER_FIRST_CELL);
    ExpectScreenMatchesFullRepaint();
}

TEST_F(PickerTest, ReturnAndSpaceInsertTheCellsCharacterAndTheKeyboardStays)
{
    SetText(u"ab", 1);
    EnterKeyboardMode();
    Press(VK_TAB);
    for (int i = 0; i < 4; i++)
        Press(VK_RIGHT);
    KeyDown(VK_RETURN);
    Type(u"\r");
    KeyUp(VK_RETURN);
    EXPECT_EQ(Text(), u"a\u4e06b");
    EXPECT_EQ(Caret, 2);
    KeyDown(VK_SPACE);
    Type(u" ");
    KeyUp(VK_SPACE);
    Type(u"z");
    EXPECT_EQ(Text(), u"a\u4e06\u4e06b");
    EXPECT_EQ(PickerFocus, 1);
    EXPECT_EQ(PickerHighlight, PICKER_FIRST_CELL + 4);
    ExpectScreenMatchesFullRepaint();
}

TEST_F(PickerTest, EscapeBackspaceDeleteAndTextKeysDoNothingInThePicker)
{
    SetText(u"abc", 1);
    EnterKeyboardMode();
    Press(VK_DOWN);
    WinsimClearLogs();
    for (int key : {VK_ESCAPE, VK_BACK, VK_DELETE, (int)'A', VK_F4})
        Press(key);
    EXPECT_EQ(Text(), u"abc");
    EXPECT_EQ(Caret, 1);
    EXPECT_EQ(PickerPage, 1997);
    EXPECT_EQ(PickerHighlight, PICKER_DOWN);
    EXPECT_EQ(PickerFocus, 1);
    EXPECT_TRUE(Invalidated().empty());
}

}  // namespace
