// The main window: resources, initial state, routing and the close prompt.
#include "editor_fixture.h"

#include "app/resource.h"
#include "app/shell.h"
#include "document/document.h"
#include "picker/picker.h"
#include "view/view.h"

#include <string>
#include <vector>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace {

struct ExpectedItem {
    std::u16string text;  // empty for a separator
    UINT id;
    bool checked;
};

std::u16string MenuText(HMENU menu, int position)
{
    WCHAR text[64];
    GetMenuString(menu, position, text, 64, MF_BYPOSITION);
    return text;
}

void ExpectItems(HMENU popup, const std::vector<ExpectedItem> &expected)
{
    ASSERT_EQ(GetMenuItemCount(popup), (int)expected.size());
    for (int i = 0; i < (int)expected.size(); i++) {
        SCOPED_TRACE(i);
        UINT state = GetMenuState(popup, i, MF_BYPOSITION);
        if (expected[i].text.empty()) {
            EXPECT_TRUE(state & MF_SEPARATOR);
            continue;
        }
        EXPECT_EQ(MenuText(popup, i), expected[i].text);
        EXPECT_EQ(GetMenuItemID(popup, i), expected[i].id);
        EXPECT_EQ((state & MF_CHECKED) != 0, expected[i].checked);
        EXPECT_FALSE(state & (MF_GRAYED | MF_DISABLED));
    }
}

// "1&0 Point", with the exceptions where the units digit cannot carry it.
std::u16string PointText(int points)
{
    switch (points) {
    case 8: return u"08 &Point";
    case 9: return u"09 P&oint";
    case 70: return u"70 &Point";
    case 71: return u"71 P&oint";
    case 72: return u"72 Po&int";
    }
    std::u16string text;
    text += char16_t(u'0' + points / 10);
    text += u'&';
    text += char16_t(u'0' + points % 10);
    return text + u" Point";
}

TEST_F(EditorTest, TheMenuBarHoldsTheFivePopupsAndTheirItems)
{
    HMENU menu = GetMenu(window);
    ASSERT_EQ(GetMenuItemCount(menu), 5);
    EXPECT_EQ(MenuText(menu, 0), u"&File");
    EXPECT_EQ(MenuText(menu, 1), u"&Edit");
    EXPECT_EQ(MenuText(menu, 2), u"&Word Wrap");
    EXPECT_EQ(MenuText(menu, 3), u"Font &Point Size");
    EXPECT_EQ(MenuText(menu, 4), u"&About");

    ExpectItems(GetSubMenu(menu, 0), {{u"&New", 40000, false},
                                      {u"&Open...", 40001, false},
                                      {u"&Save...", 40002, false},
                                      {u"", 0, false},
                                      {u"&Print...", 40003, false},
                                      {u"", 0, false},
                                      {u"E&xit", 40004, false}});
    ExpectItems(GetSubMenu(menu, 1), {{u"Cu&t\tCtrl+X", 41000, false},
                                      {u"&Copy\tCtrl+C", 41001, false},
                                      {u"&Paste\tCtrl+V", 41002, false},
                                      {u"De&lete\tCtrl+D", 41003, false},
                                      {u"", 0, false},
                                      {u"Select &All", 41004, false}});
    ExpectItems(GetSubMenu(menu, 2), {{u"&No", 42000, false}, {u"&Yes", 42001, true}});
    ExpectItems(GetSubMenu(menu, 4), {{u"About &Inkwarden...", 45000, false}});
}

