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
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <set>

namespace {

typedef std::string Bytes;

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

const std::u16string kOpenWording = u"The current file has changed since the last save\n"
                                    u"Do you wish to save the current file?";
const std::u16string kNewWording = u"The current file has changed since the last save.\n"
                                   u"Do you wish to save the current file?";

class FilesTest : public EditorTest {
protected:
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
    void SetOpenedDocument(const std::u16string &text)
    {
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
    SaveAs(InFolder("empty.txt"));
    EXPECT_EQ(ReadBytes(InFolder("empty.txt")), Bytes("\xFF\xFE\0\0", 4));
}

struct OpenCase {
    const char *name;
    Bytes bytes;
    const char16_t *failure;  // null: the file opens
    std::u16string text;
};

PRINTED_BY_NAME(OpenCase)

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
    SetOpenedDocument(u"old");
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

INSTANTIATE_TEST_SUITE_P(Files, OpenFormatTest, ::testing::ValuesIn(kOpenCases), CaseName());

// Another program holds the file open.  Open reads beside a reader, and
// holds the file for reading only, so a writer keeps it out.  Save's new
// text takes the file's name, which the holder must share deleting for.
TEST_F(FilesTest, OpenAndSaveShareTheFileAsItsHolderAllows)
{
    struct Holder {
        DWORD access, share;
        bool opens, saves;
    };
    const Holder holders[] = {{GENERIC_READ, FILE_SHARE_READ, true, false},
                              {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, true, true},
                              {GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, false, false}};
    const std::string path = InFolder("held.txt");
    const std::u16string name(path.begin(), path.end());  // ASCII
    auto expectWarning = [](size_t boxes, const char16_t *caption, const char16_t *text) {
        ASSERT_EQ(WinsimMessageBoxes().size(), boxes + 1);
        EXPECT_EQ(WinsimMessageBoxes().back().caption, caption);
        EXPECT_EQ(WinsimMessageBoxes().back().text, text);
    };
    for (const Holder &h : holders) {
        SCOPED_TRACE(testing::Message() << std::hex << "access 0x" << h.access << ", share " << h.share);
        WriteBytes(path, Utf16File(u"held"));
        Command(IDM_FILE_NEW);
        HANDLE held = CreateFile(name.c_str(), h.access, h.share, NULL, OPEN_EXISTING, 0, NULL);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        size_t boxes = WinsimMessageBoxes().size();
        OpenFile(path);
        EXPECT_EQ(Text(), h.opens ? u"held" : u"");
        if (!h.opens)
            expectWarning(boxes++, u"Can Not Open File", u"Can not obtain a file handle to the selected file");
        SaveAs(path);  // unchanged, but a save writes the terminator the file lacks
        EXPECT_EQ(ReadBytes(path), Utf16File(h.saves ? Text() + u'\0' : u"held"));
        if (h.saves)
            EXPECT_EQ(WinsimMessageBoxes().size(), boxes);
        else
            expectWarning(boxes, u"Can Not Save File", u"Can not write to the selected file");
        CloseHandle(held);
    }
}

TEST_F(FilesTest, AFileOf4GiBOrMoreIsTooLarge)
{
    SetOpenedDocument(u"old");
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
    SetOpenedDocument(u"old");
    const std::string path = InFolder("odd.txt");
    WriteBytes(path, "\xFF\xFE");
    ASSERT_EQ(truncate(path.c_str(), 0xFFFFFFFFLL), 0);
    OpenFile(path);
    ExpectOnlyWarning(u"Can Not Open File", kNotUnicode);
    EXPECT_EQ(Text(), u"old");
}

struct OpenFault {
    const char *name;
    WinsimCall call;
    int count;
    bool shortTransfer;
    const char16_t *failure;
};

PRINTED_BY_NAME(OpenFault)

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
    SetOpenedDocument(u"old");
    Press(VK_LEFT, true);
    const std::string path = InFolder("new.txt");
    WriteBytes(path, Utf16File(u"new"));
    const EditorState before = RepaintAndNoteState();
    if (f.shortTransfer)
        WinsimShortenFileTransfer(f.call, f.count);
    else
        WinsimFailCall(f.call, f.count);
    OpenFile(path);
    ExpectOnlyWarning(u"Can Not Open File", f.failure);
    ExpectStateUnchanged(before);
    EXPECT_TRUE(SelectionActive);
    // The failed file's path is what the next dialog proposes.
    SaveAs("");
    EXPECT_EQ(WinsimFileDialogs().back().proposed, path);
}

INSTANTIATE_TEST_SUITE_P(Files, OpenFaultTest, ::testing::ValuesIn(kOpenFaults), CaseName());

struct SaveFault {
    const char *name;
    WinsimCall call;
    int count;
    bool shortTransfer;
    bool newFile;        // the target does not exist yet
    DWORD replaceError;  // ReplaceFile fails half-way with this, besides
    bool andAfter;       // every such call after the nth fails too
};

PRINTED_BY_NAME(SaveFault)

// The steps of a save over an existing file: the target looked up, the
// temporary created, written, cut, flushed and closed, then the replace.
// A temporary refused for lack of access has the file written in place,
// which an open refused too ends.
const SaveFault kSaveFaults[] = {
    {"LookingUpTheTarget", WinsimCreateFile, 1, false, false, 0, false},
    {"CreateAndOpenInPlace", WinsimCreateFile, 2, false, false, 0, true},
    {"Write", WinsimWriteFile, 1, false, false, 0, false},
    {"ShortWrite", WinsimWriteFile, 1, true, false, 0, false},
    {"EndOfFile", WinsimSetEndOfFile, 1, false, false, 0, false},
    {"Flush", WinsimFlushFileBuffers, 1, false, false, 0, false},
    {"Close", WinsimCloseHandle, 2, false, false, 0, false},
    {"Replace", WinsimReplaceFile, 1, false, false, 0, false},
    {"MoveOfANewFile", WinsimMoveFile, 1, false, true, 0, false},
    {"ReplaceCannotMoveTheNewFile", WinsimMoveFile, 1, false, false, ERROR_UNABLE_TO_MOVE_REPLACEMENT, false},
    {"ReplaceHalfWayAndNoMoveAfter", WinsimMoveFile, 1, false, false, ERROR_UNABLE_TO_MOVE_REPLACEMENT_2,
     false},
};

class SaveFaultTest : public FilesTest, public ::testing::WithParamInterface<SaveFault> {};

TEST_P(SaveFaultTest, LeavesTheOldFileAndNoTemporaryFile)
{
    const SaveFault &f = GetParam();
    const Bytes old = Utf16File(std::u16string(u"old\0", 4));
    SetText(u"new text");
    Press(VK_LEFT, true);
    const std::string path = InFolder("doc.txt");
    if (!f.newFile)
        WriteBytes(path, old);
    const EditorState before = RepaintAndNoteState();
    if (f.shortTransfer)
        WinsimShortenFileTransfer(f.call, f.count);
    else
        WinsimFailCall(f.call, f.count, f.andAfter);
    if (f.replaceError)
        WinsimFailReplaceFile(f.replaceError);
    SaveAs(path);
    ExpectOnlyWarning(u"Can Not Save File", u"Can not write to the selected file");
    if (f.newFile) {
        EXPECT_TRUE(FolderContents().empty());
    } else {
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_EQ(FolderContents(), std::set<std::string>{"doc.txt"});
    }
    EXPECT_TRUE(DocumentChanged());
    ExpectStateUnchanged(before);
}

INSTANTIATE_TEST_SUITE_P(Files, SaveFaultTest, ::testing::ValuesIn(kSaveFaults), CaseName());

// A text longer than the one saved over it, and what saving "new text" writes.
const Bytes kOldFile = Utf16File(std::u16string(u"an older and longer text\0", 25));
const Bytes kNewFile = Utf16File(std::u16string(u"new text\0", 9));

struct SaveStop {
    const char *name;
    WinsimCall call;
    int count;
    bool replaced;  // the stop came after the new file took the old one's place
};

PRINTED_BY_NAME(SaveStop)

const SaveStop kSaveStops[] = {
    {"AfterCreatingTheTemporary", WinsimCreateFile, 2, false},
    {"AfterTheWrite", WinsimWriteFile, 1, false},
    {"AfterTheFlush", WinsimFlushFileBuffers, 1, false},
    {"AfterTheClose", WinsimCloseHandle, 2, false},
    {"AfterTakingTheBackupName", WinsimCreateFile, 3, false},
    {"AfterTheReplace", WinsimReplaceFile, 1, true},
};

const int kStopped = 42;

void StopTheProgram()
{
    _exit(kStopped);
}

// The exit status of a child process that saves to path and stops right
// after the chosen step.
int StatusOfASaveStoppedAfter(WinsimCall call, int count, const std::string &path)
{
    fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
        WinsimAfterFileCall(call, count, StopTheProgram);
        WinsimAnswerNextFileDialog(path);
        SendMessage(MainWindow, WM_COMMAND, IDM_FILE_SAVE, 0);
        _exit(0);  // the save ran past the step
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

std::map<std::string, Bytes> FolderFiles()
{
    std::map<std::string, Bytes> files;
    for (const std::string &name : FolderContents())
        files[name] = ReadBytes(InFolder(name));
    return files;
}

class SaveStopTest : public FilesTest, public ::testing::WithParamInterface<SaveStop> {};

// The program stops right after one step of a save, as at a power cut: the
// file on disk is the old one or the whole new one.  What the stopped save
// left behind, the next save neither uses nor touches.
TEST_P(SaveStopTest, LeavesTheOldFileOrTheNewOneAndTheNextSaveWorks)
{
    const SaveStop &s = GetParam();
    SetText(u"new text");
    const std::string path = InFolder("doc.txt");
    WriteBytes(path, kOldFile);
    ASSERT_EQ(StatusOfASaveStoppedAfter(s.call, s.count, path), kStopped);
    EXPECT_EQ(ReadBytes(path), s.replaced ? kNewFile : kOldFile);
    std::map<std::string, Bytes> left = FolderFiles();
    EXPECT_LE(left.size(), 3u);  // at most the abandoned temporary and backup besides
    for (const auto &file : left)
        EXPECT_EQ(file.first.rfind("doc.txt", 0), 0u) << file.first << " does not say whose it is";

    SetText(u"newer");
    SaveAs(path);
    EXPECT_TRUE(WinsimMessageBoxes().empty());
    left["doc.txt"] = Utf16File(std::u16string(u"newer\0", 6));
    EXPECT_EQ(FolderFiles(), left);
}

INSTANTIATE_TEST_SUITE_P(Files, SaveStopTest, ::testing::ValuesIn(kSaveStops), CaseName());

enum Content { NoFile, Empty, OldText, NewText };

struct InPlaceStop {
    const char *name;
    WinsimCall call;
    int count;
    Content file, copy;  // both links, and the copy "other.txt.old"
};

PRINTED_BY_NAME(InPlaceStop)

// The in-place write of a file with a second link: the file opened, the
// copy created, filled and flushed, the file emptied, written, flushed and
// closed, the copy closed.
const InPlaceStop kInPlaceStops[] = {
    {"AfterOpeningTheFile", WinsimCreateFile, 2, OldText, NoFile},
    {"AfterCreatingTheCopy", WinsimCreateFile, 3, OldText, Empty},
    {"AfterWritingTheCopy", WinsimWriteFile, 1, OldText, OldText},
    {"AfterFlushingTheCopy", WinsimFlushFileBuffers, 1, OldText, OldText},
    {"AfterEmptyingTheFile", WinsimSetEndOfFile, 2, Empty, OldText},
    {"AfterWritingTheText", WinsimWriteFile, 2, NewText, OldText},
    {"AfterFlushingTheText", WinsimFlushFileBuffers, 2, NewText, OldText},
    {"AfterClosingTheFile", WinsimCloseHandle, 2, NewText, OldText},
    {"AfterClosingTheCopy", WinsimCloseHandle, 3, NewText, OldText},
};

class InPlaceStopTest : public FilesTest, public ::testing::WithParamInterface<InPlaceStop> {};

// Stopped at any step, both links hold the old text, none, or the new
// text whole, never the new over the old one's end; the old text is then
// in a copy named after the file, which the next save leaves alone.
TEST_P(InPlaceStopTest, LeavesWholeTextsAndTheOldOneUnderTheFilesName)
{
    const InPlaceStop &s = GetParam();
    const std::map<Content, Bytes> bytes = {
        {Empty, ""},
        {OldText, kOldFile},
        {NewText, kNewFile}};
    const std::string path = InFolder("doc.txt");
    WriteBytes(path, bytes.at(OldText));
    ASSERT_EQ(link(path.c_str(), InFolder("other.txt").c_str()), 0);
    SetText(u"new text");
    ASSERT_EQ(StatusOfASaveStoppedAfter(s.call, s.count, InFolder("other.txt")), kStopped);
    std::map<std::string, Bytes> left = FolderFiles();
    std::map<std::string, Bytes> expected = {{"doc.txt", bytes.at(s.file)}, {"other.txt", bytes.at(s.file)}};
    if (s.copy != NoFile)
        expected["other.txt.old"] = bytes.at(s.copy);
    EXPECT_EQ(left, expected);

    SetText(u"newer");
    SaveAs(InFolder("other.txt"));
    EXPECT_TRUE(WinsimMessageBoxes().empty());
    expected["doc.txt"] = expected["other.txt"] = Utf16File(std::u16string(u"newer\0", 6));
    EXPECT_EQ(FolderFiles(), expected);
}

INSTANTIATE_TEST_SUITE_P(Files, InPlaceStopTest, ::testing::ValuesIn(kInPlaceStops), CaseName());

struct WorkingSave {
    const char *name;
    std::string target;  // saved through "doc.txt", a symbolic link, when not that
    bool folderTakesNoFiles;
    WinsimCall call;
    int count;  // 0: no call fails
    DWORD replaceError;
};

PRINTED_BY_NAME(WorkingSave)

// 255 units, the most a name may have: nothing can be added to it.
const std::string kLongestName = std::string(251, 'd') + ".txt";

// Saves that a plain write of the file would make.
const WorkingSave kWorkingSaves[] = {
    {"InAFolderThatTakesNoNewFiles", "doc.txt", true, WinsimCreateFile, 0, 0},
    {"WithoutTheFinalPath", "doc.txt", false, WinsimGetFinalPathName, 1, 0},
    {"WhenAMoveFinishesAReplaceStoppedHalfWay", "doc.txt", false, WinsimCreateFile, 0,
     ERROR_UNABLE_TO_MOVE_REPLACEMENT_2},
    {"WithANameTooLongToAddTo", kLongestName, false, WinsimCreateFile, 0, 0},
};

class WorkingSaveTest : public FilesTest, public ::testing::WithParamInterface<WorkingSave> {};

TEST_P(WorkingSaveTest, SavesOverTheFileAndLeavesNothingElse)
{
    const WorkingSave &c = GetParam();
    const std::string path = InFolder("doc.txt");
    WriteBytes(InFolder(c.target), Utf16File(u"an older and longer text"));
    if (c.target != "doc.txt") {
        ASSERT_EQ(symlink(c.target.c_str(), path.c_str()), 0);
    }
    SetText(u"new text");
    if (c.folderTakesNoFiles)
        WinsimDenyCreatingFiles(WinsimTempFolder());
    if (c.count)
        WinsimFailCall(c.call, c.count);
    if (c.replaceError)
        WinsimFailReplaceFile(c.replaceError);
    SaveAs(path);
    EXPECT_TRUE(WinsimMessageBoxes().empty());
    EXPECT_EQ(FolderFiles(), (std::map<std::string, Bytes>{{c.target, kNewFile}, {"doc.txt", kNewFile}}));
    EXPECT_FALSE(DocumentChanged());
}

INSTANTIATE_TEST_SUITE_P(Files, WorkingSaveTest, ::testing::ValuesIn(kWorkingSaves), CaseName());

struct LostName {
    const char *name;
    bool hardLink;
    WinsimCall call;  // fails from its nth call on
    int count;
    DWORD replaceError;
};

PRINTED_BY_NAME(LostName)

const LostName kLostNames[] = {
    {"ReplaceHalfWayAndNeitherMove", false, WinsimMoveFile, 1, ERROR_UNABLE_TO_MOVE_REPLACEMENT_2},
    {"InPlaceWriteAndItsRestore", true, WinsimWriteFile, 2, 0},
};

class LostNameTest : public FilesTest, public ::testing::WithParamInterface<LostName> {};

// Where the old text cannot go back under the file's name, the message
// says where it is.
TEST_P(LostNameTest, TheMessageNamesWhereTheOldTextIs)
{
    const LostName &c = GetParam();
    const Bytes old = Utf16File(u"an older and longer text");
    const std::string path = InFolder("doc.txt");
    WriteBytes(path, old);
    if (c.hardLink) {
        ASSERT_EQ(link(path.c_str(), InFolder("other.txt").c_str()), 0);
    }
    SetText(u"new text");
    WinsimFailCall(c.call, c.count, true);
    if (c.replaceError)
        WinsimFailReplaceFile(c.replaceError);
    SaveAs(path);
    ExpectOnlyWarning(u"Can Not Save File",
                      u"Can not write to the selected file\nIts old text is kept in doc.txt.old");
    std::map<std::string, Bytes> expected = {{"doc.txt.old", old}};
    if (c.hardLink)  // emptied before the write, which failed
        expected["doc.txt"] = expected["other.txt"] = "";
    EXPECT_EQ(FolderFiles(), expected);
    EXPECT_TRUE(DocumentChanged());
}

INSTANTIATE_TEST_SUITE_P(Files, LostNameTest, ::testing::ValuesIn(kLostNames), CaseName());

// Files of the names a temporary could take are the user's: the name the
// old fixed scheme chose for "doc.txt", and the first this process tries.
TEST_F(FilesTest, FilesNamedLikeATemporarySurviveASaveBeside)
{
    char first[16];
    snprintf(first, sizeof first, "ink%04X.TMP", (unsigned)getpid() & 0xFFFF);
    std::map<std::string, Bytes> files = {{"ink2A04.TMP", "mine"}, {first, "mine too"}};
    for (const auto &file : files)
        WriteBytes(InFolder(file.first), file.second);
    for (const char16_t *text : {u"new", u"replaced"}) {
        SetText(text);
        SaveAs(InFolder("doc.txt"));
        files["doc.txt"] = Utf16File(std::u16string(text) + u'\0');
        EXPECT_EQ(FolderFiles(), files);
    }
    EXPECT_TRUE(WinsimMessageBoxes().empty());
}

// Another program saves its own text to the same file while this one's
// save stands at a step: neither save takes the other's text, both succeed,
// and the file holds the text of the one that replaced it last.
struct Interleaving {
    const char *name;
    WinsimCall call;
    int count;
    bool otherLast;
    bool otherStops;  // after writing its temporary, as at a power cut
};

PRINTED_BY_NAME(Interleaving)

const Interleaving kInterleavings[] = {
    {"AfterCreatingTheTemporary", WinsimCreateFile, 2, false, false},
    {"AfterTheWrite", WinsimWriteFile, 1, false, false},
    {"AfterTheFlush", WinsimFlushFileBuffers, 1, false, false},
    {"AfterTheClose", WinsimCloseHandle, 2, false, false},
    {"AfterTheReplace", WinsimReplaceFile, 1, true, false},
    {"AfterTheCloseTheOtherStopsAtItsFlush", WinsimCloseHandle, 2, false, true},
};

const char16_t kOtherText[] = u"the other program's text";
std::string otherPath;
bool otherStops;
int otherStatus = -1;

// The other program is a child process with this one's state at the step.
void SaveTheOtherText()
{
    fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
        const size_t boxes = WinsimMessageBoxes().size();
        CharCount = (int)std::u16string(kOtherText).size() + 1;
        memcpy(TextBuffer, kOtherText, CharCount * sizeof(WCHAR));
        WinsimAnswerNextFileDialog(otherPath);
        if (otherStops)
            WinsimAfterFileCall(WinsimFlushFileBuffers, 1, StopTheProgram);
        SendMessage(MainWindow, WM_COMMAND, IDM_FILE_SAVE, 0);
        _exit(WinsimMessageBoxes().size() == boxes ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    otherStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class InterleavedSaveTest : public FilesTest, public ::testing::WithParamInterface<Interleaving> {};

TEST_P(InterleavedSaveTest, EachSaveStaysWholeAndItsOwn)
{
    const Interleaving &c = GetParam();
    otherPath = InFolder("doc.txt");
    otherStops = c.otherStops;
    otherStatus = -1;
    WriteBytes(otherPath, Utf16File(u"old"));
    SetText(u"mine");
    WinsimAfterFileCall(c.call, c.count, SaveTheOtherText);
    SaveAs(otherPath);
    EXPECT_EQ(otherStatus, c.otherStops ? kStopped : 0);
    EXPECT_TRUE(WinsimMessageBoxes().empty());
    EXPECT_FALSE(DocumentChanged());
    const std::u16string last = c.otherLast ? kOtherText : u"mine";
    std::map<std::string, Bytes> files = FolderFiles();
    EXPECT_EQ(files["doc.txt"], Utf16File(last + u'\0'));
    files.erase("doc.txt");
    // A stopped save leaves its own temporary, holding its own text.
    EXPECT_EQ(files.size(), c.otherStops ? 1u : 0u);
    for (const auto &left : files)
        EXPECT_EQ(left.second, Utf16File(std::u16string(kOtherText) + u'\0'));
}

INSTANTIATE_TEST_SUITE_P(Files, InterleavedSaveTest, ::testing::ValuesIn(kInterleavings), CaseName());

// A folder of 250 units leaves no room for a temporary's name under
// MAX_PATH; the long form has it.  Where ReplaceFile is missing, a move
// replaces.
TEST_F(FilesTest, ADeepFolderSavesAndAMoveStandsInForAMissingReplace)
{
    std::string folder = WinsimTempFolder();
    while (folder.size() + 2 < 250) {  // "Z:" in front
        folder += "/" + std::string(std::min<size_t>(60, 250 - folder.size() - 3), 'd');
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    }
    std::string windowsFolder = "Z:" + folder;
    ASSERT_EQ(windowsFolder.size(), 250u);
    for (char &c : windowsFolder)
        if (c == '/')
            c = '\\';
    for (const char16_t *text : {u"new", u"replaced", u"moved"}) {
        WinsimReplaceFileUnsupported(text == std::u16string(u"moved"));
        SetText(text);
        SaveAs(windowsFolder + "\\a.txt");
        EXPECT_TRUE(WinsimMessageBoxes().empty());
        EXPECT_EQ(ReadBytes(folder + "/a.txt"), Utf16File(std::u16string(text) + u'\0'));
        EXPECT_FALSE(DocumentChanged());
    }
    DIR *dir = opendir(folder.c_str());
    int entries = 0;
    while (dirent *entry = readdir(dir))
        entries += entry->d_name[0] != '.';
    closedir(dir);
    EXPECT_EQ(entries, 1);
}

enum LinkKind { Hidden, SymbolicLink, HardLink };

struct LinkCase {
    const char *name;
    LinkKind kind;
    WinsimCall call;
    int count;  // 0: no fault
    bool shortTransfer;
    bool savesAnyway;  // the fault leaves a way that still saves
};

PRINTED_BY_NAME(LinkCase)

// A file with a second hard link is written in place: opened, copied to a
// temporary (read, written, cut, flushed), then written, cut and flushed.
const LinkCase kLinkCases[] = {
    {"HiddenKept", Hidden, WinsimCreateFile, 0, false, false},
    {"HiddenReplaceFails", Hidden, WinsimReplaceFile, 1, false, false},
    {"SymbolicLinkKept", SymbolicLink, WinsimCreateFile, 0, false, false},
    {"SymbolicLinkWriteFails", SymbolicLink, WinsimWriteFile, 1, false, false},
    {"SymbolicLinkReplaceFails", SymbolicLink, WinsimReplaceFile, 1, false, false},
    {"HardLinkShared", HardLink, WinsimCreateFile, 0, false, false},
    {"HardLinkOpenFails", HardLink, WinsimCreateFile, 2, false, false},
    {"HardLinkCopyRefusedSavesWithoutIt", HardLink, WinsimCreateFile, 3, false, true},
    {"HardLinkCopyNotRead", HardLink, WinsimReadFile, 1, false, false},
    {"HardLinkCopyNotWritten", HardLink, WinsimWriteFile, 1, false, false},
    {"HardLinkCopyNotFlushed", HardLink, WinsimFlushFileBuffers, 1, false, false},
    {"HardLinkTextNotWritten", HardLink, WinsimWriteFile, 2, false, false},
    {"HardLinkTextShort", HardLink, WinsimWriteFile, 2, true, false},
    {"HardLinkTextNotCut", HardLink, WinsimSetEndOfFile, 2, false, false},
    {"HardLinkTextNotFlushed", HardLink, WinsimFlushFileBuffers, 2, false, false},
    {"HardLinkTextNotClosed", HardLink, WinsimCloseHandle, 2, false, false},
};

class LinkSaveTest : public FilesTest, public ::testing::WithParamInterface<LinkCase> {};

// The save keeps what the file was; a failure at any step keeps every name
// on the old text.
TEST_P(LinkSaveTest, KeepsWhatTheFileWasAndEveryLinkShowsOneText)
{
    const LinkCase &c = GetParam();
    const std::string real = InFolder("doc.txt"), other = InFolder("other.txt");
    WriteBytes(real, kOldFile);
    const std::u16string realName(real.begin(), real.end());  // ASCII
    if (c.kind == Hidden) {
        ASSERT_TRUE(SetFileAttributes(realName.c_str(), FILE_ATTRIBUTE_HIDDEN));
    } else if (c.kind == SymbolicLink) {
        ASSERT_EQ(symlink("doc.txt", other.c_str()), 0);
    } else {
        ASSERT_EQ(link(real.c_str(), other.c_str()), 0);
    }
    SetText(u"new text");
    if (c.shortTransfer)
        WinsimShortenFileTransfer(c.call, c.count);
    else if (c.count)
        WinsimFailCall(c.call, c.count);
    SaveAs(c.kind == Hidden ? real : other);

    const bool fails = c.count && !c.savesAnyway;
    const Bytes &expected = fails ? kOldFile : kNewFile;
    EXPECT_EQ(ReadBytes(real), expected);
    struct stat realInfo, otherInfo;
    ASSERT_EQ(stat(real.c_str(), &realInfo), 0);
    if (c.kind == Hidden) {
        EXPECT_EQ(GetFileAttributes(realName.c_str()), (DWORD)FILE_ATTRIBUTE_HIDDEN);
        EXPECT_EQ(FolderContents(), std::set<std::string>{"doc.txt"});
    } else {
        ASSERT_EQ(lstat(other.c_str(), &otherInfo), 0);
        EXPECT_EQ(S_ISLNK(otherInfo.st_mode), c.kind == SymbolicLink);
        EXPECT_EQ(ReadBytes(other), expected);
        EXPECT_EQ(realInfo.st_nlink, c.kind == HardLink ? 2u : 1u);
        EXPECT_EQ(FolderContents(), (std::set<std::string>{"doc.txt", "other.txt"}));
    }
    EXPECT_EQ(WinsimMessageBoxes().size(), fails ? 1u : 0u);
    EXPECT_EQ(DocumentChanged(), fails);
}

INSTANTIATE_TEST_SUITE_P(Files, LinkSaveTest, ::testing::ValuesIn(kLinkCases), CaseName());

struct EndCase {
    const char *name;
    bool changed;
    int answer;
    bool saveFails;
    LRESULT mayEnd;
    bool dialogCancelled;
};

PRINTED_BY_NAME(EndCase)

const EndCase kEndCases[] = {
    {"Unchanged", false, IDYES, false, TRUE, false},   {"No", true, IDNO, false, TRUE, false},
    {"Cancel", true, IDCANCEL, false, FALSE, false},   {"YesSaved", true, IDYES, false, TRUE, false},
    {"YesSaveFails", true, IDYES, true, FALSE, false},
    {"YesDialogCancelled", true, IDYES, false, FALSE, true},
};

class SessionEndTest : public FilesTest, public ::testing::WithParamInterface<EndCase> {};

// Log-off asks the close question while Windows shows why it waits; the
// session may end after No or a save that worked, and then ends the
// program without asking again.
TEST_P(SessionEndTest, AsksBeforeTheSessionEnds)
{
    const EndCase &c = GetParam();
    if (c.changed)
        Type(u"typed");
    WinsimAnswerNextMessageBox(c.answer);
    WinsimAnswerNextFileDialog(c.dialogCancelled ? "" : InFolder("saved.txt"));
    if (c.saveFails)
        WinsimFailCall(WinsimCreateFile, 2);
    EXPECT_EQ(SendMessage(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), c.mayEnd);

    const bool saved = c.changed && c.answer == IDYES && !c.saveFails && !c.dialogCancelled;
    EXPECT_EQ(FolderContents().size(), saved ? 1u : 0u);
    EXPECT_EQ(Text(), c.changed ? u"typed" : u"");
    EXPECT_EQ(DocumentChanged(), c.changed && !saved);
    EXPECT_EQ(WinsimFileDialogs().size(), c.answer == IDYES && c.changed ? 1u : 0u);
    if (c.changed) {
        ASSERT_GE(WinsimMessageBoxes().size(), 1u);
        EXPECT_EQ(WinsimMessageBoxes()[0].text, kNewWording);
        EXPECT_EQ(WinsimMessageBoxes()[0].shutdownBlockReason, u"Inkwarden: unsaved changes");
    }
    DWORD size = 0;
    EXPECT_FALSE(ShutdownBlockReasonQuery(window, nullptr, &size));
    EXPECT_TRUE(IsWindow(window));

    const size_t boxes = WinsimMessageBoxes().size();
    SendMessage(window, WM_ENDSESSION, c.mayEnd, ENDSESSION_LOGOFF);
    EXPECT_EQ(IsWindow(window), !c.mayEnd);
    EXPECT_EQ(WinsimMessageBoxes().size(), boxes);
}

INSTANTIATE_TEST_SUITE_P(Files, SessionEndTest, ::testing::ValuesIn(kEndCases), CaseName());

struct ModalCase {
    const char *name;
    bool changed;
    int command;  // 0: the session's end itself asks
    const char16_t *reason;  // what Windows shows while the dialog is open
};

PRINTED_BY_NAME(ModalCase)

const ModalCase kModalCases[] = {
    {"TheSaveAsDialog", true, IDM_FILE_SAVE, u"Inkwarden: a dialog is open"},
    {"TheSaveQuestion", true, IDM_FILE_NEW, u"Inkwarden: a dialog is open"},
    {"TheAboutBox", false, IDM_ABOUT, u"Inkwarden: a dialog is open"},
    {"TheSessionEndsQuestion", true, 0, u"Inkwarden: unsaved changes"},
};

struct InsideTheDialog {
    LRESULT mayEnd = -1;
    size_t boxes, dialogs;  // opened by then
    std::u16string reason;
} inside;

void EndTheSessionInsideTheDialog()
{
    inside.boxes = WinsimMessageBoxes().size();
    inside.dialogs = WinsimFileDialogs().size();
    inside.mayEnd = SendMessage(MainWindow, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    WCHAR reason[100] = {};
    DWORD size = 100;
    if (ShutdownBlockReasonQuery(MainWindow, reason, &size))
        inside.reason = reason;
}

class ModalSessionEndTest : public FilesTest, public ::testing::WithParamInterface<ModalCase> {};

// The session's end, while a dialog of ours is open, opens no second one on
// the same records: the session waits, with the reason shown until the
// dialog closes.
TEST_P(ModalSessionEndTest, WaitsForTheOpenDialog)
{
    const ModalCase &c = GetParam();
    if (c.changed)
        Type(u"typed");
    inside = InsideTheDialog{};
    WinsimDuringNextDialog(EndTheSessionInsideTheDialog);
    WinsimAnswerNextMessageBox(IDCANCEL);
    if (c.command)
        Command(c.command);
    else
        SendMessage(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    EXPECT_EQ(inside.mayEnd, FALSE);
    EXPECT_EQ(inside.reason, c.reason);
    EXPECT_EQ(WinsimMessageBoxes().size(), inside.boxes);
    EXPECT_EQ(WinsimFileDialogs().size(), inside.dialogs);
    DWORD size = 0;
    EXPECT_FALSE(ShutdownBlockReasonQuery(window, nullptr, &size));
    EXPECT_EQ(Text(), c.changed ? u"typed" : u"");
    EXPECT_TRUE(IsWindow(window));
}

INSTANTIATE_TEST_SUITE_P(Files, ModalSessionEndTest, ::testing::ValuesIn(kModalCases), CaseName());

TEST_F(FilesTest, SaveReplacesAnExistingFileAndRefusesAMissingFolder)
{
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

PRINTED_BY_NAME(PromptCase)

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

INSTANTIATE_TEST_SUITE_P(Files, SavePromptTest, ::testing::ValuesIn(kPromptCases), CaseName());

TEST_F(FilesTest, AShorterFileOpensAloneAfterALongerOne)
{
    SetOpenedDocument(u"old");
    WriteBytes(InFolder("long.txt"), Utf16File(u"longer"));
    WriteBytes(InFolder("short.txt"), Utf16File(u"ab"));  // neither has a terminator
    OpenFile(InFolder("long.txt"));
    OpenFile(InFolder("short.txt"));
    EXPECT_EQ(std::u16string(TextBuffer, TextBuffer + CharCount), std::u16string(u"ab\0", 3));
}

TEST_F(FilesTest, SaveLeavesTheViewWhereItWas)
{
    SetText(ShortLines(40));
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 20), 0);  // the caret out of view
    SaveAs(InFolder("doc.txt"));
    EXPECT_FALSE(DocumentChanged());
    EXPECT_EQ(TopLine, 20);
    EXPECT_EQ(WinsimVerticalScrollBar(window).pos, 20);
}

TEST_F(FilesTest, AnEditUndoneByHandAsksNothing)
{
    Type(u"a");
    Press(VK_BACK);
    Command(IDM_FILE_NEW);
    EXPECT_TRUE(WinsimMessageBoxes().empty());
}

class ReplacedDocumentTest : public FilesTest, public ::testing::WithParamInterface<int> {};

TEST_P(ReplacedDocumentTest, ShowsTheTopOfTheNewDocument)
{
    const int command = GetParam();
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
