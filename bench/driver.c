/* Times Inkwarden and the peer EDIT control under Wine.  Each measured step
   is a synchronous message from this process followed by UpdateWindow, so
   it ends once the window has painted.
     driver.exe [keystrokes] [commands] [profile|time] [scenario]
   With a scenario named, only that one is timed (the others' documents are
   still set up, so it meets the same state).
   prints tab-separated lines:
     client  width  height                 Inkwarden's client area
     thread  program  id                   the thread that owns each window
     time  scenario  size  text  program  median-ms  p90-ms  repetitions
     gap  scenario  why                    a step that could not be timed
   With profile, every measured step is bracketed by a line
     mark  begin|end  scenario  size  text  program
   after which the driver waits for a line on its input, so whoever counts
   the requests can settle and take its counts first. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "bench/inkwarden_scenarios.h"

#define PEER_EDIT_ID 1
#define MAX_SAMPLES 2000
#define NAME_BOX_COMBO 0x47C /* the Open dialog's name box */
#define NAME_BOX_EDIT 0x480  /* its name in the older dialog */

static LARGE_INTEGER Frequency, Started;
static double Samples[MAX_SAMPLES];
static int SampleCount;
static const char *Program = "Inkwarden";
static const char *TextName = "-";
static const char *Scenario = "";
static int ScenarioSize;
static int Profiling;
static const char *Only; /* the one scenario to time, or NULL */
static HWND ClipboardOwner;

static void Mark(const char *edge)
{
    char line[16];
    printf("mark\t%s\t%s\t%d\t%s\t%s\n", edge, Scenario, ScenarioSize, TextName, Program);
    fflush(stdout);
    if (!fgets(line, sizeof line, stdin))
        exit(1);
}

static void Begin(void)
{
    if (Profiling)
        Mark("begin");
    QueryPerformanceCounter(&Started);
}

static void End(void)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (SampleCount < MAX_SAMPLES)
        Samples[SampleCount++] = (double)(now.QuadPart - Started.QuadPart) * 1000.0 / Frequency.QuadPart;
    if (Profiling)
        Mark("end");
}

/* Names the scenario the next marks belong to. */
static void Starting(const char *scenario, int size)
{
    Scenario = scenario;
    ScenarioSize = size;
}

static int CompareSamples(const void *a, const void *b)
{
    double x = *(const double *)a, y = *(const double *)b;
    return x < y ? -1 : x > y;
}

static void Done(const char *scenario, int size)
{
    if (SampleCount > 0) {
        qsort(Samples, SampleCount, sizeof Samples[0], CompareSamples);
        printf("time\t%s\t%d\t%s\t%s\t%.3f\t%.3f\t%d\n", scenario, size, TextName, Program,
               Samples[SampleCount / 2],
               Samples[(SampleCount * 9) / 10], SampleCount);
        fflush(stdout);
    }
    SampleCount = 0;
}

static void Fail(const char *what)
{
    fprintf(stderr, "driver: %s (error %lu)\n", what, GetLastError());
    exit(1);
}

/* The clipboard needs an owner window: with none, SetClipboardData fails. */
static void PutClipboard(const WCHAR *units, int count)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (count + 1) * sizeof(WCHAR));
    if (!block)
        Fail("GlobalAlloc");
    WCHAR *data = (WCHAR *)GlobalLock(block);
    memcpy(data, units, count * sizeof(WCHAR));
    data[count] = 0;
    GlobalUnlock(block);
    if (!OpenClipboard(ClipboardOwner))
        Fail("OpenClipboard");
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, block))
        Fail("SetClipboardData");
    CloseClipboard();
}

static HWND WaitForWindow(const WCHAR *className)
{
    for (int i = 0; i < 600; i++) {
        HWND window = FindWindowW(className, NULL);
        if (window && IsWindowVisible(window))
            return window;
        Sleep(50);
    }
    return NULL;
}

/* The Open dialog Inkwarden shows, once it is up. */
static HWND FoundDialog;
static BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM owner)
{
    WCHAR name[16];
    if (GetWindow(window, GW_OWNER) == (HWND)owner && IsWindowVisible(window)
        && GetClassNameW(window, name, 16) && lstrcmpW(name, L"#32770") == 0) {
        FoundDialog = window;
        return FALSE;
    }
    return TRUE;
}

static HWND WaitForDialog(HWND owner)
{
    for (int i = 0; i < 200; i++) {
        FoundDialog = NULL;
        EnumWindows(FindOwnedDialog, (LPARAM)owner);
        if (FoundDialog)
            return FoundDialog;
        Sleep(50);
    }
    return NULL;
}

