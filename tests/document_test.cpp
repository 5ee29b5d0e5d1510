// The document store: moving units, the saved copy and the line snapshot.
#include "editor_fixture.h"

#include "document/document.h"

namespace {

TEST_F(EditorTest, InsertingAndRemovingKeepsTheTerminatorAndClearsVacatedUnits)
{
    storeArranged = true;  // edited below the line table
    SetText(u"abcdef");
    InsertUnits(2, u"XY", 2);
    EXPECT_EQ(Text(), u"abXYcdef");
    EXPECT_EQ(CharCount, 9);
    EXPECT_EQ(TextBuffer[CharCount - 1], 0);

    RemoveUnits(1, 5);
    EXPECT_EQ(Text(), u"adef");
    EXPECT_EQ(CharCount, 5);
    for (int i = CharCount - 1; i < 12; i++)
        EXPECT_EQ(TextBuffer[i], 0) << "unit " << i;
}

TEST_F(EditorTest, DocumentChangedComparesContentNotEdits)
{
    storeArranged = true;  // edited below the line table
    EXPECT_FALSE(DocumentChanged());
    InsertUnits(0, u"q", 1);
    EXPECT_TRUE(DocumentChanged());
    RemoveUnits(0, 1);
    EXPECT_FALSE(DocumentChanged());

    SetText(u"saved");
    RememberSavedCopy();
    EXPECT_FALSE(DocumentChanged());
    TextBuffer[2] = u'V';  // same length, other content
    EXPECT_TRUE(DocumentChanged());
    TextBuffer[2] = u'v';
    EXPECT_FALSE(DocumentChanged());
    RemoveUnits(4, 5);
    EXPECT_TRUE(DocumentChanged());
}

TEST_F(EditorTest, TheLineSnapshotCopiesEveryLineOrReportsNoMemory)
{
    SetText(u"a\r\nbc\r\n");
    ASSERT_EQ(LineCount, 3);
    LineRecord *snapshot = TakeLineSnapshot();
    ASSERT_NE(snapshot, nullptr);
    for (int i = 0; i < LineCount; i++) {
        EXPECT_EQ(snapshot[i].first, LineTable[i].first);
        EXPECT_EQ(snapshot[i].last, LineTable[i].last);
    }
    FreeLineSnapshot(snapshot);

    WinsimFailCall(WinsimHeapAlloc);
    EXPECT_EQ(TakeLineSnapshot(), nullptr);
}

}  // namespace
