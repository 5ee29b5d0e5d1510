// Forced into a second build of the program for bench_counts only: every
// platform call below is counted by name before it runs, so each round
// trip seen under Wine can be tied to the call that makes it.  The program
// and winsim are unchanged.
#ifndef INKWARDEN_COUNTED_CALLS_H
#define INKWARDEN_COUNTED_CALLS_H

#include <windows.h>
#include <imm.h>

void BenchCountCall(const char *name);

#define BENCH_COUNTED(name, ...) (BenchCountCall(#name), name(__VA_ARGS__))

#define GetDC(...) BENCH_COUNTED(GetDC, __VA_ARGS__)
#define ReleaseDC(...) BENCH_COUNTED(ReleaseDC, __VA_ARGS__)
#define GetDeviceCaps(...) BENCH_COUNTED(GetDeviceCaps, __VA_ARGS__)
#define BeginPaint(...) BENCH_COUNTED(BeginPaint, __VA_ARGS__)
#define EndPaint(...) BENCH_COUNTED(EndPaint, __VA_ARGS__)
#define InvalidateRect(...) BENCH_COUNTED(InvalidateRect, __VA_ARGS__)
#define UpdateWindow(...) BENCH_COUNTED(UpdateWindow, __VA_ARGS__)
#define ScrollWindow(...) BENCH_COUNTED(ScrollWindow, __VA_ARGS__)
#define SetScrollPos(...) BENCH_COUNTED(SetScrollPos, __VA_ARGS__)
#define SetScrollRange(...) BENCH_COUNTED(SetScrollRange, __VA_ARGS__)
#define GetScrollPos(...) BENCH_COUNTED(GetScrollPos, __VA_ARGS__)
#define GetScrollRange(...) BENCH_COUNTED(GetScrollRange, __VA_ARGS__)
#define CreateFontIndirectW(...) BENCH_COUNTED(CreateFontIndirectW, __VA_ARGS__)
#define SelectObject(...) BENCH_COUNTED(SelectObject, __VA_ARGS__)
#define DeleteObject(...) BENCH_COUNTED(DeleteObject, __VA_ARGS__)
#define GetTextMetricsW(...) BENCH_COUNTED(GetTextMetricsW, __VA_ARGS__)
#define GetCharABCWidthsW(...) BENCH_COUNTED(GetCharABCWidthsW, __VA_ARGS__)
#define TextOutW(...) BENCH_COUNTED(TextOutW, __VA_ARGS__)
#define GetClipBox(...) BENCH_COUNTED(GetClipBox, __VA_ARGS__)
#define SetTextAlign(...) BENCH_COUNTED(SetTextAlign, __VA_ARGS__)
#define SetBkMode(...) BENCH_COUNTED(SetBkMode, __VA_ARGS__)
#define MoveToEx(...) BENCH_COUNTED(MoveToEx, __VA_ARGS__)
#define LineTo(...) BENCH_COUNTED(LineTo, __VA_ARGS__)
#define PatBlt(...) BENCH_COUNTED(PatBlt, __VA_ARGS__)
#define Rectangle(...) BENCH_COUNTED(Rectangle, __VA_ARGS__)
#define GetKeyState(...) BENCH_COUNTED(GetKeyState, __VA_ARGS__)
#define MapVirtualKeyW(...) BENCH_COUNTED(MapVirtualKeyW, __VA_ARGS__)
#define SetWindowTextW(...) BENCH_COUNTED(SetWindowTextW, __VA_ARGS__)
#define HeapAlloc(...) BENCH_COUNTED(HeapAlloc, __VA_ARGS__)
#define HeapFree(...) BENCH_COUNTED(HeapFree, __VA_ARGS__)
#define GetProcessHeap(...) BENCH_COUNTED(GetProcessHeap, __VA_ARGS__)
#define CheckMenuItem(...) BENCH_COUNTED(CheckMenuItem, __VA_ARGS__)
#define EnableMenuItem(...) BENCH_COUNTED(EnableMenuItem, __VA_ARGS__)
#define GetMenu(...) BENCH_COUNTED(GetMenu, __VA_ARGS__)
#define CreateCaret(...) BENCH_COUNTED(CreateCaret, __VA_ARGS__)
#define SetCaretPos(...) BENCH_COUNTED(SetCaretPos, __VA_ARGS__)
#define DestroyCaret(...) BENCH_COUNTED(DestroyCaret, __VA_ARGS__)
#define ImmGetContext(...) BENCH_COUNTED(ImmGetContext, __VA_ARGS__)
#define ImmAssociateContextEx(...) BENCH_COUNTED(ImmAssociateContextEx, __VA_ARGS__)
#define InternalGetWindowText(...) BENCH_COUNTED(InternalGetWindowText, __VA_ARGS__)
#define ClientToScreen(...) BENCH_COUNTED(ClientToScreen, __VA_ARGS__)
#define ScreenToClient(...) BENCH_COUNTED(ScreenToClient, __VA_ARGS__)
#define LoadLibraryExW(...) BENCH_COUNTED(LoadLibraryExW, __VA_ARGS__)
#define GetProcAddress(...) BENCH_COUNTED(GetProcAddress, __VA_ARGS__)

#endif
