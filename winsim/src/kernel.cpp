// The process heap, the few string and module calls the program uses, and
// the reset that gives each test a fresh platform.
#include "internal.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <set>

namespace winsim {

static int heapToken;
static struct KernelState {
    std::set<void *> liveBlocks;
} state;

void ResetKernel()
{
    for (void *block : state.liveBlocks)
        free(block);
    state = KernelState{};
}

}  // namespace winsim

using namespace winsim;

HANDLE WINAPI GetProcessHeap(void)
{
    return &heapToken;
}

LPVOID WINAPI HeapAlloc(HANDLE, DWORD flags, SIZE_T bytes)
{
    if (ShouldFail(WinsimHeapAlloc))
        return nullptr;
    void *block = (flags & HEAP_ZERO_MEMORY) ? calloc(1, bytes ? bytes : 1) : malloc(bytes ? bytes : 1);
    if (block)
        state.liveBlocks.insert(block);
    return block;
}

BOOL WINAPI HeapFree(HANDLE, DWORD, LPVOID mem)
{
    if (!mem)
        return TRUE;
    if (!state.liveBlocks.erase(mem))
        return FALSE;
    free(mem);
    return TRUE;
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR)
{
    static int module;
    return reinterpret_cast<HMODULE>(&module);
}

int WINAPI lstrlenW(LPCWSTR s)
{
    int n = 0;
    while (s && s[n])
        n++;
    return n;
}

int WINAPI lstrlenA(LPCSTR s)
{
    return s ? (int)strlen(s) : 0;
}

// The program's formats (%s, %i) mean the same to vsnprintf.
int WINAPI wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    va_list args;
    va_start(args, format);
    int written = vsnprintf(buffer, 1025, format, args);  // wsprintf writes at most 1024
    va_end(args);
    return written;
}

LPWSTR WINAPI lstrcpynW(LPWSTR dst, LPCWSTR src, int maxCount)
{
    if (maxCount <= 0)
        return dst;
    int i = 0;
    for (; i < maxCount - 1 && src[i]; i++)
        dst[i] = src[i];
    dst[i] = 0;
    return dst;
}

LPWSTR WINAPI lstrcpyW(LPWSTR dst, LPCWSTR src)
{
    int i = 0;
    for (; src[i]; i++)
        dst[i] = src[i];
    dst[i] = 0;
    return dst;
}

// ---- test controls ----

int WinsimLiveHeapBlocks(void)
{
    return (int)state.liveBlocks.size();
}

void WinsimReset(void)
{
    ResetWindows();
    ResetMessages();
    ResetMessageBoxes();
    ResetGdi();
    ResetFonts();
    ResetResources();
    ResetClipboard();
    ResetKernel();
    ResetPrinter();
    ResetFiles();
    ResetFaults();
    ResetUiAutomation();
    ResetInput();
}
