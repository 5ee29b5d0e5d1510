// winsim's own tests: the Windows semantics the program's tests rely on.
#include <windows.h>
#include "winsim.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

std::vector<MSG> received;
bool paintWithBeginPaint = true;

LRESULT CALLBACK RecordingProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    received.push_back(MSG{hwnd, msg, wParam, lParam, 0, {0, 0}});
    if (msg == WM_PAINT && paintWithBeginPaint) {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class Winsim : public ::testing::Test {
protected:
    HWND hwnd = nullptr;

    void SetUp() override
    {
        WinsimReset();
        WinsimUseResourceScript(WINSIM_TEST_SCRIPT);
        received.clear();
        WNDCLASSW wc = {};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = RecordingProcedure;
        wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
        wc.lpszMenuName = u"Sample";
        wc.lpszClassName = u"Sample";
        ASSERT_NE(RegisterClassW(&wc), 0);
        hwnd = CreateWindowExW(0, u"Sample", u"Sample", WS_OVERLAPPEDWINDOW | WS_VSCROLL,
                               CW_USEDEFAULT, CW_USEDEFAULT, 217, 100, nullptr, nullptr, nullptr,
                               nullptr);
        ASSERT_NE(hwnd, nullptr);
        ShowWindow(hwnd, SW_SHOWNORMAL);
        UpdateWindow(hwnd);
        received.clear();
    }

    int Count(UINT msg) const
    {
        int n = 0;
        for (const MSG &m : received)
            n += m.message == msg;
        return n;
    }
};

TEST_F(Winsim, CreationSendsCreateThenSizeWithTheClientAreaLeftOfTheScrollBar)
{
    received.clear();
    HWND second = CreateWindowExW(0, u"Sample", u"Two", WS_OVERLAPPEDWINDOW | WS_VSCROLL, 0, 0,
                                  217, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_GE(received.size(), 2u);
    EXPECT_EQ(received[0].message, (UINT)WM_CREATE);
    EXPECT_EQ(received[1].message, (UINT)WM_SIZE);
    EXPECT_EQ(LOWORD(received[1].lParam), 200);
    EXPECT_EQ(HIWORD(received[1].lParam), 100);
    EXPECT_FALSE(WinsimIsVisible(second));
}

TEST_F(Winsim, PaintingErasesWithTheClassBrushAndClipsToTheUpdateRegion)
{
    EXPECT_EQ(WinsimPixel(hwnd, 10, 10), RGB(255, 255, 255));
    paintWithBeginPaint = false;  // draw inside WM_PAINT ourselves below
    HDC screen = GetDC(hwnd);
    PatBlt(screen, 0, 0, 200, 100, BLACKNESS);
    ReleaseDC(hwnd, screen);

    RECT r = {5, 6, 8, 9};
    InvalidateRect(hwnd, &r, TRUE);
    EXPECT_FALSE(WinsimUpdateRegionEmpty(hwnd));
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    EXPECT_TRUE(WinsimUpdateRegionEmpty(hwnd));
    EXPECT_EQ(ps.rcPaint.left, 5);
    EXPECT_EQ(ps.rcPaint.bottom, 9);
    PatBlt(dc, 0, 0, 200, 100, DSTINVERT);  // reaches only the erased 3x3 square
    EndPaint(hwnd, &ps);
    paintWithBeginPaint = true;

    EXPECT_EQ(WinsimPixel(hwnd, 5, 6), RGB(0, 0, 0));       // erased white, then inverted
    EXPECT_EQ(WinsimPixel(hwnd, 7, 8), RGB(0, 0, 0));
    EXPECT_EQ(WinsimPixel(hwnd, 8, 8), RGB(0, 0, 0));       // outside: still black
    EXPECT_EQ(WinsimPixel(hwnd, 4, 6), RGB(0, 0, 0));
    ASSERT_EQ(WinsimInvalidations().size(), 1u);
    EXPECT_TRUE(WinsimInvalidations()[0].erase);
}

// Two invalidated boxes: one inside the other, two that make one box, and
// an L whose clip box holds pixels the paint DC must not reach.
TEST_F(Winsim, AFilledRectangleReachesOnlyTheUpdateRegionWhateverItsShape)
{
    struct Case {
        RECT a, b;
        int type;
        POINT inside, outside;  // of the region, both within its clip box
    } cases[] = {
        {{10, 10, 50, 30}, {20, 15, 40, 25}, SIMPLEREGION, {45, 12}, {45, 35}},
        {{10, 10, 50, 30}, {10, 30, 50, 40}, SIMPLEREGION, {45, 35}, {45, 45}},
        {{10, 10, 50, 30}, {10, 30, 30, 40}, COMPLEXREGION, {25, 35}, {45, 35}},
    };
    for (const Case &c : cases) {
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);  // all white, nothing pending
        InvalidateRect(hwnd, &c.a, FALSE);
        InvalidateRect(hwnd, &c.b, FALSE);
        paintWithBeginPaint = false;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT box;
        EXPECT_EQ(GetClipBox(dc, &box), c.type);
        EXPECT_EQ(box.left, 10);
        SelectObject(dc, GetStockObject(BLACK_BRUSH));
        Rectangle(dc, -1, -1, 300, 200);
        EndPaint(hwnd, &ps);
        paintWithBeginPaint = true;
        EXPECT_EQ(WinsimPixel(hwnd, c.inside.x, c.inside.y), RGB(0, 0, 0));
        EXPECT_EQ(WinsimPixel(hwnd, c.outside.x, c.outside.y), RGB(255, 255, 255));
    }
}

TEST_F(Winsim, UpdateWindowPaintsAtOnceOnlyWhenSomethingIsInvalid)
{
    UpdateWindow(hwnd);
    EXPECT_EQ(Count(WM_PAINT), 0);
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    EXPECT_EQ(Count(WM_PAINT), 1);
    EXPECT_EQ(Count(WM_ERASEBKGND), 1);
    EXPECT_TRUE(WinsimUpdateRegionEmpty(hwnd));
}

TEST_F(Winsim, LinesLeaveOutTheirEndPointAndRectanglesDrawInside)
{
    HDC dc = GetDC(hwnd);
    MoveToEx(dc, 10, 20, nullptr);
    LineTo(dc, 15, 20);
    MoveToEx(dc, 30, 20, nullptr);
    LineTo(dc, 30, 23);
    Rectangle(dc, 50, 50, 54, 53);
    ReleaseDC(hwnd, dc);

    EXPECT_EQ(WinsimPixel(hwnd, 10, 20), RGB(0, 0, 0));
    EXPECT_EQ(WinsimPixel(hwnd, 14, 20), RGB(0, 0, 0));
    EXPECT_EQ(WinsimPixel(hwnd, 15, 20), RGB(255, 255, 255));
    EXPECT_EQ(WinsimPixel(hwnd, 30, 22), RGB(0, 0, 0));
    EXPECT_EQ(WinsimPixel(hwnd, 30, 23), RGB(255, 255, 255));
    EXPECT_EQ(WinsimPixel(hwnd, 53, 52), RGB(0, 0, 0));
    EXPECT_EQ(WinsimPixel(hwnd, 54, 52), RGB(255, 255, 255));
    EXPECT_EQ(WinsimPixel(hwnd, 53, 53), RGB(255, 255, 255));
    EXPECT_EQ(WinsimLiveDCs(), 0);
}

TEST_F(Winsim, ScrollWindowMovesPixelsAndInvalidatesTheUncoveredStrip)
{
    HDC dc = GetDC(hwnd);
    MoveToEx(dc, 0, 40, nullptr);
    LineTo(dc, 200, 40);
    ReleaseDC(hwnd, dc);

    RECT area = {0, 30, 200, 100};
    ScrollWindow(hwnd, 0, -5, &area, &area);
    EXPECT_EQ(WinsimPixel(hwnd, 3, 35), RGB(0, 0, 0));
    EXPECT_EQ(WinsimPixel(hwnd, 3, 40), RGB(255, 255, 255));
    // Only the five rows at the bottom await painting.
    UpdateWindow(hwnd);
    EXPECT_EQ(Count(WM_PAINT), 1);

    // Scrolling up by 5 moves line 35 out of the area at row 30.
    ScrollWindow(hwnd, 0, 10, &area, &area);
    EXPECT_EQ(WinsimPixel(hwnd, 3, 45), RGB(0, 0, 0));
    EXPECT_EQ(WinsimPixel(hwnd, 3, 29), RGB(255, 255, 255));
    EXPECT_FALSE(WinsimUpdateRegionEmpty(hwnd));

    // Sideways: a column at x 60 moves to 55, and only the strip on the right awaits painting.
    UpdateWindow(hwnd);
    dc = GetDC(hwnd);
    MoveToEx(dc, 60, 0, nullptr);
    LineTo(dc, 60, 100);
    ReleaseDC(hwnd, dc);
    ScrollWindow(hwnd, -5, 0, &area, &area);
    EXPECT_EQ(WinsimPixel(hwnd, 55, 50), RGB(0, 0, 0));
    EXPECT_EQ(WinsimPixel(hwnd, 60, 50), RGB(255, 255, 255));
    EXPECT_EQ(WinsimPixel(hwnd, 60, 20), RGB(0, 0, 0));  // above the area: not moved
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    EXPECT_EQ(ps.rcPaint.left, 195);
    EXPECT_EQ(ps.rcPaint.top, 30);
    EndPaint(hwnd, &ps);
}

TEST_F(Winsim, AnEmptyScrollRangeHidesTheBarAndWidensTheClientArea)
{
    SetScrollRange(hwnd, SB_VERT, 0, 0, FALSE);
    ASSERT_EQ(Count(WM_SIZE), 1);
    EXPECT_EQ(LOWORD(received.back().lParam), 217);
    EXPECT_FALSE(WinsimVerticalScrollBar(hwnd).visible);

    SetScrollRange(hwnd, SB_VERT, 0, 10, FALSE);
    EXPECT_EQ(Count(WM_SIZE), 2);
    EXPECT_EQ(SetScrollPos(hwnd, SB_VERT, 50, TRUE), 0);
    EXPECT_EQ(GetScrollPos(hwnd, SB_VERT), 10);  // clamped into the range
}

TEST_F(Winsim, MenusComeFromTheResourceScript)
{
    HMENU menu = GetMenu(hwnd);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    HMENU first = GetSubMenu(menu, 0);
    ASSERT_EQ(GetMenuItemCount(first), 3);
    WCHAR text[32];
    GetMenuStringW(first, 0, text, 32, MF_BYPOSITION);
    EXPECT_EQ(std::u16string(text), u"&One\tCtrl+O");
    EXPECT_EQ(GetMenuItemID(first, 0), 101u);
    EXPECT_EQ(GetMenuState(first, 1, MF_BYPOSITION), (UINT)MF_SEPARATOR);
    EXPECT_EQ(GetMenuState(menu, 102, MF_BYCOMMAND), (UINT)MF_CHECKED);
    EXPECT_EQ(GetMenuState(menu, 303, MF_BYCOMMAND), (UINT)MF_GRAYED);

    EXPECT_EQ(CheckMenuItem(menu, 102, MF_BYCOMMAND | MF_UNCHECKED), (DWORD)MF_CHECKED);
    EXPECT_EQ(GetMenuState(menu, 102, MF_BYCOMMAND), 0u);
    EXPECT_EQ(CheckMenuItem(menu, 999, MF_BYCOMMAND | MF_CHECKED), (DWORD)-1);
}

TEST_F(Winsim, AcceleratorsMatchTheModifiersExactlyAndSkipGrayedItems)
{
    HACCEL accel = LoadAcceleratorsW(nullptr, u"Sample");
    ASSERT_NE(accel, nullptr);
    MSG key = {hwnd, WM_KEYDOWN, 'O', 0, 0, {0, 0}};
    EXPECT_EQ(TranslateAcceleratorW(hwnd, accel, &key), 0);  // no Control

    WinsimSetKeyDown(VK_CONTROL, true);
    EXPECT_EQ(TranslateAcceleratorW(hwnd, accel, &key), 1);
    ASSERT_EQ(Count(WM_COMMAND), 1);
    EXPECT_EQ(received.back().wParam, MAKEWPARAM(101, 1));
    EXPECT_EQ(Count(WM_INITMENUPOPUP), 1);

    MSG shifted = {hwnd, WM_KEYDOWN, 'T', 0, 0, {0, 0}};
    EXPECT_EQ(TranslateAcceleratorW(hwnd, accel, &shifted), 0);  // Shift is missing

    MSG grayed = {hwnd, WM_KEYDOWN, 'R', 0, 0, {0, 0}};
    EXPECT_EQ(TranslateAcceleratorW(hwnd, accel, &grayed), 1);
    EXPECT_EQ(Count(WM_COMMAND), 1);
}

TEST_F(Winsim, WhileTheMouseIsCapturedAnAcceleratorSendsNoMenuMessages)
{
    HACCEL accel = LoadAcceleratorsW(nullptr, u"Sample");
    MSG key = {hwnd, WM_KEYDOWN, 'O', 0, 0, {0, 0}};
    WinsimSetKeyDown(VK_CONTROL, true);
    SetCapture(hwnd);
    received.clear();
    EXPECT_EQ(TranslateAcceleratorW(hwnd, accel, &key), 1);
    EXPECT_EQ(Count(WM_INITMENU), 0);
    EXPECT_EQ(Count(WM_INITMENUPOPUP), 0);
    EXPECT_EQ(Count(WM_COMMAND), 1);
}

TEST_F(Winsim, TranslateMessageGivesWindowsCodesAndKeepsTheScanCode)
{
    struct Case {
        int vk;
        bool control;
        WPARAM code;
        UINT scanCode;
    };
    const Case cases[] = {
        {VK_BACK, false, 8, 0x0E},   {VK_BACK, true, 0x7F, 0x0E}, {VK_RETURN, false, 13, 0x1C},
        {VK_RETURN, true, 0x0A, 0x1C}, {'D', true, 4, 0x20},       {'Q', false, 'q', 0x10},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.vk);
        WinsimSetKeyDown(VK_CONTROL, c.control);
        EXPECT_EQ(MapVirtualKeyW(c.vk, MAPVK_VK_TO_VSC), c.scanCode);
        MSG key = {hwnd, WM_KEYDOWN, (WPARAM)c.vk, WinsimKeyLParam(c.vk), 0, {0, 0}};
        EXPECT_EQ((key.lParam >> 16) & 0xFF, (LPARAM)c.scanCode);
        EXPECT_TRUE(TranslateMessage(&key));
        received.clear();
        WinsimPumpMessages();
        ASSERT_EQ(Count(WM_CHAR), 1);
        EXPECT_EQ(received[0].wParam, c.code);
        EXPECT_EQ(received[0].lParam, key.lParam);
    }
}

