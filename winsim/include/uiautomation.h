// UI Automation as a provider sees it: the provider interfaces, the text
// pattern's interfaces and enumerations, the identifiers and the
// UiaReturnRawElementProvider family of uiautomationcore.dll.  Programs
// load the functions from the DLL; they are declared here so that winsim
// can hand them out from GetProcAddress.
#ifndef WINSIM_UIAUTOMATION_H
#define WINSIM_UIAUTOMATION_H

#include <windows.h>

typedef int PROPERTYID;
typedef int PATTERNID;
typedef int EVENTID;
typedef int TEXTATTRIBUTEID;
typedef int CONTROLTYPEID;

#define UiaRootObjectId -25
#define UIA_E_ELEMENTNOTAVAILABLE ((HRESULT)0x80040201)
#define UIA_E_INVALIDOPERATION ((HRESULT)0x80131509)

#define UIA_TextPatternId 10014
#define UIA_ControlTypePropertyId 30003
#define UIA_NamePropertyId 30005
#define UIA_HasKeyboardFocusPropertyId 30008
#define UIA_IsKeyboardFocusablePropertyId 30009
#define UIA_NativeWindowHandlePropertyId 30020
#define UIA_IsTextPatternAvailablePropertyId 30040
#define UIA_DocumentControlTypeId 50030
#define UIA_Text_TextSelectionChangedEventId 20014
#define UIA_Text_TextChangedEventId 20015
#define UIA_FontNameAttributeId 40005
#define UIA_FontSizeAttributeId 40007
#define UIA_IsReadOnlyAttributeId 40015

enum ProviderOptions {
    ProviderOptions_ClientSideProvider = 0x1,
    ProviderOptions_ServerSideProvider = 0x2,
};
enum NavigateDirection {
    NavigateDirection_Parent = 0,
    NavigateDirection_NextSibling = 1,
    NavigateDirection_PreviousSibling = 2,
    NavigateDirection_FirstChild = 3,
    NavigateDirection_LastChild = 4
};
enum SupportedTextSelection {
    SupportedTextSelection_None = 0,
    SupportedTextSelection_Single = 1,
    SupportedTextSelection_Multiple = 2
};
enum TextUnit {
    TextUnit_Character = 0,
    TextUnit_Format = 1,
    TextUnit_Word = 2,
    TextUnit_Line = 3,
    TextUnit_Paragraph = 4,
    TextUnit_Page = 5,
    TextUnit_Document = 6
};
enum TextPatternRangeEndpoint { TextPatternRangeEndpoint_Start = 0, TextPatternRangeEndpoint_End = 1 };

struct UiaRect {
    double left, top, width, height;
};
struct UiaPoint {
    double x, y;
};

struct IRawElementProviderSimple : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_ProviderOptions(enum ProviderOptions *options) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID patternId, IUnknown **pattern) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID propertyId, VARIANT *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple **host) = 0;
};
WINSIM_UUID_DECL(IRawElementProviderSimple, 0xd6dd68d1, 0x86fd, 0x4332, 0x86, 0x66, 0x9a, 0xbe, 0xde,
                 0xa2, 0xd2, 0x4c)

struct IRawElementProviderFragmentRoot;
struct IRawElementProviderFragment : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Navigate(enum NavigateDirection direction,
                                               IRawElementProviderFragment **element) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRuntimeId(SAFEARRAY **runtimeId) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BoundingRectangle(struct UiaRect *rect) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEmbeddedFragmentRoots(SAFEARRAY **roots) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetFocus(void) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_FragmentRoot(IRawElementProviderFragmentRoot **root) = 0;
};
WINSIM_UUID_DECL(IRawElementProviderFragment, 0xf7063da8, 0x8359, 0x439c, 0x92, 0x97, 0xbb, 0xc5,
                 0x29, 0x9a, 0x7d, 0x87)

