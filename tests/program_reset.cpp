#include "program_reset.h"

#include "app/shell.h"
#include "accessibility/providers.h"
#include "accessibility/uia_functions.h"
#include "document/document.h"
#include "document/layout.h"
#include "files/files.h"
#include "picker/picker.h"
#include "printing/printing.h"
#include "view/view.h"

#include <string.h>

#include <type_traits>

// Every mutable global of the program.  Window creation sets only some of
// them; the rest (the settings the menu changes, the picker's page, the file
// path, ...) would otherwise carry over from the previous run.
#define PROGRAM_GLOBALS(X)                                                                      \
    X(MainWindow) X(ColumnWidthInches) X(PageHeightInches) X(FontPoints) X(FontCharset)        \
    X(CurrentFace) X(WordWrapMode) X(PickerFocus) X(AutoRepeat) X(KeyRepeatCounter)            \
    X(TextBuffer) X(CharCount) X(LineTable) X(LineCount) X(Caret) X(SelStart) X(SelEnd)        \
    X(SelectionActive) X(SavedCopy) X(SavedCount) X(ReverseScratch) X(FileDialogRecord)        \
    X(FilePath) X(FileTitle) X(FileBuffer) X(PickerPage) X(PickerStrip) X(PickerItems)         \
    X(PickerHighlight) X(AutoRepeatTicks) X(PrintDialogRecord) X(PageNumber) X(PrintFont)      \
    X(RowPitch) X(ClientWidth) X(ClientHeight) X(ColumnLeft) X(ColumnRight) X(TopMargin)       \
    X(LineHeight) X(LinesPerPage) X(TopLine) X(SystemCaretHeight) X(SystemCaretPlace)          \
    X(SystemCaretCarried) X(CompositionOpen) X(LayoutChanges) X(UiaTable) X(UiaTried) X(UiaLoaded) \
    X(ElementHandedOut)

namespace {

struct InitialGlobals {
#define DECLARE(g) std::remove_reference_t<decltype(::g)> g;
    PROGRAM_GLOBALS(DECLARE)
#undef DECLARE
};

// Taken before the first run touches anything.
InitialGlobals *initialGlobals = [] {
    InitialGlobals *saved = new InitialGlobals;
#define SAVE(g) memcpy(&saved->g, &::g, sizeof ::g);
    PROGRAM_GLOBALS(SAVE)
#undef SAVE
    return saved;
}();

}  // namespace

void ResetProgramGlobals(void)
{
#define RESTORE(g) memcpy(&::g, &initialGlobals->g, sizeof ::g);
    PROGRAM_GLOBALS(RESTORE)
#undef RESTORE
}
