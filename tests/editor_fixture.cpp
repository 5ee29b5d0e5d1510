#include "editor_fixture.h"
#include "checks.h"

#include "app/shell.h"
#include "document/document.h"
#include "document/layout.h"
#include "view/view.h"

#include <sys/stat.h>

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

void EditorTest::Fresh()
{
    FreshProgram();
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
    ASSERT_EQ(StartFault(frameWidth, frameHeight, dpi, dpiY ? dpiY : dpi, &window), "");
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

void EditorTest::Click(int x, int y)
{
    SendMessage(window, WM_LBUTTONDOWN, 0, MAKELPARAM(x, y));
    SendMessage(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
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
    NoteState(window, &state);
    return state;
}

void EditorTest::ExpectStateUnchanged(const EditorState &before) const
{
    std::string fault = StateChangeFault(before, window);
    if (!fault.empty())
        ADD_FAILURE() << fault;
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
