// The line table after an edit is re-broken only from the line before the
// edit; it must be exactly the table a full Reflow gives.
#include "editor_fixture.h"

#include "app/resource.h"
#include "app/shell.h"
#include "document/document.h"
#include "document/layout.h"
#include "editing/text_edit.h"

#include <random>

namespace {

struct ReflowCase {
    const char *name;
    int wrapMode;
    int startUnits;  // the document's size before the edits
};

PRINTED_BY_NAME(ReflowCase)

class IncrementalReflowTest : public EditorTest, public ::testing::WithParamInterface<ReflowCase> {};

// Narrow and wide units, spaces that wrapping breaks at, hard breaks and
// their lone halves, and a unit wider than the column.
std::u16string RandomUnits(std::mt19937 &random, int count)
{
    static const char16_t kUnits[] = u"aaaab   \r\n中中文\u4E00";
    std::u16string units;
    for (int i = 0; i < count; i++) {
        std::uniform_int_distribution<int> pick(0, (int)(sizeof kUnits / sizeof kUnits[0]) - 2);
        if (random() % 8 == 0)
            units += u"\r\n";
        else
            units += kUnits[pick(random)];
    }
    return units;
}

TEST_P(IncrementalReflowTest, GivesTheTableOfAFullReflow)
{
    const ReflowCase &c = GetParam();
    UseWideUnits(u"中文");
    WinsimSetGlyphWidths(u'\u4E00', 0, 700, 0);  // wider than the 576-pixel column
    WordWrapMode = c.wrapMode;
    std::mt19937 random(7);
    SetText(RandomUnits(random, c.startUnits).substr(0, c.startUnits));

    for (int step = 0; step < 250; step++) {
        SCOPED_TRACE(step);
        int length = CharCount - 1;
        int start = (int)(random() % (length + 1));
        int removed = (int)(random() % 4 == 0 ? random() % 40 : random() % 3);
        int end = start + removed < length ? start + removed : length;
        std::u16string units = RandomUnits(random, (int)(random() % 6));
        if (CharCount - (end - start) + (int)units.size() > TEXT_BUFFER_UNITS)
            units.clear();  // the frame would refuse it: keep to edits that happen
        ReplaceText(start, end, units.data(), (int)units.size(), start + (int)units.size(),
                    TEXT("Can Not Add Characters"));
        ASSERT_TRUE(WinsimMessageBoxes().empty());
        ExpectTableOfAFullReflow();
        if (HasFailure())
            return;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layout, IncrementalReflowTest,
    ::testing::Values(ReflowCase{"WrapShort", IDM_WRAP_YES, 200},
                      ReflowCase{"NoWrapShort", IDM_WRAP_NO, 200},
                      ReflowCase{"WrapAtTheLimit", IDM_WRAP_YES, TEXT_BUFFER_UNITS - 4},
                      ReflowCase{"NoWrapAtTheLimit", IDM_WRAP_NO, TEXT_BUFFER_UNITS - 4}),
    CaseName());

}  // namespace

namespace {

// Typing at the end re-measures the lines on screen and the last line, so
// its cost must not grow with the document: a full reflow would make it.
// Each unit is measured once per call, so the text uses thousands of
// distinct units for a full reflow to show.
TEST_F(EditorTest, TypingAtTheEndCostsTheSameInAnyDocumentSize)
{
    int queries[2];
    for (int i = 0; i < 2; i++) {
        std::u16string text;
        while ((int)text.size() < (i == 0 ? 2000 : TEXT_BUFFER_UNITS - 2)) {
            for (int k = 0; k < 10; k++)
                text += (char16_t)(0x4E00 + text.size() % 20000);
            text += u"\r\n";
        }
        SetText(text.substr(0, i == 0 ? 2000 : TEXT_BUFFER_UNITS - 2));
        Press(VK_END, false, true);
        WinsimClearCalls();
        Type(u"a");
        queries[i] = WinsimCalls().abcWidthQueries;
    }
    EXPECT_LT(queries[1], 2 * queries[0]) << "2,000 units: " << queries[0] << " width queries; 32,766: "
                                          << queries[1];
}

}  // namespace
