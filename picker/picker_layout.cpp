#include "picker/picker.h"
#include "app/shell.h"
#include "view/view.h"

int PickerPage = 1997;
RECT PickerStrip;
RECT PickerItems[PICKER_ITEM_COUNT];
int PickerHighlight;

static void SetItem(int item, int left, int top, int right, int bottom)
{
    RECT r = {left, top, right, bottom};
    PickerItems[item] = r;
}

// Sixteen units wide: three for the buttons, three for the page box, ten for
// the digits over the cells.  Dividing by 8 first keeps units whole.
void ComputePickerGeometry(void)
{
    HDC dc = GetDC(MainWindow);
    int unitX = 3 * (GetDeviceCaps(dc, LOGPIXELSX) / 8);
    int unitY = 3 * (GetDeviceCaps(dc, LOGPIXELSY) / 8);
    ReleaseDC(MainWindow, dc);

    int x = (ClientWidth - 16 * unitX) / 2;
    int u = unitY;
    RECT strip = {x, u, x + 16 * unitX, 3 * u};
    PickerStrip = strip;
    SetItem(PICKER_UP, x, u, x + 3 * unitX, 2 * u);
    SetItem(PICKER_DOWN, x, 2 * u, x + 3 * unitX, 3 * u);
    SetItem(PICKER_PAGE_BOX, x + 3 * unitX, u, x + 6 * unitX, 3 * u);
    for (int d = 0; d < 10; d++) {
        int left = x + (6 + d) * unitX;
        SetItem(PICKER_FIRST_DIGIT + d, left, u, left + unitX, 2 * u);
        SetItem(PICKER_FIRST_CELL + d, left, 2 * u, left + unitX, 3 * u);
    }
}
