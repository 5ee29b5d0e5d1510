#include "view/view.h"

void DrawSelection(HDC)
{
}
