// Each input is a stream of messages and of the world's answers to them:
// typed units, keys, clicks, commands, scrolling, sizes, timer ticks, dialog
// and message-box answers, clipboard contents and failing allocations.
// After every message the program's state is checked, and its text against
// a model of the edits worked out from the state before the message.
#include "checks.h"
#include "editing_model.h"
#include "fuzz_support.h"
#include "winsim.h"

#include "app/resource.h"
#include "app/shell.h"
#include "document/document.h"
#include "picker/picker.h"
#include "view/view.h"

#include <stdio.h>
#include <stdlib.h>

#include <deque>
#include <vector>

namespace {

const WPARAM kLeftButton = 0x0001, kShiftHeld = 0x0004;  // MK_LBUTTON, MK_SHIFT

enum Op { TYPE, KEY, CLICK, MOUSE, COMMAND, SCROLL, SIZE, TICKS, FILE_ANSWER, BOX_ANSWER, CLIPBOARD, FAULT };
// An operation byte picks from these 32 slots: typing and keys most often.
const Op kOps[32] = {TYPE,    TYPE,    TYPE,    TYPE,       TYPE,        TYPE,       TYPE,      TYPE,
                     KEY,     KEY,     KEY,     KEY,        KEY,         KEY,        KEY,       KEY,
                     CLICK,   CLICK,   CLICK,   MOUSE,      COMMAND,     COMMAND,    COMMAND,   COMMAND,
                     SCROLL,  SIZE,    TICKS,   FILE_ANSWER, FILE_ANSWER, BOX_ANSWER, CLIPBOARD, FAULT};

const char16_t kUnits[] = {u'a', u'b', u' ', u'中', 13, 10, 0, 9, 31, 127, 0xD800, 0xDC00, 0xFFFF, 0xFEFF, u'x'};
const int kKeys[] = {VK_LEFT, VK_RIGHT, VK_UP,  VK_DOWN,   VK_HOME, VK_END, VK_PRIOR, VK_NEXT,
                     VK_ESCAPE, VK_TAB, VK_RETURN, VK_BACK, VK_DELETE, VK_SPACE, 'X', 'C',
                     'V', 'D', 'A', 0x79 /* F10 */};
const int kCommands[] = {IDM_FILE_NEW,  IDM_FILE_OPEN,  IDM_FILE_SAVE,   IDM_FILE_PRINT,
                         IDM_FILE_EXIT, IDM_EDIT_CUT,   IDM_EDIT_COPY,   IDM_EDIT_PASTE,
                         IDM_EDIT_DELETE, IDM_EDIT_SELECT_ALL, IDM_WRAP_NO, IDM_WRAP_YES,
                         IDM_POINTS_BASE, IDM_ABOUT, 40005};
const int kBigCounts[] = {1000, 16383, 32766, 32767, 32768};
const char16_t kBigUnits[] = {u'a', u'中', u' ', 13};

std::u16string Repeated(int count, char16_t unit)
{
    std::u16string units;
    for (int i = 0; i < count; i++)
        units += unit == 13 ? (i % 2 ? u'\n' : u'\r') : unit;
    return units;
}

// What was true before a message, to judge what the message did.
struct Before : EditorState {
    Model model;
    size_t boxes, dialogs;
    int pickerPage, pickerFocus, pickerHighlight, autoRepeat;
    RECT strip, items[PICKER_ITEM_COUNT];
    std::vector<WinsimClipboardEntry> clipboard;
};

struct Box {
    WinsimMessageBox shown;
    int answer;
};

struct Dialog {
    bool save;
    std::string path;  // empty: cancelled
};

class Session {
public:
    Session(const uint8_t *data, size_t size) : in{data, size} {}
    void Run();

private:
    Choices in;
    HWND window = nullptr;
    HACCEL accelerators = nullptr;
    std::u16string savedText;  // the model of SavedCopy
    std::deque<int> boxAnswers;
    std::deque<std::string> dialogAnswers;
    std::string lastPath;
    int files = 0;
    bool fileFaults = false;       // an armed file fault may not have fired yet
    bool clipboardFaults = false;  // another program holds or refuses the clipboard
    bool heldElsewhere = false, refused = false, closeFails = false;
    bool transientFault = false;   // an allocation fails during this message
    bool alive = true;
    Before before;
    // The screen the last check compared, while nothing has drawn since.
    std::vector<COLORREF> checkedScreen;
    bool screenChecked = false;
    std::vector<Box> boxes;
    std::vector<Dialog> dialogs;

