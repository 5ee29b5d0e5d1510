// Long random key sequences checked against a model of the text and against
// the store's invariants, and every partial repaint checked against a full
// repaint of the same state: what the refresh missed shows up as pixels.
#include "editor_fixture.h"

#include "app/shell.h"
#include "document/document.h"
#include "document/layout.h"
#include "view/view.h"

#include <random>
#include <vector>

namespace {

struct Model {
    std::u16string text;
    int caret = 0;
    bool selection = false;
    int selStart = 0;
    int selEnd = 0;
};

Model FromProgram()
{
    Model m;
    m.text.assign(TextBuffer, TextBuffer + CharCount - 1);
    m.caret = Caret;
    m.selection = SelectionActive != 0;
    m.selStart = SelStart;
    m.selEnd = SelEnd;
    return m;
}

void Replace(Model &m, int start, int end, const std::u16string &units)
{
    m.text.replace(start, end - start, units);
    m.caret = start + (int)units.size();
    m.selection = false;
}

bool PairAt(const std::u16string &t, int i)
{
    return i >= 0 && i + 1 < (int)t.size() && t[i] == u'\r' && t[i + 1] == u'\n';
}

// What an editing key does to the text, from the state before the key.
void ApplyEdit(Model &m, int key, char16_t typed)
{
    std::u16string units;
    if (key == 0)
        units = std::u16string(1, typed);
    else if (key == VK_RETURN)
        units = u"\r\n";
    else if (key == VK_TAB)
        units = u"    ";
    if (m.selection) {
        Replace(m, m.selStart, m.selEnd, units);
        return;
    }
    int c = m.caret;
    if (key == VK_BACK) {
        if (c > 0) {
            int k = PairAt(m.text, c - 2) ? 2 : 1;
            Replace(m, c - k, c, u"");
        }
    } else if (key == VK_DELETE) {
        if (c < (int)m.text.size()) {
            int k = PairAt(m.text, c) ? 2 : 1;
            m.text.erase(c, k);
        }
    } else {
        Replace(m, c, c, units);
    }
}

class EditingModelTest : public EditorTest {
protected:
    void CheckInvariants(int step)
    {
        SCOPED_TRACE(step);
        ASSERT_GE(CharCount, 1);
        ASSERT_LE(CharCount, TEXT_BUFFER_UNITS);
        EXPECT_EQ(TextBuffer[CharCount - 1], 0);
        ASSERT_GE(LineCount, 1);
        EXPECT_EQ(LineTable[0].first, 0);
        for (int i = 1; i < LineCount; i++)
            ASSERT_EQ(LineTable[i].first, LineTable[i - 1].last + 1) << "line " << i;
        EXPECT_EQ(LineTable[LineCount - 1].last, CharCount - 1);
        ExpectTableOfAFullReflow();
        EXPECT_GE(Caret, 0);
        EXPECT_LE(Caret, CharCount - 1);
        if (SelectionActive) {
            EXPECT_LT(SelStart, SelEnd);
            EXPECT_GE(SelStart, 0);
            EXPECT_LE(SelEnd, CharCount - 1);
            EXPECT_TRUE(Caret == SelStart || Caret == SelEnd);
        }
        EXPECT_GE(TopLine, 0);
        EXPECT_LE(TopLine, ScrollMax());
        EXPECT_EQ(GetScrollPos(window, SB_VERT), TopLine);
        // The caret's line is in view after every key that moved it.
        EXPECT_EQ(WinsimLiveFonts(), 0);
        EXPECT_EQ(WinsimLiveDCs(), 0);
        EXPECT_EQ(WinsimLiveHeapBlocks(), 0);
        EXPECT_TRUE(WinsimUpdateRegionEmpty(window));
        ExpectScreenMatchesFullRepaint();
    }

    void Run(unsigned seed, int steps)
    {
        std::mt19937 random(seed);
        const int navigation[] = {VK_LEFT, VK_RIGHT, VK_UP,    VK_DOWN,  VK_HOME,
                                  VK_END,  VK_PRIOR, VK_NEXT, VK_ESCAPE};
        const int edits[] = {VK_RETURN, VK_TAB, VK_BACK, VK_DELETE};
        const char16_t typed[] = {u'a', u'a', u'b', u' ', u'中', u'x'};
        for (int step = 0; step < steps; step++) {
            Model expected = FromProgram();
            int choice = random() % 10;
            if (choice < 4) {
                char16_t unit = typed[random() % 6];
                ApplyEdit(expected, 0, unit);
                SendMessage(window, WM_CHAR, unit, 0);
            } else if (choice < 6) {
                int key = edits[random() % 4];
                ApplyEdit(expected, key, 0);
                Press(key);
            } else {
                Press(navigation[random() % 9], random() % 2, random() % 4 == 0);
                expected = FromProgram();
            }
            ASSERT_EQ(std::u16string(TextBuffer, TextBuffer + CharCount - 1), expected.text)
                << "step " << step;
            if (choice < 6) {
                EXPECT_EQ(Caret, expected.caret) << "step " << step;
                EXPECT_EQ(SelectionActive, 0);
            }
            int caretLine = CaretLine(Caret);
            if (VisibleLines() > 0) {
                EXPECT_GE(caretLine, TopLine) << "step " << step;
                EXPECT_LT(caretLine, TopLine + VisibleLines()) << "step " << step;
            }
            CheckInvariants(step);
            if (HasFailure())
                return;
        }
    }
};

TEST_F(EditingModelTest, RandomEditingWithWordWrapInAShortWindow)
{
    Start(817, 400);  // four visible rows: the view scrolls often
    WinsimSetGlyphWidths('a', 0, 126, 0);  // cells of 130
    Run(1, 400);
}

TEST_F(EditingModelTest, RandomEditingInATallWindowAcrossPages)
{
    Start(817, 1000);
    WinsimSetGlyphWidths('b', -2, 100, -3);  // overhangs on both sides
    Run(7, 300);
}

}  // namespace
