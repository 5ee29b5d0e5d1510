// New, Open and Save through winsim's dialogs over real files in a
// per-test folder.
#include "editor_fixture.h"

#include "app/resource.h"
#include "app/shell.h"
#include "document/document.h"
#include "files/files.h"
#include "view/view.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <set>

namespace {

typedef std::string Bytes;

std::string InFolder(const std::string &name)
{
    return std::string(WinsimTempFolder()) + "/" + name;
}

void WriteBytes(const std::string &path, const Bytes &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

Bytes ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> FolderContents()
{
    std::set<std::string> names;
    DIR *dir = opendir(WinsimTempFolder());
    while (dirent *entry = readdir(dir))
        if (entry->d_name[0] != '.')
            names.insert(entry->d_name);
    closedir(dir);
    return names;
}

// Little-endian units behind the mark FF FE.
Bytes Utf16File(const std::u16string &units)
{
    Bytes bytes = "\xFF\xFE";
    for (char16_t u : units) {
        bytes += (char)(u & 0xFF);
        bytes += (char)(u >> 8);
    }
    return bytes;
}

const std::u16string kOpenWording = u"The current file has changed since the last save\n"
                                    u"Do you wish to save the current file?";
const std::u16string kNewWording = u"The current file has changed since the last save.\n"
                                   u"Do you wish to save the current file?";

class FilesTest : public EditorTest {
protected:
    void Command(int id) { SendMessage(window, WM_COMMAND, id, 0); }

    void SaveAs(const std::string &path)
    {
        WinsimAnswerNextFileDialog(path);
        Command(IDM_FILE_SAVE);
    }

    void OpenFile(const std::string &path)
    {
        WinsimAnswerNextFileDialog(path);
        Command(IDM_FILE_OPEN);
    }

    // A document as a successful Open of "old.txt" would leave it.
    void StartWithOpenedDocument(const std::u16string &text)
    {
        Start();
        SetText(text);
        RememberSavedCopy();
        SetWindowText(window, u"old.txt");
    }

    void ExpectOnlyWarning(const char16_t *caption, const std::u16string &text)
    {
        ASSERT_EQ(WinsimMessageBoxes().size(), 1u);
        EXPECT_EQ(WinsimMessageBoxes()[0].caption, caption);
        EXPECT_EQ(WinsimMessageBoxes()[0].text, text);
        EXPECT_EQ(WinsimMessageBoxes()[0].type, (UINT)(MB_ICONWARNING | MB_OK));
        EXPECT_EQ(WinsimMessageBoxes()[0].owner, window);
    }
};

TEST_F(FilesTest, SavedBytesOpenBackAsTheSameUnchangedDocument)
{
    Start();
    Type(u"中文 ab");
    Press(VK_RETURN);
    Type(u"c\u00e9");
    Press(VK_RIGHT, true);
    const int caret = Caret, selStart = SelStart, selEnd = SelEnd;
    const std::u16string text = Text();
    ASSERT_EQ(text, u"中文 ab\r\nc\u00e9");

    SaveAs(InFolder("文件"));  // the dialog adds the default extension
    ASSERT_EQ(WinsimFileDialogs().size(), 1u);
    const WinsimFileDialog &save = WinsimFileDialogs()[0];
    EXPECT_TRUE(save.save);
    EXPECT_EQ(save.structSize, (DWORD)OPENFILENAME_SIZE_VERSION_400W);
    EXPECT_EQ(save.owner, window);
    EXPECT_EQ(save.flags, (DWORD)0x802);
    EXPECT_EQ(save.filter, (std::vector<std::string>{"Unicode Text Files (*.txt)", "*.txt",
                                                      "All Files (*.*)", "*.*"}));
    EXPECT_EQ(save.filterIndex, 1u);
    EXPECT_EQ(save.defExt, "txt");
    EXPECT_EQ(save.maxFile, 260u);
    EXPECT_EQ(save.maxFileTitle, 260u);

    const std::string path = InFolder("文件.txt");
    EXPECT_EQ(ReadBytes(path), Utf16File(text + u'\0'));
    EXPECT_EQ(FolderContents(), std::set<std::string>{"文件.txt"});
    EXPECT_EQ(WinsimWindowText(window), u"文件.txt");
    EXPECT_FALSE(DocumentChanged());
    EXPECT_EQ(Caret, caret);
    EXPECT_EQ(SelStart, selStart);
    EXPECT_EQ(SelEnd, selEnd);
    EXPECT_TRUE(SelectionActive);
    EXPECT_TRUE(WinsimMessageBoxes().empty());

    Command(IDM_FILE_NEW);  // saved, so no question
    EXPECT_TRUE(WinsimMessageBoxes().empty());
    EXPECT_EQ(CharCount, 1);
    EXPECT_EQ(WinsimWindowText(window), u"Inkwarden");

    OpenFile(path);
    ASSERT_EQ(WinsimFileDialogs().size(), 2u);  // New showed none
    EXPECT_FALSE(WinsimFileDialogs()[1].save);
    EXPECT_EQ(WinsimFileDialogs()[1].flags, (DWORD)OFN_FILEMUSTEXIST);
    EXPECT_EQ(WinsimFileDialogs()[1].proposed, path);  // New keeps the path
    EXPECT_EQ(Text(), text);
    EXPECT_EQ(CharCount, (int)text.size() + 1);
    EXPECT_EQ(LineCount, 2);
    EXPECT_FALSE(DocumentChanged());
    EXPECT_EQ(WinsimWindowText(window), u"文件.txt");
    ExpectScreenMatchesFullRepaint();
}

TEST_F(FilesTest, TheEmptyDocumentIsSavedAsFourBytes)
{
    Start();
    SaveAs(InFolder("empty.txt"));
    EXPECT_EQ(ReadBytes(InFolder("empty.txt")), Bytes("\xFF\xFE\0\0", 4));
}

struct OpenCase {
    const char *name;
    Bytes bytes;
    const char16_t *failure;  // null: the file opens
    std::u16string text;
};

void PrintTo(const OpenCase &c, std::ostream *out)
{
    *out << c.name;
}

Bytes Repeated(const char *unit, int count, const Bytes &last)
{
    Bytes bytes = "\xFF\xFE";
    for (int i = 0; i < count; i++)
        bytes.append(unit, 2);
    return bytes + last;
}

const char16_t *const kNotUnicode = u"The selected file is not a Unicode text file";
const char16_t *const kTooLarge = u"The selected file is too large to open";

const OpenCase kOpenCases[] = {
    {"NoBytes", "", kNotUnicode, u""},
    {"OneByte", "\xFF", kNotUnicode, u""},
    {"BigEndianMark", Bytes("\xFE\xFF\0a", 4), kNotUnicode, u""},
    {"Utf8", "\xEF\xBB\xBFz", kNotUnicode, u""},
    {"OddLength", Bytes("\xFF\xFEz\0!", 5), kNotUnicode, u""},
    {"OddLargeWithoutMark", Bytes(70001, 'x'), kNotUnicode, u""},
    {"TheMarkAlone", "\xFF\xFE", nullptr, u""},
    {"TheEmptyDocument", Bytes("\xFF\xFE\0\0", 4), nullptr, u""},
    {"LoneLineEndsStayCharacters", Utf16File(u"a\nb\r"), nullptr, u"a\nb\r"},
    {"AZeroInsideTheText", Utf16File(std::u16string(u"a\0b", 3)), nullptr,
     std::u16string(u"a\0b", 3)},
    {"Bytes65536TerminatorSupplied", Repeated("a\0", 32766, Bytes("b\0", 2)), nullptr,
     std::u16string(32766, u'a') + u"b"},
    {"Bytes65538EndingInZero", Repeated("a\0", 32767, Bytes("\0\0", 2)), nullptr,
     std::u16string(32767, u'a')},
    {"Bytes65538EndingInACharacter", Repeated("a\0", 32768, ""), kTooLarge, u""},
    {"Bytes65540", Repeated("a\0", 32768, Bytes("\0\0", 2)), kTooLarge, u""},
};

class OpenFormatTest : public FilesTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenFormatTest, OpensExactlyTheFileFormat)
{
    const OpenCase &c = GetParam();
    StartWithOpenedDocument(u"old");
    const std::string path = InFolder("file.txt");
    WriteBytes(path, c.bytes);
    const EditorState before = RepaintAndNoteState();
    OpenFile(path);
    if (c.failure) {
        ExpectOnlyWarning(u"Can Not Open File", c.failure);
        ExpectStateUnchanged(before);
        return;
    }
    for (const WinsimMessageBox &box : WinsimMessageBoxes())
        ADD_FAILURE() << "unexpected message: " << ::testing::PrintToString(box.text);
    EXPECT_TRUE(Text() == c.text) << "the document differs from the file";
    EXPECT_EQ(CharCount, (int)c.text.size() + 1);
    EXPECT_EQ(TextBuffer[CharCount - 1], 0);
    EXPECT_FALSE(DocumentChanged());
    EXPECT_EQ(LineTable[LineCount - 1].last, CharCount - 1);
    EXPECT_EQ(WinsimWindowText(window), u"file.txt");
}

INSTANTIATE_TEST_SUITE_P(Files, OpenFormatTest, ::testing::ValuesIn(kOpenCases),
                         [](const ::testing::TestParamInfo<OpenCase> &info) { return info.param.name; });

TEST_F(FilesTest, AFileOf4GiBOrMoreIsTooLarge)
{
    StartWithOpenedDocument(u"old");
    const std::string path = InFolder("huge.txt");
    WriteBytes(path, "\xFF\xFE");
    ASSERT_EQ(truncate(path.c_str(), (1LL << 32) + 2), 0);  // sparse: nothing is written
    OpenFile(path);
    ExpectOnlyWarning(u"Can Not Open File", kTooLarge);
    EXPECT_EQ(Text(), u"old");
}

// Its size reads back as INVALID_FILE_SIZE with no error, which is a size:
// the file is judged by its odd length, not as one whose size is unknown.
TEST_F(FilesTest, AFileOf4GiBLessOneByteIsReadAsASize)
{
    StartWithOpenedDocument(u"old");
    const std::string path = InFolder("odd.txt");
    WriteBytes(path, "\xFF\xFE");
    ASSERT_EQ(truncate(path.c_str(), 0xFFFFFFFFLL), 0);
    OpenFile(path);
    ExpectOnlyWarning(u"Can Not Open File", kNotUnicode);
    EXPECT_EQ(Text(), u"old");
}

struct OpenFault {
    const char *name;
    WinsimFileCall call;
    int count;
    bool shortTransfer;
    const char16_t *failure;
};

void PrintTo(const OpenFault &c, std::ostream *out)
{
    *out << c.name;
}

const OpenFault kOpenFaults[] = {
    {"Open", WinsimCreateFile, 1, false, u"Can not obtain a file handle to the selected file"},
    {"Size", WinsimGetFileSize, 1, false, u"Can not obtain the size of the selected file"},
    {"ReadingTheMark", WinsimReadFile, 1, false, u"Can not read the selected file"},
    {"TheMarkReadShort", WinsimReadFile, 1, true, u"Can not read the selected file"},
    {"ReadingTheText", WinsimReadFile, 2, false, u"Can not read the selected file"},
    {"TheTextReadShort", WinsimReadFile, 2, true, u"Can not read the selected file"},
};

class OpenFaultTest : public FilesTest, public ::testing::WithParamInterface<OpenFault> {};

TEST_P(OpenFaultTest, RefusesTheOpenAndChangesNothingButThePath)
{
    const OpenFault &f = GetParam();
    StartWithOpenedDocument(u"old");
    Press(VK_LEFT, true);
    const std::string path = InFolder("new.txt");
    WriteBytes(path, Utf16File(u"new"));
    const EditorState before = RepaintAndNoteState();
    if (f.shortTransfer)
        WinsimShortenFileTransfer(f.call, f.count);
    else
        WinsimFailFileCall(f.call, f.count);
    OpenFile(path);
    ExpectOnlyWarning(u"Can Not Open File", f.failure);
    ExpectStateUnchanged(before);
    EXPECT_TRUE(SelectionActive);
    // The failed file's path is what the next dialog proposes.
    SaveAs("");
    EXPECT_EQ(WinsimFileDialogs().back().proposed, path);
}

INSTANTIATE_TEST_SUITE_P(Files, OpenFaultTest, ::testing::ValuesIn(kOpenFaults),
                         [](const ::testing::TestParamInfo<OpenFault> &info) { return info.param.name; });

struct SaveFault {
    const char *name;
    WinsimFileCall call;
    bool shortTransfer;
};

void PrintTo(const SaveFault &c, std::ostream *out)
{
    *out << c.name;
}

const SaveFault kSaveFaults[] = {
    {"TemporaryName", WinsimGetTempFileName, false},
    {"Create", WinsimCreateFile, false},
    {"Write", WinsimWriteFile, false},
    {"ShortWrite", WinsimWriteFile, true},
    {"Flush", WinsimFlushFileBuffers, false},
    {"Close", WinsimCloseHandle, false},
    {"Replace", WinsimMoveFile, false},
};

class SaveFaultTest : public FilesTest, public ::testing::WithParamInterface<SaveFault> {};

TEST_P(SaveFaultTest, LeavesTheOldFileAndNoTemporaryFile)
{
    const SaveFault &f = GetParam();
    const Bytes old = Utf16File(std::u16string(u"old\0", 4));
    Start();
    SetText(u"new text");
    Press(VK_LEFT, true);
    const std::string path = InFolder("doc.txt");
    WriteBytes(path, old);
    const EditorState before = RepaintAndNoteState();
    if (f.shortTransfer)
        WinsimShortenFileTransfer(f.call);
    else
        WinsimFailFileCall(f.call);
    SaveAs(path);
    ExpectOnlyWarning(u"Can Not Save File", u"Can not write to the selected file");
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(FolderContents(), std::set<std::string>{"doc.txt"});
    EXPECT_TRUE(DocumentChanged());
    ExpectStateUnchanged(before);
}

INSTANTIATE_TEST_SUITE_P(Files, SaveFaultTest, ::testing::ValuesIn(kSaveFaults),
                         [](const ::testing::TestParamInfo<SaveFault> &info) { return info.param.name; });

struct SaveStop {
    const char *name;
    WinsimFileCall call;
    bool replaced;  // the stop came after the new file took the old one's place
};

void PrintTo(const SaveStop &c, std::ostream *out)
{
    *out << c.name;
}

const SaveStop kSaveStops[] = {
    {"AfterTheTemporaryName", WinsimGetTempFileName, false},
    {"AfterCreatingTheTemporary", WinsimCreateFile, false},
    {"AfterTheWrite", WinsimWriteFile, false},
    {"AfterTheFlush", WinsimFlushFileBuffers, false},
    {"AfterTheClose", WinsimCloseHandle, false},
    {"AfterTheReplace", WinsimMoveFile, true},
};

const int kStopped = 42;

void StopTheProgram()
{
    _exit(kStopped);
}

class SaveStopTest : public FilesTest, public ::testing::WithParamInterface<SaveStop> {};

// The program stops right after one step of a save, as at a power cut: the
// file on disk is the old one or the whole new one, and the next save of it
// leaves no temporary file behind.
TEST_P(SaveStopTest, LeavesTheOldFileOrTheNewOneAndTheNextSaveNoTemporary)
{
    const SaveStop &s = GetParam();
    const Bytes old = Utf16File(std::u16string(u"an older and longer text\0", 25));
    const Bytes saved = Utf16File(std::u16string(u"new text\0", 9));
    Start();
    SetText(u"new text");
    const std::string path = InFolder("doc.txt");
    WriteBytes(path, old);
    fflush(nullptr);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        WinsimAfterFileCall(s.call, 1, StopTheProgram);
        SaveAs(path);
        _exit(0);  // the save ran past the step
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), kStopped);
    EXPECT_EQ(ReadBytes(path), s.replaced ? saved : old);
    EXPECT_LE(FolderContents().size(), 2u);  // at most the abandoned temporary besides

    SaveAs(path);
    EXPECT_TRUE(WinsimMessageBoxes().empty());
    EXPECT_EQ(ReadBytes(path), saved);
    EXPECT_EQ(FolderContents(), std::set<std::string>{"doc.txt"});
}

