#include "settings/settings.h"

void SetFontSize(int)
{
}

void SetWordWrap(int)
{
}
