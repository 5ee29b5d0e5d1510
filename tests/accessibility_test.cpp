// The window's UI Automation element and its text pattern, called in
// process as UI Automation would call them for a client.
#include "editor_fixture.h"

#include "accessibility/providers.h"
#include "document/document.h"
#include "view/view.h"

#include <uiautomation.h>

#include <functional>
#include <iterator>
#include <tuple>

namespace {

// One reference, released at the end of the scope.
template <class T> struct Held {
    T *p = nullptr;
    ~Held() { if (p) p->Release(); }
    T *operator->() const { return p; }
    T **out() { return &p; }
};

std::u16string Take(BSTR text)
{
    std::u16string units(text, SysStringLen(text));
    SysFreeString(text);
    return units;
}

// Line 0 "中文 ab cd" and its CR LF (0-9); twenty ideographs soft-wrapped
// after twelve (lines 1 and 2, 10-31); an empty line (32-33); eleven
// lines "z" (34-66); "end" on the first line of page 2 (67-70).
std::u16string UnitsDocument()
{
    std::u16string text = u"中文 ab cd\r\n";
    for (int k = 0; k < 20; k++)
        text += (char16_t)(0x4E00 + k);
    text += u"\r\n\r\n";
    for (int k = 0; k < 11; k++)
        text += u"z\r\n";
    return text + u"end";
}

class AccessibilityTest : public EditorTest {
protected:
    Held<IRawElementProviderSimple> element;
    Held<ITextProvider> textPattern;