TEST_F(Winsim, FontMetricsFollowTheHeightAndTestsCanOverrideWidths)
{
    HDC dc = GetDC(hwnd);
    LOGFONTW lf = {};
    lf.lfHeight = -42;
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    EXPECT_EQ(tm.tmHeight, 49);
    EXPECT_EQ(tm.tmMaxCharWidth, 42);
    ABC abc;
    ASSERT_TRUE(GetCharABCWidthsW(dc, 0x4E2D, 0x4E2D, &abc));
    EXPECT_EQ(abc.abcA + (int)abc.abcB + abc.abcC, 42);
    WinsimSetGlyphWidths('x', -1, 20, 2);
    ASSERT_TRUE(GetCharABCWidthsW(dc, 'x', 'x', &abc));
    EXPECT_EQ(abc.abcA, -1);
    WinsimFailGlyphWidths('y');
    EXPECT_FALSE(GetCharABCWidthsW(dc, 'y', 'y', &abc));

    EXPECT_FALSE(DeleteObject(font));  // still selected
    SelectObject(dc, old);
    EXPECT_TRUE(DeleteObject(font));
    ReleaseDC(hwnd, dc);
    EXPECT_EQ(WinsimLiveFonts(), 0);
}

TEST_F(Winsim, TextOutDrawsEachGlyphsBlackBoxFromItsAWidth)
{
    WinsimSetGlyphWidths('x', -2, 10, 1);
    HDC dc = GetDC(hwnd);
    LOGFONTW lf = {};
    lf.lfHeight = -42;
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, 50, 0, u"x", 1);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(hwnd, dc);
    // Ink from x + A = 48 to 57, rows 7 (internal leading) to 39 (baseline - 1).
    EXPECT_EQ(WinsimPixel(hwnd, 48, 20), RGB(0, 0, 0));
    EXPECT_EQ(WinsimPixel(hwnd, 57, 20), RGB(0, 0, 0));
    EXPECT_EQ(WinsimPixel(hwnd, 47, 20), RGB(255, 255, 255));
    EXPECT_EQ(WinsimPixel(hwnd, 58, 20), RGB(255, 255, 255));
    EXPECT_EQ(WinsimPixel(hwnd, 52, 7), RGB(0, 0, 0));
    EXPECT_EQ(WinsimPixel(hwnd, 52, 6), RGB(255, 255, 255));
    EXPECT_EQ(WinsimPixel(hwnd, 52, 39), RGB(0, 0, 0));
    EXPECT_EQ(WinsimPixel(hwnd, 52, 40), RGB(255, 255, 255));
}

