#include "editing/editing.h"

void InsertCharacter(int)
{
}
