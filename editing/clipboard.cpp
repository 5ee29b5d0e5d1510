#include "editing/editing.h"

void UpdateEditMenu(void)
{
}

void CutSelection(void)
{
}

void CopySelection(void)
{
}

void PasteClipboard(void)
{
}

void DeleteSelection(void)
{
}

void SelectAll(void)
{
}
