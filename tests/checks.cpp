#include "checks.h"
#include "winsim.h"

#include "document/document.h"
#include "document/layout.h"
#include "view/view.h"

#include <string.h>

#include <algorithm>
#include <sstream>
#include <vector>

std::string StoreInvariantFault(HWND window)
{
    std::ostringstream out;
    if (CharCount < 1 || CharCount > TEXT_BUFFER_UNITS)
        out << "CharCount " << CharCount;
    else if (TextBuffer[CharCount - 1] != 0)
        out << "no terminator at " << CharCount - 1;
    else if (LineCount < 1 || LineCount > LINE_TABLE_RECORDS)
        out << "LineCount " << LineCount;
    else if (LineTable[0].first != 0)
        out << "line 0 starts at " << LineTable[0].first;
    else if (LineTable[LineCount - 1].last != CharCount - 1)
        out << "the last line ends at " << LineTable[LineCount - 1].last;
    else if (Caret < 0 || Caret > CharCount - 1)
        out << "Caret " << Caret;
    else if (SelectionActive && (SelStart < 0 || SelStart >= SelEnd || SelEnd > CharCount - 1 ||
                                 (Caret != SelStart && Caret != SelEnd)))
        out << "selection " << SelStart << " to " << SelEnd << " with the caret at " << Caret;
    else if (TopLine < 0 || TopLine > ScrollMax())
        out << "TopLine " << TopLine << " out of 0 to " << ScrollMax();
    else if (GetScrollPos(window, SB_VERT) != TopLine)
        out << "scroll bar at " << GetScrollPos(window, SB_VERT) << ", TopLine " << TopLine;
    bool found = out.tellp() != 0;  // asked once: it is slow, and this runs after every fuzz step
    for (int i = 0; !found && i < LineCount; i++)
        if (LineTable[i].last < LineTable[i].first ||
            (i > 0 && LineTable[i].first != LineTable[i - 1].last + 1)) {
            out << "line " << i << " is {" << LineTable[i].first << ", " << LineTable[i].last << "}";
            found = true;
        }
    return out.str();
}

std::string FullReflowFault(void)
{
    std::vector<LineRecord> edited(LineTable, LineTable + LineCount);
    Reflow();
    std::ostringstream out;
    if ((int)edited.size() != LineCount) {
        out << edited.size() << " lines, a full reflow makes " << LineCount;
        return out.str();
    }
    for (int i = 0; i < LineCount; i++)
        if (edited[i].first != LineTable[i].first || edited[i].last != LineTable[i].last) {
            out << "line " << i << " is {" << edited[i].first << ", " << edited[i].last
                << "}, a full reflow makes it {" << LineTable[i].first << ", "
                << LineTable[i].last << "}";
            break;
        }
    return out.str();
}

std::string FullRepaintFault(HWND window, std::vector<COLORREF> *screen)
{
    static std::vector<COLORREF> partial;  // kept: a fresh megabyte per call costs page faults
    partial = WinsimFramebuffer(window);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    const std::vector<COLORREF> &full = WinsimFramebuffer(window);
    if (partial.size() != full.size())
        return "the framebuffer changed size";
    if (full.empty() || memcmp(partial.data(), full.data(), full.size() * sizeof full[0]) == 0) {
        if (screen)
            screen->swap(partial);
        return "";
    }
    RECT client;
    GetClientRect(window, &client);
    size_t width = client.right > 0 ? client.right : 1;
    size_t i = std::mismatch(full.begin(), full.end(), partial.begin()).first - full.begin();
    std::ostringstream out;
    out << "pixel (" << i % width << ", " << i / width << ") differs from a full repaint";
    return out.str();
}

std::string LeakFault(void)
{
    std::ostringstream out;
    if (WinsimLiveFonts() != 0)
        out << WinsimLiveFonts() << " fonts live";
    else if (WinsimLiveDCs() != 0)
        out << WinsimLiveDCs() << " device contexts live";
    else if (WinsimLiveHeapBlocks() != 0)
        out << WinsimLiveHeapBlocks() << " heap blocks live";
    else if (WinsimLiveGlobalBlocks() != 0)
        out << WinsimLiveGlobalBlocks() << " global blocks live";
    else if (!WinsimGlobalMemoryMisuses().empty())
        out << "global memory misused: " << WinsimGlobalMemoryMisuses().front();
    return out.str();
}