    // Puts text in the document and takes the window's element and its text pattern.
    void TakeElement(const std::u16string &text)
    {
        SetText(text);
        element.p = WinsimUiaElement(window);
        ASSERT_NE(element.p, nullptr);
        Held<IUnknown> pattern;
        ASSERT_EQ(element->GetPatternProvider(UIA_TextPatternId, pattern.out()), S_OK);
        ASSERT_NE(pattern.p, nullptr);
        ASSERT_EQ(pattern->QueryInterface(__uuidof(ITextProvider), (void **)textPattern.out()), S_OK);
    }
    // Positions in and out, through CompareEndpoints as a client sees them.
    ITextRangeProvider *RangeAt(int start, int end) { return NewTextRange(start, end); }
    std::pair<int, int> Ends(ITextRangeProvider *range)
    {
        Held<ITextRangeProvider> origin;
        origin.p = RangeAt(0, 0);
        int start = 0, end = 0;
        range->CompareEndpoints(TextPatternRangeEndpoint_Start, origin.p, TextPatternRangeEndpoint_Start, &start);
        range->CompareEndpoints(TextPatternRangeEndpoint_End, origin.p, TextPatternRangeEndpoint_Start, &end);
        return {start, end};
    }
    std::u16string TextOf(ITextRangeProvider *range, int maxLength = -1)
    {
        BSTR text = nullptr;
        EXPECT_EQ(range->GetText(maxLength, &text), S_OK);
        return Take(text);
    }
    // The one range of an array the pattern gave, or {-1, -1} when empty.
    std::pair<int, int> OnlyRange(SAFEARRAY *ranges)
    {
        LONG upper = -1;
        SafeArrayGetUBound(ranges, 1, &upper);
        std::pair<int, int> ends = {-1, -1};
        if (upper == 0) {
            LONG k = 0;
            Held<ITextRangeProvider> range;
            SafeArrayGetElement(ranges, &k, range.out());
            ends = Ends(range.p);
        }
        EXPECT_LE(upper, 0);
        SafeArrayDestroy(ranges);
        return ends;
    }
    std::vector<RECT> Rectangles(ITextRangeProvider *range)
    {
        SAFEARRAY *boxes = nullptr;
        EXPECT_EQ(range->GetBoundingRectangles(&boxes), S_OK);
        LONG upper = -1;
        SafeArrayGetUBound(boxes, 1, &upper);
        std::vector<RECT> rects;
        for (LONG k = 0; k + 3 <= upper; k += 4) {
            double v[4];
            for (LONG i = 0; i < 4; i++) {
                LONG index = k + i;
                SafeArrayGetElement(boxes, &index, &v[i]);
            }
            POINT topLeft = {(LONG)v[0], (LONG)v[1]};
            ScreenToClient(window, &topLeft);
            rects.push_back(RECT{topLeft.x, topLeft.y, topLeft.x + (LONG)v[2], topLeft.y + (LONG)v[3]});
        }
        SafeArrayDestroy(boxes);
        return rects;
    }
};
using UnstartedAccessibilityTest = Unstarted<AccessibilityTest>;

TEST_F(AccessibilityTest, TheWindowIsAFocusableDocumentNamedAfterItsCaptionWithTheTextPattern)
{
    TakeElement(u"ab");
    auto property = [&](PROPERTYID id) {
        VARIANT value;
        EXPECT_EQ(element->GetPropertyValue(id, &value), S_OK);
        return value;
    };
    EXPECT_EQ(property(UIA_ControlTypePropertyId).lVal, UIA_DocumentControlTypeId);
    VARIANT name = property(UIA_NamePropertyId);
    ASSERT_EQ(name.vt, VT_BSTR);
    EXPECT_EQ(Take(name.bstrVal), u"Inkwarden");
    EXPECT_EQ(property(UIA_IsKeyboardFocusablePropertyId).boolVal, VARIANT_TRUE);
    EXPECT_EQ(property(UIA_IsTextPatternAvailablePropertyId).boolVal, VARIANT_TRUE);
    EXPECT_EQ(property(UIA_HasKeyboardFocusPropertyId).boolVal, VARIANT_FALSE);
    SetFocus(window);
    EXPECT_EQ(property(UIA_HasKeyboardFocusPropertyId).boolVal, VARIANT_TRUE);
    SetWindowText(window, u"notes.txt");
    name = property(UIA_NamePropertyId);
    EXPECT_EQ(Take(name.bstrVal), u"notes.txt");

    Held<IRawElementProviderSimple> host;
    ASSERT_EQ(element->get_HostRawElementProvider(host.out()), S_OK);
    EXPECT_EQ(WinsimHostProviderWindow(host.p), window);

    // The text region: the column from the top rule to the client's foot.
    Held<IRawElementProviderFragment> fragment;
    ASSERT_EQ(element->QueryInterface(__uuidof(IRawElementProviderFragment), (void **)fragment.out()), S_OK);
    UiaRect box;
    ASSERT_EQ(fragment->get_BoundingRectangle(&box), S_OK);
    POINT topLeft = {ColumnLeft, TopMargin};
    ClientToScreen(window, &topLeft);
    EXPECT_EQ(box.left, topLeft.x);
    EXPECT_EQ(box.top, topLeft.y);
    EXPECT_EQ(box.width, ColumnRight - ColumnLeft);
    EXPECT_EQ(box.height, ClientHeight - TopMargin);

    Held<IUnknown> none;
    EXPECT_EQ(element->GetPatternProvider(UIA_TextPatternId + 1, none.out()), S_OK);
    EXPECT_EQ(none.p, nullptr);
}

TEST_F(UnstartedAccessibilityTest, OtherObjectsAndAMissingDllGetDefaultProcessingAndTheProgramStillRuns)
{
    Start();
    EXPECT_EQ(SendMessage(window, WM_GETOBJECT, 0, (LPARAM)OBJID_CLIENT), 0);
    EXPECT_EQ(WinsimModuleLoads(), 0);  // loaded only when an element is asked for
    Restart();
    WinsimUiaCoreMissing(true);
    Start();
    EXPECT_EQ(WinsimUiaElement(window), nullptr);
    Type(u"ab");
    EXPECT_EQ(Text(), u"ab");
}

TEST_F(AccessibilityTest, DestroyingTheWindowTellsUiAutomationItsElementIsGone)
{
    TakeElement(u"ab");
    DestroyWindow(window);
    EXPECT_TRUE(WinsimUiaProviderReleased(window));
}

// For each unit, from a start range: the range ExpandToEnclosingUnit gives
// and its text, by the line table and the caret's steps.
TEST_F(AccessibilityTest, ExpandingGivesTheEnclosingUnitAndItsText)
{
    TakeElement(UnitsDocument());
    ASSERT_EQ(LineCount, 16);
    ASSERT_EQ(LineTable[1].first, 10);  // the soft wrap
    ASSERT_EQ(LineTable[2].first, 22);
    ASSERT_EQ(LineTable[15].first, 67);  // the page break
    struct Row { TextUnit unit; int start, end, wantStart, wantEnd; } rows[] = {
        {TextUnit_Character, 4, 4, 4, 5},
        {TextUnit_Character, 8, 8, 8, 10},  // a CR LF is one character
        {TextUnit_Character, 70, 70, 70, 70},  // nothing follows the end
        {TextUnit_Character, 3, 9, 3, 4},  // a longer range shrinks to its first unit
        {TextUnit_Word, 0, 0, 0, 1},  // each ideograph a word
        {TextUnit_Word, 2, 2, 1, 3},  // spaces stay with the word before
        {TextUnit_Word, 4, 4, 3, 6},
        {TextUnit_Word, 7, 7, 6, 8},
        {TextUnit_Word, 8, 8, 8, 10},  // the line break a word of its own
        {TextUnit_Word, 70, 70, 67, 70},
        {TextUnit_Line, 5, 5, 0, 10},
        {TextUnit_Line, 21, 21, 10, 22},  // the wrapped line
        {TextUnit_Line, 22, 22, 22, 32},
        {TextUnit_Line, 32, 32, 32, 34},  // the empty line
        {TextUnit_Line, 70, 70, 67, 70},
        {TextUnit_Paragraph, 15, 15, 10, 32},  // wrapped lines are one paragraph
        {TextUnit_Paragraph, 33 + 1, 35, 34, 37},
        {TextUnit_Page, 40, 40, 0, 67},
        {TextUnit_Page, 68, 68, 67, 70},
        {TextUnit_Document, 40, 41, 0, 70},
        {TextUnit_Format, 40, 40, 0, 70},
    };
    std::u16string text = UnitsDocument();
    for (const Row &row : rows) {
        Held<ITextRangeProvider> range;
        range.p = RangeAt(row.start, row.end);
        ASSERT_EQ(range->ExpandToEnclosingUnit(row.unit), S_OK);
        EXPECT_EQ(Ends(range.p), std::make_pair(row.wantStart, row.wantEnd))
            << "unit " << row.unit << " from " << row.start;
        EXPECT_EQ(TextOf(range.p), text.substr(row.wantStart, row.wantEnd - row.wantStart))
            << "unit " << row.unit << " from " << row.start;
    }
    Held<ITextRangeProvider> line;
    line.p = RangeAt(0, 10);
    EXPECT_EQ(TextOf(line.p, 4), u"中文 a");  // the length limit
}

// Move, and MoveEndpointByUnit: how far each gets and where it ends.
TEST_F(AccessibilityTest, MovingByUnitsStepsOverTheBoundariesTheLineTableAndTheCaretGive)
{
    TakeElement(UnitsDocument());
    struct Row { TextUnit unit; int start, end, count, wantMoved, wantStart, wantEnd; } moves[] = {
        {TextUnit_Character, 8, 8, 1, 1, 10, 10},  // over a CR LF, as Left steps
        {TextUnit_Character, 10, 10, -1, -1, 8, 8},
        {TextUnit_Character, 0, 70, 3, 3, 3, 4},
        {TextUnit_Character, 70, 70, 1, 0, 70, 70},
        {TextUnit_Word, 4, 4, 1, 1, 6, 6},
        {TextUnit_Word, 4, 5, -1, -1, 1, 3},
        {TextUnit_Word, 0, 0, 5, 5, 10, 10},
        {TextUnit_Line, 12, 14, 1, 1, 22, 32},
        {TextUnit_Line, 0, 0, 100, 15, 67, 67},
        {TextUnit_Line, 67, 68, 1, 0, 67, 68},  // no line starts after the last
        {TextUnit_Paragraph, 0, 1, 2, 2, 32, 34},
        {TextUnit_Page, 0, 0, 1, 1, 67, 67},
        {TextUnit_Page, 40, 41, -1, 0, 40, 41},
        {TextUnit_Document, 5, 6, 1, 0, 5, 6},
    };
    for (const Row &row : moves) {
        Held<ITextRangeProvider> range;
        range.p = RangeAt(row.start, row.end);
        int moved = 99;
        ASSERT_EQ(range->Move(row.unit, row.count, &moved), S_OK);
        EXPECT_EQ(moved, row.wantMoved) << "Move unit " << row.unit << " from " << row.start;
        EXPECT_EQ(Ends(range.p), std::make_pair(row.wantStart, row.wantEnd))
            << "Move unit " << row.unit << " from " << row.start;
    }
    struct EndpointRow {
        TextPatternRangeEndpoint endpoint;
        TextUnit unit;
        int start, end, count, wantMoved, wantStart, wantEnd;
    } endpoints[] = {
        {TextPatternRangeEndpoint_End, TextUnit_Line, 0, 0, 1, 1, 0, 10},
        {TextPatternRangeEndpoint_End, TextUnit_Line, 67, 67, 1, 1, 67, 70},
        {TextPatternRangeEndpoint_End, TextUnit_Line, 67, 70, 1, 0, 67, 70},
        {TextPatternRangeEndpoint_Start, TextUnit_Character, 10, 12, -1, -1, 8, 12},
        {TextPatternRangeEndpoint_Start, TextUnit_Word, 3, 4, 3, 3, 10, 10},  // the end is taken along
        {TextPatternRangeEndpoint_End, TextUnit_Document, 3, 3, 1, 1, 3, 70},
    };
    for (const EndpointRow &row : endpoints) {
        Held<ITextRangeProvider> range;
        range.p = RangeAt(row.start, row.end);
        int moved = 99;
        ASSERT_EQ(range->MoveEndpointByUnit(row.endpoint, row.unit, row.count, &moved), S_OK);
        EXPECT_EQ(moved, row.wantMoved) << "endpoint " << row.endpoint << " unit " << row.unit;
        EXPECT_EQ(Ends(range.p), std::make_pair(row.wantStart, row.wantEnd))
            << "endpoint " << row.endpoint << " unit " << row.unit;
    }
    Held<ITextRangeProvider> range, target;
    range.p = RangeAt(3, 6);
    target.p = RangeAt(1, 2);
    range->MoveEndpointByRange(TextPatternRangeEndpoint_End, target.p, TextPatternRangeEndpoint_Start);
    EXPECT_EQ(Ends(range.p), std::make_pair(1, 1));
}

TEST_F(AccessibilityTest, TheSelectionTheVisibleLinesAndTheWholeTextAreRanges)
{
    TakeElement(UnitsDocument());
    SAFEARRAY *ranges = nullptr;
    Caret = 5;
    ASSERT_EQ(textPattern->GetSelection(&ranges), S_OK);
    EXPECT_EQ(OnlyRange(ranges), std::make_pair(5, 5));  // the caret, empty
    SelectionActive = 1, SelStart = 3, SelEnd = 8, Caret = 8;
    textPattern->GetSelection(&ranges);
    EXPECT_EQ(OnlyRange(ranges), std::make_pair(3, 8));

    // Lines 0 to 9 are painted (line 9's top at 585 < 600); line 10 starts at 52.
    ASSERT_EQ(textPattern->GetVisibleRanges(&ranges), S_OK);
    EXPECT_EQ(OnlyRange(ranges), std::make_pair(0, 52));
    SendMessage(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 23), 0);
    ASSERT_EQ(TopLine, 23);  // the blank rest of page 2
    textPattern->GetVisibleRanges(&ranges);
    EXPECT_EQ(OnlyRange(ranges), std::make_pair(-1, -1));

