// Printing: the dialog record, the printed layout of every page, the font
// fit and each failure of the job.
#include "editor_fixture.h"

#include "app/shell.h"
#include "printing/printing.h"

namespace {

// At 300 dpi on letter paper: the 1800-pixel column spans 375 to 2175, the
// text 450 to 2850, and 32 points is a height of -133 (cells of 155).  The
// screen holds 15 lines a page, so RowPitch is 2400 / 15 = 160.
class PrintTest : public EditorTest {
protected:
    void Print() { Command(40003); }

    const WinsimPrintJob &OnlyJob()
    {
        EXPECT_EQ(WinsimPrintJobs().size(), 1u);
        return WinsimPrintJobs().back();
    }

    static void ExpectText(const WinsimPrintedText &t, const std::u16string &text, int x, int y)
    {
        EXPECT_EQ(t.text, text);
        EXPECT_EQ(t.x, x) << "x of " << std::string(t.text.begin(), t.text.end());
        EXPECT_EQ(t.y, y) << "y of " << std::string(t.text.begin(), t.text.end());
    }

    LONG BodyHeight()
    {
        const WinsimPrintedPage &page = OnlyJob().pages.at(0);
        EXPECT_GE(page.texts.size(), 2u);
        return page.texts.back().fontHeight;
    }
};
using UnstartedPrintTest = Unstarted<PrintTest>;

TEST_F(PrintTest, TheEmptyDocumentPrintsOnePageCarryingOnlyItsNumber)
{
    WinsimClearLogs();
    Print();
    ASSERT_EQ(WinsimPrintDialogCalls().size(), 1u);
    const WinsimPrintDialogCall &call = WinsimPrintDialogCalls()[0];
    EXPECT_EQ(call.structSize, sizeof(PRINTDLGA));
    EXPECT_EQ(call.owner, window);
    EXPECT_EQ(call.flags, 0x14010Cu);
    EXPECT_EQ(call.dc, nullptr);

    ASSERT_EQ(WinsimPrintJobs().size(), 1u);
    const WinsimPrintJob job = WinsimPrintJobs()[0];
    EXPECT_EQ(job.docInfoSize, (int)sizeof(DOCINFOA));
    EXPECT_EQ(job.docName, "Inkwarden: Printing");
    EXPECT_TRUE(job.ended);
    EXPECT_FALSE(job.aborted);
    ASSERT_EQ(job.pages.size(), 1u);
    EXPECT_TRUE(job.pages[0].ended);
    ASSERT_EQ(job.pages[0].texts.size(), 1u);
    // 12 points is -50; "(1)" is 75 wide and 58 tall.
    ExpectText(job.pages[0].texts[0], u"(1)", 375 + (1800 - 75) / 2, 2850 + 58);
    EXPECT_EQ(job.pages[0].texts[0].fontHeight, -50);
    EXPECT_EQ(job.pages[0].texts[0].bkMode, TRANSPARENT);

    EXPECT_TRUE(WinsimMessageBoxes().empty());
    EXPECT_TRUE(WinsimInvalidations().empty());

    // Centred on the column, which is centred on the sheet, not on the
    // printable area: offsets of 60 and 75 move it left and up.
    WinsimSetPrinterCaps(300, 300, 2550, 3300, 60, 75);
    Print();
    ExpectText(WinsimPrintJobs().back().pages.at(0).texts.at(0), u"(1)", 315 + (1800 - 75) / 2, 2775 + 58);
    // A4 at 600 dpi: column 3600, "(1)" 150 wide and 116 tall.
    WinsimSetPrinterCaps(600, 600, 4960, 7016, 100, 100);
    Print();
    ExpectText(WinsimPrintJobs().back().pages.at(0).texts.at(0), u"(1)", 580 + (3600 - 150) / 2, 6016 + 116);
}

TEST_F(PrintTest, LinesOfThreePagesBreakWhereTheScreenBreaks)
{
    SetText(ShortLines(31));
    Print();
    const WinsimPrintJob &job = OnlyJob();
    ASSERT_EQ(job.pages.size(), 3u);
    const size_t lines[] = {15, 15, 1};
    for (size_t p = 0; p < 3; p++) {
        SCOPED_TRACE(p);
        const std::vector<WinsimPrintedText> &texts = job.pages[p].texts;
        ASSERT_EQ(texts.size(), 1 + 2 * lines[p]);
        std::string number = "(" + std::to_string(p + 1) + ")";
        EXPECT_EQ(texts[0].text, std::u16string(number.begin(), number.end()));
        // "ab" right to left: cells of 81 ending at 2175, b leftmost.
        for (size_t row = 0; row < lines[p]; row++) {
            ExpectText(texts[1 + 2 * row], u"b", 2013, 450 + 160 * (int)row);
            ExpectText(texts[2 + 2 * row], u"a", 2094, 450 + 160 * (int)row);
        }
        for (size_t i = 1; i < texts.size(); i++) {
            EXPECT_EQ(texts[i].fontHeight, -133);
            EXPECT_EQ(texts[i].bkMode, TRANSPARENT);
        }
    }
}

TEST_F(PrintTest, ABreakAloneTakesARowAndAnOverhangingGlyphIsShiftedIntoItsCell)
{
    WinsimSetGlyphWidths(u'文', -6, 100, 2);  // 100 + 15 + 12 + 2 = 129 wide
    SetText(u"中文\r\n\r\n中");
    Print();
    const std::vector<WinsimPrintedText> &texts = OnlyJob().pages.at(0).texts;
    ASSERT_EQ(texts.size(), 4u);
    ExpectText(texts[1], u"文", 2175 - 148 - 129 + 6, 450);
    ExpectText(texts[2], u"中", 2175 - 148, 450);
    ExpectText(texts[3], u"中", 2175 - 148, 450 + 2 * 160);

    WinsimSetPrinterCaps(300, 300, 2550, 3300, 60, 75);  // the printable area's offsets
    Print();
    ExpectText(WinsimPrintJobs().back().pages.at(0).texts.at(2), u"中", 2175 - 148 - 60, 450 - 75);
}

TEST_F(UnstartedPrintTest, TheBodyFontShrinksOnlyAsFarAsItMust)
{
    struct Case {
        const char *name;
        std::u16string text;
        int dpiX, dpiY, leading;
        LONG height;
    };
    const Case cases[] = {
        // Twelve cells of 148 fit the column; the space after them would not.
        {"trailing space", std::u16string(12, u'中') + u" 中", 300, 300, 0, -133},
        {"one unit wider than the column", u"ab\r\n龍", 300, 300, 0, -133},
        // 23 cells of 81 do not fit 1800; at -128 they are 78 wide.
        {"full line", std::u16string(23, u'a'), 300, 300, 0, -128},
        // 15 rows of 32 + 5 + 2 exceed 576 pixels; 15 of 38 fit.
        {"page of rows", u"ab", 72, 72, 2, -31},
        // No height makes two 200-pixel glyphs fit a 300-pixel column.
        {"nothing fits", u"aa", 50, 300, 0, -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        WinsimSetGlyphWidths(u'龍', 0, 2000, 0);
        if (c.dpiX == 50)
            WinsimSetGlyphWidths('a', 0, 200, 0);
        WinsimSetExternalLeading(c.leading);
        WinsimSetPrinterCaps(c.dpiX, c.dpiY, 17 * c.dpiX / 2, 11 * c.dpiY, 0, 0);
        Start();
        SetText(c.text);
        Print();
        ASSERT_EQ(WinsimPrintJobs().size(), 1u);
        EXPECT_EQ(BodyHeight(), c.height);
        Restart();
    }
}

// The fit stops at a smaller font it could not make and prints with the
// last one made; the tear-down finds nothing left behind.
TEST_F(PrintTest, TheFitStopsAtAFontItCouldNotMake)
{
    SetText(std::u16string(23, u'a'));  // fits only at -128 (see above)
    WinsimFailCall(WinsimCreateFontIndirect, 4, true);  // the page number's, the body's, one smaller
    Print();
    WinsimFailCall(WinsimCreateFontIndirect, 0);
    EXPECT_EQ(BodyHeight(), -132);
}

TEST_F(PrintTest, EveryFailureOfTheJobIsReportedAndEndsIt)
{
    enum Outcome { NoJob, Aborted, Ended };
    struct Case {
        const char *name;
        void (*setUp)();
        const char16_t *message;  // null: none
        Outcome outcome;
    };
    const Case cases[] = {
        {"cancelled", [] { WinsimAnswerPrintDialog(WinsimPrintDialogCancel); }, nullptr, NoJob},
        {"no DC", [] { WinsimAnswerPrintDialog(WinsimPrintDialogNoDC); }, u"Can not obtain a Printer DC",
         NoJob},
        {"StartDoc", [] { WinsimFailCall(WinsimStartDoc); }, u"Can not start document",
         NoJob},
        {"first StartPage", [] { WinsimFailCall(WinsimStartPage); }, u"Can not start page",
         Aborted},
        {"last EndPage", [] { WinsimFailCall(WinsimEndPage, 2); }, u"Could not print document",
         Aborted},
        // Page changes inside the job are not checked.
        {"middle EndPage", [] { WinsimFailCall(WinsimEndPage); }, nullptr, Ended},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SetText(ShortLines(16));  // two pages
        c.setUp();
        Print();
        if (c.message) {
            ASSERT_EQ(WinsimMessageBoxes().size(), 1u);
            EXPECT_EQ(WinsimMessageBoxes()[0].owner, window);
            EXPECT_EQ(WinsimMessageBoxes()[0].caption, u"Can Not Print");
            EXPECT_EQ(WinsimMessageBoxes()[0].text, c.message);
            EXPECT_EQ(WinsimMessageBoxes()[0].type, (UINT)(MB_ICONWARNING | MB_OK));
        } else {
            EXPECT_TRUE(WinsimMessageBoxes().empty());
        }
        EXPECT_EQ(WinsimPrintJobs().size(), c.outcome == NoJob ? 0u : 1u);
        if (c.outcome != NoJob) {
            EXPECT_EQ(WinsimPrintJobs()[0].aborted, c.outcome == Aborted);
            EXPECT_EQ(WinsimPrintJobs()[0].ended, c.outcome == Ended);
        }
        Restart();
    }
}

TEST_F(PrintTest, ASecondPrintProposesThePrinterChosenInTheFirst)
{
    Print();
    Print();
    ASSERT_EQ(WinsimPrintDialogCalls().size(), 2u);
    EXPECT_EQ(WinsimPrintDialogCalls()[0].devMode, nullptr);
    const WinsimPrintDialogCall &second = WinsimPrintDialogCalls()[1];
    EXPECT_NE(second.devMode, nullptr);
    EXPECT_NE(second.devNames, nullptr);
    EXPECT_EQ(second.devMode, PrintDialogRecord.hDevMode);
    EXPECT_EQ(second.dc, nullptr);
    EXPECT_EQ(second.flags, 0x14010Cu);
    EXPECT_EQ(WinsimPrintJobs().size(), 2u);
}

}  // namespace
