// The real message loop: what reaches the window procedure from key presses,
// and how the loop ends.  Each test runs WinMain with an idle hook that plays
// one step of a script whenever the queue runs dry.
#include "editor_fixture.h"

#include "app/resource.h"
#include "app/shell.h"
#include "document/document.h"
#include "document/layout.h"
#include "view/view.h"

#include <string.h>

#include <vector>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace {

std::vector<void (*)()> script;
size_t nextStep;

void PlayNextStep()
{
    if (nextStep == script.size()) {
        ADD_FAILURE() << "the script ran out";
        PostQuitMessage(99);
        return;
    }
    script[nextStep++]();
}

int RunScript(const std::vector<void (*)()> &steps)
{
    script = steps;
    nextStep = 0;
    WinsimSetIdleHook(PlayNextStep);
    return WinMain(GetModuleHandle(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL);
}

void PostKey(int virtualKey)
{
    PostMessage(MainWindow, WM_KEYDOWN, virtualKey, WinsimKeyLParam(virtualKey));
    PostMessage(MainWindow, WM_KEYUP, virtualKey, WinsimKeyLParam(virtualKey) | 0xC0000000);
}

void CloseWithoutSaving()
{
    WinsimAnswerNextMessageBox(IDNO);
    PostMessage(MainWindow, WM_CLOSE, 0, 0);
}

int Delivered(UINT message)
{
    int n = 0;
    for (const WinsimMessage &m : WinsimMessages())
        n += m.message == message;
    return n;
}

TEST_F(UnstartedTest, ControlBackspaceDeletesOneUnitAndInsertsNothing)
{
    RunScript({
        [] {
            PostKey('A');
            PostKey('B');
        },
        [] {
            WinsimSetKeyDown(VK_CONTROL, true);
            PostKey(VK_BACK);  // and DEL (127) as its character
        },
        [] {
            WinsimSetKeyDown(VK_CONTROL, false);
            CloseWithoutSaving();
        },
    });
    EXPECT_EQ(Text(), u"a");
}

TEST_F(UnstartedTest, WhileAPickerButtonIsHeldKeysAndAcceleratorsChangeNothing)
{
    RunScript({
        [] {
            const WCHAR text[] = {'a', 'b', 0};
            memcpy(TextBuffer, text, sizeof text);
            CharCount = 3;
            Caret = 2;
            Reflow();
            AutoRepeat = 1;  // as a press on Up leaves it
            SetCapture(MainWindow);
            WinsimClearLogs();
            WinsimSetKeyDown(VK_CONTROL, true);
            PostKey('D');
        },
        [] {
            WinsimSetKeyDown(VK_CONTROL, false);
            PostKey('Q');
            PostKey(VK_BACK);
        },
        [] {
            EXPECT_EQ(Delivered(WM_COMMAND), 0);
            EXPECT_EQ(Delivered(WM_CHAR), 0);
            EXPECT_EQ(Delivered(WM_KEYDOWN), 3);  // each reached the window and was swallowed
            EXPECT_EQ(Text(), u"ab");
            ReleaseCapture();  // the button is let go
            ASSERT_EQ(AutoRepeat, 0);
            SelectionActive = 1;  // both units, the caret at the end
            SelStart = 0;
            SelEnd = 2;
            WinsimSetKeyDown(VK_CONTROL, true);
            PostKey('D');
        },
        [] {
            WinsimSetKeyDown(VK_CONTROL, false);
            CloseWithoutSaving();
        },
    });
    std::vector<WPARAM> commands;
    for (const WinsimMessage &m : WinsimMessages())
        if (m.message == WM_COMMAND)
            commands.push_back(m.wParam);
    EXPECT_THAT(commands, ::testing::ElementsAre(MAKEWPARAM(IDM_EDIT_DELETE, 1)));
    EXPECT_EQ(Text(), u"");  // the accelerator reached Delete
}

TEST_F(UnstartedTest, AFailingGetMessageEndsTheProgramWithAFailureCode)
{
    WinsimFailCall(WinsimGetMessage);
    EXPECT_EQ(WinMain(GetModuleHandle(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL), 1);
}

}  // namespace