INSTANTIATE_TEST_SUITE_P(Files, SaveStopTest, ::testing::ValuesIn(kSaveStops),
                         [](const ::testing::TestParamInfo<SaveStop> &info) { return info.param.name; });

TEST_F(FilesTest, SaveReplacesAnExistingFileAndRefusesAMissingFolder)
{
    Start();
    SetText(u"new");
    WriteBytes(InFolder("doc.txt"), "older and longer contents");
    SaveAs(InFolder("doc.txt"));
    EXPECT_EQ(ReadBytes(InFolder("doc.txt")), Utf16File(std::u16string(u"new\0", 4)));
    EXPECT_EQ(FolderContents(), std::set<std::string>{"doc.txt"});
    EXPECT_TRUE(WinsimMessageBoxes().empty());

    Type(u"er");
    SaveAs(InFolder("missing/doc.txt"));
    ExpectOnlyWarning(u"Can Not Save File", u"Can not write to the selected file");
    EXPECT_EQ(FolderContents(), std::set<std::string>{"doc.txt"});
    EXPECT_EQ(WinsimWindowText(window), u"doc.txt");
    EXPECT_TRUE(DocumentChanged());
}

struct PromptCase {
    const char *name;
    int command;
    int answer;
    const std::u16string *wording;
    std::vector<bool> dialogs;  // save (true) or open, in order
    bool documentKept;
};