    Held<ITextRangeProvider> document;
    ASSERT_EQ(textPattern->get_DocumentRange(document.out()), S_OK);
    EXPECT_EQ(TextOf(document.p), UnitsDocument());

    // A range the text shrank under stays inside it.
    Held<ITextRangeProvider> tail;
    tail.p = RangeAt(60, 70);
    SelectionActive = 0, SelStart = SelEnd = Caret = 0;
    SetText(u"ab\r\n");
    EXPECT_EQ(Ends(tail.p), std::make_pair(4, 4));
    tail.p->Release();
    tail.p = RangeAt(3, 3);  // between the CR and the LF
    EXPECT_EQ(Ends(tail.p), std::make_pair(2, 2));
}

TEST_F(AccessibilityTest, AttributesFindTextAndTheEnclosingElement)
{
    TakeElement(UnitsDocument());
    Held<ITextRangeProvider> range;
    range.p = RangeAt(34, 70);
    VARIANT value;
    range->GetAttributeValue(UIA_FontNameAttributeId, &value);
    ASSERT_EQ(value.vt, VT_BSTR);
    EXPECT_EQ(Take(value.bstrVal), u"Courier New");
    range->GetAttributeValue(UIA_FontSizeAttributeId, &value);
    EXPECT_EQ(value.vt, VT_R8);
    EXPECT_EQ(value.dblVal, 32.0);
    range->GetAttributeValue(UIA_IsReadOnlyAttributeId, &value);
    EXPECT_EQ(value.boolVal, VARIANT_FALSE);
    range->GetAttributeValue(UIA_FontNameAttributeId + 1, &value);
    ASSERT_EQ(value.vt, VT_UNKNOWN);
    EXPECT_EQ(value.punkVal, WinsimUiaNotSupportedValue());

    struct Row { const char16_t *text; BOOL backward; int wantStart, wantEnd; } rows[] = {
        {u"z\r\n", FALSE, 34, 37}, {u"z", TRUE, 64, 65}, {u"end", FALSE, 67, 70},
        {u"cd", FALSE, -1, -1},  // before the range
        {u"zz", FALSE, -1, -1},
    };
    for (const Row &row : rows) {
        BSTR text = SysAllocString(row.text);
        Held<ITextRangeProvider> found;
        ASSERT_EQ(range->FindText(text, row.backward, FALSE, found.out()), S_OK);
        SysFreeString(text);
        EXPECT_EQ(found.p ? Ends(found.p) : std::make_pair(-1, -1), std::make_pair(row.wantStart, row.wantEnd));
    }

    Held<IRawElementProviderSimple> enclosing;
    ASSERT_EQ(range->GetEnclosingElement(enclosing.out()), S_OK);
    EXPECT_EQ(enclosing.p, element.p);
}

