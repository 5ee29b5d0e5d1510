// ITextRangeProvider: two positions, moved by the units of text_units and
// measured, selected and scrolled by the program's own helpers.
#include "accessibility/accessibility.h"
#include "accessibility/providers.h"
#include "accessibility/text_units.h"
#include "accessibility/uia_functions.h"
#include "app/shell.h"
#include "document/document.h"
#include "editing/editing.h"
#include "view/view.h"

#include <new>
#include <string.h>

TextRange *NewTextRange(int start, int end)
{
    return new (std::nothrow) TextRange(start, end);
}

// The ranges given by pairs of ends, in an array that holds a reference to each.
SAFEARRAY *RangeArray(const int *ends, int count)
{
    SAFEARRAY *array = SafeArrayCreateVector(VT_UNKNOWN, 0, count);
    for (LONG k = 0; array && k < count; k++) {
        TextRange *range = NewTextRange(ends[2 * k], ends[2 * k + 1]);
        HRESULT put = range ? SafeArrayPutElement(array, &k, static_cast<IUnknown *>(range)) : E_OUTOFMEMORY;
        if (range)
            range->Release();
        if (FAILED(put)) {
            SafeArrayDestroy(array);
            array = NULL;
        }
    }
    return array;
}

// Format is one unit over the whole text, as the text has one font.
static enum TextUnit Unit(enum TextUnit unit)
{
    return unit == TextUnit_Format || unit > TextUnit_Document ? TextUnit_Document : unit;
}

// Clients pass back only ranges this provider made.
static TextRange *Own(ITextRangeProvider *range)
{
    return static_cast<TextRange *>(range);
}

HRESULT TextRange::QueryInterface(REFIID riid, void **object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(ITextRangeProvider))) {
        *object = static_cast<ITextRangeProvider *>(this);
        AddRef();
        return S_OK;
    }
    *object = NULL;
    return E_NOINTERFACE;
}

ULONG TextRange::AddRef(void)
{
    return ++references;
}

ULONG TextRange::Release(void)
{
    ULONG left = --references;
    if (left == 0)
        delete this;
    return left;
}

// The text may have changed since the range was made.
void TextRange::Normalize(void)
{
    start = ValidPosition(start);
    end = ValidPosition(end);
    if (end < start)
        end = start;
}

int TextRange::Endpoint(enum TextPatternRangeEndpoint endpoint) const
{
    return endpoint == TextPatternRangeEndpoint_Start ? start : end;
}

// An endpoint moved past the other one takes it along.
void TextRange::SetEndpoint(enum TextPatternRangeEndpoint endpoint, int position)
{
    if (endpoint == TextPatternRangeEndpoint_Start) {
        start = position;
        if (end < start)
            end = start;
    } else {
        end = position;
        if (start > end)
            start = end;
    }
}

HRESULT TextRange::Clone(ITextRangeProvider **clone)
{
    if (!clone)
        return E_INVALIDARG;
    *clone = NewTextRange(start, end);
    return *clone ? S_OK : E_OUTOFMEMORY;
}

HRESULT TextRange::Compare(ITextRangeProvider *range, BOOL *same)
{
    if (!range || !same)
        return E_INVALIDARG;
    Normalize();
    Own(range)->Normalize();
    *same = start == Own(range)->start && end == Own(range)->end;
    return S_OK;
}

HRESULT TextRange::CompareEndpoints(enum TextPatternRangeEndpoint endpoint, ITextRangeProvider *target,
                                    enum TextPatternRangeEndpoint targetEndpoint, int *order)
{
    if (!target || !order)
        return E_INVALIDARG;
    Normalize();
    Own(target)->Normalize();
    *order = Endpoint(endpoint) - Own(target)->Endpoint(targetEndpoint);
    return S_OK;
}

HRESULT TextRange::ExpandToEnclosingUnit(enum TextUnit unit)
{
    Normalize();
    start = UnitStartAtOrBefore(Unit(unit), start);
    end = NextUnitBoundary(Unit(unit), start);
    return S_OK;
}

