// The window's own element: a Document named after the caption, with the
// text pattern.  The host provider of the window supplies the rest (its
// place in the tree, the process, the window handle).
#include "accessibility/accessibility.h"
#include "accessibility/providers.h"
#include "accessibility/uia_functions.h"
#include "app/shell.h"
#include "view/view.h"

DocumentElement TheElement;
BOOL ElementHandedOut;

BOOL ElementAlive(void)
{
    return MainWindow != NULL && IsWindow(MainWindow);
}

// Asked of the window's thread, not the caller's: Wine 8 calls providers
// from a thread of its own, where GetFocus knows of no window.
static BOOL WindowHasFocus(void)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(MainWindow, NULL), &info) && info.hwndFocus == MainWindow;
}

LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam)
{
    const UiaFunctions *uia = (LONG)lParam == UiaRootObjectId ? Uia() : NULL;
    if (!uia)
        return DefWindowProc(window, WM_GETOBJECT, wParam, lParam);
    ElementHandedOut = TRUE;
    return uia->ReturnRawElementProvider(window, wParam, lParam,
                                         static_cast<IRawElementProviderSimple *>(&TheElement));
}

void ForgetElement(HWND window)
{
    if (!ElementHandedOut)
        return;
    ElementHandedOut = FALSE;
    Uia()->ReturnRawElementProvider(window, 0, 0, NULL);
}

HRESULT DocumentElement::QueryInterface(REFIID riid, void **object)
{
    if (!object)
        return E_POINTER;
    *object = NULL;
    if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(IRawElementProviderSimple)))
        *object = static_cast<IRawElementProviderSimple *>(this);
    else if (IsEqualIID(riid, __uuidof(IRawElementProviderFragment)))
        *object = static_cast<IRawElementProviderFragment *>(this);
    else if (IsEqualIID(riid, __uuidof(IRawElementProviderFragmentRoot)))
        *object = static_cast<IRawElementProviderFragmentRoot *>(this);
    return *object ? S_OK : E_NOINTERFACE;
}

// Called on the window's thread, like every message.
HRESULT DocumentElement::get_ProviderOptions(enum ProviderOptions *options)
{
    if (!options)
        return E_INVALIDARG;
    *options = ProviderOptions_ServerSideProvider;
    return S_OK;
}

HRESULT DocumentElement::GetPatternProvider(PATTERNID patternId, IUnknown **pattern)
{
    if (!pattern)
        return E_INVALIDARG;
    *pattern = patternId == UIA_TextPatternId ? static_cast<IUnknown *>(&TheText) : NULL;
    return S_OK;
}

static HRESULT TrueOrFalse(VARIANT *value, BOOL truth)
{
    value->vt = VT_BOOL;
    value->boolVal = truth ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

// What is not answered here comes from the host provider.
HRESULT DocumentElement::GetPropertyValue(PROPERTYID propertyId, VARIANT *value)
{
    if (!value)
        return E_INVALIDARG;
    VariantInit(value);
    if (!ElementAlive())
        return UIA_E_ELEMENTNOTAVAILABLE;
    switch (propertyId) {
    case UIA_ControlTypePropertyId:
        value->vt = VT_I4;
        value->lVal = UIA_DocumentControlTypeId;
        return S_OK;
    case UIA_NamePropertyId: {
        // Read without WM_GETTEXT, which from Wine's thread would wait on ours.
        WCHAR caption[MAX_PATH];
        InternalGetWindowText(MainWindow, caption, MAX_PATH);
        value->bstrVal = SysAllocString(caption);
        value->vt = value->bstrVal ? VT_BSTR : VT_EMPTY;
        return value->bstrVal ? S_OK : E_OUTOFMEMORY;
    }
    case UIA_IsKeyboardFocusablePropertyId: return TrueOrFalse(value, TRUE);
    case UIA_HasKeyboardFocusPropertyId: return TrueOrFalse(value, WindowHasFocus());
    case UIA_IsTextPatternAvailablePropertyId: return TrueOrFalse(value, TRUE);
    }
    return S_OK;
}

HRESULT DocumentElement::get_HostRawElementProvider(IRawElementProviderSimple **host)
{
    if (!host)
        return E_INVALIDARG;
    *host = NULL;
    return ElementAlive() ? Uia()->HostProviderFromHwnd(MainWindow, host) : UIA_E_ELEMENTNOTAVAILABLE;
}

// The window's parent and siblings come from its host; the text has no
// child elements.
HRESULT DocumentElement::Navigate(enum NavigateDirection, IRawElementProviderFragment **element)
{
    if (!element)
        return E_INVALIDARG;
    *element = NULL;
    return S_OK;
}

// The root hosted in a window gets its id from the window.
HRESULT DocumentElement::GetRuntimeId(SAFEARRAY **runtimeId)
{
    if (!runtimeId)
        return E_INVALIDARG;
    *runtimeId = NULL;
    return S_OK;
}

// The text region of the client area (the column below the picker, as
// far as the window shows it), in screen pixels.
HRESULT DocumentElement::get_BoundingRectangle(struct UiaRect *rect)
{
    if (!rect)
        return E_INVALIDARG;
    if (!ElementAlive())
        return UIA_E_ELEMENTNOTAVAILABLE;
    POINT topLeft = {ColumnLeft > 0 ? ColumnLeft : 0, TopMargin};
    POINT bottomRight = {ColumnRight < ClientWidth ? ColumnRight : ClientWidth, ClientHeight};
    if (bottomRight.y < topLeft.y)
        bottomRight.y = topLeft.y;
    ClientToScreen(MainWindow, &topLeft);
    ClientToScreen(MainWindow, &bottomRight);
    rect->left = topLeft.x;
    rect->top = topLeft.y;
    rect->width = bottomRight.x - topLeft.x;
    rect->height = bottomRight.y - topLeft.y;
    return S_OK;
}

HRESULT DocumentElement::GetEmbeddedFragmentRoots(SAFEARRAY **roots)
{
    if (!roots)
        return E_INVALIDARG;
    *roots = NULL;
    return S_OK;
}

HRESULT DocumentElement::SetFocus(void)
{
    if (!ElementAlive())
        return UIA_E_ELEMENTNOTAVAILABLE;
    ::SetFocus(MainWindow);
    return S_OK;
}

HRESULT DocumentElement::get_FragmentRoot(IRawElementProviderFragmentRoot **root)
{
    if (!root)
        return E_INVALIDARG;
    *root = this;
    return S_OK;
}

// The whole text area is this one element.
HRESULT DocumentElement::ElementProviderFromPoint(double, double, IRawElementProviderFragment **element)
{
    if (!element)
        return E_INVALIDARG;
    *element = this;
    return S_OK;
}

HRESULT DocumentElement::GetFocus(IRawElementProviderFragment **element)
{
    if (!element)
        return E_INVALIDARG;
    *element = WindowHasFocus() ? this : NULL;
    return S_OK;
}
