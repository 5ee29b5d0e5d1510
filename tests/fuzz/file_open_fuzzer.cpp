// The bytes of each input become a file that File, Open reads through the
// Open dialog.  Open must either warn with the exact text the format calls
// for and leave everything as it was, or show exactly the file's units.
#include "fuzz_support.h"
#include "winsim.h"

#include "app/resource.h"
#include "document/document.h"
#include "view/view.h"

#include <vector>

namespace {

// A saved, scrolled document with a selection, so that a refused Open has
// something to leave alone.
void OpenFormerDocument(HWND window)
{
    std::string former = "\xFF\xFE";
    for (int line = 0; line < 40; line++)
        former += std::string("a\0b\0\r\0\n\0", 8);
    WinsimAnswerNextFileDialog(WriteFileForDialog("former.txt", former));
    SendMessage(window, WM_COMMAND, IDM_FILE_OPEN, 0);
    WinsimSetKeyDown(VK_SHIFT, true);
    SendMessage(window, WM_KEYDOWN, VK_END, 0);
    WinsimSetKeyDown(VK_SHIFT, false);
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5), 0);
    if (WinsimWindowText(window) != u"former.txt" || !SelectionActive || TopLine != 5)
        Fail("the former document did not open");
}

void OpenOneFile(const uint8_t *data, size_t size)
{
    HWND window = StartEditor(600, 240, 96);
    OpenFormerDocument(window);
    CheckAfterMessage(window);

    EditorState before;
    NoteState(window, &before);
    size_t boxes = WinsimMessageBoxes().size();

    std::string bytes((const char *)data, size);
    WinsimAnswerNextFileDialog(WriteFileForDialog("input.txt", bytes));
    SendMessage(window, WM_COMMAND, IDM_FILE_OPEN, 0);

    std::u16string expected, warning;
    bool readable = DocumentOfFile(bytes, &expected, &warning);
    const std::vector<WinsimMessageBox> &shown = WinsimMessageBoxes();
    if (readable) {
        if (shown.size() != boxes)
            Fail("a readable file was refused: " + Narrow(shown.back().text));
        if (std::u16string(TextBuffer, TextBuffer + CharCount) != expected)
            Fail("the document is not the file's units");
        if (std::u16string(SavedCopy, SavedCopy + SavedCount) != expected)
            Fail("the saved copy is not the file's units");
        if (WinsimWindowText(window) != u"input.txt")
            Fail("caption " + Narrow(WinsimWindowText(window)));
        if (Caret != 0 || SelectionActive || TopLine != 0)
            Fail("the opened document does not start at its top");
    } else {
        if (shown.size() != boxes + 1)
            Fail("an unreadable file gave " + std::to_string(shown.size() - boxes) + " messages");
        const WinsimMessageBox &box = shown.back();
        if (box.text != warning || box.caption != u"Can Not Open File" ||
            box.type != (MB_ICONWARNING | MB_OK))
            Fail("warning " + Narrow(box.caption) + ": " + Narrow(box.text) + ", expected " +
                 Narrow(warning));
        Check(StateChangeFault(before, window), "a refused Open");
    }
    CheckAfterMessage(window);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return RunRepeatably(OpenOneFile, data, size);
}
