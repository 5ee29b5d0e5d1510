#include "program_state.h"
#include "program_reset.h"
#include "winsim.h"

#include "app/shell.h"
#include "document/document.h"
#include "document/layout.h"
#include "view/view.h"

#include <fstream>
#include <sstream>

void FreshProgram(void)
{
    ResetProgramGlobals();
    WinsimReset();
    WinsimUseResourceScript(INKWARDEN_RESOURCE_SCRIPT);
}

std::string StartFault(int frameWidth, int frameHeight, int dpiX, int dpiY, HWND *window)
{
    WinsimSetScreenDpi(dpiX, dpiY);
    WinsimSetDefaultClientSize(frameWidth, frameHeight);
    HINSTANCE instance = GetModuleHandle(nullptr);
    *window = nullptr;
    if (!RegisterMainWindowClass(instance))
        return "the window class was not registered";
    *window = CreateMainWindow(instance, SW_SHOWNORMAL);
    if (!*window)
        return "no main window";
    if (*window != MainWindow)
        return "the window made is not MainWindow";
    return "";
}

std::u16string Text(void)
{
    return std::u16string(TextBuffer, TextBuffer + CharCount - 1);
}

std::string Utf16File(const std::u16string &units)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t u : units) {
        bytes += (char)(u & 0xFF);
        bytes += (char)(u >> 8);
    }
    return bytes;
}

std::string InFolder(const std::string &name)
{
    return std::string(WinsimTempFolder()) + "/" + name;
}

void WriteBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const std::string &path, bool *exists)
{
    std::ifstream in(path, std::ios::binary);
    if (exists)
        *exists = (bool)in;
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::pair<int, int>> LineTableEntries(void)
{
    std::vector<std::pair<int, int>> lines;
    for (int i = 0; i < LineCount; i++)
        lines.push_back({LineTable[i].first, LineTable[i].last});
    return lines;
}

void NoteState(HWND window, EditorState *state, int parts, std::vector<COLORREF> *screen)
{
    state->text.assign(TextBuffer, TextBuffer + CharCount);
    if ((parts & SAME_EVERYTHING) == SAME_EVERYTHING) {
        state->saved.assign(SavedCopy, SavedCopy + SavedCount);
        state->lines = LineTableEntries();
    }
    state->caret = Caret;
    state->selStart = SelStart;
    state->selEnd = SelEnd;
    state->selectionActive = SelectionActive;
    state->topLine = TopLine;
    state->scrollPos = WinsimVerticalScrollBar(window).pos;
    state->caption = WinsimWindowText(window);
    if (screen)
        state->screen.swap(*screen);
    else
        state->screen = WinsimFramebuffer(window);
}

std::string StateChangeFault(const EditorState &before, HWND window, int parts)
{
    std::ostringstream out;
    auto changed = [&](const char *what, long from, long to) {
        if (from != to)
            out << what << " went from " << from << " to " << to << "; ";
    };
    if (parts & SAME_DOCUMENT) {
        if (before.text != std::u16string(TextBuffer, TextBuffer + CharCount))
            out << "the text changed; ";
        changed("the caret", before.caret, Caret);
        changed("the selection", before.selectionActive != 0, SelectionActive != 0);
        if (before.selectionActive && SelectionActive && (parts & SAME_EVERYTHING) != SAME_EVERYTHING) {
            changed("the selection's start", before.selStart, SelStart);
            changed("the selection's end", before.selEnd, SelEnd);
        }
    }
    if ((parts & SAME_EVERYTHING) == SAME_EVERYTHING) {
        if (before.saved != std::u16string(SavedCopy, SavedCopy + SavedCount))
            out << "the saved copy changed; ";
        if (before.lines != LineTableEntries())
            out << "the line table changed; ";
        changed("SelStart", before.selStart, SelStart);
        changed("SelEnd", before.selEnd, SelEnd);
        changed("SelectionActive", before.selectionActive, SelectionActive);
        changed("the scroll position", before.scrollPos, WinsimVerticalScrollBar(window).pos);
        if (before.caption != WinsimWindowText(window))
            out << "the caption changed; ";
        if (!WinsimUpdateRegionEmpty(window))
            out << "a repaint is pending; ";
    }
    if (parts & SAME_VIEW) {
        changed("TopLine", before.topLine, TopLine);
        const std::vector<COLORREF> &screen = WinsimFramebuffer(window);
        RECT client;
        GetClientRect(window, &client);
        if (screen.size() != before.screen.size())
            out << "the screen changed size; ";
        else if (screen != before.screen)
            for (size_t i = 0; i < screen.size(); i++)
                if (screen[i] != before.screen[i]) {
                    out << "pixel (" << i % client.right << ", " << i / client.right << ") changed; ";
                    break;
                }
    }
    std::string fault = out.str();
    return fault.empty() ? fault : fault.substr(0, fault.size() - 2);
}
