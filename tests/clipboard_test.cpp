// Cut, Copy, Paste, Delete, Select All and the Edit menu's states.
#include "editor_fixture.h"

#include "app/resource.h"
#include "app/shell.h"
#include "document/document.h"
#include "view/view.h"

#include <functional>

namespace {

class ClipboardTest : public EditorTest {};

TEST_F(ClipboardTest, CopyPlacesTheUnitsAsTheyStandAndOneZeroUnit)
{
    SetText(u"ab\r\ncd");
    Select(1, 5, 5);
    WinsimClearLogs();
    Command(IDM_EDIT_COPY);
    std::vector<WinsimClipboardEntry> contents = WinsimClipboardContents();
    ASSERT_EQ(contents.size(), 1u);
    EXPECT_EQ(contents[0].format, (UINT)CF_UNICODETEXT);
    EXPECT_EQ(contents[0].allocFlags, 0x2042u);
    EXPECT_EQ(contents[0].bytes.size(), 2u * 4 + 2);
    EXPECT_EQ(WinsimClipboardText(), std::u16string(u"b\r\nc", 4) + u'\0');
    EXPECT_EQ(SelectionActive, 1);
    EXPECT_EQ(SelStart, 1);
    EXPECT_EQ(SelEnd, 5);
    EXPECT_EQ(Caret, 5);
    EXPECT_TRUE(WinsimInvalidations().empty());
}

TEST_F(ClipboardTest, PasteTakesTheWholeUnitsBeforeTheFirstZero)
{
    struct Case {
        std::string bytes;
        std::u16string inserted;
    } cases[] = {
        {std::string("a\0b\0\0\0c\0", 8), u"ab"},  // an embedded 0
        {std::string("x\0y\0z", 5), u"xy"},        // an odd last byte is dropped
        {std::string("\r\0\n\0", 4), u"\r\n"},     // no terminator at all
        {std::string("\0\0q\0", 4), u""},          // a leading 0: nothing
    };
    for (const Case &c : cases) {
        SetText(u"0123", 2);
        WinsimPutClipboardData(CF_UNICODETEXT, c.bytes);
        Command(IDM_EDIT_PASTE);
        EXPECT_EQ(Text(), u"01" + c.inserted + u"23");
        EXPECT_EQ(Caret, 2 + (int)c.inserted.size());
        ExpectScreenMatchesFullRepaint();
    }
    EXPECT_TRUE(WinsimMessageBoxes().empty());
}

TEST_F(ClipboardTest, PasteMustFitWholeAndASelectionMakesRoom)
{
    struct Case {
        int charCount;
        int selected;  // units selected at the caret, replaced by the paste
        int pasted;
        bool fits;
    } cases[] = {
        {32760, 0, 8, true},
        {32760, 0, 9, false},
        {32761, 5, 12, true},  // room for only 7 more
        {32762, 5, 12, false},
    };
    for (const Case &c : cases) {
        SetText(std::u16string(c.charCount - 1, u'x'));
        SelectionActive = c.selected > 0;
        SelStart = 10;
        SelEnd = 10 + c.selected;
        Caret = SelEnd;
        RepaintAll();
        WinsimPutClipboardText(std::u16string(c.pasted, u'p'));
        std::vector<COLORREF> before = WinsimFramebuffer(window);
        size_t boxes = WinsimMessageBoxes().size();
        Command(IDM_EDIT_PASTE);
        if (c.fits) {
            EXPECT_EQ(CharCount, c.charCount - c.selected + c.pasted);
            EXPECT_EQ(Caret, 10 + c.pasted);
            EXPECT_EQ(TextBuffer[10 + c.pasted - 1], u'p');
            EXPECT_EQ(WinsimMessageBoxes().size(), boxes);
        } else {
            ASSERT_EQ(WinsimMessageBoxes().size(), boxes + 1);
            EXPECT_EQ(WinsimMessageBoxes().back().caption, u"Can Not Paste");
            EXPECT_EQ(WinsimMessageBoxes().back().text, u"Input exceeds memory limit");
            EXPECT_EQ(CharCount, c.charCount);
            EXPECT_EQ(Caret, 10 + c.selected);
            EXPECT_EQ(WinsimFramebuffer(window), before);
        }
    }
}

TEST_F(ClipboardTest, CutThenPasteGivesTheTextBackAndEmptyTextRemovesASelection)
{
    SetText(u"01\r\n23456789");
    Select(1, 7, 7);
    Command(IDM_EDIT_CUT);
    EXPECT_EQ(Text(), u"056789");
    EXPECT_EQ(Caret, 1);
    EXPECT_EQ(SelectionActive, 0);
    EXPECT_EQ(WinsimClipboardText(), std::u16string(u"1\r\n234") + u'\0');
    ExpectScreenMatchesFullRepaint();
    Command(IDM_EDIT_PASTE);
    EXPECT_EQ(Text(), u"01\r\n23456789");
    EXPECT_EQ(Caret, 7);
    EXPECT_EQ(LineCount, 2);
    ExpectScreenMatchesFullRepaint();

    Select(2, 6, 2);
    WinsimPutClipboardText(std::u16string(1, u'\0'));
    Command(IDM_EDIT_PASTE);
    EXPECT_EQ(Text(), u"01456789");
    EXPECT_EQ(Caret, 2);
    ExpectScreenMatchesFullRepaint();
}

// The W lines stand alone, so the re-break after a cut must carry past them
// to the end of the text.
TEST_F(ClipboardTest, CutBeforeUnitsWiderThanTheColumnBreaksAsAFullReflow)
{
    UseWideUnits(u"abcxyz");
    WinsimSetGlyphWidths('W', 0, 700, 0);
    SetText(u"abcWWxyz");
    Select(0, 1, 1);
    Command(IDM_EDIT_CUT);
    EXPECT_EQ(Text(), u"bcWWxyz");
    ExpectTableOfAFullReflow();
    ExpectScreenMatchesFullRepaint();  // now against the reflowed table
}

TEST_F(ClipboardTest, SelectAllAfterTypingThenDeleteLeavesTheEmptyDocument)
{
    // Eight lines in view.
    SetText(ShortLines(20));
    Type(u"x");  // the caret and both selection ends at 1
    Command(IDM_EDIT_SELECT_ALL);
    EXPECT_EQ(SelectionActive, 1);
    EXPECT_EQ(SelStart, 0);
    EXPECT_EQ(SelEnd, 79);
    EXPECT_EQ(Caret, 79);
    EXPECT_EQ(TopLine, 12);  // the caret's line at the bottom
    ExpectScreenMatchesFullRepaint();
    Command(IDM_EDIT_DELETE);
    EXPECT_EQ(CharCount, 1);
    EXPECT_EQ(Caret, 0);
    EXPECT_EQ(SelectionActive, 0);
    ExpectScreenMatchesFullRepaint();
}

TEST_F(ClipboardTest, SelectAllOverASelectionRepaintsOnlyWhatItAdds)
{
    SetText(u"0123456789abcdefghij");  // x0 188; units 4 to 9 span 438 to 588
    Select(4, 10, 10);
    WinsimClearLogs();
    Command(IDM_EDIT_SELECT_ALL);
    EXPECT_EQ(SelStart, 0);
    EXPECT_EQ(SelEnd, 20);
    EXPECT_EQ(Caret, 20);
    for (const WinsimInvalidation &inv : WinsimInvalidations())
        if (inv.rect.right - inv.rect.left > 1) {  // the caret columns aside
            EXPECT_TRUE(inv.rect.right <= 438 || inv.rect.left >= 588)
                << "repainted the kept selection: " << inv.rect.left << " to " << inv.rect.right;
        }
    EXPECT_EQ(WinsimInvalidations().size(), 4u);
    ExpectScreenMatchesFullRepaint();
}

TEST_F(ClipboardTest, TheEditMenuGraysWhatCannotRunNow)
{
    storeArranged = true;  // empty active selections
    HMENU menu = GetMenu(window);
    auto grayed = [&](int id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; };
    struct Case {
        std::u16string text;
        int selStart, selEnd;
        bool active, unicodeOnClipboard;
        bool cut, paste, selectAll;  // grayed; Copy and Delete follow Cut
    } cases[] = {
        {u"", 0, 0, true, false, true, true, true},
        {u"abc", 1, 1, true, true, true, false, false},  // a selection of length 0, as after a click
        {u"abc", 1, 3, true, false, false, true, false},
        {u"abc", 1, 3, false, false, true, true, false},  // ends left apart, nothing selected
    };
    for (const Case &c : cases) {
        SetText(c.text);
        SelectionActive = c.active;
        SelStart = c.selStart;
        SelEnd = c.selEnd;
        WinsimEmptyClipboard();
        if (c.unicodeOnClipboard)
            WinsimPutClipboardText(u"x");
        else
            WinsimPutClipboardData(CF_TEXT, "x");
        int draws = WinsimMenuBarDraws();
        SendMessage(window, WM_INITMENUPOPUP, (WPARAM)GetSubMenu(menu, 1), 1);
        EXPECT_EQ(grayed(IDM_EDIT_CUT), c.cut);
        EXPECT_EQ(grayed(IDM_EDIT_COPY), c.cut);
        EXPECT_EQ(grayed(IDM_EDIT_DELETE), c.cut);
        EXPECT_EQ(grayed(IDM_EDIT_PASTE), c.paste);
        EXPECT_EQ(grayed(IDM_EDIT_SELECT_ALL), c.selectAll);
        EXPECT_EQ(WinsimMenuBarDraws(), draws + 1);
    }
}

TEST_F(ClipboardTest, CommandsWithoutTheirPreconditionDoNothingAndSayNothing)
{
    SetText(u"abc");
    Caret = 1;
    WinsimPutClipboardData(CF_TEXT, "x");
    WinsimClearLogs();
    for (int active : {0, 1}) {  // ends apart with nothing selected, then an empty selection
        SelectionActive = active;
        SelStart = 1;
        SelEnd = active ? 1 : 3;
        for (int id : {IDM_EDIT_CUT, IDM_EDIT_COPY, IDM_EDIT_DELETE, IDM_EDIT_PASTE})
            Command(id);
    }
    EXPECT_EQ(Text(), u"abc");
    EXPECT_EQ(WinsimClipboardContents().size(), 1u);
    EXPECT_TRUE(WinsimInvalidations().empty());
    EXPECT_TRUE(WinsimMessageBoxes().empty());

    // Ctrl+X through the accelerator table never reaches Cut while it is grayed.
    HACCEL accelerators = LoadAccelerators(GetModuleHandle(nullptr), TEXT("Inkwarden"));
    MSG msg = {window, WM_KEYDOWN, 'X', 0, 0, {0, 0}};
    WinsimSetKeyDown(VK_CONTROL, true);
    SelStart = 0;
    SelEnd = 2;
    EXPECT_TRUE(TranslateAccelerator(window, accelerators, &msg));
    EXPECT_EQ(Text(), u"c");
    SelectionActive = 0;
    EXPECT_TRUE(TranslateAccelerator(window, accelerators, &msg));
    EXPECT_EQ(Text(), u"c");
    WinsimSetKeyDown(VK_CONTROL, false);
    EXPECT_TRUE(WinsimMessageBoxes().empty());
}

// Each refusal keeps document, selection, caret and screen, and frees what
// the command took.
TEST_F(ClipboardTest, FailuresAreReportedAndChangeNothing)
{
    struct Case {
        int command;
        std::function<void()> arrange;
        const char16_t *caption;
        const char16_t *text;
        bool placed = false;  // the clipboard holds the selection all the same
    } cases[] = {
        {IDM_EDIT_COPY, [] { WinsimFailCall(WinsimGlobalAlloc); }, u"Can Not Copy", u"Can not allocate memory"},
        {IDM_EDIT_COPY, [] { WinsimFailCall(WinsimGlobalLock); }, u"Can Not Copy",
         u"Can not obtain a pointer to global memory"},
        {IDM_EDIT_COPY, [] { WinsimFailCall(WinsimOpenClipboard, 1, true); }, u"Can Not Copy",
         u"Can not open the Clipboard"},
        {IDM_EDIT_COPY, [] { WinsimFailCall(WinsimSetClipboardData, 1, true); }, u"Can Not Copy",
         u"Can not place the text on the Clipboard"},
        {IDM_EDIT_CUT, [] { WinsimFailCall(WinsimGlobalAlloc); }, u"Can Not Cut", u"Can not allocate memory"},
        {IDM_EDIT_CUT, [] { WinsimFailCall(WinsimGlobalLock); }, u"Can Not Cut",
         u"Can not obtain a pointer to global memory"},
        {IDM_EDIT_CUT, [] { WinsimFailCall(WinsimOpenClipboard, 1, true); }, u"Can Not Cut",
         u"Can not open the Clipboard"},
        {IDM_EDIT_CUT, [] { WinsimFailCall(WinsimSetClipboardData, 1, true); }, u"Can Not Cut",
         u"Can not place the text on the Clipboard"},
        {IDM_EDIT_COPY, [] { WinsimFailCall(WinsimCloseClipboard, 1, true); }, u"Can Not Copy",
         u"Can not close the Clipboard", true},
        {IDM_EDIT_CUT, [] { WinsimFailCall(WinsimCloseClipboard, 1, true); }, u"Can Not Cut",
         u"Can not close the Clipboard", true},
        {IDM_EDIT_CUT, [] { WinsimFailCall(WinsimHeapAlloc); }, u"Can Not Cut", u"Can not allocate memory",
         true},
        {IDM_EDIT_DELETE, [] { WinsimFailCall(WinsimHeapAlloc); }, u"Can Not Delete",
         u"Can not allocate memory"},
        {IDM_EDIT_PASTE, [] { WinsimPutClipboardText(u""); }, u"Can Not Paste",
         u"Can not obtain a handle to the Clipboard memory object"},
        {IDM_EDIT_PASTE, [] { WinsimOfferUnrenderedFormat(CF_UNICODETEXT); }, u"Can Not Paste",
         u"Can not obtain a handle to the Clipboard memory object"},
        {IDM_EDIT_PASTE, [] { WinsimFailCall(WinsimHeapAlloc); }, u"Can Not Paste", u"Can not allocate memory"},
        {IDM_EDIT_PASTE, [] { WinsimFailCall(WinsimHeapAlloc, 2); }, u"Can Not Paste", u"Can not allocate memory"},
        {IDM_EDIT_PASTE, [] { WinsimFailCall(WinsimGlobalLock); }, u"Can Not Paste",
         u"Can not obtain a pointer to global memory"},
        {IDM_EDIT_PASTE, [] { WinsimFailCall(WinsimOpenClipboard, 1, true); }, u"Can Not Paste",
         u"Can not open the Clipboard"},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; i++) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        SetText(u"ab\r\ncdef");
        Select(1, 5, 5);
        WinsimPutClipboardText(std::u16string(u"old") + u'\0');
        cases[i].arrange();
        std::vector<COLORREF> before = WinsimFramebuffer(window);
        size_t boxes = WinsimMessageBoxes().size();
        Command(cases[i].command);
        WinsimClearFailures();
        ASSERT_EQ(WinsimMessageBoxes().size(), boxes + 1);
        const WinsimMessageBox &box = WinsimMessageBoxes().back();
        EXPECT_EQ(box.caption, cases[i].caption);
        EXPECT_EQ(box.text, cases[i].text);
        EXPECT_EQ(box.owner, window);
        EXPECT_EQ(box.type, (UINT)(MB_ICONWARNING | MB_OK));
        EXPECT_EQ(Text(), u"ab\r\ncdef");
        EXPECT_EQ(SelectionActive, 1);
        EXPECT_EQ(SelStart, 1);
        EXPECT_EQ(SelEnd, 5);
        EXPECT_EQ(Caret, 5);
        EXPECT_EQ(WinsimFramebuffer(window), before);
        if (cases[i].placed) {
            EXPECT_EQ(WinsimClipboardText(), std::u16string(u"b\r\nc") + u'\0');
        }
    }
}

