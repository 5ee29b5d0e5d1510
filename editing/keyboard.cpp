#include "editing/editing.h"

void HandleKeyDown(int)
{
}