TEST_F(Winsim, HeapAllocationsCanBeRefusedAndAreCounted)
{
    HANDLE heap = GetProcessHeap();
    WinsimFailCall(WinsimHeapAlloc, 2);
    void *first = HeapAlloc(heap, HEAP_ZERO_MEMORY, 16);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(HeapAlloc(heap, 0, 16), nullptr);
    EXPECT_EQ(WinsimLiveHeapBlocks(), 1);
    EXPECT_TRUE(HeapFree(heap, 0, first));
    EXPECT_FALSE(HeapFree(heap, 0, first));
    EXPECT_EQ(WinsimLiveHeapBlocks(), 0);
}

TEST_F(Winsim, TheClipboardOwnsTheBlocksItTakesAndFreesThemWhenEmptied)
{
    HGLOBAL kept = GlobalAlloc(GMEM_MOVEABLE, 4);
    HGLOBAL given = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4);
    EXPECT_EQ(WinsimLiveGlobalBlocks(), 2);
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, given), nullptr);  // not open
    ASSERT_TRUE(OpenClipboard(hwnd));
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, given), given);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_EQ(WinsimLiveGlobalBlocks(), 1);  // only kept, which nobody freed
    EXPECT_EQ(GlobalFree(given), given);     // not ours any more
    ASSERT_EQ(WinsimGlobalMemoryMisuses().size(), 1u);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(GlobalFree(kept), nullptr);
    EXPECT_EQ(WinsimLiveGlobalBlocks(), 0);

    // Another program empties it and places text; a locked block at close is a misuse.
    WinsimPutClipboardText(u"ab");
    WinsimFailCall(WinsimOpenClipboard, 1, true);
    EXPECT_FALSE(OpenClipboard(hwnd));
    WinsimFailCall(WinsimOpenClipboard, 0);
    ASSERT_TRUE(OpenClipboard(hwnd));
    HGLOBAL text = GetClipboardData(CF_UNICODETEXT);
    EXPECT_EQ(GlobalSize(text), 4u);
    const char16_t *units = (const char16_t *)GlobalLock(text);
    ASSERT_NE(units, nullptr);
    EXPECT_EQ(units[1], u'b');
    CloseClipboard();
    EXPECT_EQ(WinsimGlobalMemoryMisuses().size(), 2u);
}

