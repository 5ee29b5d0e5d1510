// winsim: the Print common dialog, printer device contexts and print jobs,
// and the ANSI text calls that print a page number.  Included by windows.h.
#ifndef WINSIM_PRINT_API_H
#define WINSIM_PRINT_API_H

typedef struct tagSIZE { LONG cx, cy; } SIZE, *LPSIZE;

// Device caps of a printer
#define PHYSICALWIDTH 110
#define PHYSICALHEIGHT 111
#define PHYSICALOFFSETX 112
#define PHYSICALOFFSETY 113

// Print dialog flags
#define PD_NOSELECTION 0x00000004
#define PD_NOPAGENUMS 0x00000008
#define PD_RETURNDC 0x00000100
#define PD_USEDEVMODECOPIESANDCOLLATE 0x00040000
#define PD_HIDEPRINTTOFILE 0x00100000

typedef struct tagPDA {
    DWORD lStructSize;
    HWND hwndOwner;
    HGLOBAL hDevMode;
    HGLOBAL hDevNames;
    HDC hDC;
    DWORD Flags;
    HINSTANCE hInstance;
} PRINTDLGA, *LPPRINTDLGA;

typedef struct _DOCINFOA {
    int cbSize;
    LPCSTR lpszDocName;
    LPCSTR lpszOutput;
    LPCSTR lpszDatatype;
    DWORD fwType;
} DOCINFOA;

#define SP_ERROR (-1)

// COMDLG32
BOOL WINAPI PrintDlgA(LPPRINTDLGA pd);

// GDI32
int WINAPI StartDocA(HDC hdc, const DOCINFOA *di);
int WINAPI StartPage(HDC hdc);
int WINAPI EndPage(HDC hdc);
int WINAPI EndDoc(HDC hdc);
int WINAPI AbortDoc(HDC hdc);
BOOL WINAPI DeleteDC(HDC hdc);
BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR text, int count);
BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR text, int count, LPSIZE size);

// USER32 and KERNEL32
int WINAPI wsprintfA(LPSTR buffer, LPCSTR format, ...);
int WINAPI lstrlenA(LPCSTR s);

#endif
