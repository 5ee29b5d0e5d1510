// Long random key sequences checked against a model of the text and against
// the store's invariants, and every partial repaint checked against a full
// repaint of the same state: what the refresh missed shows up as pixels.
#include "editor_fixture.h"
#include "checks.h"
#include "editing_model.h"

#include "app/shell.h"
#include "document/document.h"
#include "document/layout.h"
#include "view/view.h"

#include <random>
#include <vector>

namespace {

class EditingModelTest : public EditorTest {
protected:
    void CheckInvariants(int step)
    {
        SCOPED_TRACE(step);
        std::string fault = StoreInvariantFault(window);
        ASSERT_EQ(fault, "");
        ExpectTableOfAFullReflow();
        EXPECT_EQ(LeakFault(), "");
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
            ASSERT_EQ(Text(), expected.text)
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
using UnstartedEditingModelTest = Unstarted<EditingModelTest>;

TEST_F(UnstartedEditingModelTest, RandomEditingWithWordWrapInAShortWindow)
{
    Start(817, 400);  // four visible rows: the view scrolls often
    WinsimSetGlyphWidths('a', 0, 126, 0);  // cells of 130
    Run(1, 400);
}

TEST_F(UnstartedEditingModelTest, RandomEditingInATallWindowAcrossPages)
{
    Start(817, 1000);
    WinsimSetGlyphWidths('b', -2, 100, -3);  // overhangs on both sides
    Run(7, 300);
}

}  // namespace