/* A full document as a file: the mark, 32,767 units and a closing 0. */
static void WriteFullFile(const WCHAR *path, const WCHAR *text)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        Fail("CreateFileW");
    WCHAR mark = 0xFEFF, zero = 0;
    DWORD written;
    WriteFile(file, &mark, 2, &written, NULL);
    WriteFile(file, text, BENCH_LARGEST * 2, &written, NULL);
    WriteFile(file, &zero, 2, &written, NULL);
    CloseHandle(file);
}

/* From OK in the Open dialog until the opened document is painted: the
   dialog is gone, Inkwarden answers a message again (its Open command has
   returned), and UpdateWindow has painted. */
static void TimeOpen(HWND window, const WCHAR *text, int repetitions)
{
    WCHAR path[MAX_PATH];
    GetTempPathW(MAX_PATH - 32, path);
    lstrcatW(path, L"inkwarden-bench.txt");
    WriteFullFile(path, text);
    static double afterDialog[MAX_SAMPLES];
    if (repetitions > MAX_SAMPLES)
        repetitions = MAX_SAMPLES;
    for (int i = 0; i < repetitions; i++) {
        PostMessageW(window, WM_COMMAND, IDM_FILE_OPEN, 0);
        HWND dialog = WaitForDialog(window);
        if (!dialog) {
            printf("gap\tOpen\tno Open dialog appeared within 10 s\n");
            return;
        }
        HWND name = GetDlgItem(dialog, NAME_BOX_COMBO);
        if (!name)
            name = GetDlgItem(dialog, NAME_BOX_EDIT);
        if (!name) {
            printf("gap\tOpen\tthe Open dialog has no name box this driver knows\n");
            SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        SendMessageW(name, WM_SETTEXT, 0, (LPARAM)path);
        Starting("Open", BENCH_LARGEST);
        LARGE_INTEGER gone, painted;
        Begin();
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(dialog, IDOK));
        while (IsWindow(dialog))
            Sleep(0);
        QueryPerformanceCounter(&gone);
        SendMessageW(window, WM_NULL, 0, 0);
        UpdateWindow(window);
        QueryPerformanceCounter(&painted);
        End();
        afterDialog[i] = (double)(painted.QuadPart - gone.QuadPart) * 1000.0 / Frequency.QuadPart;
    }
    Done("Open", BENCH_LARGEST);
    /* The part that is Inkwarden's own: reading, laying out and painting. */
    memcpy(Samples, afterDialog, repetitions * sizeof Samples[0]);
    SampleCount = repetitions;
    Done("Open after the dialog", BENCH_LARGEST);
}

static void PeerPaint(HWND edit)
{
    UpdateWindow(edit);
}

static void PeerChar(HWND edit, WCHAR unit)
{
    SendMessageW(edit, WM_CHAR, unit, 1);
    PeerPaint(edit);
}

static void PeerKey(HWND edit, int virtualKey)
{
    SendMessageW(edit, WM_KEYDOWN, virtualKey, 0);
    SendMessageW(edit, WM_KEYUP, virtualKey, 0);
    PeerPaint(edit);
}

static void PeerCaret(HWND edit, int position)
{
    SendMessageW(edit, EM_SETSEL, position, position);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    PeerPaint(edit);
}

/* The same steps as Inkwarden's scenarios; the EDIT control takes
   Backspace as a character. */
static void PeerScenarios(HWND edit, const WCHAR *text, int size, int keystrokes)
{
    static WCHAR filled[BENCH_LARGEST + 1];
    int middle = size / 2;
    memcpy(filled, text, size * sizeof(WCHAR));
    filled[size] = 0;
    SendMessageW(edit, WM_SETTEXT, 0, (LPARAM)filled);
    if (SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0) != size) {
        printf("gap\tpeer\tthe EDIT control took %d of %d units\n", (int)SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0),
               size);
        return;
    }

    PeerCaret(edit, middle);
    Starting("Backspace in the middle", size);
    for (int i = 0; i < BenchRepetitions(Only, "Backspace in the middle", keystrokes); i++) {
        Begin();
        SendMessageW(edit, WM_CHAR, VK_BACK, 1);
        PeerPaint(edit);
        End();
        PeerChar(edit, text[middle - 1]);
    }
    Done("Backspace in the middle", size);

    PeerCaret(edit, 1);
    Starting("Typing at the start", size);
    for (int i = 0; i < BenchRepetitions(Only, "Typing at the start", keystrokes); i++) {
        PeerChar(edit, VK_BACK);
        Begin();
        SendMessageW(edit, WM_CHAR, text[0], 1);
        PeerPaint(edit);
        End();
    }
    Done("Typing at the start", size);

    PeerCaret(edit, 0);
    Starting("Page Down", size);
    for (int i = 0; i < BenchRepetitions(Only, "Page Down", keystrokes); i++) {
        PeerKey(edit, VK_NEXT);
        Begin();
        SendMessageW(edit, WM_KEYDOWN, VK_NEXT, 0);
        PeerPaint(edit);
        End();
        SendMessageW(edit, WM_KEYUP, VK_NEXT, 0);
        PeerKey(edit, VK_PRIOR);
        PeerKey(edit, VK_PRIOR);
    }
    Done("Page Down", size);

    PeerCaret(edit, size);
    Starting("Typing at the end", size);
    for (int i = 0; i < BenchRepetitions(Only, "Typing at the end", keystrokes); i++) {
        PeerChar(edit, VK_BACK);
        Begin();
        SendMessageW(edit, WM_CHAR, text[size - 1], 1);
        PeerPaint(edit);
        End();
    }
    Done("Typing at the end", size);
}