TEST_F(EditorTest, TheFontSizePopupHoldsSixSubmenusOfPointSizes)
{
    HMENU sizes = GetSubMenu(GetMenu(window), 3);
    const char16_t *names[6] = {u"&Eight to Nineteen",   u"&Twenty to Twenty-Nine",
                                u"T&hirty to Thirty-Nine", u"&Forty to Forty-Nine",
                                u"F&ifty to Fifty-Nine",  u"&Sixty to Seventy-Two"};
    int firsts[6] = {8, 20, 30, 40, 50, 60};
    int lasts[6] = {19, 29, 39, 49, 59, 72};
    ASSERT_EQ(GetMenuItemCount(sizes), 6);
    int itemCount = 0;
    for (int g = 0; g < 6; g++) {
        SCOPED_TRACE(g);
        EXPECT_EQ(MenuText(sizes, g), names[g]);
        std::vector<ExpectedItem> expected;
        for (int n = firsts[g]; n <= lasts[g]; n++) {
            expected.push_back({PointText(n), (UINT)(44000 + n), n == 32});
            if (n == 9 || n == 69)
                expected.push_back({u"", 0, false});
            itemCount++;
        }
        ExpectItems(GetSubMenu(sizes, g), expected);
    }
    EXPECT_EQ(itemCount, 65);
}

std::vector<WPARAM> commandsSeen;

LRESULT CALLBACK CommandRecorder(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND)
        commandsSeen.push_back(wParam);
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

