// The character-width rule and the breaking of text into display lines.
#include "editor_fixture.h"

#include "app/resource.h"
#include "app/shell.h"
#include "document/document.h"
#include "document/layout.h"
#include "view/view.h"

#include <vector>

namespace {

// Measures with a font of the given height on a DC of the main window, inside
// a width call as every measuring routine of the program does.
class Measuring {
public:
    Measuring(HWND window, LONG height) : window_(window)
    {
        dc_ = GetDC(window);
        LOGFONT lf = {};
        lf.lfHeight = height;
        font_ = CreateFontIndirect(&lf);
        old_ = SelectObject(dc_, font_);
        GetTextMetrics(dc_, &metrics_);
        BeginUnitWidths(dc_);
    }
    ~Measuring()
    {
        EndUnitWidths();
        SelectObject(dc_, old_);
        DeleteObject(font_);
        ReleaseDC(window_, dc_);
    }
    int Width(WCHAR unit) { return CharWidthRule(dc_, unit, &metrics_); }
    int Run(const std::u16string &units) { return MeasureRun(dc_, units.data(), (int)units.size()); }
    HDC dc() const { return dc_; }
    const TEXTMETRIC &metrics() const { return metrics_; }

private:
    HWND window_;
    HDC dc_;
    HFONT font_;
    HGDIOBJ old_;
    TEXTMETRIC metrics_;
};

TEST_F(EditorTest, TheWidthRuleAddsATenthOfTheHeightAndDoublesOverhangs)
{
    Measuring m(window, 42);  // tmHeight 42
    ASSERT_EQ(m.metrics().tmHeight, 42);
    WinsimSetGlyphWidths('a', -1, 20, 2);
    EXPECT_EQ(m.Width('a'), 28);  // 20 + 4 + 2 + 2
    WinsimSetGlyphWidths('b', 3, 20, -2);
    EXPECT_EQ(m.Width('b'), 20 + 4 + 3 + 4);
    WinsimSetGlyphWidths('c', 0, 0, 0);
    EXPECT_EQ(m.Width('c'), m.metrics().tmMaxCharWidth + 4);
    WinsimFailGlyphWidths('d');
    EXPECT_EQ(m.Width('d'), m.metrics().tmMaxCharWidth);
}

TEST_F(EditorTest, RunWidthsAreSumsOfTheirUnits)
{
    Measuring m(window, -42);
    WinsimSetGlyphWidths('a', -1, 20, 2);
    WinsimFailGlyphWidths('d');
    EXPECT_EQ(m.Run(u""), 0);
    EXPECT_EQ(m.Run(u"ad中"), m.Width('a') + m.Width('d') + m.Width(u'中'));
    EXPECT_EQ(m.Run(u"ad中"), m.Run(u"中da"));
    SetTextAlign(m.dc(), TA_RIGHT | TA_BOTTOM);
    m.Run(u"a");
    EXPECT_EQ(SetTextAlign(m.dc(), TA_LEFT), (UINT)(TA_LEFT | TA_TOP));
}

using Breaks = std::vector<std::pair<int, int>>;

// Three units of 180 fit the 576-pixel column and four do not, like 30-pixel
// units in a 100-pixel column.
TEST_F(EditorTest, TheWorkedExampleBreaksAtTheSpaceOrAtTheColumnEdge)
{
    UseWideUnits(u"abcd ");
    SetText(u"a bcd");
    EXPECT_EQ(LineTableEntries(), (Breaks{{0, 1}, {2, 5}}));

    WordWrapMode = IDM_WRAP_NO;
    Reflow();
    EXPECT_EQ(LineTableEntries(), (Breaks{{0, 2}, {3, 5}}));
    EXPECT_EQ(std::u16string(TextBuffer, TextBuffer + 5), u"a bcd");
}

TEST_F(EditorTest, HardBreaksEndLinesAndTheEmptyDocumentHasOneLine)
{
    Reflow();
    EXPECT_EQ(LineTableEntries(), (Breaks{{0, 0}}));
    SetText(u"ab\r\n");
    EXPECT_EQ(LineTableEntries(), (Breaks{{0, 3}, {4, 4}}));
    SetText(u"\r\n\r\nx");
    EXPECT_EQ(LineTableEntries(), (Breaks{{0, 1}, {2, 3}, {4, 5}}));
}

TEST_F(EditorTest, AUnitWiderThanTheColumnGetsALineOfItsOwn)
{
    UseWideUnits(u"ab");
    WinsimSetGlyphWidths('W', 0, 700, 0);
    SetText(u"aWb");
    EXPECT_EQ(LineTableEntries(), (Breaks{{0, 0}, {1, 1}, {2, 3}}));
    WordWrapMode = IDM_WRAP_NO;
    Reflow();
    EXPECT_EQ(LineTableEntries(), (Breaks{{0, 0}, {1, 1}, {2, 3}}));
}

TEST_F(EditorTest, LoneCarriageReturnsAndLineFeedsAreMeasuredLikeOtherUnits)
{
    UseWideUnits(u"abc\r\n");
    SetText(u"a\rbc");
    EXPECT_EQ(LineTableEntries(), (Breaks{{0, 2}, {3, 4}}));
    SetText(u"\na\rb");
    EXPECT_EQ(LineTableEntries(), (Breaks{{0, 2}, {3, 4}}));
}

TEST_F(EditorTest, ASpaceAtTheColumnEdgeStaysOnItsLineInBothModes)
{
    UseWideUnits(u"abcd ");
    SetText(u"abc d");
    EXPECT_EQ(LineTableEntries(), (Breaks{{0, 3}, {4, 5}}));
    WordWrapMode = IDM_WRAP_NO;
    Reflow();
    EXPECT_EQ(LineTableEntries(), (Breaks{{0, 3}, {4, 5}}));
}

TEST_F(EditorTest, LeadingSpacesAreBreakPointsAndALongWordBreaksAtTheEdge)
{
    UseWideUnits(u"abcd ");
    SetText(u"  abcd");
    EXPECT_EQ(LineTableEntries(), (Breaks{{0, 1}, {2, 4}, {5, 6}}));
    SetText(u"abcdabcd");
    EXPECT_EQ(LineTableEntries(), (Breaks{{0, 2}, {3, 5}, {6, 8}}));
}

TEST_F(EditorTest, WordWrapMovesTheWordAfterTheLastSpaceDown)
{
    // Default widths: 25 for Latin letters, 14 for the space at 96 dpi.
    std::u16string text;
    for (int i = 0; i < 10; i++)
        text += u"word ";
    SetText(text);  // five words of 4 * 25 + 14 fit in 576
    ASSERT_EQ(LineCount, 2);
    // The first line ends with the space before the word that overflows.
    int end = LineTable[0].last;
    EXPECT_EQ(TextBuffer[end], u' ');
    EXPECT_EQ(end, 24);
    EXPECT_EQ(LineTable[1].first, end + 1);
    EXPECT_EQ(LineTable[1].last, CharCount - 1);
}

TEST_F(EditorTest, LinesCoverTheTextExactlyOnceInOrder)
{
    std::u16string text;
    for (int i = 0; i < 400; i++)
        text += (i % 37 == 0) ? u"\r\n" : (i % 7 == 0 ? u" " : (i % 3 ? u"中" : u"x"));
    for (int mode : {IDM_WRAP_YES, IDM_WRAP_NO}) {
        WordWrapMode = mode;
        SetText(text);
        ASSERT_GE(LineCount, 2);
        EXPECT_EQ(LineTable[0].first, 0);
        for (int i = 0; i < LineCount; i++) {
            EXPECT_LE(LineTable[i].first, LineTable[i].last);
            if (i > 0) {
                EXPECT_EQ(LineTable[i].first, LineTable[i - 1].last + 1);
            }
        }
        EXPECT_EQ(LineTable[LineCount - 1].last, CharCount - 1);
    }
}

TEST_F(UnstartedTest, TheColumnWidthFollowsTheHorizontalResolution)
{
    Start(1100, 700, 120);  // column 720; tmHeight 61 adds 6 to every unit
    for (char16_t u : std::u16string(u"abcde"))
        WinsimSetGlyphWidths(u, 0, 174, 0);
    SetText(u"abcdabcde");  // four units of 180 fit in 720
    EXPECT_EQ(LineTableEntries(), (Breaks{{0, 3}, {4, 7}, {8, 9}}));
}

TEST_F(EditorTest, TheLargestDocumentFitsTheLineTable)
{
    WinsimSetGlyphWidths('W', 0, 700, 0);
    SetText(std::u16string(TEXT_BUFFER_UNITS - 1, u'W'));
    EXPECT_EQ(LineCount, LINE_TABLE_RECORDS);
    EXPECT_TRUE(WinsimMessageBoxes().empty());
    EXPECT_EQ(WinsimVerticalScrollBar(window).max,
              LinesPerPage * ((LINE_TABLE_RECORDS - 1) / LinesPerPage + 1) - 8 + 1);
}

}  // namespace