TEST_F(Winsim, ClipboardCallsFailAsOnWindows)
{
    // Emptied while opened without a window: no owner, so no data.
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 2);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, block), nullptr);
    CloseClipboard();
    EXPECT_FALSE(CloseClipboard());

    HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
    EXPECT_EQ(GlobalSize(empty), 0u);
    EXPECT_EQ(GlobalLock(empty), nullptr);
    WinsimFailCall(WinsimGlobalAlloc);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, 2), nullptr);
    WinsimFailCall(WinsimGlobalLock);
    EXPECT_EQ(GlobalLock(block), nullptr);
    EXPECT_NE(GlobalLock(block), nullptr);
    EXPECT_FALSE(GlobalUnlock(block));
    OpenClipboard(hwnd);
    EmptyClipboard();
    WinsimFailCall(WinsimSetClipboardData, 1, true);
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, block), nullptr);
    CloseClipboard();
    EXPECT_EQ(WinsimLiveGlobalBlocks(), 2);
    EXPECT_TRUE(WinsimGlobalMemoryMisuses().empty());
}

TEST_F(Winsim, TimersFireOnTheVirtualClockInOrder)
{
    SetTimer(hwnd, 1, 400, nullptr);
    WinsimAdvanceClock(399);
    EXPECT_EQ(Count(WM_TIMER), 0);
    WinsimAdvanceClock(1);
    EXPECT_EQ(Count(WM_TIMER), 1);
    SetTimer(hwnd, 1, 100, nullptr);
    WinsimAdvanceClock(350);
    EXPECT_EQ(Count(WM_TIMER), 4);
    KillTimer(hwnd, 1);
    WinsimAdvanceClock(1000);
    EXPECT_EQ(Count(WM_TIMER), 4);
}