void PrintTo(const PromptCase &c, std::ostream *out)
{
    *out << c.name;
}

const PromptCase kPromptCases[] = {
    {"NewNo", IDM_FILE_NEW, IDNO, &kNewWording, {}, false},
    {"NewCancel", IDM_FILE_NEW, IDCANCEL, &kNewWording, {}, true},
    {"NewYes", IDM_FILE_NEW, IDYES, &kNewWording, {true}, true},
    {"OpenNo", IDM_FILE_OPEN, IDNO, &kOpenWording, {false}, false},
    {"OpenCancel", IDM_FILE_OPEN, IDCANCEL, &kOpenWording, {}, true},
    {"OpenYes", IDM_FILE_OPEN, IDYES, &kOpenWording, {true}, true},
    {"CloseYes", IDM_FILE_EXIT, IDYES, &kNewWording, {true}, true},
};

class SavePromptTest : public FilesTest, public ::testing::WithParamInterface<PromptCase> {};

TEST_P(SavePromptTest, AsksAndActsOnTheAnswer)
{
    const PromptCase &c = GetParam();
    Start();
    WriteBytes(InFolder("other.txt"), Utf16File(u"other"));
    Type(u"typed");
    WinsimAnswerNextMessageBox(c.answer);
    // Yes saves here, No opens "other.txt"; the other cases show no dialog.
    WinsimAnswerNextFileDialog(c.answer == IDYES ? InFolder("saved.txt") : InFolder("other.txt"));
    Command(c.command);

    ASSERT_GE(WinsimMessageBoxes().size(), 1u);
    EXPECT_EQ(WinsimMessageBoxes()[0].caption, u"Save Current File?");
    EXPECT_EQ(WinsimMessageBoxes()[0].text, *c.wording);
    EXPECT_EQ(WinsimMessageBoxes()[0].type, (UINT)(MB_YESNOCANCEL | MB_ICONQUESTION));
    std::vector<bool> dialogs;
    for (const WinsimFileDialog &d : WinsimFileDialogs())
        dialogs.push_back(d.save);
    EXPECT_EQ(dialogs, c.dialogs);
    EXPECT_EQ(Text(), c.documentKept ? u"typed" : c.command == IDM_FILE_NEW ? u"" : u"other");
    EXPECT_TRUE(IsWindow(window));
    if (c.answer == IDYES) {  // saved, and the command went no further
        EXPECT_EQ(ReadBytes(InFolder("saved.txt")), Utf16File(std::u16string(u"typed\0", 6)));
        EXPECT_FALSE(DocumentChanged());
    }
}

