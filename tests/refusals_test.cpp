// Every refusal of an edit, a layout change or a print: the exact message,
// and the document, selection, caret, view and screen as they were.
#include "editor_fixture.h"

#include "app/resource.h"
#include "document/document.h"
#include "view/view.h"

namespace {

struct Refusal {
    const char *name;
    bool full;             // 32,767 units of text; otherwise eight short lines
    int selStart, selEnd;  // equal: no selection; the caret stands at selEnd
    bool inPicker;         // the picker has the keyboard, on cell 0
    void (*arrange)();     // armed just before the command
    int key;               // the key pressed, or 0 for the command
    int command;           // 0 with no key: a typed 'y'
    const char16_t *caption, *text;  // null: the command ends silently
};

PRINTED_BY_NAME(Refusal)

void NoHeap()
{
    WinsimFailCall(WinsimHeapAlloc);
}

const char16_t *const kTooLong = u"Input exceeds memory limit";
const char16_t *const kNoMemory = u"Can not allocate memory";

const Refusal kRefusals[] = {
    {"TypingAtTheLimit", true, 50, 50, false, nullptr, 0, 0, u"Can Not Add Character", kTooLong},
    {"TypingWithoutASnapshot", false, 9, 14, false, NoHeap, 0, 0, u"Can Not Add Character", kNoMemory},
    {"PickingAtTheLimit", true, 50, 50, true, nullptr, VK_RETURN, 0, u"Can Not Add Character", kTooLong},
    {"TabOverTooShortASelection", true, 50, 53, false, nullptr, VK_TAB, 0, u"Can Not Add Characters",
     kTooLong},
    {"ReturnAtTheLimit", true, 50, 50, false, nullptr, VK_RETURN, 0, u"Can Not Add Characters", kTooLong},
    {"TabWithoutASnapshot", false, 9, 9, false, NoHeap, VK_TAB, 0, u"Can Not Add Characters", kNoMemory},
    {"ReturnWithoutASnapshot", false, 9, 14, false, NoHeap, VK_RETURN, 0, u"Can Not Add Characters",
     kNoMemory},
    {"BackspaceWithoutASnapshot", false, 9, 9, false, NoHeap, VK_BACK, 0, u"Can Not Delete", kNoMemory},
    {"DeleteWithoutASnapshot", false, 9, 9, false, NoHeap, VK_DELETE, 0, u"Can Not Delete", kNoMemory},
    {"DeleteOfASelectionWithoutASnapshot", false, 9, 14, false, NoHeap, VK_DELETE, 0, u"Can Not Delete",
     kNoMemory},
    {"WordWrapWithoutASnapshot", false, 9, 14, false, NoHeap, 0, IDM_WRAP_NO, u"Can Not Adjust Word Wrap",
     kNoMemory},
    {"PrintCancelled", false, 9, 14, false, [] { WinsimAnswerPrintDialog(WinsimPrintDialogCancel); }, 0,
     IDM_FILE_PRINT, nullptr, nullptr},
    {"PrintWithoutADC", false, 9, 14, false, [] { WinsimAnswerPrintDialog(WinsimPrintDialogNoDC); }, 0,
     IDM_FILE_PRINT, u"Can Not Print", u"Can not obtain a Printer DC"},
    {"PrintStartDoc", false, 9, 14, false, [] { WinsimFailCall(WinsimStartDoc); }, 0,
     IDM_FILE_PRINT, u"Can Not Print", u"Can not start document"},
    {"PrintStartPage", false, 9, 14, false, [] { WinsimFailCall(WinsimStartPage); }, 0,
     IDM_FILE_PRINT, u"Can Not Print", u"Can not start page"},
    {"PrintLastEndPage", false, 9, 14, false, [] { WinsimFailCall(WinsimEndPage); }, 0,
     IDM_FILE_PRINT, u"Can Not Print", u"Could not print document"},
    {"SaveCancelled", false, 9, 14, false, nullptr, 0, IDM_FILE_SAVE, nullptr, nullptr},
    {"OpenCancelled", false, 9, 14, false, nullptr, 0, IDM_FILE_OPEN, nullptr, nullptr},
};

class RefusalTest : public EditorTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusalTest, ReportsExactlyAndChangesNothing)
{
    const Refusal &r = GetParam();
    SetText(r.full ? std::u16string(TEXT_BUFFER_UNITS - 1, u'x') : ShortLines(8));
    RememberSavedCopy();  // so Open asks no question first
    Caret = r.selEnd;
    SelStart = r.selStart;
    SelEnd = r.selEnd;
    SelectionActive = r.selStart != r.selEnd;
    SendMessage(window, WM_VSCROLL, SB_LINEDOWN, 0);
    ASSERT_EQ(TopLine, 1);
    if (r.inPicker) {
        Press(VK_TAB, true);  // the Up button
        Press(VK_TAB);        // cell 0
    }
    const EditorState before = RepaintAndNoteState();
    WinsimClearLogs();
    if (r.arrange)
        r.arrange();
    if (r.key)
        Press(r.key);
    else if (r.command)
        Command(r.command);
    else
        SendMessage(window, WM_CHAR, 'y', 0);

    if (r.caption) {
        ASSERT_EQ(WinsimMessageBoxes().size(), 1u);
        const WinsimMessageBox &box = WinsimMessageBoxes()[0];
        EXPECT_EQ(box.caption, r.caption);
        EXPECT_EQ(box.text, r.text);
        EXPECT_EQ(box.type, (UINT)(MB_ICONWARNING | MB_OK));
        EXPECT_EQ(box.owner, window);
    } else {
        EXPECT_TRUE(WinsimMessageBoxes().empty());
    }
    EXPECT_TRUE(WinsimInvalidations().empty());
    ExpectStateUnchanged(before);
}

INSTANTIATE_TEST_SUITE_P(Refusals, RefusalTest, ::testing::ValuesIn(kRefusals), CaseName());

}  // namespace