TEST_F(EditorTest, TheAcceleratorTableMapsControlLettersToTheEditCommands)
{
    WNDCLASS recorderClass = {};
    recorderClass.lpfnWndProc = CommandRecorder;
    recorderClass.lpszClassName = u"Recorder";
    ASSERT_NE(RegisterClass(&recorderClass), 0);
    HWND recorder = CreateWindowEx(0, u"Recorder", u"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    HACCEL table = LoadAccelerators(GetModuleHandle(nullptr), TEXT("Inkwarden"));
    ASSERT_NE(table, nullptr);

    WinsimSetKeyDown(VK_CONTROL, true);
    const int keys[] = {'X', 'C', 'V', 'D', 'A', 'S'};
    for (int key : keys) {
        MSG msg = {recorder, WM_KEYDOWN, (WPARAM)key, 0, 0, {0, 0}};
        TranslateAccelerator(recorder, table, &msg);
    }
    std::vector<WPARAM> expected = {MAKEWPARAM(41000, 1), MAKEWPARAM(41001, 1),
                                    MAKEWPARAM(41002, 1), MAKEWPARAM(41003, 1)};
    EXPECT_EQ(commandsSeen, expected);

    WinsimSetKeyDown(VK_CONTROL, false);
    MSG plain = {recorder, WM_KEYDOWN, 'X', 0, 0, {0, 0}};
    EXPECT_EQ(TranslateAccelerator(recorder, table, &plain), 0);
}

TEST_F(EditorTest, WindowCreationSetsUpTheEmptyDocumentAndLineMetrics)
{
    EXPECT_EQ(CharCount, 1);
    EXPECT_EQ(TextBuffer[0], 0);
    EXPECT_EQ(LineCount, 1);
    EXPECT_EQ(LineTable[0].first, 0);
    EXPECT_EQ(LineTable[0].last, 0);
    EXPECT_EQ(Caret, 0);
    EXPECT_EQ(SavedCount, 1);
    EXPECT_FALSE(DocumentChanged());
    EXPECT_EQ(LineHeight, 49);
    EXPECT_EQ(LinesPerPage, 15);
    EXPECT_EQ(TopMargin, 144);

    const std::vector<LOGFONTW> &fonts = WinsimCreatedFonts();
    ASSERT_FALSE(fonts.empty());
    EXPECT_EQ(fonts[0].lfHeight, -42);
    EXPECT_EQ(fonts[0].lfCharSet, 136);
    EXPECT_EQ(fonts[0].lfWeight, 0);
    EXPECT_EQ(std::u16string(fonts[0].lfFaceName), u"Courier New");
    EXPECT_TRUE(WinsimUpdateRegionEmpty(window));
}

TEST_F(EditorTest, TheAboutBoxIsAnInformationBoxOwnedByTheWindow)
{
    Command(IDM_ABOUT);
    ASSERT_EQ(WinsimMessageBoxes().size(), 1u);
    const WinsimMessageBox &box = WinsimMessageBoxes()[0];
    EXPECT_EQ(box.owner, window);
    EXPECT_EQ(box.caption, u"Inkwarden");
    EXPECT_EQ(box.text, u"Inkwarden\nText Editor Computer Program");
    EXPECT_EQ(box.type, (UINT)(MB_ICONINFORMATION | MB_OK));
    EXPECT_FALSE(DocumentChanged());
}

TEST_F(EditorTest, ClosingAnUnchangedDocumentClosesWithoutAPrompt)
{
    SendMessage(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(WinsimMessageBoxes().empty());
}

void ExpectSavePrompt(HWND window)
{
    ASSERT_EQ(WinsimMessageBoxes().size(), 1u);
    const WinsimMessageBox &box = WinsimMessageBoxes()[0];
    EXPECT_EQ(box.owner, window);
    EXPECT_EQ(box.caption, u"Save Current File?");
    EXPECT_EQ(box.text,
              u"The current file has changed since the last save.\n"
              u"Do you wish to save the current file?");
    EXPECT_EQ(box.type, (UINT)(MB_YESNOCANCEL | MB_ICONQUESTION));
}

TEST_F(EditorTest, CancellingTheClosePromptKeepsTheWindow)
{
    SetText(u"ab");
    WinsimAnswerNextMessageBox(IDCANCEL);
    SendMessage(window, WM_CLOSE, 0, 0);
    ExpectSavePrompt(window);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(DocumentChanged());
}

TEST_F(EditorTest, AnsweringNoClosesWithoutSaving)
{
    SetText(u"ab");
    WinsimAnswerNextMessageBox(IDNO);
    Command(IDM_FILE_EXIT);
    ExpectSavePrompt(window);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(EditorTest, AnsweringYesKeepsTheWindowOpen)
{
    SetText(u"ab");
    WinsimAnswerNextMessageBox(IDYES);
    Command(IDM_FILE_EXIT);
    ExpectSavePrompt(window);
    ASSERT_EQ(WinsimFileDialogs().size(), 1u);  // Save As, cancelled
    EXPECT_TRUE(WinsimFileDialogs()[0].save);
    EXPECT_TRUE(IsWindow(window));
}

struct StartFailure {
    const char *name;
    void (*arrange)();
    const char16_t *text;
};

class StartFailureTest : public UnstartedTest, public ::testing::WithParamInterface<StartFailure> {};

TEST_P(StartFailureTest, IsReportedAndEndsTheProcessWithAFailureCode)
{
    GetParam().arrange();
    EXPECT_EQ(WinMain(GetModuleHandle(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL), 1);
    ASSERT_EQ(WinsimMessageBoxes().size(), 1u);
    const WinsimMessageBox &box = WinsimMessageBoxes()[0];
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.text, GetParam().text);
    EXPECT_EQ(box.caption, u"Inkwarden");
    EXPECT_EQ(box.type & MB_ICONWARNING, (UINT)MB_ICONWARNING);
    EXPECT_EQ(WinsimMainWindow(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Shell, StartFailureTest,
    ::testing::Values(StartFailure{"ClassRegistration", [] { WinsimFailCall(WinsimRegisterClass); },
                                   u"Can not register class"},
                      StartFailure{"WindowCreation", [] { WinsimFailCall(WinsimCreateWindowEx); },
                                   u"Can not create the main window"}),
    CaseName());

int idleCalls;

void CloseOnFirstIdle()
{
    idleCalls++;
    PostMessage(MainWindow, WM_CLOSE, 0, 0);
}

TEST_F(UnstartedTest, TheMessageLoopRunsUntilTheWindowIsDestroyed)
{
    idleCalls = 0;
    WinsimSetIdleHook(CloseOnFirstIdle);
    EXPECT_EQ(WinMain(GetModuleHandle(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL), 0);
    EXPECT_EQ(idleCalls, 1);
    EXPECT_FALSE(IsWindow(MainWindow));
    EXPECT_TRUE(WinsimMessageBoxes().empty());
}

void TypeThenClose()
{
    idleCalls++;
    if (idleCalls == 1)
        PostMessage(MainWindow, WM_KEYDOWN, 'A', 0);  // translated into WM_CHAR 'a'
    else
        PostMessage(MainWindow, WM_CLOSE, 0, 0);
}

TEST_F(UnstartedTest, TheLoopTranslatesKeysIntoCharacters)
{
    idleCalls = 0;
    WinsimSetIdleHook(TypeThenClose);
    WinsimAnswerNextMessageBox(IDNO);
    EXPECT_EQ(WinMain(GetModuleHandle(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL), 0);
    EXPECT_EQ(Text(), u"a");
    ASSERT_EQ(WinsimMessageBoxes().size(), 1u);
    EXPECT_EQ(WinsimMessageBoxes()[0].caption, u"Save Current File?");
    EXPECT_FALSE(IsWindow(MainWindow));
}

TEST_F(EditorTest, DestroyingTheWindowStopsARunningAutoRepeat)
{
    AutoRepeat = 1;
    SetCapture(window);
    SetTimer(window, 1, 100, nullptr);
    DestroyWindow(window);
    EXPECT_EQ(AutoRepeat, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(EditorTest, KeysAndAltKeysAreSwallowedWhileAPickerButtonIsHeld)
{
    AutoRepeat = 1;
    SendMessage(window, WM_SYSKEYDOWN, VK_F4, 0);
    EXPECT_TRUE(IsWindow(window));
    AutoRepeat = 0;
    SendMessage(window, WM_SYSKEYDOWN, VK_F4, 0);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(EditorTest, AnEmptySelectionIsNeverLeftActiveAroundKeyAndButtonHandlers)
{
    SetText(u"abcdef");
    SelectionActive = 1;
    SelStart = SelEnd = 3;
    SendMessage(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(SelectionActive, 0);

    SelectionActive = 1;
    SelStart = 2;
    SelEnd = 4;
    SendMessage(window, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(SelectionActive, 1);
    SelEnd = 2;
    SendMessage(window, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(SelectionActive, 0);
}

// Each half of the rule on its own: Backspace on an empty active selection
// would delete nothing without the first, and a Shift move back onto the
// anchor would leave an empty selection active without the second.
TEST_F(EditorTest, EachHalfOfTheCollapseRuleAroundAKeyDown)
{
    SetText(u"abcdef");
    SelectionActive = 1;
    SelStart = SelEnd = Caret = 3;
    Press(VK_BACK);
    EXPECT_EQ(Text(), u"abdef");

    Press(VK_LEFT, true);
    ASSERT_EQ(SelectionActive, 1);
    Press(VK_RIGHT, true);
    EXPECT_EQ(SelStart, SelEnd);
    EXPECT_EQ(SelectionActive, 0);
}

// A picker click on an empty active selection repaints as with none at all.
TEST_F(EditorTest, AButtonDownFirstCollapsesAnEmptySelection)
{
    RECT cell = PickerItems[PICKER_FIRST_CELL];
    LPARAM click = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    int highlight = PickerHighlight;
    std::vector<RECT> rects[2];
    for (int active = 0; active < 2; active++) {
        PickerFocus = 0;  // the first click took the keyboard
        PickerHighlight = highlight;
        SetText(u"abcdef");
        SelectionActive = active;
        SelStart = SelEnd = Caret = 3;
        RepaintAll();
        WinsimClearLogs();
        SendMessage(window, WM_LBUTTONDOWN, 0, click);
        SendMessage(window, WM_LBUTTONUP, 0, click);
        rects[active] = Invalidated();
        EXPECT_EQ(CharCount, 8);
    }
    EXPECT_EQ(rects[1].size(), rects[0].size());
    EXPECT_EQ(memcmp(rects[1].data(), rects[0].data(), rects[0].size() * sizeof(RECT)), 0);
}

TEST_F(EditorTest, KeyReleaseResetsThePickerRepeatCounter)
{
    KeyRepeatCounter = 7;
    SendMessage(window, WM_KEYUP, VK_DOWN, 0);
    EXPECT_EQ(KeyRepeatCounter, 0);
}

}  // namespace
