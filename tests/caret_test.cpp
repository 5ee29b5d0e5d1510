// The system caret and the input method's windows follow the painted caret;
// the picker turns the input method off while it has the keyboard.
#include "editor_fixture.h"

#include "app/resource.h"
#include "app/shell.h"
#include "document/document.h"
#include "picker/picker.h"
#include "view/view.h"

#include <algorithm>
#include <functional>

namespace {

class CaretTest : public EditorTest {
protected:
    void Scroll(int code, int position = 0)
    {
        SendMessage(window, WM_VSCROLL, MAKEWPARAM(code, position), 0);
    }
    bool FullHeightColumn(int x, const RECT &r) const
    {
        return x >= 0 && x < ClientWidth && BlackInColumn(x, r.top, r.bottom) == r.bottom - r.top;
    }
    // The system caret stands on the painted caret, the one black column of
    // its line's rows; with the line out of view it is out of the client area.
    void ExpectCaretOnPaintedCaret(const char *step, bool inView)
    {
        WinsimCaretState caret = WinsimCaret();
        ASSERT_EQ(caret.hwnd, window) << step;
        const RECT &r = caret.rect;
        EXPECT_EQ(r.right - r.left, 1) << step;
        EXPECT_EQ(r.bottom - r.top, LineHeight) << step;
        if (!inView) {
            EXPECT_TRUE(r.bottom <= 0 || r.top >= ClientHeight) << step << ": " << r.top;
            return;
        }
        ASSERT_TRUE(r.top >= TopMargin && r.bottom <= ClientHeight) << step << ": " << r.top;
        EXPECT_TRUE(FullHeightColumn(r.left, r)) << step << ": no caret painted at " << r.left;
        // An inverted selection may stand right beside it.
        if (!SelectionActive) {
            EXPECT_FALSE(FullHeightColumn(r.left - 1, r) || FullHeightColumn(r.left + 1, r)) << step;
        }
    }
};

struct Step {
    const char *name;
    std::function<void()> run;
    bool inView;
};

TEST_F(CaretTest, TheSystemCaretFollowsThePaintedCaretThroughEveryStep)
{
    // 40 lines: three pages of 15 lines at 96 dpi, 8 lines in view.
    const Step steps[] = {
        {"typing", [this] { Type(u"x"); }, true},
        {"line break", [this] { Press(VK_RETURN); }, true},
        {"caret key", [this] { Press(VK_LEFT); }, true},
        {"Page Down", [this] { Press(VK_NEXT); }, true},
        // The caret keeps its place on the screen while the text scrolls under it.
        {"Down at the foot of the view", [this] { Press(VK_DOWN); }, true},
        {"scroll past the first page", [this] { Scroll(SB_THUMBPOSITION, 16); }, false},
        {"click on a later page",
         [this] { Click(ColumnRight - 5, TopMargin + LineHeight + 10); }, true},
        {"Backspace", [this] { Press(VK_BACK); }, true},
        {"Select All", [this] { Command(IDM_EDIT_SELECT_ALL); }, true},
        {"Escape", [this] { Press(VK_ESCAPE); }, true},  // no inverted caret
        {"word wrap", [this] { Command(IDM_WRAP_NO); }, true},
        {"font size", [this] { Command(IDM_POINTS_BASE + 20); }, true},
        {"resize", [this] { WinsimResizeClient(window, 617, 500); }, true},
        {"New",
         [this] {
             WinsimAnswerNextMessageBox(IDNO);
             Command(IDM_FILE_NEW);
         },
         true},
        {"scroll one line", [this] { Scroll(SB_LINEDOWN); }, false},
    };
    // Without the focus there is no system caret; with it, not one pixel differs.
    std::vector<std::vector<COLORREF>> unfocused;
    for (bool focused : {false, true}) {
        Restart();
        SetText(ShortLines(40));
        if (focused)
            WinsimSetFocus(window);
        for (size_t i = 0; i < sizeof steps / sizeof steps[0]; i++) {
            steps[i].run();
            WinsimPumpMessages();
            if (!focused) {
                EXPECT_EQ(WinsimCaret().hwnd, nullptr) << steps[i].name;
                unfocused.push_back(WinsimFramebuffer(window));
                continue;
            }
            ExpectCaretOnPaintedCaret(steps[i].name, steps[i].inView);
            EXPECT_TRUE(WinsimFramebuffer(window) == unfocused[i]) << steps[i].name;
        }
    }
}

TEST_F(CaretTest, TheCaretLivesWhileTheWindowHasTheFocus)
{
    Type(u"ab");
    EXPECT_EQ(WinsimCaret().hwnd, nullptr);
    WinsimSetFocus(window);
    ExpectCaretOnPaintedCaret("focus", true);
    POINT at;
    ASSERT_TRUE(GetCaretPos(&at));
    EXPECT_EQ(at.x, WinsimCaret().rect.left);
    WinsimSetFocus(nullptr);
    EXPECT_EQ(WinsimCaret().hwnd, nullptr);
    EXPECT_FALSE(GetCaretPos(&at));
    WinsimSetFocus(window);
    ExpectCaretOnPaintedCaret("focus again", true);
}

TEST_F(CaretTest, TheCompositionEndsAtTheCaretAndTheCandidatesAvoidItsLine)
{
    WinsimSetGlyphWidths('a', 0, 20, 0);  // cells 24, 14, 24 and 14 wide
    WinsimSetGlyphWidths('b', 0, 10, 0);
    WinsimSetGlyphWidths('n', 0, 20, 0);
    WinsimSetGlyphWidths('i', 0, 10, 0);
    SetText(ShortLines(40), 0);
    for (int i = 0; i < 20; i++)
        Press(VK_DOWN);
    Press(VK_END);  // line 20, on the second page, with line 13 at the top
    WinsimSetFocus(window);
    ASSERT_EQ(BlackInColumn(649, 520, 569), 49);  // the painted caret

    ASSERT_TRUE(WinsimImeCompose(window, u"ni"));
    struct {
        int top;
    } places[] = {{520}, {471}};  // then one line up
    for (auto place : places) {
        WinsimImeState ime = WinsimInputMethod(window);
        EXPECT_EQ(ime.compositionForm.dwStyle, (DWORD)CFS_POINT);
        EXPECT_EQ(ime.compositionForm.ptCurrentPos.x, 650 - 38);  // "ni" ends at the caret
        EXPECT_EQ(ime.compositionForm.ptCurrentPos.y, place.top);
        EXPECT_EQ(ime.font.lfHeight, -42);
        EXPECT_EQ(ime.font.lfCharSet, 136);
        EXPECT_TRUE(std::u16string(ime.font.lfFaceName) == u"Courier New");
        EXPECT_EQ(ime.candidateForm.dwStyle, (DWORD)CFS_EXCLUDE);
        EXPECT_EQ(ime.candidateForm.ptCurrentPos.x, 650 - 38);
        EXPECT_EQ(ime.candidateForm.ptCurrentPos.y, place.top + 49);
        EXPECT_THAT(ime.candidateForm.rcArea, IsRect(112, place.top, 688, place.top + 49));
        EXPECT_EQ(ime.contextsHeld, 0);
        Press(VK_UP);
    }

    // The commit arrives as typing at the caret, on line 18 now.
    ASSERT_TRUE(WinsimImeCommit(window, u"你"));
    WinsimPumpMessages();
    EXPECT_FALSE(WinsimInputMethod(window).composing);
    EXPECT_EQ(Text().substr(LineTable[18].first, 3), u"ab你");
}

TEST_F(CaretTest, ThePickerTurnsTheInputMethodOffUntilItGivesTheKeyboardBack)
{
    struct Way {
        const char *name;
        std::function<void()> enter, leave;
    };
    auto shiftTab = [this] { Press(VK_TAB, true); };
    auto clickPageBox = [this] {
        const RECT &box = PickerItems[PICKER_PAGE_BOX];
        Click((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    };
    auto clickText = [this] { Click(ColumnRight - 5, TopMargin + 10); };
    const Way ways[] = {
        {"Shift+Tab both ways", shiftTab, shiftTab},
        {"Shift+Tab, back by a click in the text", shiftTab, clickText},
        {"a click on the picker, back by Shift+Tab", clickPageBox, shiftTab},
    };
    for (const Way &way : ways) {
        Restart();
        WinsimSetFocus(window);
        Type(u"ab");
        ASSERT_TRUE(WinsimImeCompose(window, u"ni"));
        WinsimClearLogs();
        way.enter();
        WinsimPumpMessages();
        ASSERT_EQ(PickerFocus, 1) << way.name;
        WinsimImeState ime = WinsimInputMethod(window);
        EXPECT_FALSE(ime.attached) << way.name;
        EXPECT_FALSE(ime.composing) << way.name << ": the composition was not cancelled";
        const std::vector<WinsimMessage> &log = WinsimMessages();
        EXPECT_TRUE(std::none_of(log.begin(), log.end(),
                                 [](const WinsimMessage &m) { return m.message == WM_IME_CHAR; }))
            << way.name << ": the composition was committed";
        EXPECT_FALSE(WinsimImeCompose(window, u"ni")) << way.name;

        way.leave();
        ASSERT_EQ(PickerFocus, 0) << way.name;
        EXPECT_TRUE(WinsimInputMethod(window).attached) << way.name;
        EXPECT_TRUE(WinsimImeCompose(window, u"ni")) << way.name;
        WinsimImeCommit(window, u"");
    }
}

}  // namespace
