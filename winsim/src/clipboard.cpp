// Global memory blocks and the clipboard that takes them over.  A block the
// clipboard accepted belongs to it: the program must neither free it nor
// leave it locked, and EmptyClipboard frees it.  Misuses are recorded for
// tests, as are blocks nobody frees.
#include "internal.h"

#include <string.h>

#include <map>
#include <set>
#include <memory>

namespace winsim {

struct GlobalBlock {
    UINT flags = 0;
    std::string bytes;
    bool discarded = false;  // a moveable block of size 0
    int locks = 0;
    bool ownedByClipboard = false;
};

static struct ClipboardState {
    std::map<HGLOBAL, std::unique_ptr<GlobalBlock>> blocks;
    std::vector<std::string> misuses;
    bool clipboardOpen = false;
    HWND openedBy = nullptr;
    bool emptiedWithoutOwner = false;  // SetClipboardData then fails, as on Windows
    std::map<UINT, HGLOBAL> clipboard;  // format -> block the clipboard owns
    std::set<UINT> unrendered;  // offered for delayed rendering, never rendered
} state;

void ResetClipboard()
{
    state = ClipboardState{};
}

static GlobalBlock *BlockFrom(HGLOBAL mem)
{
    auto found = state.blocks.find(mem);
    return found == state.blocks.end() ? nullptr : found->second.get();
}

static void FreeClipboardData()
{
    for (auto &entry : state.clipboard)
        state.blocks.erase(entry.second);
    state.clipboard.clear();
    state.unrendered.clear();
}

// A block another program placed: it belongs to the clipboard at once.
static void PlaceForeignBlock(UINT format, const std::string &bytes)
{
    auto old = state.clipboard.find(format);
    if (old != state.clipboard.end())
        state.blocks.erase(old->second);
    auto block = std::make_unique<GlobalBlock>();
    block->flags = GMEM_MOVEABLE | GMEM_DDESHARE;
    block->bytes = bytes;
    block->discarded = bytes.empty();
    block->ownedByClipboard = true;
    HGLOBAL handle = block.get();
    state.blocks[handle] = std::move(block);
    state.clipboard[format] = handle;
}

}  // namespace winsim

using namespace winsim;

// A fixed block's handle is its address; a moveable one must be locked for
// its address, and GMEM_MOVEABLE with 0 bytes gives a discarded block.
HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes)
{
    if (ShouldFail(WinsimGlobalAlloc))
        return nullptr;
    auto block = std::make_unique<GlobalBlock>();
    block->flags = flags;
    block->bytes.assign(bytes, (flags & GMEM_ZEROINIT) ? '\0' : '\xCD');
    block->discarded = bytes == 0 && (flags & GMEM_MOVEABLE);
    HGLOBAL handle = block.get();
    state.blocks[handle] = std::move(block);
    return handle;
}

LPVOID WINAPI GlobalLock(HGLOBAL mem)
{
    GlobalBlock *block = BlockFrom(mem);
    if (!block || block->discarded)
        return nullptr;
    if (ShouldFail(WinsimGlobalLock))
        return nullptr;
    if (block->flags & GMEM_MOVEABLE)
        block->locks++;
    return &block->bytes[0];
}

// Nonzero while the block stays locked.
BOOL WINAPI GlobalUnlock(HGLOBAL mem)
{
    GlobalBlock *block = BlockFrom(mem);
    if (!block || block->locks == 0)
        return FALSE;
    return --block->locks > 0;
}

SIZE_T WINAPI GlobalSize(HGLOBAL mem)
{
    GlobalBlock *block = BlockFrom(mem);
    return block && !block->discarded ? block->bytes.size() : 0;
}

// NULL on success; the handle back on failure.
HGLOBAL WINAPI GlobalFree(HGLOBAL mem)
{
    GlobalBlock *block = BlockFrom(mem);
    if (!block) {
        state.misuses.push_back("GlobalFree of a handle that is not a live block");
        return mem;
    }
    if (block->ownedByClipboard) {
        state.misuses.push_back("GlobalFree of a block the state.clipboard owns");
        return mem;
    }
    state.blocks.erase(mem);
    return nullptr;
}