TEST_F(Winsim, GetMessageTakesOnlyItsRangeButAlwaysTheQuitMessage)
{
    PostMessageW(hwnd, WM_KEYDOWN, 'A', 0);
    PostQuitMessage(3);
    MSG msg;
    EXPECT_EQ(GetMessageW(&msg, nullptr, WM_CHAR, WM_CHAR), FALSE);  // the quit message, past the key
    ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, (UINT)WM_KEYDOWN);
}

TEST_F(Winsim, TheWindowLosingTheCaptureIsTold)
{
    SetCapture(hwnd);
    EXPECT_EQ(Count(WM_CAPTURECHANGED), 0);
    EXPECT_EQ(GetCapture(), hwnd);
    ReleaseCapture();
    ASSERT_EQ(Count(WM_CAPTURECHANGED), 1);
    EXPECT_EQ(received.back().lParam, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    ReleaseCapture();
    EXPECT_EQ(Count(WM_CAPTURECHANGED), 1);
}

TEST_F(Winsim, OneCaretPerThreadWhichScrollingCarriesAlong)
{
    POINT at;
    EXPECT_FALSE(SetCaretPos(1, 1));
    EXPECT_FALSE(DestroyCaret());
    ASSERT_TRUE(CreateCaret(hwnd, nullptr, 0, 20));  // 0: the border's width
    ASSERT_TRUE(SetCaretPos(30, 35));
    ASSERT_TRUE(GetCaretPos(&at));
    EXPECT_EQ(at.x, 30);
    EXPECT_EQ(WinsimCaret().rect.right - WinsimCaret().rect.left, 1);
    RECT area = {0, 30, 200, 100};
    ScrollWindow(hwnd, 0, -10, &area, &area);
    EXPECT_EQ(WinsimCaret().rect.top, 25);
    ScrollWindow(hwnd, 0, 10, &area, &area);  // now above the area
    EXPECT_EQ(WinsimCaret().rect.top, 25);
    ASSERT_TRUE(CreateCaret(hwnd, nullptr, 1, 5));  // replaces the first
    EXPECT_EQ(WinsimCaret().rect.bottom, 5);
    EXPECT_TRUE(DestroyCaret());
    EXPECT_EQ(WinsimCaret().hwnd, nullptr);
}

// A composition detached while open is completed; cancelled, it sends nothing.
TEST_F(Winsim, TheInputMethodCommitsThroughImeCharToChar)
{
    for (bool cancel : {false, true}) {
        received.clear();
        ImmAssociateContextEx(hwnd, nullptr, IACE_DEFAULT);
        ASSERT_TRUE(WinsimImeCompose(hwnd, u"ni"));
        HIMC context = ImmGetContext(hwnd);
        EXPECT_EQ(ImmGetCompositionStringW(context, GCS_COMPSTR, nullptr, 0), 4);
        if (cancel)
            ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_CANCEL, 0);
        ImmReleaseContext(hwnd, context);
        ImmAssociateContextEx(hwnd, nullptr, 0);
        EXPECT_EQ(ImmGetContext(hwnd), nullptr);
        EXPECT_FALSE(WinsimImeCompose(hwnd, u"ni"));
        WinsimPumpMessages();
        EXPECT_EQ(Count(WM_IME_ENDCOMPOSITION), 1);
        EXPECT_EQ(Count(WM_IME_CHAR), cancel ? 0 : 2);
        ASSERT_EQ(Count(WM_CHAR), cancel ? 0 : 2);
        if (!cancel)
            EXPECT_EQ(received.back().wParam, (WPARAM)u'i');
    }
    EXPECT_EQ(WinsimInputMethod(hwnd).contextsHeld, 0);
}

