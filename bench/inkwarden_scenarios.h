/* The editing scenarios, sent to Inkwarden's window as messages.  The
   Windows driver times them under Wine; the host benchmark counts the calls
   they make on winsim.  Between measured messages the document is put back,
   so every keystroke meets a document of the same size, and only the
   measured message and its paint fall between begin and end. */
#ifndef INKWARDEN_BENCH_SCENARIOS_H
#define INKWARDEN_BENCH_SCENARIOS_H

#include <windows.h>

#include <string.h>

#include "app/resource.h"
#include "bench/bench_text.h"

struct BenchRun {
    HWND window;
    /* Places count units, without a terminator, on the clipboard. */
    void (*putClipboard)(const WCHAR *units, int count);
    /* Called before and after each scenario's repetitions. */
    void (*starting)(const char *scenario, int size);
    void (*begin)(void);
    void (*end)(void);
    void (*done)(const char *scenario, int size);
    int keystrokes; /* repetitions of each keystroke scenario */
    int commands;   /* repetitions of each font-size change */
    const char *only; /* the one scenario to time, or NULL for all */
};

/* count, or 0 when only another scenario is timed; the documents are set
   up either way, so the one timed meets the same state. */
static int BenchRepetitions(const char *only, const char *scenario, int count)
{
    return !only || strcmp(only, scenario) == 0 ? count : 0;
}

static void BenchPaint(const struct BenchRun *run)
{
    UpdateWindow(run->window);
}

static void BenchKey(const struct BenchRun *run, int virtualKey)
{
    SendMessageW(run->window, WM_KEYDOWN, (WPARAM)virtualKey, 0);
    SendMessageW(run->window, WM_KEYUP, (WPARAM)virtualKey, 0);
    BenchPaint(run);
}

static void BenchCommand(const struct BenchRun *run, int id)
{
    SendMessageW(run->window, WM_COMMAND, (WPARAM)id, 0);
    BenchPaint(run);
}

static void BenchChar(const struct BenchRun *run, WCHAR unit)
{
    SendMessageW(run->window, WM_CHAR, (WPARAM)unit, 1);
    BenchPaint(run);
}

/* Pastes units at the caret, over the selection if there is one. */
static void BenchPaste(const struct BenchRun *run, const WCHAR *units, int count)
{
    run->putClipboard(units, count);
    BenchCommand(run, IDM_EDIT_PASTE);
}

/* Without Ctrl, which another process cannot hold down for the window:
   Page Up until the first line, then Home. */
static void BenchCaretToStart(const struct BenchRun *run, int size)
{
    for (int i = 0; i < size / 100 + 5; i++)
        BenchKey(run, VK_PRIOR);
    BenchKey(run, VK_HOME);
}

static void BenchScenarios(const struct BenchRun *run, const WCHAR *text, int size)
{
    int middle = size / 2;

    /* The document's second half, then the first half pasted before it:
       the caret ends in the middle. */
    BenchCommand(run, IDM_EDIT_SELECT_ALL);
    BenchPaste(run, text + middle, size - middle);
    BenchCaretToStart(run, size);
    BenchPaste(run, text, middle);
    run->starting("Backspace in the middle", size);
    for (int i = 0; i < BenchRepetitions(run->only, "Backspace in the middle", run->keystrokes); i++) {
        run->begin();
        SendMessageW(run->window, WM_KEYDOWN, VK_BACK, 0);
        BenchPaint(run);
        run->end();
        SendMessageW(run->window, WM_KEYUP, VK_BACK, 0);
        BenchChar(run, text[middle - 1]);
    }
    run->done("Backspace in the middle", size);

    BenchCaretToStart(run, size);
    run->starting("Typing at the start", size);
    for (int i = 0; i < BenchRepetitions(run->only, "Typing at the start", run->keystrokes); i++) {
        BenchKey(run, VK_DELETE);
        run->begin();
        SendMessageW(run->window, WM_CHAR, (WPARAM)text[0], 1);
        BenchPaint(run);
        run->end();
        BenchKey(run, VK_HOME);
    }
    run->done("Typing at the start", size);

    /* From the top, the first Page Down only takes the caret to the last
       visible line; the timed second one scrolls a whole page. */
    BenchCaretToStart(run, size);
    run->starting("Page Down", size);
    for (int i = 0; i < BenchRepetitions(run->only, "Page Down", run->keystrokes); i++) {
        BenchKey(run, VK_NEXT);
        run->begin();
        SendMessageW(run->window, WM_KEYDOWN, VK_NEXT, 0);
        BenchPaint(run);
        run->end();
        SendMessageW(run->window, WM_KEYUP, VK_NEXT, 0);
        BenchKey(run, VK_PRIOR);
        BenchKey(run, VK_PRIOR);
    }
    run->done("Page Down", size);

    /* The whole text pasted over everything leaves the caret at the end. */
    BenchCommand(run, IDM_EDIT_SELECT_ALL);
    BenchPaste(run, text, size);
    run->starting("Typing at the end", size);
    for (int i = 0; i < BenchRepetitions(run->only, "Typing at the end", run->keystrokes); i++) {
        BenchKey(run, VK_BACK);
        run->begin();
        SendMessageW(run->window, WM_CHAR, (WPARAM)text[size - 1], 1);
        BenchPaint(run);
        run->end();
    }
    run->done("Typing at the end", size);

    /* Away from the document's 32 points and back, both directions timed. */
    run->starting("Font size change", size);
    for (int i = 0; i < BenchRepetitions(run->only, "Font size change", run->commands); i++) {
        run->begin();
        SendMessageW(run->window, WM_COMMAND, IDM_POINTS_BASE + (i % 2 ? 32 : 24), 0);
        BenchPaint(run);
        run->end();
    }
    if (run->commands % 2)
        BenchCommand(run, IDM_POINTS_BASE + 32);
    run->done("Font size change", size);
}

#endif
