#include "picker/picker.h"

int ClampPickerPage(int page)
{
    if (page < PICKER_FIRST_PAGE)
        return PICKER_FIRST_PAGE;
    if (page > PICKER_LAST_PAGE)
        return PICKER_LAST_PAGE;
    return page;
}

// Whether the page is the last one in direction (-1 or +1).
BOOL PickerPageAtLimit(int direction)
{
    return PickerPage == (direction < 0 ? PICKER_FIRST_PAGE : PICKER_LAST_PAGE);
}

// Shared by the held mouse button and the held key, so both speed up alike.
void GrowingPageStep(int direction, int *counter)
{
    int step;
    if (*counter < 10) {
        step = 1;
        *counter += 1;
    } else if (*counter < 20) {
        step = 10;
        *counter += 1;
    } else {
        step = 100;
    }
    PickerPage = ClampPickerPage(PickerPage + direction * step);
}