// A one-pixel bearing each side of every glyph, so neighbours' ink never touches.
void UseSpacedCells()
{
    for (char16_t unit : std::u16string(u"中文abcdenz"))
        WinsimSetGlyphWidths(unit, 1, unit < 0x80 ? 19 : 40, 1);
    for (int k = 0; k < 20; k++)
        WinsimSetGlyphWidths((char16_t)(0x4E00 + k), 1, 40, 1);
}

TEST_F(AccessibilityTest, BoundingRectanglesAreTheInkOfTheRangeOnEachVisibleLine)
{
    TakeElement(u"");
    UseSpacedCells();
    SetText(UnitsDocument(), 34);  // the caret away from the rows read
    // From 文 on line 0 (past its line break) to the second ideograph of line 1.
    Held<ITextRangeProvider> range;
    range.p = RangeAt(1, 12);
    std::vector<RECT> rects = Rectangles(range.p);
    ASSERT_EQ(rects.size(), 2u);
    for (int line = 0; line < 2; line++) {
        const RECT &r = rects[line];
        EXPECT_EQ(r.top, 144 + 49 * line);
        EXPECT_EQ(r.bottom - r.top, LineHeight);
        // Within one bearing either side, the ink is exactly the range's
        // glyphs'; every cell keeps a tenth of the font height right of its glyph.
        int inkLeft = ClientWidth, inkRight = -1;
        for (int y = r.top; y < r.bottom; y++)
            for (int x = r.left - 1; x <= r.right; x++)
                if (Pixel(x, y) == kBlack) {
                    inkLeft = std::min(inkLeft, x);
                    inkRight = std::max(inkRight, x + 1);
                }
        int spacing = LineHeight / 10;
        EXPECT_EQ(std::make_pair(r.left + 1, r.right - 1 - spacing), std::make_pair((LONG)inkLeft, (LONG)inkRight))
            << "line " << line;
    }
    // The caret's range stands on the caret's column.
    Held<ITextRangeProvider> caret;
    caret.p = RangeAt(Caret, Caret);
    rects = Rectangles(caret.p);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].right - rects[0].left, 0);
    EXPECT_EQ(BlackInColumn(rects[0].left, rects[0].top, rects[0].bottom), LineHeight);

    for (int k = 0; k < 2; k++)
        SendMessage(window, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_TRUE(Rectangles(range.p).empty());  // lines 0 and 1 are scrolled out
}