// Clipboard text ends at its first 0: Paste would give back less than was
// cut, so a selection holding one is refused and nothing changes.
TEST_F(ClipboardTest, ASelectionHoldingAZeroUnitIsNeitherCutNorCopied)
{
    const struct {
        int command;
        bool selectAll;
        const char16_t *caption;
    } cases[] = {{IDM_EDIT_CUT, false, u"Can Not Cut"},
                 {IDM_EDIT_COPY, false, u"Can Not Copy"},
                 {IDM_EDIT_COPY, true, u"Can Not Copy"}};
    const std::u16string old = std::u16string(u"old") + u'\0';
    for (const auto &c : cases) {
        SCOPED_TRACE(c.command);
        SetText(std::u16string(u"ab\0cd", 5));
        if (c.selectAll)
            Command(IDM_EDIT_SELECT_ALL);
        else
            Select(1, 4, 4);
        WinsimPutClipboardText(old);
        const EditorState before = RepaintAndNoteState();
        const size_t boxes = WinsimMessageBoxes().size();
        Command(c.command);
        ASSERT_EQ(WinsimMessageBoxes().size(), boxes + 1);
        EXPECT_EQ(WinsimMessageBoxes().back().caption, c.caption);
        EXPECT_EQ(WinsimMessageBoxes().back().text,
                  u"The selection holds a character that the Clipboard cannot carry");
        EXPECT_EQ(WinsimMessageBoxes().back().type, (UINT)(MB_ICONWARNING | MB_OK));
        ExpectStateUnchanged(before);
        EXPECT_EQ(WinsimClipboardText(), old);
    }
}

}  // namespace
