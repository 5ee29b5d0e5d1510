#include "picker/picker.h"
#include "view/view.h"

// The highlight frame reaches one pixel outside its item.
void RepaintHighlight(int item)
{
    RECT r = PickerItems[item];
    RECT grown = {r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
    RepaintRect(&grown);
}

// The old item first, then PickerHighlight, and neither when it stayed.
void RepaintMovedHighlight(int oldItem)
{
    if (PickerHighlight == oldItem)
        return;
    RepaintHighlight(oldItem);
    RepaintHighlight(PickerHighlight);
}

void RepaintPageNumber(void)
{
    RepaintRect(&PickerItems[PICKER_PAGE_BOX]);
}

void RepaintCells(void)
{
    RECT band = {PickerItems[PICKER_FIRST_CELL].left, PickerItems[PICKER_FIRST_CELL].top,
                 PickerItems[PICKER_LAST_CELL].right, PickerItems[PICKER_LAST_CELL].bottom};
    RepaintRect(&band);
}

// The second top rule shows which side has the keyboard.
void RepaintFocusRule(void)
{
    RECT band = {ColumnLeft, TopMargin - 2, ColumnRight, TopMargin - 1};
    RepaintRect(&band);
}
