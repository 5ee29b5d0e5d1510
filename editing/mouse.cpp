#include "editing/editing.h"

void HandleLeftButtonDown(LPARAM)
{
}
