#include "editor_fixture.h"
#include "checks.h"
#include "program_reset.h"

#include "app/shell.h"
#include "document/document.h"
#include "document/layout.h"
#include "view/view.h"

#include <sys/stat.h>

std::u16string Text()
{
    return std::u16string(TextBuffer, TextBuffer + CharCount - 1);
}

std::vector<RECT> Invalidated()
{
    std::vector<RECT> rects;
    for (const WinsimInvalidation &i : WinsimInvalidations())
        rects.push_back(i.rect);
    return rects;
}

std::u16string ShortLines(int count)
{
    std::u16string text;
    for (int i = 1; i < count; i++)
        text += u"ab\r\n";
    return text + u"ab";
}

void UseWideUnits(const std::u16string &units)
{
    for (char16_t u : units)
        WinsimSetGlyphWidths(u, 0, 176, 0);
}

void EditorTest::SetUp()
{
    ResetProgramGlobals();
    WinsimReset();
    WinsimUseResourceScript(INKWARDEN_RESOURCE_SCRIPT);
    window = nullptr;
    storeArranged = false;
}

void EditorTest::TearDown()
{
    if (!storeArranged && IsWindow(MainWindow)) {
        EXPECT_EQ(StoreInvariantFault(MainWindow), "") << "the store at the end";
    }
    EXPECT_EQ(LeakFault(), "");
    EXPECT_FALSE(WinsimClipboardIsOpen());
    EXPECT_EQ(WinsimOpenFileHandles(), 0);
}

void EditorTest::Restart()
{
    TearDown();
    SetUp();
}

void EditorTest::Start(int frameWidth, int frameHeight, int dpi, int dpiY)
{
    WinsimSetScreenDpi(dpi, dpiY ? dpiY : dpi);
    WinsimSetDefaultClientSize(frameWidth, frameHeight);
    HINSTANCE instance = GetModuleHandle(nullptr);
    ASSERT_NE(RegisterMainWindowClass(instance), 0);
    window = CreateMainWindow(instance, SW_SHOWNORMAL);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window, MainWindow);
}

void EditorTest::SetText(const std::u16string &text)
{
    ASSERT_LT(text.size(), (size_t)TEXT_BUFFER_UNITS);
    memset(TextBuffer, 0, sizeof TextBuffer);
    for (size_t i = 0; i < text.size(); i++)
        TextBuffer[i] = text[i];
    CharCount = (int)text.size() + 1;
    Reflow();
    RepaintAll();
}

void EditorTest::SetText(const std::u16string &text, int caret)
{
    SetText(text);
    Caret = caret;
    RepaintAll();
}

void EditorTest::Select(int start, int end, int caret)
{
    SelectionActive = 1;
    SelStart = start;
    SelEnd = end;
    Caret = caret;
    RepaintAll();
}

void EditorTest::RepaintAll()
{
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

void EditorTest::Type(const std::u16string &text)
{
    for (char16_t unit : text)
        SendMessage(window, WM_CHAR, unit, 0);
}

void EditorTest::Press(int virtualKey, bool shift, bool control)
{
    WinsimSetKeyDown(VK_SHIFT, shift);
    WinsimSetKeyDown(VK_CONTROL, control);
    SendMessage(window, WM_KEYDOWN, virtualKey, 0);
    SendMessage(window, WM_KEYUP, virtualKey, 0);
    WinsimSetKeyDown(VK_SHIFT, false);
    WinsimSetKeyDown(VK_CONTROL, false);
}

int EditorTest::BlackInRow(int y, int x0, int x1) const
{
    int n = 0;
    for (int x = x0; x < x1; x++)
        n += Pixel(x, y) == kBlack;
    return n;
}

int EditorTest::BlackInColumn(int x, int y0, int y1) const
{
    int n = 0;
    for (int y = y0; y < y1; y++)
        n += Pixel(x, y) == kBlack;
    return n;
}

void EditorTest::ExpectScreenMatchesFullRepaint()
{
    std::string fault = FullRepaintFault(window);
    if (!fault.empty())
        ADD_FAILURE() << fault;
}

EditorState EditorTest::RepaintAndNoteState()
{
    RepaintAll();
    EditorState state;
    state.text.assign(TextBuffer, TextBuffer + CharCount);
    state.saved.assign(SavedCopy, SavedCopy + SavedCount);
    for (int i = 0; i < LineCount; i++)
        state.lines.push_back({LineTable[i].first, LineTable[i].last});
    state.caret = Caret;
    state.selStart = SelStart;
    state.selEnd = SelEnd;
    state.selectionActive = SelectionActive;
    state.topLine = TopLine;
    state.scrollPos = WinsimVerticalScrollBar(window).pos;
    state.caption = WinsimWindowText(window);
    state.screen = WinsimFramebuffer(window);
    return state;
}

void EditorTest::ExpectStateUnchanged(const EditorState &before) const
{
    EXPECT_TRUE(before.text == std::u16string(TextBuffer, TextBuffer + CharCount)) << "the text changed";
    EXPECT_TRUE(before.saved == std::u16string(SavedCopy, SavedCopy + SavedCount))
        << "the saved copy changed";
    std::vector<std::pair<int, int>> lines;
    for (int i = 0; i < LineCount; i++)
        lines.push_back({LineTable[i].first, LineTable[i].last});
    EXPECT_TRUE(before.lines == lines) << "the line table changed";
    EXPECT_EQ(Caret, before.caret);
    EXPECT_EQ(SelStart, before.selStart);
    EXPECT_EQ(SelEnd, before.selEnd);
    EXPECT_EQ(SelectionActive, before.selectionActive);
    EXPECT_EQ(TopLine, before.topLine);
    EXPECT_EQ(WinsimVerticalScrollBar(window).pos, before.scrollPos);
    EXPECT_EQ(WinsimWindowText(window), before.caption);
    EXPECT_TRUE(WinsimUpdateRegionEmpty(window));
    const std::vector<COLORREF> &screen = WinsimFramebuffer(window);
    RECT client;
    GetClientRect(window, &client);
    ASSERT_EQ(screen.size(), before.screen.size());
    for (size_t i = 0; i < screen.size(); i++)
        if (screen[i] != before.screen[i]) {
            ADD_FAILURE() << "pixel (" << i % client.right << ", " << i / client.right << ") changed";
            return;
        }
}

void EditorTest::SaveScreenshot(const char *name) const
{
    mkdir(INKWARDEN_SCREENSHOT_DIR, 0755);
    std::string path = std::string(INKWARDEN_SCREENSHOT_DIR) + "/" + name + ".ppm";
    WinsimSaveScreenshot(window, path.c_str());
}

void EditorTest::ExpectTableOfAFullReflow()
{
    std::string fault = FullReflowFault();
    if (!fault.empty())
        ADD_FAILURE() << fault;
}