int main(int argc, char **argv)
{
    int keystrokes = argc > 1 ? atoi(argv[1]) : 200;
    int commands = argc > 2 ? atoi(argv[2]) : 40;
    Profiling = argc > 3 && strcmp(argv[3], "profile") == 0;
    Only = argc > 4 ? argv[4] : NULL;
    QueryPerformanceFrequency(&Frequency);

    ClipboardOwner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    HWND window = WaitForWindow(L"Inkwarden");
    HWND peer = WaitForWindow(L"InkwardenBenchPeer");
    if (!ClipboardOwner || !window || !peer)
        Fail("no clipboard window, Inkwarden window or peer window");
    HWND edit = GetDlgItem(peer, PEER_EDIT_ID);

    /* A fixed window, clear of the peer's, whatever size Wine gives first. */
    SetWindowPos(window, NULL, 0, 0, 1000, 1000, SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(window);
    RECT client;
    GetClientRect(window, &client);
    printf("client\t%ld\t%ld\n", client.right, client.bottom);
    printf("thread\tInkwarden\t%04lx\nthread\tEDIT\t%04lx\nthread\tdriver\t%04lx\n",
           GetWindowThreadProcessId(window, NULL), GetWindowThreadProcessId(edit, NULL), GetCurrentThreadId());

    static unsigned short units[BENCH_LARGEST];
    static WCHAR text[BENCH_LARGEST];
    MakeBenchText(units, BENCH_LARGEST, BENCH_PARAGRAPHS);
    for (int i = 0; i < BENCH_LARGEST; i++)
        text[i] = units[i];

    /* The floor under every row: a message that does nothing, answered by
       the other process, and an UpdateWindow with nothing to paint. */
    HWND targets[2] = {window, edit};
    const char *names[2] = {"Inkwarden", "EDIT"};
    for (int t = 0; t < 2; t++) {
        Program = names[t];
        Starting("Empty message", 0);
        for (int i = 0; i < BenchRepetitions(Only, "Empty message", keystrokes); i++) {
            Begin();
            SendMessageW(targets[t], WM_NULL, 0, 0);
            UpdateWindow(targets[t]);
            End();
        }
        Done("Empty message", 0);
        /* And the floor under every step that paints: one pixel, low in
           the window, clear of the text and the picker. */
        RECT pixel;
        GetClientRect(targets[t], &pixel);
        pixel.left = pixel.right - 4;
        pixel.top = pixel.bottom - 4;
        pixel.right = pixel.left + 1;
        pixel.bottom = pixel.top + 1;
        Starting("One-pixel repaint", 0);
        for (int i = 0; i < BenchRepetitions(Only, "One-pixel repaint", keystrokes); i++) {
            Begin();
            InvalidateRect(targets[t], &pixel, TRUE);
            UpdateWindow(targets[t]);
            End();
        }
        Done("One-pixel repaint", 0);
    }
    Program = "Inkwarden";

    /* Open first, while the empty document has nothing to save. */
    TextName = BenchTextNames[BENCH_PARAGRAPHS];
    int opens = BenchRepetitions(Only, "Open", commands) ? commands
                : BenchRepetitions(Only, "Open after the dialog", commands);
    TimeOpen(window, text, opens);

    struct BenchRun run = {window, PutClipboard, Starting, Begin, End, Done, keystrokes, commands, Only};
    static const int sizes[] = {2000, 8000, BENCH_LARGEST};
    for (int kind = 0; kind < BENCH_TEXTS; kind++) {
        MakeBenchText(units, BENCH_LARGEST, kind);
        for (int i = 0; i < BENCH_LARGEST; i++)
            text[i] = units[i];
        TextName = BenchTextNames[kind];
        for (int s = 0; s < 3; s++) {
            Program = "Inkwarden";
            BenchScenarios(&run, text, sizes[s]);
            Program = "EDIT";
            PeerScenarios(edit, text, sizes[s], keystrokes);
        }
    }
    return 0;
}