HRESULT TextRange::FindAttribute(TEXTATTRIBUTEID, VARIANT, BOOL, ITextRangeProvider **found)
{
    if (!found)
        return E_INVALIDARG;
    *found = NULL;  // one font, one format: no span differs from the rest
    return S_OK;
}

// Exact units; case is never folded.
HRESULT TextRange::FindText(BSTR text, BOOL backward, BOOL, ITextRangeProvider **found)
{
    if (!found || !text)
        return E_INVALIDARG;
    *found = NULL;
    Normalize();
    int length = (int)SysStringLen(text);
    if (length == 0 || length > end - start)
        return S_OK;
    int last = end - length;
    for (int k = 0; k <= last - start; k++) {
        int at = backward ? last - k : start + k;
        if (memcmp(&TextBuffer[at], text, length * sizeof(WCHAR)) == 0) {
            *found = NewTextRange(at, at + length);
            return *found ? S_OK : E_OUTOFMEMORY;
        }
    }
    return S_OK;
}

HRESULT TextRange::GetAttributeValue(TEXTATTRIBUTEID attributeId, VARIANT *value)
{
    if (!value)
        return E_INVALIDARG;
    VariantInit(value);
    switch (attributeId) {
    case UIA_FontNameAttributeId:
        value->vt = VT_BSTR;
        value->bstrVal = SysAllocString(CurrentFace);
        return value->bstrVal ? S_OK : E_OUTOFMEMORY;
    case UIA_FontSizeAttributeId:
        value->vt = VT_R8;
        value->dblVal = -FontPoints;
        return S_OK;
    case UIA_IsReadOnlyAttributeId:
        value->vt = VT_BOOL;
        value->boolVal = VARIANT_FALSE;
        return S_OK;
    }
    value->vt = VT_UNKNOWN;
    return Uia()->GetReservedNotSupportedValue(&value->punkVal);
}

// Where the caret stands for an empty range; otherwise the cells of the range on
// each visible display line, from the right edge of its first unit to the
// right edge of the unit after it, as the selection is drawn.  A range
// ending at a line's start does not touch that line.
HRESULT TextRange::GetBoundingRectangles(SAFEARRAY **rectangles)
{
    if (!rectangles)
        return E_INVALIDARG;
    if (!ElementAlive())
        return UIA_E_ELEMENTNOTAVAILABLE;
    Normalize();
    int firstLine = CaretLine(start);
    int lastLine = CaretLine(end);
    if (end > start && lastLine > firstLine && LineTable[lastLine].first == end)
        lastLine--;
    MeasuringDC screen = GetMeasuringDC();
    HDC dc = screen.dc;
    int pageGap = screen.pageGap;
    int from = firstLine > TopLine ? firstLine : TopLine;
    int to = from;
    while (to <= lastLine && RowsVisible(LineTop(to, pageGap)))
        to++;

    POINT origin = {0, 0};
    ClientToScreen(MainWindow, &origin);
    *rectangles = SafeArrayCreateVector(VT_R8, 0, 4 * (to - from));
    for (int line = from; *rectangles && line < to; line++) {
        int width = RunWidth(dc, line);
        int runEnd = LineTable[line].first + DrawableRun(line);
        int right = line == firstLine ? UnitRightEdge(dc, start, line, width) : ColumnRight;
        int left = line == lastLine && end < runEnd ? UnitRightEdge(dc, end, line, width)
                                                    : ColumnRight - width;
        if (start == end)
            left = right = CaretRect(dc, start, pageGap).left;
        double box[4] = {(double)(origin.x + left), (double)(origin.y + LineTop(line, pageGap)),
                         (double)(right - left), (double)LineHeight};
        for (LONG k = 0; k < 4; k++) {
            LONG index = 4 * (line - from) + k;
            SafeArrayPutElement(*rectangles, &index, &box[k]);
        }
    }
    ReleaseMeasuringDC(&screen);
    return *rectangles ? S_OK : E_OUTOFMEMORY;
}