// Fails while another window holds the clipboard open.
BOOL WINAPI OpenClipboard(HWND owner)
{
    if (ShouldFail(WinsimOpenClipboard) || (state.clipboardOpen && state.openedBy != owner))
        return FALSE;
    state.clipboardOpen = true;
    state.openedBy = owner;
    state.emptiedWithoutOwner = false;
    return TRUE;
}

BOOL WINAPI CloseClipboard(void)
{
    if (!state.clipboardOpen)
        return FALSE;
    for (auto &entry : state.clipboard)
        if (state.blocks[entry.second]->locks > 0)
            state.misuses.push_back("a state.clipboard block left locked at CloseClipboard");
    state.clipboardOpen = false;
    state.openedBy = nullptr;
    return !ShouldFail(WinsimCloseClipboard);
}

// Frees what the clipboard held; the window that opened it becomes the owner.
BOOL WINAPI EmptyClipboard(void)
{
    if (!state.clipboardOpen)
        return FALSE;
    FreeClipboardData();
    state.emptiedWithoutOwner = state.openedBy == nullptr;
    return TRUE;
}

// On success the clipboard owns the block.  The block must be moveable.
HANDLE WINAPI SetClipboardData(UINT format, HANDLE mem)
{
    GlobalBlock *block = BlockFrom(mem);
    if (!state.clipboardOpen || state.emptiedWithoutOwner || !block ||
        ShouldFail(WinsimSetClipboardData))
        return nullptr;
    if (!(block->flags & GMEM_MOVEABLE)) {
        state.misuses.push_back("SetClipboardData with a block that is not moveable");
        return nullptr;
    }
    auto old = state.clipboard.find(format);
    if (old != state.clipboard.end() && old->second != mem)
        state.blocks.erase(old->second);
    block->ownedByClipboard = true;
    state.clipboard[format] = mem;
    return mem;
}

// The clipboard keeps the block: the caller must not free it.
HANDLE WINAPI GetClipboardData(UINT format)
{
    if (!state.clipboardOpen)
        return nullptr;
    auto found = state.clipboard.find(format);
    return found == state.clipboard.end() ? nullptr : found->second;
}

BOOL WINAPI IsClipboardFormatAvailable(UINT format)
{
    return state.clipboard.count(format) != 0 || state.unrendered.count(format) != 0;
}

void WinsimPutClipboardData(UINT format, const std::string &bytes)
{
    PlaceForeignBlock(format, bytes);
}

void WinsimPutClipboardText(const std::u16string &units)
{
    PlaceForeignBlock(CF_UNICODETEXT,
                      std::string(reinterpret_cast<const char *>(units.data()), units.size() * 2));
}

void WinsimOfferUnrenderedFormat(UINT format)
{
    auto old = state.clipboard.find(format);
    if (old != state.clipboard.end()) {
        state.blocks.erase(old->second);
        state.clipboard.erase(old);
    }
    state.unrendered.insert(format);
}

void WinsimEmptyClipboard(void)
{
    FreeClipboardData();
}

std::vector<WinsimClipboardEntry> WinsimClipboardContents(void)
{
    std::vector<WinsimClipboardEntry> contents;
    for (auto &entry : state.clipboard) {
        GlobalBlock *block = state.blocks[entry.second].get();
        contents.push_back(WinsimClipboardEntry{entry.first, block->flags, block->bytes});
    }
    return contents;
}

std::u16string WinsimClipboardText(void)
{
    auto found = state.clipboard.find(CF_UNICODETEXT);
    if (found == state.clipboard.end())
        return u"";
    const std::string &bytes = state.blocks[found->second]->bytes;
    std::u16string units(bytes.size() / 2, u'\0');
    memcpy(&units[0], bytes.data(), units.size() * 2);
    return units;
}

bool WinsimClipboardIsOpen(void)
{
    return state.clipboardOpen;
}

int WinsimLiveGlobalBlocks(void)
{
    int live = 0;
    for (auto &entry : state.blocks)
        live += !entry.second->ownedByClipboard;
    return live;
}

const std::vector<std::string> &WinsimGlobalMemoryMisuses(void)
{
    return state.misuses;
}