INSTANTIATE_TEST_SUITE_P(Files, SavePromptTest, ::testing::ValuesIn(kPromptCases),
                         [](const ::testing::TestParamInfo<PromptCase> &info) { return info.param.name; });

TEST_F(FilesTest, AShorterFileOpensAloneAfterALongerOne)
{
    StartWithOpenedDocument(u"old");
    WriteBytes(InFolder("long.txt"), Utf16File(u"longer"));
    WriteBytes(InFolder("short.txt"), Utf16File(u"ab"));  // neither has a terminator
    OpenFile(InFolder("long.txt"));
    OpenFile(InFolder("short.txt"));
    EXPECT_EQ(std::u16string(TextBuffer, TextBuffer + CharCount), std::u16string(u"ab\0", 3));
}

TEST_F(FilesTest, SaveLeavesTheViewWhereItWas)
{
    Start();
    SetText(ShortLines(40));
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 20), 0);  // the caret out of view
    SaveAs(InFolder("doc.txt"));
    EXPECT_FALSE(DocumentChanged());
    EXPECT_EQ(TopLine, 20);
    EXPECT_EQ(WinsimVerticalScrollBar(window).pos, 20);
}

TEST_F(FilesTest, AnEditUndoneByHandAsksNothing)
{
    Start();
    Type(u"a");
    Press(VK_BACK);
    Command(IDM_FILE_NEW);
    EXPECT_TRUE(WinsimMessageBoxes().empty());
}

