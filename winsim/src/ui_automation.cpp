// What UI Automation's core does for a provider in the program's process:
// WM_GETOBJECT sent for a client, the provider UiaReturnRawElementProvider
// is handed, a host provider per window, raised events, whether a client
// listens; and what it needs of USER32 and KERNEL32: captions, screen
// coordinates and uiautomationcore.dll's functions by name.
#include "internal.h"

#include <uiautomation.h>

#include <map>
#include <string.h>

namespace winsim {

// Where every window's client area stands on the screen.
const POINT kClientOrigin = {160, 120};

// The DLL's handle: any address that is no other object.
static char coreModule;

// What UiaHostProviderFromHwnd gives: the window's handle and caption.
class HostProvider final : public IRawElementProviderSimple {
public:
    explicit HostProvider(HWND hwnd) : hwnd(hwnd) {}
    HWND hwnd;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override
    {
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IRawElementProviderSimple)) {
            *object = static_cast<IRawElementProviderSimple *>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef(void) override { return ++references; }
    ULONG STDMETHODCALLTYPE Release(void) override
    {
        ULONG left = --references;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE get_ProviderOptions(enum ProviderOptions *options) override
    {
        *options = ProviderOptions_ServerSideProvider;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID, IUnknown **pattern) override
    {
        *pattern = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID id, VARIANT *value) override
    {
        VariantInit(value);
        if (id == UIA_NativeWindowHandlePropertyId) {
            value->vt = VT_I4;
            value->lVal = (LONG)(intptr_t)hwnd;
        } else if (id == UIA_NamePropertyId) {
            std::u16string title = WinsimWindowText(hwnd);
            value->vt = VT_BSTR;
            value->bstrVal = SysAllocStringLen(title.data(), (UINT)title.size());
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple **host) override
    {
        *host = nullptr;
        return S_OK;
    }

private:
    ULONG references = 1;
};

// The reserved value that says an attribute is not supported.
class NotSupportedValue : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override
    {
        *object = riid == __uuidof(IUnknown) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef(void) override { return 2; }
    ULONG STDMETHODCALLTYPE Release(void) override { return 1; }
};
static NotSupportedValue notSupported;

static struct UiaState {
    std::map<HWND, IRawElementProviderSimple *> returned;
    std::vector<HWND> released;
    std::vector<WinsimUiaEvent> events;
    bool listening = false;
    bool coreMissing = false;
    int moduleLoads = 0;
} state;

static void ReleaseReturned()
{
    for (auto &entry : state.returned)
        entry.second->Release();
    state.returned.clear();
}

void ResetUiAutomation()
{
    ReleaseReturned();
    state = UiaState{};
}

}  // namespace winsim

using namespace winsim;

// ---- uiautomationcore.dll ----

// UI Automation keeps the provider for the client that asked; a window
// that is gone says so with no provider and no parameters.
LRESULT WINAPI UiaReturnRawElementProvider(HWND hwnd, WPARAM wParam, LPARAM lParam,
                                           IRawElementProviderSimple *provider)
{
    if (!provider) {
        if (wParam == 0 && lParam == 0)
            state.released.push_back(hwnd);
        return 0;
    }
    provider->AddRef();
    auto old = state.returned.find(hwnd);
    if (old != state.returned.end())
        old->second->Release();
    state.returned[hwnd] = provider;
    return 1;
}

HRESULT WINAPI UiaHostProviderFromHwnd(HWND hwnd, IRawElementProviderSimple **provider)
{
    if (!provider)
        return E_INVALIDARG;
    *provider = nullptr;
    if (!WindowFrom(hwnd))
        return E_INVALIDARG;
    *provider = new HostProvider(hwnd);
    return S_OK;
}

BOOL WINAPI UiaClientsAreListening(void)
{
    return state.listening;
}

HRESULT WINAPI UiaRaiseAutomationEvent(IRawElementProviderSimple *provider, EVENTID id)
{
    if (!provider)
        return E_INVALIDARG;
    state.events.push_back(WinsimUiaEvent{provider, id});
    return S_OK;
}

HRESULT WINAPI UiaGetReservedNotSupportedValue(IUnknown **value)
{
    if (!value)
        return E_INVALIDARG;
    *value = &notSupported;
    return S_OK;
}

// ---- KERNEL32: loading the DLL by name ----

static bool SameNameIgnoringCase(LPCWSTR name, const char *ascii)
{
    for (; *name && *ascii; name++, ascii++) {
        WCHAR a = *name >= 'A' && *name <= 'Z' ? *name + 32 : *name;
        if (a != (WCHAR)*ascii)
            return false;
    }
    return *name == 0 && *ascii == 0;
}

#define ERROR_MOD_NOT_FOUND 126
#define ERROR_PROC_NOT_FOUND 127

HMODULE WINAPI LoadLibraryExW(LPCWSTR name, HANDLE, DWORD)
{
    if (!name || state.coreMissing || !SameNameIgnoringCase(name, "uiautomationcore.dll")) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    state.moduleLoads++;
    return reinterpret_cast<HMODULE>(&coreModule);
}

template <class F> static FARPROC Proc(F function)
{
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)(void)>(function));
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name)
{
    static const struct {
        const char *name;
        FARPROC function;
    } exports[] = {
        {"UiaReturnRawElementProvider", Proc(UiaReturnRawElementProvider)},
        {"UiaHostProviderFromHwnd", Proc(UiaHostProviderFromHwnd)},
        {"UiaClientsAreListening", Proc(UiaClientsAreListening)},
        {"UiaRaiseAutomationEvent", Proc(UiaRaiseAutomationEvent)},
        {"UiaGetReservedNotSupportedValue", Proc(UiaGetReservedNotSupportedValue)},
    };
    if (module == reinterpret_cast<HMODULE>(&coreModule) && name)
        for (const auto &e : exports)
            if (strcmp(e.name, name) == 0)
                return e.function;
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

// ---- USER32 ----

int WINAPI InternalGetWindowText(HWND hwnd, LPWSTR text, int maxCount)
{
    const std::u16string &title = RequireWindow(hwnd, "InternalGetWindowText")->title;
    if (maxCount <= 0)
        return 0;
    int count = (int)title.size() < maxCount - 1 ? (int)title.size() : maxCount - 1;
    memcpy(text, title.data(), count * sizeof(WCHAR));
    text[count] = 0;
    return count;
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point)
{
    RequireWindow(hwnd, "ClientToScreen");
    point->x += kClientOrigin.x;
    point->y += kClientOrigin.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point)
{
    RequireWindow(hwnd, "ScreenToClient");
    point->x -= kClientOrigin.x;
    point->y -= kClientOrigin.y;
    return TRUE;
}

// ---- test controls ----

IRawElementProviderSimple *WinsimUiaElement(HWND hwnd)
{
    auto old = state.returned.find(hwnd);
    if (old != state.returned.end()) {
        old->second->Release();
        state.returned.erase(old);
    }
    LRESULT answer = SendMessageW(hwnd, WM_GETOBJECT, 0, (LPARAM)UiaRootObjectId);
    auto found = state.returned.find(hwnd);
    if (answer == 0 || found == state.returned.end())
        return nullptr;
    IRawElementProviderSimple *provider = found->second;
    provider->AddRef();
    return provider;
}

bool WinsimUiaProviderReleased(HWND hwnd)
{
    for (HWND released : state.released)
        if (released == hwnd)
            return true;
    return false;
}

HWND WinsimHostProviderWindow(IRawElementProviderSimple *provider)
{
    HostProvider *host = dynamic_cast<HostProvider *>(provider);
    return host ? host->hwnd : nullptr;
}

IUnknown *WinsimUiaNotSupportedValue(void)
{
    return &notSupported;
}

void WinsimSetUiaClientsListening(bool listening)
{
    state.listening = listening;
}

const std::vector<WinsimUiaEvent> &WinsimUiaEvents(void)
{
    return state.events;
}

void WinsimClearUiaEvents(void)
{
    state.events.clear();
}

void WinsimUiaCoreMissing(bool missing)
{
    state.coreMissing = missing;
}

int WinsimModuleLoads(void)
{
    return state.moduleLoads;
}
