// What both fuzz targets share: a fresh editor per input, the checks run
// after each message, the file format's expected reading, and a failure
// that stops the run so libFuzzer keeps the input.
#ifndef INKWARDEN_FUZZ_SUPPORT_H
#define INKWARDEN_FUZZ_SUPPORT_H

#include <windows.h>
#include "program_state.h"

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

// A fresh program with its main window of this frame size and resolution.
HWND StartEditor(int frameWidth, int frameHeight, int dpi);

[[noreturn]] void Fail(const std::string &what);
inline void Check(const std::string &fault, const char *what)
{
    if (!fault.empty())
        Fail(std::string(what) + ": " + fault);
}

// The store's invariants, the line table of a full reflow, no live fonts,
// DCs or blocks, no pending paint and the screen of a full repaint, which
// then goes into screen if given.
void CheckAfterMessage(HWND window, std::vector<COLORREF> *screen = nullptr);

// What Open makes of a file of these bytes, read in full: true and the
// document's units (terminator included), or false and the warning's text.
bool DocumentOfFile(const std::string &bytes, std::u16string *units, std::u16string *warning);

// The texts Open may warn with, faults included.
bool IsOpenWarning(const std::u16string &text);

// Writes bytes to a new file in winsim's folder and gives its path.
std::string WriteFileForDialog(const std::string &name, const std::string &bytes);

std::string Narrow(const std::u16string &text);

// Runs one input; with INKWARDEN_FUZZ_REPEAT set it runs every input twice
// and fails if the second run ends differently: the program's state is
// global, so a leftover from an earlier input would make runs unrepeatable.
int RunRepeatably(void (*run)(const uint8_t *, size_t), const uint8_t *data, size_t size);

// Input bytes as choices; past the end every read gives 0.
struct Choices {
    const uint8_t *data;
    size_t size;
    size_t at = 0;
    bool Done() const { return at >= size; }
    int Byte() { return at < size ? data[at++] : 0; }
    int Word() { return Byte() | Byte() << 8; }
    int Below(int n) { return n <= 256 ? Byte() % n : Word() % n; }
    std::string Bytes(size_t count)
    {
        size_t n = count < size - at ? count : size - at;
        std::string s((const char *)data + at, n);
        at += n;
        return s;
    }
};

#endif