TEST_F(Winsim, MessageBoxesAreRecordedAndAnsweredFromTheQueue)
{
    WinsimAnswerNextMessageBox(IDNO);
    EXPECT_EQ(MessageBoxW(hwnd, u"text", u"caption", MB_YESNOCANCEL), IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, u"t", u"c", MB_YESNO), IDYES);
    ASSERT_EQ(WinsimMessageBoxes().size(), 2u);
    EXPECT_EQ(WinsimMessageBoxes()[0].owner, hwnd);
    EXPECT_EQ(WinsimMessageBoxes()[0].caption, u"caption");
}

TEST_F(Winsim, ThePrintDialogRefusesA32BitSizeAndJobsRecordOnlyStartedPages)
{
    PRINTDLGA pd = {};
    pd.lStructSize = 66;
    pd.Flags = PD_RETURNDC;
    EXPECT_FALSE(PrintDlgA(&pd));
    EXPECT_EQ(pd.hDC, nullptr);
    pd.lStructSize = sizeof pd;
    WinsimSetPrinterCaps(600, 300, 5100, 3300, 30, 40);
    ASSERT_TRUE(PrintDlgA(&pd));
    HDC dc = pd.hDC;
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETY), 40);
    EXPECT_LE(StartPage(dc), 0);  // no document started
    DOCINFOA di = {sizeof di, "job", nullptr, nullptr, 0};
    EXPECT_GT(StartDocA(dc, &di), 0);
    TextOutW(dc, 1, 2, u"lost", 4);
    EXPECT_GT(StartPage(dc), 0);
    SIZE size;
    GetTextExtentPoint32A(dc, "(1)", 3, &size);
    EXPECT_EQ(size.cy, 15);  // the system font's cell
    TextOutA(dc, 3, 4, "(1)", 3);
    EXPECT_GT(EndPage(dc), 0);
    EXPECT_GT(EndDoc(dc), 0);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 0);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(WinsimLiveDCs(), 0);
    ASSERT_EQ(WinsimPrintJobs().size(), 1u);
    ASSERT_EQ(WinsimPrintJobs()[0].pages.size(), 1u);
    ASSERT_EQ(WinsimPrintJobs()[0].pages[0].texts.size(), 1u);
    EXPECT_EQ(WinsimPrintJobs()[0].pages[0].texts[0].text, u"(1)");
    EXPECT_EQ(WinsimPrintJobs()[0].pages[0].texts[0].x, 3);
}

