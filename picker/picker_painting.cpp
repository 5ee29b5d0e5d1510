#include "picker/picker.h"
#include "app/shell.h"
#include "view/view.h"

// Neighbouring boxes share one border line and the outer ones meet the
// strip's outline, so every box but the last column reaches one pixel right
// and the top row one pixel down.
static RECT BoxOutline(int item)
{
    RECT r = PickerItems[item];
    BOOL lastColumn = item == PICKER_FIRST_DIGIT + 9 || item == PICKER_LAST_CELL;
    BOOL topRow = item == PICKER_UP || (item >= PICKER_FIRST_DIGIT && item < PICKER_FIRST_CELL);
    if (!lastColumn)
        r.right += 1;
    if (topRow)
        r.bottom += 1;
    return r;
}

static HFONT CreatePickerFont(LPCTSTR face, BYTE charset, LONG height)
{
    LOGFONT font = {};
    font.lfHeight = height;
    font.lfCharSet = charset;
    lstrcpyn(font.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirect(&font);
}

// Characters 4/7 of the box high; when the cell of such a font would not fit
// the box, the font whose cell is the box's height.
static HFONT SelectFittingFont(HDC dc, LPCTSTR face, BYTE charset, int boxHeight,
                               HGDIOBJ *oldFont, TEXTMETRIC *metrics)
{
    HFONT font = CreatePickerFont(face, charset, -(4 * boxHeight) / 7);
    *oldFont = SelectObject(dc, font);
    GetTextMetrics(dc, metrics);
    if (metrics->tmHeight > boxHeight) {
        SelectObject(dc, *oldFont);
        DeleteObject(font);
        font = CreatePickerFont(face, charset, boxHeight);
        SelectObject(dc, font);
        GetTextMetrics(dc, metrics);
    }
    return font;
}

// Everything an item draws lies in its rows, and its highlight frame one
// pixel beyond; a label may be wider than its box, so columns do not count.
static BOOL ItemInClip(const RECT &clip, int item)
{
    const RECT &r = PickerItems[item];
    return r.top - 1 < clip.bottom && r.bottom + 1 > clip.top;
}

// Centre-top alignment must be set.
static void WriteCentred(HDC dc, const RECT &box, LPCWSTR text, int length, int textHeight)
{
    int y = box.top + (box.bottom - textHeight - box.top) / 2;
    TextOutW(dc, (box.left + box.right) / 2, y, text, length);
}

// Decimal digits of a number that is not negative; returns their count.
static int FormatDecimal(int number, WCHAR *out)
{
    WCHAR reversed[12];
    int n = 0;
    do {
        reversed[n++] = (WCHAR)('0' + number % 10);
        number /= 10;
    } while (number > 0);
    for (int i = 0; i < n; i++)
        out[i] = reversed[n - 1 - i];
    return n;
}

static void DrawLabels(HDC dc, const RECT &clip)
{
    const RECT &up = PickerItems[PICKER_UP];
    HGDIOBJ oldFont;
    TEXTMETRIC metrics;
    HFONT font = SelectFittingFont(dc, TEXT("Courier New"), ANSI_CHARSET, up.bottom - up.top,
                                   &oldFont, &metrics);
    int height = metrics.tmHeight;
    if (ItemInClip(clip, PICKER_UP))
        WriteCentred(dc, up, TEXT("Up"), 2, height);
    if (ItemInClip(clip, PICKER_DOWN))
        WriteCentred(dc, PickerItems[PICKER_DOWN], TEXT("Down"), 4, height);

    WCHAR label[16];
    int length = FormatDecimal(PickerPage, label);
    label[length++] = '_';
    WriteCentred(dc, PickerItems[PICKER_PAGE_BOX], label, length, height);
    for (int d = 0; d < 10; d++) {
        if (!ItemInClip(clip, PICKER_FIRST_DIGIT + d))
            continue;
        length = FormatDecimal(d, label);
        WriteCentred(dc, PickerItems[PICKER_FIRST_DIGIT + d], label, length, height);
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
}

// Codes no UTF-16 unit can carry, or that typing would drop, are crossed out.
static void CrossOut(HDC dc, const RECT &r)
{
    MoveToEx(dc, r.left, r.top, NULL);
    LineTo(dc, r.right, r.bottom);
    MoveToEx(dc, r.left, r.bottom - 1, NULL);
    LineTo(dc, r.right, r.top - 1);
}

static void DrawCells(HDC dc, int textHeight)
{
    for (int j = 0; j < 10; j++) {
        const RECT &cell = PickerItems[PICKER_FIRST_CELL + j];
        int code = PickerPage * 10 + j;
        if (code < 32 || code > 0xFFFF) {
            CrossOut(dc, cell);
        } else {
            WCHAR unit = (WCHAR)code;
            WriteCentred(dc, cell, &unit, 1, textHeight);
        }
    }
}

// Two pixels thick, straddling the item's border.
static void DrawHighlightFrame(HDC dc, const RECT &r)
{
    DrawLine(dc, r.left, r.top - 1, r.right, r.top - 1);
    DrawLine(dc, r.left, r.top, r.right, r.top);
    DrawLine(dc, r.left - 1, r.top, r.left - 1, r.bottom);
    DrawLine(dc, r.left, r.top, r.left, r.bottom);
    DrawLine(dc, r.right - 1, r.top, r.right - 1, r.bottom);
    DrawLine(dc, r.right, r.top, r.right, r.bottom);
    DrawLine(dc, r.left, r.bottom - 1, r.right, r.bottom - 1);
    DrawLine(dc, r.left, r.bottom, r.right, r.bottom);
}

// Items the paint's clip box misses are skipped; most paints are of the
// text below and skip the picker whole.
void DrawPicker(HDC dc)
{
    RECT clip = PaintClipBox(dc);
    if (PickerStrip.top - 1 >= clip.bottom || PickerStrip.bottom + 1 <= clip.top)
        return;
    Rectangle(dc, PickerStrip.left, PickerStrip.top, PickerStrip.right, PickerStrip.bottom);
    for (int item = 0; item < PICKER_ITEM_COUNT; item++) {
        if (!ItemInClip(clip, item))
            continue;
        RECT box = BoxOutline(item);
        Rectangle(dc, box.left, box.top, box.right, box.bottom);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_CENTER | TA_TOP);
    DrawLabels(dc, clip);

    const RECT &cell = PickerItems[PICKER_FIRST_CELL];
    if (ItemInClip(clip, PICKER_FIRST_CELL)) {
        HGDIOBJ oldFont;
        TEXTMETRIC metrics;
        HFONT font = SelectFittingFont(dc, CurrentFace, FontCharset, cell.bottom - cell.top,
                                       &oldFont, &metrics);
        DrawCells(dc, metrics.tmHeight);
        SelectObject(dc, oldFont);
        DeleteObject(font);
    }
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    if (PickerFocus == 1)
        DrawHighlightFrame(dc, PickerItems[PickerHighlight]);
}
