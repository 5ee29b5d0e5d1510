// winsim's IMM32: the input method calls Inkwarden makes, with the names
// and constants of the SDK's imm.h.
#ifndef WINSIM_IMM_H
#define WINSIM_IMM_H

#include <windows.h>

DECLARE_WINSIM_HANDLE(HIMC);

typedef struct tagCOMPOSITIONFORM {
    DWORD dwStyle;
    POINT ptCurrentPos;
    RECT rcArea;
} COMPOSITIONFORM, *LPCOMPOSITIONFORM;

typedef struct tagCANDIDATEFORM {
    DWORD dwIndex;
    DWORD dwStyle;
    POINT ptCurrentPos;
    RECT rcArea;
} CANDIDATEFORM, *LPCANDIDATEFORM;

typedef LOGFONTW *LPLOGFONTW;

#define CFS_POINT 0x0002
#define CFS_EXCLUDE 0x0080

#define GCS_COMPSTR 0x0008
#define GCS_RESULTSTR 0x0800

#define NI_COMPOSITIONSTR 0x0015
#define CPS_COMPLETE 0x0001
#define CPS_CANCEL 0x0004

#define IACE_CHILDREN 0x0001
#define IACE_DEFAULT 0x0010

// NULL for a window with no input context associated.
HIMC WINAPI ImmGetContext(HWND hwnd);
BOOL WINAPI ImmReleaseContext(HWND hwnd, HIMC context);
BOOL WINAPI ImmSetCompositionWindow(HIMC context, LPCOMPOSITIONFORM form);
BOOL WINAPI ImmSetCandidateWindow(HIMC context, LPCANDIDATEFORM form);
BOOL WINAPI ImmSetCompositionFontW(HIMC context, LPLOGFONTW font);
// Bytes copied, or with no buffer the bytes the string needs; negative on failure.
LONG WINAPI ImmGetCompositionStringW(HIMC context, DWORD index, LPVOID buffer, DWORD bytes);
BOOL WINAPI ImmNotifyIME(HIMC context, DWORD action, DWORD index, DWORD value);
BOOL WINAPI ImmAssociateContextEx(HWND hwnd, HIMC context, DWORD flags);


#endif