std::u16string InTempFolder(const char *name)
{
    const std::string path = std::string(WinsimTempFolder()) + "/" + name;
    return std::u16string(path.begin(), path.end());  // ASCII
}

struct ShareCase {
    DWORD heldAccess, heldShare, access, share;
    bool opens;
};

// Each open must allow what the other handle does, and be allowed by it.
TEST_F(Winsim, ASecondOpenMustFitTheFirstHandlesSharingAndAccess)
{
    const DWORD R = GENERIC_READ, W = GENERIC_WRITE, SR = FILE_SHARE_READ, SW = FILE_SHARE_WRITE;
    const ShareCase cases[] = {
        {R, SR, R, SR, true},         {R, SR, R, SR | SW, true},  {R, SR, R, 0, false},
        {R, SR, W, SR | SW, false},   {R, 0, R, SR, false},       {W, SR, R, SR, false},
        {W, SR | SW, R, SR, false},   {W, SR | SW, R, SR | SW, true}, {R, SR, 0, 0, true},
        {W | DELETE, SR | SW, R, SR | SW, false},
    };
    const std::u16string path = InTempFolder("held.txt");
    for (const ShareCase &c : cases) {
        HANDLE held = CreateFileW(path.c_str(), c.heldAccess, c.heldShare, nullptr, OPEN_ALWAYS, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        HANDLE second = CreateFileW(path.c_str(), c.access, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(second != INVALID_HANDLE_VALUE, c.opens) << c.heldAccess << " " << c.heldShare << " "
                                                           << c.access << " " << c.share;
        if (second == INVALID_HANDLE_VALUE)
            EXPECT_EQ(GetLastError(), (DWORD)ERROR_SHARING_VIOLATION);
        else
            CloseHandle(second);
        CloseHandle(held);
    }
    EXPECT_EQ(WinsimOpenFileHandles(), 0);
}

TEST_F(Winsim, AHandleReadsOrWritesOnlyWithThatAccess)
{
    const std::u16string path = InTempFolder("access.txt");
    char byte = 'x';
    DWORD done = 0;
    HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, CREATE_NEW, 0, nullptr);
    EXPECT_FALSE(WriteFile(reader, &byte, 1, &done, nullptr));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_ACCESS_DENIED);
    CloseHandle(reader);
    HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(ReadFile(writer, &byte, 1, &done, nullptr));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_ACCESS_DENIED);
    EXPECT_TRUE(WriteFile(writer, &byte, 1, &done, nullptr));
    EXPECT_FALSE(DeleteFileW(path.c_str()));  // held without FILE_SHARE_DELETE
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_SHARING_VIOLATION);
    CloseHandle(writer);
    EXPECT_EQ(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, CREATE_NEW, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_EXISTS);

    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_ACCESS_DENIED);
    EXPECT_FALSE(DeleteFileW(path.c_str()));
}

