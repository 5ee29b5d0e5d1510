// The COM objects UI Automation calls: the window's element, its text
// pattern and the text ranges.  They hold no state of the document; every
// call reads the program's globals and uses the program's own helpers.
#ifndef INKWARDEN_PROVIDERS_H
#define INKWARDEN_PROVIDERS_H

#include "accessibility/uia_declarations.h"

// The element is the window's own: a Document named after the caption.
// One object lives as long as the process, so it is never deleted.
class DocumentElement : public IRawElementProviderSimple,
                        public IRawElementProviderFragment,
                        public IRawElementProviderFragmentRoot {
public:
    // IUnknown, shared by the three interfaces
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef(void) override { return 2; }
    ULONG STDMETHODCALLTYPE Release(void) override { return 1; }
    // IRawElementProviderSimple
    HRESULT STDMETHODCALLTYPE get_ProviderOptions(enum ProviderOptions *options) override;
    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID patternId, IUnknown **pattern) override;
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID propertyId, VARIANT *value) override;
    HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple **host) override;
    // IRawElementProviderFragment
    HRESULT STDMETHODCALLTYPE Navigate(enum NavigateDirection direction,
                                       IRawElementProviderFragment **element) override;
    HRESULT STDMETHODCALLTYPE GetRuntimeId(SAFEARRAY **runtimeId) override;
    HRESULT STDMETHODCALLTYPE get_BoundingRectangle(struct UiaRect *rect) override;
    HRESULT STDMETHODCALLTYPE GetEmbeddedFragmentRoots(SAFEARRAY **roots) override;
    HRESULT STDMETHODCALLTYPE SetFocus(void) override;
    HRESULT STDMETHODCALLTYPE get_FragmentRoot(IRawElementProviderFragmentRoot **root) override;
    // IRawElementProviderFragmentRoot
    HRESULT STDMETHODCALLTYPE ElementProviderFromPoint(double x, double y,
                                                       IRawElementProviderFragment **element) override;
    HRESULT STDMETHODCALLTYPE GetFocus(IRawElementProviderFragment **element) override;
};

// The text pattern of the element; one object, never deleted.
class DocumentText : public ITextProvider {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef(void) override { return 2; }
    ULONG STDMETHODCALLTYPE Release(void) override { return 1; }
    HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY **ranges) override;
    HRESULT STDMETHODCALLTYPE GetVisibleRanges(SAFEARRAY **ranges) override;
    HRESULT STDMETHODCALLTYPE RangeFromChild(IRawElementProviderSimple *child,
                                             ITextRangeProvider **range) override;
    HRESULT STDMETHODCALLTYPE RangeFromPoint(struct UiaPoint point, ITextRangeProvider **range) override;
    HRESULT STDMETHODCALLTYPE get_DocumentRange(ITextRangeProvider **range) override;
    HRESULT STDMETHODCALLTYPE get_SupportedTextSelection(enum SupportedTextSelection *selection) override;
};

// Two positions in TextBuffer, start <= end; each client's range is an
// object of its own, deleted with its last reference.
class TextRange final : public ITextRangeProvider {
public:
    TextRange(int start, int end) : references(1), start(start), end(end) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef(void) override;
    ULONG STDMETHODCALLTYPE Release(void) override;
    HRESULT STDMETHODCALLTYPE Clone(ITextRangeProvider **clone) override;
    HRESULT STDMETHODCALLTYPE Compare(ITextRangeProvider *range, BOOL *same) override;
    HRESULT STDMETHODCALLTYPE CompareEndpoints(enum TextPatternRangeEndpoint endpoint,
                                               ITextRangeProvider *target,
                                               enum TextPatternRangeEndpoint targetEndpoint,
                                               int *order) override;
    HRESULT STDMETHODCALLTYPE ExpandToEnclosingUnit(enum TextUnit unit) override;
    HRESULT STDMETHODCALLTYPE FindAttribute(TEXTATTRIBUTEID attributeId, VARIANT value, BOOL backward,
                                            ITextRangeProvider **found) override;
    HRESULT STDMETHODCALLTYPE FindText(BSTR text, BOOL backward, BOOL ignoreCase,
                                       ITextRangeProvider **found) override;
    HRESULT STDMETHODCALLTYPE GetAttributeValue(TEXTATTRIBUTEID attributeId, VARIANT *value) override;
    HRESULT STDMETHODCALLTYPE GetBoundingRectangles(SAFEARRAY **rectangles) override;
    HRESULT STDMETHODCALLTYPE GetEnclosingElement(IRawElementProviderSimple **element) override;
    HRESULT STDMETHODCALLTYPE GetText(int maxLength, BSTR *text) override;
    HRESULT STDMETHODCALLTYPE Move(enum TextUnit unit, int count, int *moved) override;
    HRESULT STDMETHODCALLTYPE MoveEndpointByUnit(enum TextPatternRangeEndpoint endpoint, enum TextUnit unit,
                                                 int count, int *moved) override;
    HRESULT STDMETHODCALLTYPE MoveEndpointByRange(enum TextPatternRangeEndpoint endpoint,
                                                  ITextRangeProvider *target,
                                                  enum TextPatternRangeEndpoint targetEndpoint) override;
    HRESULT STDMETHODCALLTYPE Select(void) override;
    HRESULT STDMETHODCALLTYPE AddToSelection(void) override;
    HRESULT STDMETHODCALLTYPE RemoveFromSelection(void) override;
    HRESULT STDMETHODCALLTYPE ScrollIntoView(BOOL alignToTop) override;
    HRESULT STDMETHODCALLTYPE GetChildren(SAFEARRAY **children) override;

private:
    void Normalize(void);
    int Endpoint(enum TextPatternRangeEndpoint endpoint) const;
    void SetEndpoint(enum TextPatternRangeEndpoint endpoint, int position);
    ULONG references;
    int start;
    int end;
};

extern DocumentElement TheElement;
extern DocumentText TheText;
// Set once an element was handed to UI Automation: before that no client
// can listen to it.
extern BOOL ElementHandedOut;

// A new range, or NULL when memory is short; ranges put in an array of
// IUnknown pointers, or NULL.
TextRange *NewTextRange(int start, int end);
SAFEARRAY *RangeArray(const int *ends, int count);
// Whether the element's window is still there to answer.
BOOL ElementAlive(void);

#endif
