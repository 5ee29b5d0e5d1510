#include "app/shell.h"
#include "app/resource.h"

HWND MainWindow;

int ColumnWidthInches = 6;
int PageHeightInches = 8;
int FontPoints = -32;
BYTE FontCharset = CHINESEBIG5_CHARSET;
WCHAR CurrentFace[LF_FACESIZE];
int WordWrapMode = IDM_WRAP_YES;

int PickerFocus;
int AutoRepeat;
int KeyRepeatCounter;