struct IRawElementProviderFragmentRoot : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ElementProviderFromPoint(double x, double y,
                                                               IRawElementProviderFragment **element) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFocus(IRawElementProviderFragment **element) = 0;
};
WINSIM_UUID_DECL(IRawElementProviderFragmentRoot, 0x620ce2a5, 0xab8f, 0x40a9, 0x86, 0xcb, 0xde, 0x3c,
                 0x75, 0x59, 0x9b, 0x58)

struct ITextRangeProvider;
struct ITextProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY **ranges) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVisibleRanges(SAFEARRAY **ranges) = 0;
    virtual HRESULT STDMETHODCALLTYPE RangeFromChild(IRawElementProviderSimple *child,
                                                     ITextRangeProvider **range) = 0;
    virtual HRESULT STDMETHODCALLTYPE RangeFromPoint(struct UiaPoint point, ITextRangeProvider **range) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DocumentRange(ITextRangeProvider **range) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SupportedTextSelection(enum SupportedTextSelection *selection) = 0;
};
WINSIM_UUID_DECL(ITextProvider, 0x3589c92c, 0x63f3, 0x4367, 0x99, 0xbb, 0xad, 0xa6, 0x53, 0xb7, 0x7c,
                 0xf2)

struct ITextRangeProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Clone(ITextRangeProvider **clone) = 0;
    virtual HRESULT STDMETHODCALLTYPE Compare(ITextRangeProvider *range, BOOL *same) = 0;
    virtual HRESULT STDMETHODCALLTYPE CompareEndpoints(enum TextPatternRangeEndpoint endpoint,
                                                       ITextRangeProvider *target,
                                                       enum TextPatternRangeEndpoint targetEndpoint,
                                                       int *order) = 0;
    virtual HRESULT STDMETHODCALLTYPE ExpandToEnclosingUnit(enum TextUnit unit) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindAttribute(TEXTATTRIBUTEID attributeId, VARIANT value,
                                                    BOOL backward, ITextRangeProvider **found) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindText(BSTR text, BOOL backward, BOOL ignoreCase,
                                               ITextRangeProvider **found) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAttributeValue(TEXTATTRIBUTEID attributeId, VARIANT *value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBoundingRectangles(SAFEARRAY **rectangles) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEnclosingElement(IRawElementProviderSimple **element) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetText(int maxLength, BSTR *text) = 0;
    virtual HRESULT STDMETHODCALLTYPE Move(enum TextUnit unit, int count, int *moved) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveEndpointByUnit(enum TextPatternRangeEndpoint endpoint,
                                                         enum TextUnit unit, int count, int *moved) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveEndpointByRange(enum TextPatternRangeEndpoint endpoint,
                                                          ITextRangeProvider *target,
                                                          enum TextPatternRangeEndpoint targetEndpoint) = 0;
    virtual HRESULT STDMETHODCALLTYPE Select(void) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddToSelection(void) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveFromSelection(void) = 0;
    virtual HRESULT STDMETHODCALLTYPE ScrollIntoView(BOOL alignToTop) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetChildren(SAFEARRAY **children) = 0;
};
WINSIM_UUID_DECL(ITextRangeProvider, 0x5347ad7b, 0xc355, 0x46f8, 0xaf, 0xf5, 0x90, 0x90, 0x33, 0x58,
                 0x2f, 0x63)

// uiautomationcore.dll
LRESULT WINAPI UiaReturnRawElementProvider(HWND hwnd, WPARAM wParam, LPARAM lParam,
                                           IRawElementProviderSimple *provider);
HRESULT WINAPI UiaHostProviderFromHwnd(HWND hwnd, IRawElementProviderSimple **provider);
BOOL WINAPI UiaClientsAreListening(void);
HRESULT WINAPI UiaRaiseAutomationEvent(IRawElementProviderSimple *provider, EVENTID id);
HRESULT WINAPI UiaGetReservedNotSupportedValue(IUnknown **value);

#endif
