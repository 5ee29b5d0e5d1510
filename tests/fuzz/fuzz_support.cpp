#include "fuzz_support.h"
#include "checks.h"
#include "winsim.h"

#include "app/shell.h"
#include "document/document.h"
#include "document/layout.h"
#include "files/files.h"
#include "picker/picker.h"
#include "printing/printing.h"
#include "view/view.h"

#include <malloc.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <sstream>

namespace {

// Every input allocates and frees a few framebuffer-sized blocks; left to
// its defaults, malloc hands them back to the system each time and the next
// input pays for fresh pages.
const bool keepFreedMemory = [] {
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    return true;
}();

// The lines of the last full reflow, and what it read: the text and the
// layout settings.  The screen's resolution and the glyph widths are also
// read, but they stay as they are from StartEditor to the end of an input.
// The same ones give the same lines, so while they hold, those lines are a
// full reflow's without running one.
struct LastReflow {
    bool valid = false;
    std::vector<WCHAR> text;
    int wordWrap, columnInches, points;
    BYTE charset;
    WCHAR face[LF_FACESIZE];
    std::vector<LineRecord> lines;
} lastReflow;

bool LastReflowStillHolds(void)
{
    const LastReflow &last = lastReflow;
    return last.valid && last.wordWrap == WordWrapMode && last.columnInches == ColumnWidthInches &&
           last.points == FontPoints && last.charset == FontCharset &&
           memcmp(last.face, CurrentFace, sizeof last.face) == 0 &&
           last.text.size() == (size_t)CharCount &&
           memcmp(last.text.data(), TextBuffer, CharCount * sizeof(WCHAR)) == 0;
}

// FullReflowFault, which on a large text costs most of a message's check,
// run only when the text or a setting changed or the lines differ.
std::string LineTableFault(void)
{
    LastReflow &last = lastReflow;
    if (LastReflowStillHolds() && last.lines.size() == (size_t)LineCount &&
        memcmp(last.lines.data(), LineTable, LineCount * sizeof(LineRecord)) == 0)
        return "";
    std::string fault = FullReflowFault();
    if (fault.empty()) {
        last.valid = true;
        last.text.assign(TextBuffer, TextBuffer + CharCount);
        last.wordWrap = WordWrapMode;
        last.columnInches = ColumnWidthInches;
        last.points = FontPoints;
        last.charset = FontCharset;
        memcpy(last.face, CurrentFace, sizeof last.face);
        last.lines.assign(LineTable, LineTable + LineCount);
    }
    return fault;
}

// FullRepaintFault without its copy of the screen: the full repaint goes
// into a framebuffer of its own and is compared with the screen the
// partial repaints left.  What that framebuffer held before shows only
// where the full repaint leaves a pixel unpainted, so only where the two
// differ does FullRepaintFault judge, on the screen itself, as usual.
std::string RepaintFault(HWND window, std::vector<COLORREF> *screen)
{
    static std::vector<COLORREF> partial;  // kept, as FullRepaintFault keeps its copy
    size_t pixels = WinsimFramebuffer(window).size();
    if (pixels == 0 || !WinsimIsVisible(window))
        return FullRepaintFault(window, screen);
    partial.resize(pixels);
    WinsimSwapFramebuffer(window, &partial);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    const std::vector<COLORREF> &full = WinsimFramebuffer(window);
    if (full.size() != pixels)
        return "the framebuffer changed size";
    if (memcmp(partial.data(), full.data(), pixels * sizeof full[0]) == 0) {
        if (screen)
            screen->swap(partial);
        return "";
    }
    WinsimSwapFramebuffer(window, &partial);
    return FullRepaintFault(window, screen);
}

}  // namespace

HWND StartEditor(int frameWidth, int frameHeight, int dpi)
{
    lastReflow.valid = false;
    FreshProgram();
    HWND window;
    Check(StartFault(frameWidth, frameHeight, dpi, dpi, &window), "start");
    return window;
}