// Select leaves the state and the pixels the Shift keys leave for the same
// units: the caret to the range's start, then Shift toward its end.
TEST_F(AccessibilityTest, SelectIsTheShiftKeysAndRangeFromPointIsAClick)
{
    struct Row { int down, left, shiftLeft; } rows[] = {
        {0, 1, 5},   // units 1 to 7 of "ab\r\nab...": over a line break
        {30, 0, 2},  // a line far below the view: both scroll to it
    };
    for (const Row &row : rows) {
        SetText(ShortLines(40), 0);
        SetFocus(window);
        for (int k = 0; k < row.down; k++)
            Press(VK_DOWN);
        for (int k = 0; k < row.left; k++)
            Press(VK_LEFT);
        int start = Caret;
        for (int k = 0; k < row.shiftLeft; k++)
            Press(VK_LEFT, true);
        EditorState keys = RepaintAndNoteState();
        RECT keysCaret = WinsimCaret().rect;
        Restart();

        TakeElement(ShortLines(40));
        SetFocus(window);
        Held<ITextRangeProvider> range;
        range.p = RangeAt(start, keys.caret);
        WinsimClearLogs();
        ASSERT_EQ(range->Select(), S_OK);
        EXPECT_GT(WinsimInvalidations().size(), 0u);  // repainted at once, as the keys do
        EXPECT_TRUE(WinsimUpdateRegionEmpty(window));
        ExpectStateUnchanged(keys);
        EXPECT_THAT(WinsimCaret().rect, IsRect(keysCaret.left, keysCaret.top, keysCaret.right,
                                               keysCaret.bottom));  // a magnifier follows it
        element.p->Release();
        element.p = nullptr;
        textPattern.p->Release();
        textPattern.p = nullptr;
        Restart();
    }

    TakeElement(UnitsDocument());
    POINT points[] = {{688 - 50, 160}, {300, 144 + 49 + 10}, {120, 144 + 49 * 3 + 5}, {687, 500}};
    for (POINT client : points) {
        POINT screen = client;
        ClientToScreen(window, &screen);
        Held<ITextRangeProvider> range;
        ASSERT_EQ(textPattern->RangeFromPoint(UiaPoint{(double)screen.x, (double)screen.y}, range.out()), S_OK);
        SendMessage(window, WM_LBUTTONDOWN, 0, MAKELPARAM(client.x, client.y));
        EXPECT_EQ(Ends(range.p), std::make_pair(Caret, Caret)) << client.x << ", " << client.y;
    }
}

