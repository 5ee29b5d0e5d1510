#include "accessibility/uia_functions.h"

UiaFunctions UiaTable;
BOOL UiaTried;
BOOL UiaLoaded;

// Through a function type of no arguments, so that no compiler warns of
// the cast from FARPROC.
template <class T> static BOOL Find(HMODULE module, const char *name, T *function)
{
    FARPROC found = GetProcAddress(module, name);
    *function = reinterpret_cast<T>(reinterpret_cast<void (*)(void)>(found));
    return found != NULL;
}

// Only from the system folder: a DLL of that name beside the program is
// never loaded.  The module stays loaded for the life of the process.
const UiaFunctions *Uia(void)
{
    if (!UiaTried) {
        UiaTried = TRUE;
        HMODULE module = LoadLibraryEx(TEXT("uiautomationcore.dll"), NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
        UiaLoaded = module != NULL &&
                 Find(module, "UiaReturnRawElementProvider", &UiaTable.ReturnRawElementProvider) &&
                 Find(module, "UiaHostProviderFromHwnd", &UiaTable.HostProviderFromHwnd) &&
                 Find(module, "UiaClientsAreListening", &UiaTable.ClientsAreListening) &&
                 Find(module, "UiaRaiseAutomationEvent", &UiaTable.RaiseAutomationEvent) &&
                 Find(module, "UiaGetReservedNotSupportedValue", &UiaTable.GetReservedNotSupportedValue);
    }
    return UiaLoaded ? &UiaTable : NULL;
}
