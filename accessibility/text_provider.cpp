// ITextProvider: the document, the selection, what is on screen and what
// lies under a point, each as a text range.
#include "accessibility/providers.h"
#include "accessibility/text_units.h"
#include "app/shell.h"
#include "document/document.h"
#include "editing/editing.h"
#include "view/view.h"

DocumentText TheText;

HRESULT DocumentText::QueryInterface(REFIID riid, void **object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(ITextProvider))) {
        *object = static_cast<ITextProvider *>(this);
        return S_OK;
    }
    *object = NULL;
    return E_NOINTERFACE;
}

// The active selection, or the caret as an empty range.
HRESULT DocumentText::GetSelection(SAFEARRAY **ranges)
{
    if (!ranges)
        return E_INVALIDARG;
    int ends[2] = {Caret, Caret};
    if (SelectionActive && SelStart != SelEnd) {
        ends[0] = SelStart;
        ends[1] = SelEnd;
    }
    *ranges = RangeArray(ends, 1);
    return *ranges ? S_OK : E_OUTOFMEMORY;
}

// The display lines from TopLine down to the last one painted; none when
// the view shows only the blank rest of the last page.
HRESULT DocumentText::GetVisibleRanges(SAFEARRAY **ranges)
{
    if (!ranges)
        return E_INVALIDARG;
    int pageGap = ScreenPageGap();
    int below = TopLine;
    while (below < LineCount && RowsVisible(LineTop(below, pageGap)))
        below++;
    int ends[2] = {0, 0};
    if (below > TopLine) {
        ends[0] = LineTable[TopLine].first;
        ends[1] = below < LineCount ? LineTable[below].first : DocumentEnd();
    }
    *ranges = RangeArray(ends, below > TopLine ? 1 : 0);
    return *ranges ? S_OK : E_OUTOFMEMORY;
}

HRESULT DocumentText::RangeFromChild(IRawElementProviderSimple *, ITextRangeProvider **range)
{
    if (range)
        *range = NULL;
    return E_INVALIDARG;  // the text has no embedded elements
}

// Where a click at the point would put the caret.
HRESULT DocumentText::RangeFromPoint(struct UiaPoint point, ITextRangeProvider **range)
{
    if (!range)
        return E_INVALIDARG;
    if (!ElementAlive())
        return UIA_E_ELEMENTNOTAVAILABLE;
    POINT client = {(LONG)point.x, (LONG)point.y};
    ScreenToClient(MainWindow, &client);
    MeasuringDC screen = GetMeasuringDC();
    int index = HitTestText(screen.dc, client.x, client.y, screen.pageGap);
    ReleaseMeasuringDC(&screen);
    *range = NewTextRange(index, index);
    return *range ? S_OK : E_OUTOFMEMORY;
}

HRESULT DocumentText::get_DocumentRange(ITextRangeProvider **range)
{
    if (!range)
        return E_INVALIDARG;
    *range = NewTextRange(0, DocumentEnd());
    return *range ? S_OK : E_OUTOFMEMORY;
}

HRESULT DocumentText::get_SupportedTextSelection(enum SupportedTextSelection *selection)
{
    if (!selection)
        return E_INVALIDARG;
    *selection = SupportedTextSelection_Single;
    return S_OK;
}