class ReplacedDocumentTest : public FilesTest, public ::testing::WithParamInterface<int> {};

TEST_P(ReplacedDocumentTest, ShowsTheTopOfTheNewDocument)
{
    const int command = GetParam();
    Start();
    WriteBytes(InFolder("short.txt"), Utf16File(u"short"));
    SetText(ShortLines(40));
    RememberSavedCopy();
    Press(VK_END, false, true);
    Press(VK_RIGHT, true);
    ASSERT_GT(TopLine, 0);
    WinsimClearLogs();

    WinsimAnswerNextFileDialog(InFolder("short.txt"));
    Command(command);
    EXPECT_EQ(Text(), command == IDM_FILE_NEW ? u"" : u"short");
    EXPECT_EQ(Caret, 0);
    EXPECT_FALSE(SelectionActive);
    EXPECT_EQ(TopLine, 0);
    EXPECT_EQ(WinsimVerticalScrollBar(window).pos, 0);
    ASSERT_FALSE(WinsimInvalidations().empty());
    const RECT &last = WinsimInvalidations().back().rect;
    EXPECT_EQ(last.left, 0);
    EXPECT_EQ(last.top, TopMargin);
    EXPECT_EQ(last.right, ClientWidth);
    EXPECT_EQ(last.bottom, ClientHeight);
    EXPECT_TRUE(WinsimUpdateRegionEmpty(window));
    ExpectScreenMatchesFullRepaint();
}

INSTANTIATE_TEST_SUITE_P(Files, ReplacedDocumentTest, ::testing::Values(IDM_FILE_NEW, IDM_FILE_OPEN),
                         [](const ::testing::TestParamInfo<int> &info) {
                             return info.param == IDM_FILE_NEW ? "New" : "Open";
                         });

}  // namespace
