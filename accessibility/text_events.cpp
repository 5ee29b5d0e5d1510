// The events a screen reader follows the text by.  Nothing is asked of
// UI Automation, and nothing loaded, until an element was handed out.
#include "accessibility/accessibility.h"
#include "accessibility/providers.h"
#include "accessibility/uia_functions.h"
#include "document/document.h"
#include "document/layout.h"

TextState NoteTextState(void)
{
    TextState state = {Caret, SelStart, SelEnd, SelectionActive, LayoutChanges};
    return state;
}

void RaiseTextEvents(const TextState *before)
{
    if (!ElementHandedOut)
        return;
    BOOL textChanged = LayoutChanges != before->layoutChanges;
    BOOL selectionChanged = Caret != before->caret || SelectionActive != before->selectionActive ||
                            (SelectionActive && (SelStart != before->selStart || SelEnd != before->selEnd));
    if (!textChanged && !selectionChanged)
        return;
    const UiaFunctions *uia = Uia();
    if (!uia->ClientsAreListening())
        return;
    IRawElementProviderSimple *element = static_cast<IRawElementProviderSimple *>(&TheElement);
    if (textChanged)
        uia->RaiseAutomationEvent(element, UIA_Text_TextChangedEventId);
    if (selectionChanged)
        uia->RaiseAutomationEvent(element, UIA_Text_TextSelectionChangedEventId);
}