void Fail(const std::string &what)
{
    fprintf(stderr, "\n*** fuzz check failed: %s\n", what.c_str());
    abort();
}

void CheckAfterMessage(HWND window, std::vector<COLORREF> *screen)
{
    Check(StoreInvariantFault(window), "store");
    Check(LineTableFault(), "line table");
    Check(LeakFault(), "leak");
    if (!WinsimUpdateRegionEmpty(window))
        Fail("screen: a repaint is still pending");
    Check(RepaintFault(window, screen), "screen");
}

bool DocumentOfFile(const std::string &bytes, std::u16string *units, std::u16string *warning)
{
    size_t size = bytes.size();
    units->clear();
    auto unitAt = [&](size_t i) { return (char16_t)((uint8_t)bytes[2 * i] | (uint8_t)bytes[2 * i + 1] << 8); };
    if (size < 2 || unitAt(0) != 0xFEFF || size % 2 != 0) {
        *warning = u"The selected file is not a Unicode text file";
        return false;
    }
    size_t count = size / 2 - 1;  // behind the mark
    bool terminated = count > 0 && unitAt(count) == 0;
    if (size > 65538 || (!terminated && count + 1 > TEXT_BUFFER_UNITS)) {
        *warning = u"The selected file is too large to open";
        return false;
    }
    for (size_t i = 1; i <= count; i++)
        *units += unitAt(i);
    if (!terminated)
        *units += u'\0';
    return true;
}

bool IsOpenWarning(const std::u16string &text)
{
    static const char16_t *const texts[] = {
        u"Can not obtain a file handle to the selected file",
        u"Can not obtain the size of the selected file",
        u"The selected file is too large to open",
        u"The selected file is not a Unicode text file",
        u"Can not read the selected file",
    };
    for (const char16_t *t : texts)
        if (text == t)
            return true;
    return false;
}

std::string WriteFileForDialog(const std::string &name, const std::string &bytes)
{
    std::string path = InFolder(name);
    WriteBytes(path, bytes);
    return path;
}

std::string Narrow(const std::u16string &text)
{
    std::ostringstream out;
    for (char16_t u : text)
        if (u >= 32 && u < 127)
            out << (char)u;
        else
            out << "\\u" << std::hex << (int)u << std::dec;
    return out.str();
}

// What an input leaves behind, as far as anything can see it.
static std::string EndState(void)
{
    std::ostringstream out;
    out << Narrow(Text()) << '|' << Caret << ',' << SelectionActive << ',' << SelStart
        << ',' << SelEnd << ',' << TopLine << ',' << LineCount << ',' << PickerPage << ','
        << PickerFocus << ',' << PickerHighlight << ',' << FontPoints << ',' << WordWrapMode
        << ',' << AutoRepeat << '|';
    for (const WinsimMessageBox &box : WinsimMessageBoxes())
        out << Narrow(box.caption) << ':' << Narrow(box.text) << ';';
    WinsimCallCounts calls = WinsimCalls();
    out << '|' << calls.abcWidthQueries << ',' << calls.textOutputs << ',' << calls.fontCreations;
    if (IsWindow(MainWindow)) {
        out << '|' << Narrow(WinsimWindowText(MainWindow)) << '|';
        unsigned long long hash = 1469598103934665603ull;
        for (COLORREF pixel : WinsimFramebuffer(MainWindow))
            hash = (hash ^ pixel) * 1099511628211ull;
        out << hash;
    }
    return out.str();
}

int RunRepeatably(void (*run)(const uint8_t *, size_t), const uint8_t *data, size_t size)
{
    static const bool repeat = getenv("INKWARDEN_FUZZ_REPEAT") != nullptr;
    run(data, size);
    if (repeat) {
        std::string first = EndState();
        run(data, size);
        if (EndState() != first)
            Fail("the same input ended differently the second time:\n" + first + "\n" + EndState());
    }
    // What winsim holds for this input goes now, not at the next start, so
    // that libFuzzer sees an input free all it allocated and does not rerun
    // it to look for leaks.
    WinsimReset();
    return 0;
}