TEST_F(AccessibilityTest, ScrollIntoViewKeepsTheRangesStartInViewAsTheCaretIsKept)
{
    TakeElement(UnitsDocument());
    Held<ITextRangeProvider> range;
    range.p = RangeAt(67, 70);
    ASSERT_EQ(range->ScrollIntoView(TRUE), S_OK);
    EXPECT_EQ(TopLine, 15 - VisibleLines() + 1);
    EXPECT_EQ(WinsimVerticalScrollBar(window).pos, TopLine);
    ExpectScreenMatchesFullRepaint();
}

// The same steps with no element handed out, and with one but no client
// listening, do the same work; with a client, each step raises its events.
TEST_F(AccessibilityTest, EventsFollowEditsAndCaretStepsOnlyWhileAClientListens)
{
    auto steps = [&] {
        Type(u"ab");
        Press(VK_LEFT);
        Press(VK_RIGHT, true);
        Press(VK_END);  // already there: nothing moves
    };
    SetText(u"xy");
    WinsimClearCalls();
    steps();
    WinsimCallCounts quiet = WinsimCalls();
    EXPECT_EQ(WinsimModuleLoads(), 0);
    Restart();

    TakeElement(u"xy");
    WinsimClearCalls();
    steps();
    WinsimCallCounts handedOut = WinsimCalls();
    EXPECT_EQ(std::make_tuple(handedOut.abcWidthQueries, handedOut.textOutputs, handedOut.fontCreations,
                              handedOut.textMetricReads, handedOut.scrollBarRedraws),
              std::make_tuple(quiet.abcWidthQueries, quiet.textOutputs, quiet.fontCreations,
                              quiet.textMetricReads, quiet.scrollBarRedraws));
    EXPECT_TRUE(WinsimUiaEvents().empty());

    WinsimSetUiaClientsListening(true);
    const int changed = UIA_Text_TextChangedEventId, selected = UIA_Text_TextSelectionChangedEventId;
    struct Row { std::function<void()> step; std::vector<int> events; } rows[] = {
        {[&] { Type(u"c"); }, {changed, selected}},
        {[&] { Press(VK_BACK); }, {changed, selected}},
        {[&] { Press(VK_RIGHT); }, {selected}},
        {[&] { Press(VK_LEFT, true); }, {selected}},
        {[&] { Press(VK_ESCAPE); }, {selected}},  // the selection dropped, the caret stays
        {[&] { Press(VK_HOME); }, {selected}},
        {[&] { Press(VK_HOME); }, {}},  // already there
        {[&] { SendMessage(window, WM_LBUTTONDOWN, 0, MAKELPARAM(200, 150)); }, {selected}},
        {[&] { Held<ITextRangeProvider> r; r.p = RangeAt(1, 2); r->Select(); }, {selected}},
    };
    for (size_t k = 0; k < std::size(rows); k++) {
        WinsimClearUiaEvents();
        rows[k].step();
        std::vector<int> raised;
        for (const WinsimUiaEvent &event : WinsimUiaEvents()) {
            raised.push_back(event.eventId);
            EXPECT_EQ(event.provider, element.p);
        }
        EXPECT_EQ(raised, rows[k].events) << "step " << k;
    }
}

}  // namespace
