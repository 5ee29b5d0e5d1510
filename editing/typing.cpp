#include "editing/editing.h"
#include "editing/text_edit.h"

// One typed or picked code unit; an active selection is replaced by it.
void InsertCharacter(int code)
{
    if (code < 32 || code > 0xFFFF)
        return;  // control codes never enter the text by typing
    WCHAR unit = (WCHAR)code;
    ReplaceSelection(&unit, 1, TEXT("Can Not Add Character"));
}
