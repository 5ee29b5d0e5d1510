// The few functions of uiautomationcore.dll, loaded at first use so that
// the program still starts where the DLL is missing.
#ifndef INKWARDEN_UIA_FUNCTIONS_H
#define INKWARDEN_UIA_FUNCTIONS_H

#include "accessibility/uia_declarations.h"

struct UiaFunctions {
    LRESULT (WINAPI *ReturnRawElementProvider)(HWND, WPARAM, LPARAM, IRawElementProviderSimple *);
    HRESULT (WINAPI *HostProviderFromHwnd)(HWND, IRawElementProviderSimple **);
    BOOL (WINAPI *ClientsAreListening)(void);
    HRESULT (WINAPI *RaiseAutomationEvent)(IRawElementProviderSimple *, EVENTID);
    HRESULT (WINAPI *GetReservedNotSupportedValue)(IUnknown **);
};

extern UiaFunctions UiaTable;
extern BOOL UiaTried;
extern BOOL UiaLoaded;

// NULL when the DLL or one of the functions is missing.
const UiaFunctions *Uia(void);

#endif