HRESULT TextRange::GetEnclosingElement(IRawElementProviderSimple **element)
{
    if (!element)
        return E_INVALIDARG;
    *element = &TheElement;
    (*element)->AddRef();
    return S_OK;
}

// Units as stored, CR LF kept; maxLength -1 means all.
HRESULT TextRange::GetText(int maxLength, BSTR *text)
{
    if (!text || maxLength < -1)
        return E_INVALIDARG;
    Normalize();
    int length = end - start;
    if (maxLength >= 0 && length > maxLength)
        length = maxLength;
    *text = SysAllocStringLen((const OLECHAR *)&TextBuffer[start], length);
    return *text ? S_OK : E_OUTOFMEMORY;
}

// Moves position by up to count units: forward to unit starts, and with
// ends to the end of the text too; backward to unit starts.  Gives how
// many it moved.
static int StepByUnits(enum TextUnit by, int *position, int count, BOOL ends)
{
    int moved = 0;
    while (moved < count) {
        int next = ends ? NextUnitBoundary(by, *position) : NextUnitStart(by, *position);
        if (next < 0 || next == *position)
            break;
        *position = next;
        moved++;
    }
    while (moved > count) {
        int previous = PreviousUnitStart(by, *position);
        if (previous < 0)
            break;
        *position = previous;
        moved--;
    }
    return moved;
}

// An empty range moves as an insertion point; any other first becomes the
// unit it starts in, moves by units and spans one.  A range that cannot
// move stays as it was.
HRESULT TextRange::Move(enum TextUnit unit, int count, int *moved)
{
    if (!moved)
        return E_INVALIDARG;
    Normalize();
    enum TextUnit by = Unit(unit);
    BOOL empty = start == end;
    int position = empty ? start : UnitStartAtOrBefore(by, start);
    *moved = StepByUnits(by, &position, count, FALSE);
    if (*moved != 0) {
        start = position;
        end = empty ? position : NextUnitBoundary(by, position);
    }
    return S_OK;
}

HRESULT TextRange::MoveEndpointByUnit(enum TextPatternRangeEndpoint endpoint, enum TextUnit unit, int count,
                                      int *moved)
{
    if (!moved)
        return E_INVALIDARG;
    Normalize();
    int position = Endpoint(endpoint);
    *moved = StepByUnits(Unit(unit), &position, count, TRUE);
    SetEndpoint(endpoint, position);
    return S_OK;
}

HRESULT TextRange::MoveEndpointByRange(enum TextPatternRangeEndpoint endpoint, ITextRangeProvider *target,
                                       enum TextPatternRangeEndpoint targetEndpoint)
{
    if (!target)
        return E_INVALIDARG;
    Normalize();
    Own(target)->Normalize();
    SetEndpoint(endpoint, Own(target)->Endpoint(targetEndpoint));
    return S_OK;
}

HRESULT TextRange::Select(void)
{
    if (!ElementAlive())
        return UIA_E_ELEMENTNOTAVAILABLE;
    Normalize();
    TextState before = NoteTextState();
    SelectUnits(start, end);
    // No window message follows a call from a screen reader to move the
    // system caret, so it is moved here.
    FollowCaret();
    RaiseTextEvents(&before);
    return S_OK;
}

// One selection only.
HRESULT TextRange::AddToSelection(void)
{
    return UIA_E_INVALIDOPERATION;
}

HRESULT TextRange::RemoveFromSelection(void)
{
    return UIA_E_INVALIDOPERATION;
}

// As the caret is kept in view, for the range's start.
HRESULT TextRange::ScrollIntoView(BOOL)
{
    if (!ElementAlive())
        return UIA_E_ELEMENTNOTAVAILABLE;
    Normalize();
    ScrollToIndex(start, ScreenPageGap());
    return S_OK;
}

HRESULT TextRange::GetChildren(SAFEARRAY **children)
{
    if (!children)
        return E_INVALIDARG;
    *children = SafeArrayCreateVector(VT_UNKNOWN, 0, 0);  // no embedded objects
    return *children ? S_OK : E_OUTOFMEMORY;
}