    void Step();
    void Remember();
    void Collect();
    std::vector<const Box *> Warnings() const;
    void ExpectUnchanged(const char *what, bool screenToo);
    void ExpectText(const char *what, const Model &expected, bool mayRefuse, bool screenOnRefusal);
    void ExpectInsert(int code, bool screenOnRefusal);
    void ExpectCommand(int id);
    void ExpectFileCommand(int id);
    bool ExpectSave(const Dialog &dialog);
    void ExpectOpen(const Dialog &dialog);
    std::u16string PasteUnits(bool *emptyBlock, bool *available) const;
    void PressKey(int key, bool shift, bool control);
    void AnswerDialog(const std::string &path)
    {
        dialogAnswers.push_back(path);
        WinsimAnswerNextFileDialog(path);
    }
    void Click();
    // After a step that sent nothing: the screen is still the one last checked.
    void KeepCheckedScreen()
    {
        checkedScreen.swap(before.screen);
        screenChecked = true;
    }
};

void Session::Remember()
{
    before.model = FromProgram();
    NoteState(window, &before, SAME_DOCUMENT | SAME_VIEW, screenChecked ? &checkedScreen : nullptr);
    screenChecked = false;
    before.boxes = WinsimMessageBoxes().size();
    before.dialogs = WinsimFileDialogs().size();
    before.pickerPage = PickerPage;
    before.pickerFocus = PickerFocus;
    before.pickerHighlight = PickerHighlight;
    before.autoRepeat = AutoRepeat;
    before.strip = PickerStrip;
    for (int i = 0; i < PICKER_ITEM_COUNT; i++)
        before.items[i] = PickerItems[i];
    before.clipboard = WinsimClipboardContents();
}

// Each box and dialog took the next queued answer, or the default one.
void Session::Collect()
{
    boxes.clear();
    dialogs.clear();
    const std::vector<WinsimMessageBox> &shown = WinsimMessageBoxes();
    for (size_t i = before.boxes; i < shown.size(); i++) {
        int answer = (shown[i].type & 0xF) == MB_YESNOCANCEL ? IDYES : IDOK;
        if (!boxAnswers.empty()) {
            answer = boxAnswers.front();
            boxAnswers.pop_front();
        }
        boxes.push_back({shown[i], answer});
    }
    const std::vector<WinsimFileDialog> &asked = WinsimFileDialogs();
    for (size_t i = before.dialogs; i < asked.size(); i++) {
        std::string path;
        if (!dialogAnswers.empty()) {
            path = dialogAnswers.front();
            dialogAnswers.pop_front();
        }
        dialogs.push_back({asked[i].save, path});
    }
}

std::vector<const Box *> Session::Warnings() const
{
    std::vector<const Box *> warnings;
    for (const Box &box : boxes)
        if ((box.shown.type & 0xF0) == MB_ICONWARNING)
            warnings.push_back(&box);
    return warnings;
}

void Session::ExpectUnchanged(const char *what, bool screenToo)
{
    Check(StateChangeFault(before, window, SAME_DOCUMENT | (screenToo ? SAME_VIEW : 0)), what);
}

// An edit either gives the model's text, or is refused with a warning and
// changes nothing; it must be refused past the size limit, and may be only
// when something was made to fail.
void Session::ExpectText(const char *what, const Model &expected, bool mayRefuse, bool screenOnRefusal)
{
    std::vector<const Box *> warnings = Warnings();
    bool overLimit = expected.text.size() + 1 > TEXT_BUFFER_UNITS;
    // A failure on the way (the clipboard, an allocation) may come first.
    bool faults = mayRefuse || transientFault;
    if (overLimit && (warnings.empty() || (!faults && warnings.back()->shown.text != u"Input exceeds memory limit")))
        Fail(std::string(what) + " past the size limit was not refused");
    if (!warnings.empty()) {
        if (!overLimit && !faults)
            Fail(std::string(what) + " was refused: " + Narrow(warnings.back()->shown.text));
        ExpectUnchanged(what, screenOnRefusal);
        return;
    }
    if (Text() != expected.text)
        Fail(std::string(what) + " gave " + Narrow(Text()) + ", the model " +
             Narrow(expected.text));
    if (Caret != expected.caret || SelectionActive)
        Fail(std::string(what) + " left the caret at " + std::to_string(Caret) + ", the model at " +
             std::to_string(expected.caret));
}

void Session::ExpectInsert(int code, bool screenOnRefusal)
{
    if (code < 32 || code > 0xFFFF) {
        ExpectUnchanged("a control code", false);
        return;
    }
    Model expected = before.model;
    ApplyEdit(expected, 0, (char16_t)code);
    ExpectText("inserting a unit", expected, false, screenOnRefusal);
}

// The units Paste takes: whole units before the first 0 of the block.
std::u16string Session::PasteUnits(bool *emptyBlock, bool *available) const
{
    *available = false;
    *emptyBlock = false;
    std::u16string units;
    for (const WinsimClipboardEntry &entry : before.clipboard) {
        if (entry.format != CF_UNICODETEXT)
            continue;
        *available = true;
        *emptyBlock = entry.bytes.size() == 0;
        for (size_t i = 0; i + 1 < entry.bytes.size(); i += 2) {
            char16_t u = (char16_t)((uint8_t)entry.bytes[i] | (uint8_t)entry.bytes[i + 1] << 8);
            if (u == 0)
                break;
            units += u;
        }
    }
    return units;
}

void Session::ExpectCommand(int id)
{
    const Model &m = before.model;
    bool selected = m.selection && m.selEnd > m.selStart;
    Model expected = m;
    // Clipboard text ends at its first 0, so such a selection is refused.
    if ((id == IDM_EDIT_CUT || id == IDM_EDIT_COPY) && selected &&
        m.text.find(u'\0', m.selStart) < (size_t)m.selEnd) {
        if (Warnings().empty() ||
            Warnings().back()->shown.text != u"The selection holds a character that the Clipboard cannot carry")
            Fail("Cut or Copy of a 0 unit was not refused");
        ExpectUnchanged("a refused Cut or Copy", true);
        return;
    }
    switch (id) {
    case IDM_EDIT_CUT:
    case IDM_EDIT_DELETE:
        if (!selected) {
            ExpectUnchanged("Cut or Delete without a selection", true);
            return;
        }
        Replace(expected, m.selStart, m.selEnd, u"");
        ExpectText(id == IDM_EDIT_CUT ? "Cut" : "Delete", expected, clipboardFaults && id == IDM_EDIT_CUT, true);
        break;
    case IDM_EDIT_PASTE: {
        bool empty, available;
        std::u16string units = PasteUnits(&empty, &available);
        if (!available) {
            ExpectUnchanged("Paste without text", true);
            return;
        }
        if (empty && Warnings().empty())
            Fail("Paste of an empty block said nothing");
        if (m.selection && m.selEnd > m.selStart)
            Replace(expected, m.selStart, m.selEnd, units);
        else
            Replace(expected, m.caret, m.caret, units);
        ExpectText("Paste", expected, clipboardFaults || empty, true);
        break;
    }
    case IDM_FILE_NEW:
    case IDM_FILE_OPEN:
    case IDM_FILE_SAVE:
    case IDM_FILE_EXIT:
        ExpectFileCommand(id);
        return;
    default:
        if (Text() != m.text)
            Fail("command " + std::to_string(id) + " changed the text");
        if (!Warnings().empty() && id != IDM_FILE_PRINT && !transientFault && !clipboardFaults)
            Fail("command " + std::to_string(id) + " warned: " + Narrow(Warnings().back()->shown.text));
        if (!Warnings().empty())
            ExpectUnchanged("a refused command", true);
    }
    // What Copy and Cut placed is the selection and one 0 unit.
    if ((id == IDM_EDIT_COPY || id == IDM_EDIT_CUT) && selected && Warnings().empty() &&
        WinsimClipboardText() != m.text.substr(m.selStart, m.selEnd - m.selStart) + u'\0')
        Fail("the clipboard holds " + Narrow(WinsimClipboardText()));
}

// True when the save went through.
bool Session::ExpectSave(const Dialog &dialog)
{
    std::vector<const Box *> warnings = Warnings();
    if (dialog.path.empty()) {
        if (!warnings.empty())
            Fail("a cancelled Save warned");
        return false;
    }
    std::string folder = dialog.path.substr(0, dialog.path.rfind('/'));
    bool writable = folder == WinsimTempFolder();
    if (!warnings.empty()) {
        const Box &box = *warnings.front();
        if (box.shown.caption != u"Can Not Save File" || box.shown.text != u"Can not write to the selected file")
            Fail("Save warned " + Narrow(box.shown.caption) + ": " + Narrow(box.shown.text));
        if (writable && !fileFaults)
            Fail("saving to a writable folder failed");
        if (WinsimWindowText(window) != before.caption)
            Fail("a failed Save changed the caption");
        return false;
    }
    if (!writable)
        Fail("saving into a missing folder said nothing");
    bool exists;
    std::u16string document(TextBuffer, TextBuffer + CharCount);
    std::string written = ReadBytes(dialog.path, &exists);
    if (written != Utf16File(document))
        Fail("the saved file has " + std::to_string(written.size()) + " bytes, not the mark, " +
             Narrow(document) + " and a 0 unit");
    std::string title = dialog.path.substr(dialog.path.rfind('/') + 1);
    if (Narrow(WinsimWindowText(window)) != title)
        Fail("after Save the caption is " + Narrow(WinsimWindowText(window)));
    savedText = Text();
    return true;
}

void Session::ExpectOpen(const Dialog &dialog)
{
    std::vector<const Box *> warnings = Warnings();
    if (dialog.path.empty()) {
        if (!warnings.empty())
            Fail("a cancelled Open warned");
        ExpectUnchanged("a cancelled Open", true);
        return;
    }
    bool exists;
    std::string bytes = ReadBytes(dialog.path, &exists);
    std::u16string units, warning = u"Can not obtain a file handle to the selected file";
    bool readable = exists && DocumentOfFile(bytes, &units, &warning);
    if (!warnings.empty()) {
        const Box &box = *warnings.front();
        if (box.shown.caption != u"Can Not Open File" || !IsOpenWarning(box.shown.text) ||
            warnings.size() != 1)
            Fail("Open warned " + Narrow(box.shown.caption) + ": " + Narrow(box.shown.text));
        if (!fileFaults && (readable || box.shown.text != warning))
            Fail("Open warned " + Narrow(box.shown.text) + ", the format says " +
                 (readable ? std::string("readable") : Narrow(warning)));
        if (WinsimWindowText(window) != before.caption)
            Fail("a refused Open changed the caption");
        ExpectUnchanged("a refused Open", true);
        return;
    }
    if (!readable)
        Fail("an unreadable file opened without a word");
    if (std::u16string(TextBuffer, TextBuffer + CharCount) != units)
        Fail("the opened document is " + Narrow(std::u16string(TextBuffer, TextBuffer + CharCount)) +
             ", the file's units " + Narrow(units));
    if (Caret != 0 || SelectionActive || TopLine != 0)
        Fail("the opened document does not start at its top");
    if (Narrow(WinsimWindowText(window)) != dialog.path.substr(dialog.path.rfind('/') + 1))
        Fail("after Open the caption is " + Narrow(WinsimWindowText(window)));
    savedText = Text();
}

// New, Open and Exit ask first when the text is not the saved one; Yes
// saves and ends the command, only No goes on.
void Session::ExpectFileCommand(int id)
{
    if (id == IDM_FILE_SAVE) {
        if (dialogs.size() != 1 || !dialogs[0].save)
            Fail("Save showed no Save As dialog");
        ExpectSave(dialogs[0]);
        if (Text() != before.model.text)
            Fail("Save changed the text");
        return;
    }
    bool changed = before.model.text != savedText;
    bool asked = !boxes.empty() && boxes[0].shown.caption == u"Save Current File?";
    if (asked != changed)
        Fail(changed ? "a changed document was dropped without asking" : "an unchanged document asked to be saved");
    if (asked) {
        std::u16string wording = id == IDM_FILE_OPEN
                                     ? u"The current file has changed since the last save\n"
                                     : u"The current file has changed since the last save.\n";
        if (boxes[0].shown.text != wording + u"Do you wish to save the current file?" ||
            boxes[0].shown.type != (MB_YESNOCANCEL | MB_ICONQUESTION))
            Fail("the save question reads " + Narrow(boxes[0].shown.text));
        if (boxes[0].answer != IDNO) {
            if (boxes[0].answer == IDYES) {
                if (dialogs.size() != 1 || !dialogs[0].save)
                    Fail("Yes to the save question showed no Save As dialog");
                ExpectSave(dialogs[0]);
            } else if (!dialogs.empty()) {
                Fail("the command went on after " + std::to_string(boxes[0].answer));
            }
            if (!IsWindow(window))
                Fail("the window closed although the question stopped it");
            ExpectUnchanged("a command stopped at the save question", false);
            return;
        }
    }
    if (id == IDM_FILE_EXIT) {
        if (IsWindow(window))
            Fail("Exit left the window open");
        alive = false;
        return;
    }
    if (id == IDM_FILE_NEW) {
        if (CharCount != 1 || Caret != 0 || SelectionActive || TopLine != 0 ||
            WinsimWindowText(window) != u"Inkwarden")
            Fail("New did not give the empty document");
        savedText.clear();
        return;
    }
    if (dialogs.size() != 1 || dialogs[0].save)
        Fail("Open showed no Open dialog");
    ExpectOpen(dialogs[0]);
}

void Session::PressKey(int key, bool shift, bool control)
{
    WinsimSetKeyDown(VK_SHIFT, shift);
    WinsimSetKeyDown(VK_CONTROL, control);
    MSG msg = {window, WM_KEYDOWN, (WPARAM)key, WinsimKeyLParam(key), 0, {0, 0}};
    bool accelerator = control && !shift && (key == 'X' || key == 'C' || key == 'V' || key == 'D');
    // As the message loop does: no accelerators while a picker button is held.
    if (before.autoRepeat) {
        SendMessage(window, WM_KEYDOWN, key, msg.lParam);
    } else {
        bool translated = TranslateAccelerator(window, accelerators, &msg) != 0;
        if (translated != accelerator)
            Fail("the accelerator table disagrees about key " + std::to_string(key));
        if (!translated)
            SendMessage(window, WM_KEYDOWN, key, msg.lParam);
    }
    SendMessage(window, WM_KEYUP, key, msg.lParam);
    WinsimSetKeyDown(VK_SHIFT, false);
    WinsimSetKeyDown(VK_CONTROL, false);
    Collect();

    if (before.autoRepeat) {
        ExpectUnchanged("a key while a picker button is held", true);
        return;
    }
    if (accelerator) {
        int command = key == 'X' ? IDM_EDIT_CUT : key == 'C' ? IDM_EDIT_COPY : key == 'V' ? IDM_EDIT_PASTE : IDM_EDIT_DELETE;
        ExpectCommand(command);
        return;
    }
    if (before.pickerFocus) {
        int cell = before.pickerHighlight - PICKER_FIRST_CELL;
        if ((key == VK_RETURN || key == VK_SPACE) && cell >= 0)
            ExpectInsert(before.pickerPage * 10 + cell, true);
        else if (Text() != before.model.text)
            Fail("a picker key changed the text");
        return;
    }
    if (key == VK_RETURN || key == VK_BACK || key == VK_DELETE || (key == VK_TAB && !shift)) {
        Model expected = before.model;
        ApplyEdit(expected, key, 0);
        ExpectText("an editing key", expected, false, true);
    } else if (Text() != before.model.text) {
        Fail("key " + std::to_string(key) + " changed the text");
    }
}

static bool Inside(const RECT &r, int x, int y)
{
    return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}

void Session::Click()
{
    int x, y;
    int where = in.Below(3);
    if (where == 0) {
        const RECT &r = PickerItems[in.Below(PICKER_ITEM_COUNT)];
        x = r.left + (r.right > r.left ? in.Below(r.right - r.left) : 0);
        y = r.top + (r.bottom > r.top ? in.Below(r.bottom - r.top) : 0);
    } else if (where == 1) {
        x = ColumnLeft + in.Below(ColumnRight > ColumnLeft ? ColumnRight - ColumnLeft : 1);
        y = TopMargin + in.Below(ClientHeight > TopMargin ? ClientHeight - TopMargin : 1);
    } else {
        x = in.Word() % (ClientWidth + 64);
        y = in.Word() % (ClientHeight + 64);
        if (in.Below(8) == 0)
            x = 0xFFFF - x % 16;  // left of the window, as a captured mouse reports it
    }
    bool shift = in.Below(2);
    bool release = in.Below(4) != 0;
    WinsimSetKeyDown(VK_SHIFT, shift);
    SendMessage(window, WM_LBUTTONDOWN, kLeftButton | (shift ? kShiftHeld : 0), MAKELPARAM(x, y));
    WinsimSetKeyDown(VK_SHIFT, false);
    if (release)
        SendMessage(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    Collect();

    // The program reads the point as two unsigned words, as Windows sends
    // it: an item rectangle reaching left of a narrow window gives a point
    // the program sees far to the right.
    x &= 0xFFFF;
    y &= 0xFFFF;
    bool column = ColumnLeft <= x && x < ColumnRight && y >= TopMargin;
    if (Inside(before.strip, x, y) && !column) {
        int item = 0;
        while (item < PICKER_ITEM_COUNT && !Inside(before.items[item], x, y))
            item++;
        if (item == PICKER_ITEM_COUNT)
            Fail("the picker items leave a gap at (" + std::to_string(x) + ", " + std::to_string(y) + ")");
        if (item >= PICKER_FIRST_CELL) {
            ExpectInsert(before.pickerPage * 10 + item - PICKER_FIRST_CELL, false);
            return;
        }
    }
    if (Text() != before.model.text)
        Fail("a click changed the text");
}

void Session::Step()
{
    Remember();
    Op op = kOps[in.Below(32)];
    static const bool trace = getenv("INKWARDEN_FUZZ_TRACE") != nullptr;
    if (trace)  // to follow a failing input: the operation, and what its bytes are
        fprintf(stderr, "op %d at byte %zu: text %s, caret %d, selection %d %d-%d, picker %d\n", op,
                in.at, Narrow(Text()).c_str(), Caret, SelectionActive, SelStart, SelEnd,
                PickerFocus);
    switch (op) {
    case TYPE: {
        int pick = in.Below(sizeof kUnits / sizeof kUnits[0] + 1);
        int unit = pick < (int)(sizeof kUnits / sizeof kUnits[0]) ? kUnits[pick] : in.Word();
        bool backspaceDel = unit == 127 && in.Below(2);
        SendMessage(window, WM_CHAR, unit, backspaceDel ? WinsimKeyLParam(VK_BACK) : 0);
        Collect();
        if (before.pickerFocus || backspaceDel)
            ExpectUnchanged("a unit the text does not take", true);
        else
            ExpectInsert(unit, true);
        break;
    }
    case KEY: {
        int key = kKeys[in.Below(sizeof kKeys / sizeof kKeys[0])];
        int modifiers = in.Below(4);
        PressKey(key, modifiers & 1, modifiers & 2);
        break;
    }
    case CLICK:
        Click();
        break;
    case MOUSE: {
        int kind = in.Below(3);
        int x = in.Word() % (ClientWidth + 64), y = in.Word() % (ClientHeight + 64);
        if (kind == 0)
            SendMessage(window, WM_MOUSEMOVE, kLeftButton, MAKELPARAM(x, y));
        else if (kind == 1)
            SendMessage(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        else
            SendMessage(window, WM_CAPTURECHANGED, 0, 0);
        Collect();
        ExpectUnchanged("the mouse", false);
        break;
    }
    case COMMAND: {
        int id = kCommands[in.Below(sizeof kCommands / sizeof kCommands[0])];
        if (id == IDM_POINTS_BASE)
            id += 8 + in.Below(65);
        if (in.Below(8) == 0)
            SendMessage(window, WM_INITMENUPOPUP, 0, 0);
        SendMessage(window, WM_COMMAND, id, 0);
        Collect();
        ExpectCommand(id);
        break;
    }
    case SCROLL: {
        const int codes[] = {SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN, SB_THUMBPOSITION,
                             SB_THUMBTRACK, SB_TOP, SB_BOTTOM, SB_ENDSCROLL};
        int code = codes[in.Below(9)];
        SendMessage(window, WM_VSCROLL, MAKEWPARAM(code, in.Word() % 40000), 0);
        Collect();
        ExpectUnchanged("scrolling", false);
        break;
    }
    case SIZE: {
        int kind = in.Below(4);
        if (kind == 0)
            WinsimMinimize(window);
        else if (kind == 1)
            WinsimRestore(window);
        else if (kind == 2)  // small, like most windows here
            WinsimResizeClient(window, in.Word() % 700, in.Word() % 400);
        else
            WinsimResizeClient(window, in.Word() % 1400, in.Word() % 1200);
        WinsimPumpMessages();
        Collect();
        ExpectUnchanged("a size change", false);
        break;
    }
    case TICKS:
        WinsimAdvanceClock(in.Byte() * 20);
        Collect();
        ExpectUnchanged("the timer", false);
        break;
    case FILE_ANSWER: {
        int kind = in.Below(6);
        std::string name = "f" + std::to_string(++files) + ".txt";
        if (kind == 0) {
            AnswerDialog("");
        } else if (kind == 1) {
            bool mark = in.Below(2);
            std::string bytes = in.Bytes(in.Byte());
            lastPath = WriteFileForDialog(name, mark ? "\xFF\xFE" + bytes : bytes);
            AnswerDialog(lastPath);
        } else if (kind == 2) {
            std::u16string units = Repeated(kBigCounts[in.Below(5)], kBigUnits[in.Below(4)]);
            if (in.Below(2))
                units += u'\0';
            lastPath = WriteFileForDialog(name, Utf16File(units));
            AnswerDialog(lastPath);
        } else if (kind == 3) {
            AnswerDialog(std::string(WinsimTempFolder()) + "/missing/" + name);
        } else if (kind == 4) {
            AnswerDialog(lastPath.empty() ? std::string(WinsimTempFolder()) + "/" + name : lastPath);
        } else {
            const WinsimCall calls[] = {WinsimCreateFile, WinsimGetFileSize, WinsimReadFile,
                                        WinsimWriteFile, WinsimFlushFileBuffers, WinsimMoveFile,
                                        WinsimReplaceFile};
            WinsimCall call = calls[in.Below(7)];  // read first, so the corpus keeps its meaning
            WinsimFailCall(call, 1 + in.Below(2));
            fileFaults = true;
        }
        break;
    }
    case BOX_ANSWER: {
        const int answers[] = {IDYES, IDNO, IDCANCEL, IDOK};
        int answer = answers[in.Below(4)];
        boxAnswers.push_back(answer);
        WinsimAnswerNextMessageBox(answer);
        break;
    }
    case CLIPBOARD: {
        int kind = in.Below(8);
        if (kind == 0)
            WinsimEmptyClipboard();
        else if (kind == 1)
            WinsimPutClipboardData(CF_UNICODETEXT, "");
        else if (kind == 2)
            WinsimPutClipboardData(CF_UNICODETEXT, in.Bytes(in.Byte()));
        else if (kind == 3)
            WinsimPutClipboardData(CF_TEXT, std::string("abc\0", 4));
        else if (kind == 4)
            WinsimFailCall(WinsimOpenClipboard, (heldElsewhere = !heldElsewhere) ? 1 : 0, true);
        else if (kind == 5)
            WinsimFailCall(WinsimSetClipboardData, (refused = !refused) ? 1 : 0, true);
        else if (kind == 6)
            WinsimFailCall(WinsimCloseClipboard, (closeFails = !closeFails) ? 1 : 0, true);
        else
            WinsimPutClipboardText(Repeated(kBigCounts[in.Below(5)], kBigUnits[in.Below(4)]));
        clipboardFaults = heldElsewhere || refused || closeFails;
        break;
    }
    case FAULT: {
        const WinsimCall calls[] = {WinsimHeapAlloc, WinsimGlobalAlloc, WinsimGlobalLock};
        int kind = in.Below(3);
        WinsimFailCall(calls[kind], 1 + in.Below(3));
        transientFault = true;
        KeepCheckedScreen();
        return;  // it stays armed for the next message
    }
    }
    if (transientFault) {
        for (WinsimCall call : {WinsimHeapAlloc, WinsimGlobalAlloc, WinsimGlobalLock})
            WinsimFailCall(call, 0);
        transientFault = false;
    }
    if (!alive) {
        Check(LeakFault(), "leak after closing");
        return;
    }
    // Answers, files and clipboard contents reach no window: the program has
    // not run since the last check, which would find again what it found.
    if (op == FILE_ANSWER || op == BOX_ANSWER || op == CLIPBOARD) {
        KeepCheckedScreen();
        return;
    }
    CheckAfterMessage(window, &checkedScreen);
    screenChecked = true;
    std::u16string saved(SavedCopy, SavedCopy + SavedCount);
    if (saved != savedText + u'\0')
        Fail("the saved copy is " + Narrow(saved) + ", the model " + Narrow(savedText));
}

void Session::Run()
{
    // Mostly a small window: every message ends in a full repaint to compare,
    // so the pixel count sets the pace.  The smallest still holds the column
    // and a few rows below the picker at 96 dpi.  Only the largest shows a
    // page at once (so a shrinking scroll range can pull TopLine under the
    // view) and the column at 144 dpi; it costs as much as six of those.
    int pick = in.Below(32);
    int size = pick < 10 || pick > 15 ? 0 : pick < 13 ? 1 : pick < 15 ? 2 : 3;
    const int widths[] = {600, 400, 817, 900};
    const int heights[] = {240, 300, 320, 1000};
    window = StartEditor(widths[size], heights[size], in.Below(4) == 0 ? 144 : 96);
    accelerators = LoadAccelerators(GetModuleHandle(nullptr), TEXT("Inkwarden"));
    // Glyphs that overhang, are wide, have a B width of 0 or cannot be measured.
    int glyphs = in.Byte();
    if (glyphs & 1)
        WinsimSetGlyphWidths(u'b', -2, 100, -3);
    if (glyphs & 2)
        WinsimSetGlyphWidths(u'a', 0, 126, 0);
    if (glyphs & 4)
        WinsimSetGlyphWidths(u' ', 0, 0, 0);
    if (glyphs & 8)
        WinsimFailGlyphWidths(u'中');
    if (glyphs & 16)
        WinsimSetGlyphWidths(u'x', -5, 10, 4);
    CheckAfterMessage(window, &checkedScreen);
    screenChecked = true;
    for (int step = 0; alive && !in.Done() && step < 400; step++)
        Step();
}

void RunMessages(const uint8_t *data, size_t size)
{
    Session(data, size).Run();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return RunRepeatably(RunMessages, data, size);
}