TEST_F(Winsim, ReplaceKeepsTheAttributesAndFinalPathsResolveLinks)
{
    const std::string folder = WinsimTempFolder();
    const std::u16string old = InTempFolder("old.txt"), fresh = InTempFolder("new.txt");
    for (const std::u16string &path : {old, fresh})
        CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(SetFileAttributesW(old.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_EQ(symlink("old.txt", (folder + "/link").c_str()), 0);

    // The Z: spelling with backslashes names the same file.
    std::u16string dos = u"Z:" + InTempFolder("link");
    for (char16_t &unit : dos)
        if (unit == '/')
            unit = '\\';
    HANDLE link = CreateFileW(dos.c_str(), 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(link, INVALID_HANDLE_VALUE);
    WCHAR real[MAX_PATH];
    DWORD length = GetFinalPathNameByHandleW(link, real, 3, VOLUME_NAME_DOS);
    EXPECT_EQ(GetFinalPathNameByHandleW(link, real, MAX_PATH, VOLUME_NAME_DOS) + 1, length);
    std::u16string expected = u"\\\\?\\Z:" + old;
    for (size_t i = 6; i < expected.size(); i++)
        if (expected[i] == '/')
            expected[i] = '\\';
    EXPECT_EQ(std::u16string(real), expected);
    BY_HANDLE_FILE_INFORMATION info;
    ASSERT_TRUE(GetFileInformationByHandle(link, &info));
    EXPECT_EQ(info.nNumberOfLinks, 1u);
    CloseHandle(link);

    ASSERT_TRUE(ReplaceFileW(real, fresh.c_str(), nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(GetFileAttributesW(old.c_str()), (DWORD)FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(GetFileAttributesW(fresh.c_str()), INVALID_FILE_ATTRIBUTES);
    struct stat st;
    ASSERT_EQ(lstat((folder + "/link").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));

    // Only the long form may reach MAX_PATH.
    const std::u16string deep = u"Z:" + InTempFolder("") + std::u16string(MAX_PATH, u'd');
    EXPECT_EQ(GetFileAttributesW(deep.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_PATH_NOT_FOUND);
}

}  // namespace
