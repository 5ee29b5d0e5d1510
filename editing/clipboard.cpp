#include "editing/editing.h"
#include "editing/text_edit.h"
#include "app/resource.h"
#include "app/shell.h"
#include "document/document.h"
#include "view/view.h"

#include <string.h>

#define CLIPBOARD_BLOCK_FLAGS (GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE)

// The units Cut, Copy and Delete act on; 0 when there is no selection.
static int SelectedUnits(void)
{
    return SelectionActive ? SelEnd - SelStart : 0;
}

// The selected units and one 0 unit, handed to the clipboard.  Every result
// is checked, because Cut deletes the text only once it is really there; a
// block the clipboard did not take is freed here, one it took is its own.
static BOOL PlaceSelectionOnClipboard(LPCWSTR caption)
{
    int count = SelectedUnits();
    // Clipboard text ends at its first 0: Paste would give back less, and
    // Cut would delete what it never placed.
    for (int i = SelStart; i < SelEnd; i++)
        if (TextBuffer[i] == 0) {
            ReportWarning(caption, TEXT("The selection holds a character that the Clipboard cannot carry"));
            return FALSE;
        }
    HGLOBAL block = GlobalAlloc(CLIPBOARD_BLOCK_FLAGS, (count + 1) * sizeof(WCHAR));
    if (!block) {
        ReportWarning(caption, TEXT("Can not allocate memory"));
        return FALSE;
    }
    WCHAR *units = (WCHAR *)GlobalLock(block);
    if (!units) {
        GlobalFree(block);
        ReportWarning(caption, TEXT("Can not obtain a pointer to global memory"));
        return FALSE;
    }
    memcpy(units, &TextBuffer[SelStart], count * sizeof(WCHAR));
    GlobalUnlock(block);

    if (!OpenClipboard(MainWindow)) {
        GlobalFree(block);
        ReportWarning(caption, TEXT("Can not open the Clipboard"));
        return FALSE;
    }
    if (!EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, block)) {
        CloseClipboard();
        GlobalFree(block);
        ReportWarning(caption, TEXT("Can not place the text on the Clipboard"));
        return FALSE;
    }
    // The clipboard owns the block now; whether others can read it is not
    // sure, so Cut keeps the text.
    if (!CloseClipboard()) {
        ReportWarning(caption, TEXT("Can not close the Clipboard"));
        return FALSE;
    }
    return TRUE;
}

void CopySelection(void)
{
    if (SelectedUnits() == 0)
        return;
    PlaceSelectionOnClipboard(TEXT("Can Not Copy"));
}

void CutSelection(void)
{
    if (SelectedUnits() == 0)
        return;
    if (PlaceSelectionOnClipboard(TEXT("Can Not Cut")))
        ReplaceSelection(NULL, 0, TEXT("Can Not Cut"));
}

void DeleteSelection(void)
{
    if (SelectedUnits() == 0)
        return;
    ReplaceSelection(NULL, 0, TEXT("Can Not Delete"));
}

// Copies the clipboard's Unicode text block into a heap buffer two bytes
// longer, cleared, and closes the clipboard at once; wholeUnits gets the
// block's size in whole units.  Returns NULL after reporting a failure.
static WCHAR *TakeClipboardText(SIZE_T *wholeUnits)
{
    if (!OpenClipboard(MainWindow)) {
        ReportWarning(TEXT("Can Not Paste"), TEXT("Can not open the Clipboard"));
        return NULL;
    }
    HGLOBAL block = GetClipboardData(CF_UNICODETEXT);
    SIZE_T size = block ? GlobalSize(block) : 0;
    if (size == 0) {
        CloseClipboard();
        ReportWarning(TEXT("Can Not Paste"),
                      TEXT("Can not obtain a handle to the Clipboard memory object"));
        return NULL;
    }
    WCHAR *buffer = (WCHAR *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size + 2);
    if (!buffer) {
        CloseClipboard();
        ReportWarning(TEXT("Can Not Paste"), TEXT("Can not allocate memory"));
        return NULL;
    }
    const void *source = GlobalLock(block);
    if (!source) {
        CloseClipboard();
        HeapFree(GetProcessHeap(), 0, buffer);
        ReportWarning(TEXT("Can Not Paste"), TEXT("Can not obtain a pointer to global memory"));
        return NULL;
    }
    memcpy(buffer, source, size);
    GlobalUnlock(block);
    CloseClipboard();
    *wholeUnits = size / 2;  // an odd last byte is dropped
    return buffer;
}

// The whole units before the first 0.  Past the buffer's limit the exact
// length no longer matters: any such text is refused as too long.
static int PasteLength(const WCHAR *buffer, SIZE_T wholeUnits)
{
    int length = 0;
    while ((SIZE_T)length < wholeUnits && length <= TEXT_BUFFER_UNITS && buffer[length] != 0)
        length++;
    return length;
}

void PasteClipboard(void)
{
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT))
        return;
    SIZE_T wholeUnits;
    WCHAR *pasteBuffer = TakeClipboardText(&wholeUnits);
    if (!pasteBuffer)
        return;
    int count = PasteLength(pasteBuffer, wholeUnits);
    CollapseEmptySelection();
    ReplaceSelection(pasteBuffer, count, TEXT("Can Not Paste"));
    HeapFree(GetProcessHeap(), 0, pasteBuffer);
}

// Repaints only what the selection gains on either side.
void SelectAll(void)
{
    int pageGap = ScreenPageGap();
    int end = CharCount - 1;
    CollapseEmptySelection();
    PlaceCaret(end);
    if (SelectionActive) {
        if (SelStart > 0) {
            int oldStart = SelStart;
            SelStart = 0;
            InvalidateSpan(0, oldStart);
        }
        if (SelEnd < end) {
            int oldEnd = SelEnd;
            SelEnd = end;
            InvalidateSpan(oldEnd, end);
        }
    } else if (end > 0) {
        // The empty document has nothing to select: an active selection is never empty.
        SelectionActive = 1;
        SelStart = 0;
        SelEnd = end;
        InvalidateSpan(0, end);
    }
    ScrollToCaret(pageGap);
}

static void EnableEditItem(HMENU menu, UINT id, BOOL enabled)
{
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void UpdateEditMenu(void)
{
    HMENU menu = GetMenu(MainWindow);
    BOOL selection = SelectedUnits() > 0;
    EnableEditItem(menu, IDM_EDIT_CUT, selection);
    EnableEditItem(menu, IDM_EDIT_COPY, selection);
    EnableEditItem(menu, IDM_EDIT_DELETE, selection);
    EnableEditItem(menu, IDM_EDIT_PASTE, IsClipboardFormatAvailable(CF_UNICODETEXT));
    EnableEditItem(menu, IDM_EDIT_SELECT_ALL, CharCount > 1);
    DrawMenuBar(MainWindow);
}
