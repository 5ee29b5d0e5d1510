// Counts, per measured message, the platform calls that cost time under
// Wine, for the same scenarios the Windows driver times.  The counts are
// deterministic, so a few repetitions each are enough.
//
//   bench_counts [client-width client-height [element]]
//
// With element, a UI Automation client has been handed the window's
// element first but does not listen: the counts must not change.
//
// prints two tab-separated lines per scenario, size and text:
//   scenario size text  ABC-width queries, text outputs, font creations,
//                       text-metric reads and paints of the costliest repetition
//   calls scenario size text  name=count ...  every platform call the program
//                       made in the repetition that made the most
#include <windows.h>
#include "winsim.h"
#include <uiautomation.h>

#include "app/shell.h"
#include "bench/inkwarden_scenarios.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <string>

static WinsimCallCounts worst;
static int worstPaints;
static const char *textName = "-";

// Filled by the counted build of the program (counted_calls.h).
static std::map<std::string, int> namedCalls, worstNamedCalls;
static int namedTotal, worstNamedTotal;

void BenchCountCall(const char *name)
{
    namedCalls[name]++;
    namedTotal++;
}

static void Starting(const char *, int)
{
}

static void PutClipboard(const WCHAR *units, int count)
{
    WinsimPutClipboardText(std::u16string(units, units + count) + u'\0');
}

static void Begin(void)
{
    WinsimClearCalls();
    WinsimClearLogs();
    namedCalls.clear();
    namedTotal = 0;
}

static void End(void)
{
    WinsimCallCounts now = WinsimCalls();
    worst.abcWidthQueries = std::max(worst.abcWidthQueries, now.abcWidthQueries);
    worst.textOutputs = std::max(worst.textOutputs, now.textOutputs);
    worst.fontCreations = std::max(worst.fontCreations, now.fontCreations);
    worst.textMetricReads = std::max(worst.textMetricReads, now.textMetricReads);
    worstPaints = std::max(worstPaints, WinsimPaintCount());
    if (namedTotal >= worstNamedTotal) {
        worstNamedTotal = namedTotal;
        worstNamedCalls = namedCalls;
    }
}

static void Done(const char *scenario, int size)
{
    printf("%s\t%d\t%s\t%d\t%d\t%d\t%d\t%d\n", scenario, size, textName, worst.abcWidthQueries,
           worst.textOutputs, worst.fontCreations, worst.textMetricReads, worstPaints);
    printf("calls\t%s\t%d\t%s\t", scenario, size, textName);
    for (const auto &call : worstNamedCalls)
        printf(" %s=%d", call.first.c_str(), call.second);
    printf("\n");
    worst = WinsimCallCounts{};
    worstPaints = 0;
    worstNamedCalls.clear();
    worstNamedTotal = 0;
}

// A full document as a file: the mark, 32,767 units and a closing 0, 65,538 bytes.
static std::string WriteFullFile(const WCHAR *text)
{
    std::string path = std::string(WinsimTempFolder()) + "/full.txt";
    FILE *file = fopen(path.c_str(), "wb");
    if (!file) {
        perror(path.c_str());
        exit(1);
    }
    unsigned short mark = 0xFEFF, zero = 0;
    fwrite(&mark, 2, 1, file);
    fwrite(text, 2, BENCH_LARGEST, file);
    fwrite(&zero, 2, 1, file);
    fclose(file);
    return path;
}

int main(int argc, char **argv)
{
    int width = argc > 2 ? atoi(argv[1]) : 1200;
    int height = argc > 2 ? atoi(argv[2]) : 1000;
    WinsimReset();
    WinsimUseResourceScript(INKWARDEN_RESOURCE_SCRIPT);
    WinsimSetScreenDpi(96, 96);
    WinsimSetDefaultClientSize(width, height);
    HINSTANCE instance = GetModuleHandle(nullptr);
    if (!RegisterMainWindowClass(instance) || !CreateMainWindow(instance, SW_SHOWNORMAL)) {
        fprintf(stderr, "the window did not start\n");
        return 1;
    }
    // With the keyboard, as under Wine: the system caret follows every step.
    WinsimSetFocus(MainWindow);
    WinsimPumpMessages();
    IRawElementProviderSimple *element = nullptr;
    if (argc > 3 && strcmp(argv[3], "element") == 0 && !(element = WinsimUiaElement(WinsimMainWindow()))) {
        fprintf(stderr, "the window gave no element\n");
        return 1;
    }

    static unsigned short units[BENCH_LARGEST];
    static WCHAR text[BENCH_LARGEST];
    MakeBenchText(units, BENCH_LARGEST, BENCH_PARAGRAPHS);
    std::copy(units, units + BENCH_LARGEST, text);

    // Open first, while the empty document has nothing to save.
    textName = BenchTextNames[BENCH_PARAGRAPHS];
    std::string path = WriteFullFile(text);
    for (int i = 0; i < 2; i++) {
        WinsimAnswerNextFileDialog(path);
        Begin();
        SendMessage(MainWindow, WM_COMMAND, IDM_FILE_OPEN, 0);
        UpdateWindow(MainWindow);
        End();
    }
    Done("Open", BENCH_LARGEST);

    BenchRun run = {MainWindow, PutClipboard, Starting, Begin, End, Done, 3, 2, nullptr};
    for (int kind = 0; kind < BENCH_TEXTS; kind++) {
        MakeBenchText(units, BENCH_LARGEST, kind);
        std::copy(units, units + BENCH_LARGEST, text);
        textName = BenchTextNames[kind];
        for (int size : {2000, 8000, BENCH_LARGEST})
            BenchScenarios(&run, text, size);
    }
    if (element)
        element->Release();
    return 0;
}
