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

static std::map<HGLOBAL, std::unique_ptr<GlobalBlock>> blocks;
static std::vector<std::string> misuses;

static bool clipboardOpen;
static HWND openedBy;
static bool emptiedWithoutOwner;  // SetClipboardData then fails, as on Windows
static std::map<UINT, HGLOBAL> clipboard;  // format -> block the clipboard owns
static std::set<UINT> unrendered;  // offered for delayed rendering, never rendered

void ResetClipboard()
{
    blocks.clear();
    misuses.clear();
    clipboardOpen = false;
    openedBy = nullptr;
    emptiedWithoutOwner = false;
    clipboard.clear();
    unrendered.clear();
}

static GlobalBlock *BlockFrom(HGLOBAL mem)
{
    auto found = blocks.find(mem);
    return found == blocks.end() ? nullptr : found->second.get();
}

static void FreeClipboardData()
{
    for (auto &entry : clipboard)
        blocks.erase(entry.second);
    clipboard.clear();
    unrendered.clear();
}

// A block another program placed: it belongs to the clipboard at once.
static void PlaceForeignBlock(UINT format, const std::string &bytes)
{
    auto old = clipboard.find(format);
    if (old != clipboard.end())
        blocks.erase(old->second);
    auto block = std::make_unique<GlobalBlock>();
    block->flags = GMEM_MOVEABLE | GMEM_DDESHARE;
    block->bytes = bytes;
    block->discarded = bytes.empty();
    block->ownedByClipboard = true;
    HGLOBAL handle = block.get();
    blocks[handle] = std::move(block);
    clipboard[format] = handle;
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
    blocks[handle] = std::move(block);
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
        misuses.push_back("GlobalFree of a handle that is not a live block");
        return mem;
    }
    if (block->ownedByClipboard) {
        misuses.push_back("GlobalFree of a block the clipboard owns");
        return mem;
    }
    blocks.erase(mem);
    return nullptr;
}

// Fails while another window holds the clipboard open.
BOOL WINAPI OpenClipboard(HWND owner)
{
    if (ShouldFail(WinsimOpenClipboard) || (clipboardOpen && openedBy != owner))
        return FALSE;
    clipboardOpen = true;
    openedBy = owner;
    emptiedWithoutOwner = false;
    return TRUE;
}

BOOL WINAPI CloseClipboard(void)
{
    if (!clipboardOpen)
        return FALSE;
    for (auto &entry : clipboard)
        if (blocks[entry.second]->locks > 0)
            misuses.push_back("a clipboard block left locked at CloseClipboard");
    clipboardOpen = false;
    openedBy = nullptr;
    return !ShouldFail(WinsimCloseClipboard);
}

// Frees what the clipboard held; the window that opened it becomes the owner.
BOOL WINAPI EmptyClipboard(void)
{
    if (!clipboardOpen)
        return FALSE;
    FreeClipboardData();
    emptiedWithoutOwner = openedBy == nullptr;
    return TRUE;
}

// On success the clipboard owns the block.  The block must be moveable.
HANDLE WINAPI SetClipboardData(UINT format, HANDLE mem)
{
    GlobalBlock *block = BlockFrom(mem);
    if (!clipboardOpen || emptiedWithoutOwner || !block || ShouldFail(WinsimSetClipboardData))
        return nullptr;
    if (!(block->flags & GMEM_MOVEABLE)) {
        misuses.push_back("SetClipboardData with a block that is not moveable");
        return nullptr;
    }
    auto old = clipboard.find(format);
    if (old != clipboard.end() && old->second != mem)
        blocks.erase(old->second);
    block->ownedByClipboard = true;
    clipboard[format] = mem;
    return mem;
}

// The clipboard keeps the block: the caller must not free it.
HANDLE WINAPI GetClipboardData(UINT format)
{
    if (!clipboardOpen)
        return nullptr;
    auto found = clipboard.find(format);
    return found == clipboard.end() ? nullptr : found->second;
}

BOOL WINAPI IsClipboardFormatAvailable(UINT format)
{
    return clipboard.count(format) != 0 || unrendered.count(format) != 0;
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
    auto old = clipboard.find(format);
    if (old != clipboard.end()) {
        blocks.erase(old->second);
        clipboard.erase(old);
    }
    unrendered.insert(format);
}

void WinsimEmptyClipboard(void)
{
    FreeClipboardData();
}

std::vector<WinsimClipboardEntry> WinsimClipboardContents(void)
{
    std::vector<WinsimClipboardEntry> contents;
    for (auto &entry : clipboard) {
        GlobalBlock *block = blocks[entry.second].get();
        contents.push_back(WinsimClipboardEntry{entry.first, block->flags, block->bytes});
    }
    return contents;
}

std::u16string WinsimClipboardText(void)
{
    auto found = clipboard.find(CF_UNICODETEXT);
    if (found == clipboard.end())
        return u"";
    const std::string &bytes = blocks[found->second]->bytes;
    std::u16string units(bytes.size() / 2, u'\0');
    memcpy(&units[0], bytes.data(), units.size() * 2);
    return units;
}

bool WinsimClipboardIsOpen(void)
{
    return clipboardOpen;
}

int WinsimLiveGlobalBlocks(void)
{
    int live = 0;
    for (auto &entry : blocks)
        live += !entry.second->ownedByClipboard;
    return live;
}

const std::vector<std::string> &WinsimGlobalMemoryMisuses(void)
{
    return misuses;
}
