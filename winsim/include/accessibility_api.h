// The parts of USER32, KERNEL32 and OLE Automation that a UI Automation
// provider calls: WM_GETOBJECT, the window's caption and place on the
// screen, loading a system DLL, COM's IUnknown and the BSTR,
// VARIANT and SAFEARRAY it hands values in.  Included by <windows.h>, as
// the SDK's <windows.h> brings in <ole2.h>.
#ifndef WINSIM_ACCESSIBILITY_API_H
#define WINSIM_ACCESSIBILITY_API_H

#define WM_GETOBJECT 0x003D
#define OBJID_CLIENT ((LONG)0xFFFFFFFC)

// The caption as the window manager keeps it, without WM_GETTEXT.
int WINAPI InternalGetWindowText(HWND hwnd, LPWSTR text, int maxCount);
BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point);
BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point);

typedef intptr_t (WINAPI *FARPROC)(void);
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
HMODULE WINAPI LoadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags);
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name);

// COM
typedef int32_t HRESULT;
typedef uint32_t ULONG;
typedef short SHORT;
typedef unsigned short USHORT;
typedef double DOUBLE;
#define STDMETHODCALLTYPE
#define S_OK ((HRESULT)0)
#define E_NOINTERFACE ((HRESULT)0x80004002)
#define E_POINTER ((HRESULT)0x80004003)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

typedef struct _GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
} GUID, IID;
typedef const IID &REFIID;
inline bool operator==(const GUID &a, const GUID &b)
{
    const uint8_t *x = reinterpret_cast<const uint8_t *>(&a);
    const uint8_t *y = reinterpret_cast<const uint8_t *>(&b);
    for (unsigned i = 0; i < sizeof(GUID); i++)
        if (x[i] != y[i])
            return false;
    return true;
}
#define IsEqualIID(a, b) ((a) == (b))

// __uuidof as MinGW-w64 gives it: each interface declares its IID once.
template <class T> const GUID &winsim_uuidof();
#define WINSIM_UUID_DECL(type, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)          \
    template <> inline const GUID &winsim_uuidof<type>()                          \
    {                                                                             \
        static const GUID id = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}};     \
        return id;                                                                \
    }
#define __uuidof(type) winsim_uuidof<__typeof__(type)>()

struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef(void) = 0;
    virtual ULONG STDMETHODCALLTYPE Release(void) = 0;
};
WINSIM_UUID_DECL(IUnknown, 0x00000000, 0x0000, 0x0000, 0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)

// OLE Automation: length-prefixed strings, variants, one-dimensional arrays.
typedef WCHAR OLECHAR;
typedef OLECHAR *BSTR;
typedef short VARIANT_BOOL;
#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)
BSTR WINAPI SysAllocString(const OLECHAR *text);
BSTR WINAPI SysAllocStringLen(const OLECHAR *text, UINT length);
void WINAPI SysFreeString(BSTR text);
UINT WINAPI SysStringLen(BSTR text);

typedef unsigned short VARTYPE;
enum VARENUM { VT_EMPTY = 0, VT_I4 = 3, VT_R8 = 5, VT_BSTR = 8, VT_BOOL = 11, VT_UNKNOWN = 13,
               VT_ARRAY = 0x2000 };

typedef struct tagSAFEARRAYBOUND {
    ULONG cElements;
    LONG lLbound;
} SAFEARRAYBOUND;
typedef struct tagSAFEARRAY {
    USHORT cDims;
    ULONG cbElements;
    void *pvData;
    SAFEARRAYBOUND rgsabound[1];
} SAFEARRAY;
SAFEARRAY *WINAPI SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements);
HRESULT WINAPI SafeArrayPutElement(SAFEARRAY *array, LONG *indices, void *value);
HRESULT WINAPI SafeArrayGetElement(SAFEARRAY *array, LONG *indices, void *value);
HRESULT WINAPI SafeArrayGetUBound(SAFEARRAY *array, UINT dimension, LONG *bound);
HRESULT WINAPI SafeArrayDestroy(SAFEARRAY *array);

typedef struct tagVARIANT {
    VARTYPE vt;
    union {
        LONG lVal;
        DOUBLE dblVal;
        VARIANT_BOOL boolVal;
        BSTR bstrVal;
        IUnknown *punkVal;
        SAFEARRAY *parray;
    };
} VARIANT;
void WINAPI VariantInit(VARIANT *variant);

#define LoadLibraryEx LoadLibraryExW

#endif
