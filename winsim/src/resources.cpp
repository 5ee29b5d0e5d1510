// Menus and accelerator tables, read from the same resource script the
// Windows build compiles, and the menu calls that work on them.
#include "internal.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>

#include <fstream>
#include <map>
#include <memory>
#include <sstream>

namespace winsim {

struct Menu;

struct MenuItem {
    std::u16string text;
    UINT id = 0;
    UINT flags = 0;  // MF_CHECKED, MF_GRAYED, MF_SEPARATOR, MF_POPUP
    Menu *popup = nullptr;
};

struct Menu {
    std::vector<MenuItem> items;
};

struct Accelerator {
    BYTE flags;
    WORD key;
    WORD command;
};

struct AcceleratorTable {
    std::vector<Accelerator> entries;
};

static std::string scriptPath;  // kept across resets
static struct ResourceState {
    std::vector<std::unique_ptr<Menu>> menus;
    std::vector<std::unique_ptr<AcceleratorTable>> acceleratorTables;
    int menuBarDraws = 0;
} state;

void ResetResources()
{
    state = ResourceState{};
}

static std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        fprintf(stderr, "winsim: cannot read resource file %s\n", path.c_str());
        abort();
    }
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

static std::string DirectoryOf(const std::string &path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

// The resource script as tokens: strings (escapes decoded), words, numbers
// and punctuation; comments and preprocessor lines dropped, #defines kept.
struct Script {
    std::vector<std::string> tokens;
    std::vector<bool> isString;
    std::map<std::string, long> defines;
    size_t at = 0;

    bool AtEnd() const { return at >= tokens.size(); }
    const std::string &Peek() const { return tokens[at]; }
    std::string Next()
    {
        if (AtEnd()) {
            fprintf(stderr, "winsim: resource script ends too early\n");
            abort();
        }
        return tokens[at++];
    }
    bool NextIsString() const { return !AtEnd() && isString[at]; }
    bool Accept(const std::string &t)
    {
        if (!AtEnd() && !isString[at] && tokens[at] == t) {
            at++;
            return true;
        }
        return false;
    }
    long Number(const std::string &t) const
    {
        auto d = defines.find(t);
        if (d != defines.end())
            return d->second;
        char *end;
        long value = strtol(t.c_str(), &end, 0);
        if (*end) {
            fprintf(stderr, "winsim: resource script: '%s' is not a number\n", t.c_str());
            abort();
        }
        return value;
    }
};

static void Tokenize(const std::string &text, const std::string &directory, Script *script);

static void ReadDirective(const std::string &line, const std::string &directory, Script *script)
{
    std::istringstream words(line.substr(1));
    std::string directive;
    words >> directive;
    if (directive == "include") {
        std::string file;
        words >> file;
        if (file.size() > 2 && file.front() == '"')
            Tokenize(ReadFile(directory + "/" + file.substr(1, file.size() - 2)), directory, script);
    } else if (directive == "define") {
        std::string name, value;
        words >> name >> value;
        if (!value.empty())
            script->defines[name] = script->Number(value);
    }
}

// Only the #defines of included headers matter; the rest of a header is
// C and is skipped.
static void Tokenize(const std::string &text, const std::string &directory, Script *script)
{
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '#' ) {
            size_t end = text.find('\n', i);
            ReadDirective(text.substr(i, end - i), directory, script);
            i = end == std::string::npos ? text.size() : end;
        } else if (text.compare(i, 2, "//") == 0) {
            i = text.find('\n', i);
            if (i == std::string::npos)
                i = text.size();
        } else if (text.compare(i, 2, "/*") == 0) {
            i = text.find("*/", i);
            i = i == std::string::npos ? text.size() : i + 2;
        } else if (c == '"') {
            std::string s;
            for (i++; i < text.size() && text[i] != '"'; i++) {
                if (text[i] == '\\' && i + 1 < text.size()) {
                    char e = text[++i];
                    s += e == 't' ? '\t' : e == 'n' ? '\n' : e;
                } else {
                    s += text[i];
                }
            }
            i++;
            script->tokens.push_back(s);
            script->isString.push_back(true);
        } else if (isalnum((unsigned char)c) || c == '_') {
            size_t start = i;
            while (i < text.size() && (isalnum((unsigned char)text[i]) || text[i] == '_'))
                i++;
            script->tokens.push_back(text.substr(start, i - start));
            script->isString.push_back(false);
        } else if (isspace((unsigned char)c)) {
            i++;
        } else {
            script->tokens.push_back(std::string(1, c));
            script->isString.push_back(false);
            i++;
        }
    }
}

static std::u16string Widen(const std::string &s)
{
    return std::u16string(s.begin(), s.end());
}

static bool SameName(const std::string &a, const std::u16string &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); i++)
        if (toupper((unsigned char)a[i]) != toupper((int)b[i]))
            return false;
    return true;
}

static bool BlockStart(Script &s) { return s.Accept("BEGIN") || s.Accept("{"); }
static bool BlockEnd(Script &s) { return s.Accept("END") || s.Accept("}"); }

static UINT ItemOptions(Script &s)
{
    UINT flags = 0;
    while (s.Accept(",")) {
        std::string option = s.Next();
        if (option == "CHECKED")
            flags |= MF_CHECKED;
        else if (option == "GRAYED")
            flags |= MF_GRAYED;
        else if (option == "INACTIVE")
            flags |= MF_DISABLED;
    }
    return flags;
}

static Menu *ParseMenuBlock(Script &s)
{
    state.menus.push_back(std::make_unique<Menu>());
    Menu *menu = state.menus.back().get();
    if (!BlockStart(s)) {
        fprintf(stderr, "winsim: resource script: menu block expected\n");
        abort();
    }
    while (!BlockEnd(s)) {
        MenuItem item;
        std::string keyword = s.Next();
        if (keyword == "MENUITEM" && s.Accept("SEPARATOR")) {
            item.flags = MF_SEPARATOR;
        } else if (keyword == "MENUITEM") {
            item.text = Widen(s.Next());
            s.Accept(",");
            item.id = (UINT)s.Number(s.Next());
            item.flags = ItemOptions(s);
        } else if (keyword == "POPUP") {
            item.text = Widen(s.Next());
            item.flags = ItemOptions(s) | MF_POPUP;
            item.popup = ParseMenuBlock(s);
        } else {
            fprintf(stderr, "winsim: resource script: unexpected '%s' in a menu\n", keyword.c_str());
            abort();
        }
        menu->items.push_back(item);
    }
    return menu;
}

static AcceleratorTable *ParseAccelerators(Script &s)
{
    state.acceleratorTables.push_back(std::make_unique<AcceleratorTable>());
    AcceleratorTable *table = state.acceleratorTables.back().get();
    BlockStart(s);
    while (!BlockEnd(s)) {
        bool quoted = s.NextIsString();
        std::string key = s.Next();
        s.Accept(",");
        Accelerator a = {};
        a.key = quoted ? (WORD)key[0] : (WORD)s.Number(key);
        a.command = (WORD)s.Number(s.Next());
        while (s.Accept(",")) {
            std::string option = s.Next();
            if (option == "VIRTKEY")
                a.flags |= FVIRTKEY;
            else if (option == "CONTROL")
                a.flags |= FCONTROL;
            else if (option == "SHIFT")
                a.flags |= FSHIFT;
            else if (option == "ALT")
                a.flags |= FALT;
        }
        table->entries.push_back(a);
    }
    return table;
}

static void SkipStatement(Script &s)
{
    // A one-line resource such as ICON or a manifest: name, type, file.
    s.Next();
    if (s.NextIsString())
        s.Next();
}

// Finds the named resource of the given type (MENU or ACCELERATORS).
static bool FindResource(Script &s, const std::u16string &name, const std::string &type)
{
    if (scriptPath.empty()) {
        fprintf(stderr, "winsim: no resource script (WinsimUseResourceScript)\n");
        abort();
    }
    // Read once per script: every window creation loads the menu again.
    static Script tokenized;
    static std::string tokenizedPath;
    if (tokenizedPath != scriptPath) {
        tokenized = Script{};
        Tokenize(ReadFile(scriptPath), DirectoryOf(scriptPath), &tokenized);
        tokenizedPath = scriptPath;
    }
    s = tokenized;
    while (!s.AtEnd()) {
        std::string resourceName = s.Next();
        if (s.AtEnd())
            break;
        std::string resourceType = s.Peek();
        if (resourceType == type && SameName(resourceName, name)) {
            s.Next();
            return true;
        }
        if (resourceType == "MENU") {
            s.Next();
            ParseMenuBlock(s);
        } else if (resourceType == "ACCELERATORS") {
            s.Next();
            ParseAccelerators(s);
        } else {
            SkipStatement(s);
        }
    }
    return false;
}

HMENU LoadMenuFromScript(LPCWSTR name)
{
    Script s;
    if (!FindResource(s, name, "MENU"))
        return nullptr;
    return reinterpret_cast<HMENU>(ParseMenuBlock(s));
}

static Menu *MenuFrom(HMENU handle)
{
    for (auto &m : state.menus)
        if (reinterpret_cast<HMENU>(m.get()) == handle)
            return m.get();
    return nullptr;
}

static MenuItem *FindItem(Menu *menu, UINT id, UINT flags, Menu **owner, int *position)
{
    if (!menu)
        return nullptr;
    if (flags & MF_BYPOSITION) {
        if (id >= menu->items.size())
            return nullptr;
        if (owner)
            *owner = menu;
        if (position)
            *position = (int)id;
        return &menu->items[id];
    }
    for (size_t i = 0; i < menu->items.size(); i++) {
        MenuItem &item = menu->items[i];
        if (item.popup) {
            if (MenuItem *found = FindItem(item.popup, id, flags, owner, position))
                return found;
        } else if (!(item.flags & MF_SEPARATOR) && item.id == id) {
            if (owner)
                *owner = menu;
            if (position)
                *position = (int)i;
            return &item;
        }
    }
    return nullptr;
}

// The popup that holds a command, its position in its parent, and the
// command's state; popup is null when no item has the id.
void FindMenuCommand(HMENU menu, UINT id, HMENU *popup, int *popupPosition, UINT *state)
{
    *popup = nullptr;
    Menu *top = MenuFrom(menu);
    Menu *owner = nullptr;
    MenuItem *item = FindItem(top, id, MF_BYCOMMAND, &owner, nullptr);
    if (!item)
        return;
    *popup = reinterpret_cast<HMENU>(owner);
    *state = item->flags;
    *popupPosition = 0;
    for (size_t i = 0; top && i < top->items.size(); i++)
        if (top->items[i].popup == owner)
            *popupPosition = (int)i;
}

}  // namespace winsim

using namespace winsim;

HMENU WINAPI LoadMenuW(HINSTANCE, LPCWSTR name)
{
    return LoadMenuFromScript(name);
}

HMENU WINAPI GetMenu(HWND hwnd)
{
    Window *w = WindowFrom(hwnd);
    return w ? w->menu : nullptr;
}

HMENU WINAPI GetSubMenu(HMENU handle, int pos)
{
    Menu *menu = MenuFrom(handle);
    if (!menu || pos < 0 || pos >= (int)menu->items.size())
        return nullptr;
    return reinterpret_cast<HMENU>(menu->items[pos].popup);
}

int WINAPI GetMenuItemCount(HMENU handle)
{
    Menu *menu = MenuFrom(handle);
    return menu ? (int)menu->items.size() : -1;
}

UINT WINAPI GetMenuItemID(HMENU handle, int pos)
{
    Menu *menu = MenuFrom(handle);
    if (!menu || pos < 0 || pos >= (int)menu->items.size() || menu->items[pos].popup)
        return (UINT)-1;
    return menu->items[pos].id;
}

UINT WINAPI GetMenuState(HMENU handle, UINT id, UINT flags)
{
    MenuItem *item = FindItem(MenuFrom(handle), id, flags, nullptr, nullptr);
    if (!item)
        return (UINT)-1;
    if (item->popup)
        return (item->flags & 0xFF) | ((UINT)item->popup->items.size() << 8);
    return item->flags;
}

int WINAPI GetMenuStringW(HMENU handle, UINT id, LPWSTR text, int maxCount, UINT flags)
{
    MenuItem *item = FindItem(MenuFrom(handle), id, flags, nullptr, nullptr);
    if (!item)
        return 0;
    int length = (int)item->text.size();
    if (text && maxCount > 0) {
        int copied = std::min(length, maxCount - 1);
        std::copy(item->text.begin(), item->text.begin() + copied, text);
        text[copied] = 0;
        return copied;
    }
    return length;
}

DWORD WINAPI CheckMenuItem(HMENU handle, UINT id, UINT check)
{
    MenuItem *item = FindItem(MenuFrom(handle), id, check, nullptr, nullptr);
    if (!item)
        return (DWORD)-1;
    DWORD previous = item->flags & MF_CHECKED;
    item->flags = (item->flags & ~MF_CHECKED) | (check & MF_CHECKED);
    return previous;
}

BOOL WINAPI EnableMenuItem(HMENU handle, UINT id, UINT enable)
{
    MenuItem *item = FindItem(MenuFrom(handle), id, enable, nullptr, nullptr);
    if (!item)
        return -1;
    UINT previous = item->flags & (MF_GRAYED | MF_DISABLED);
    item->flags = (item->flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return (BOOL)previous;
}

BOOL WINAPI DrawMenuBar(HWND hwnd)
{
    Window *w = WindowFrom(hwnd);
    if (!w || !w->menu)
        return FALSE;
    state.menuBarDraws++;
    return TRUE;
}

int WinsimMenuBarDraws(void)
{
    return state.menuBarDraws;
}

HACCEL WINAPI LoadAcceleratorsW(HINSTANCE, LPCWSTR name)
{
    Script s;
    if (!FindResource(s, name, "ACCELERATORS"))
        return nullptr;
    return reinterpret_cast<HACCEL>(ParseAccelerators(s));
}

// As on Windows: a key-down that matches an entry, with exactly the entry's
// Shift, Control and Alt state, becomes WM_COMMAND with 1 in the high word.
// A command on the window's menu first gets WM_INITMENU and
// WM_INITMENUPOPUP, unless the mouse is captured, and a grayed or disabled
// one then sends nothing.
int WINAPI TranslateAcceleratorW(HWND hwnd, HACCEL accel, LPMSG msg)
{
    AcceleratorTable *table = nullptr;
    for (auto &t : state.acceleratorTables)
        if (reinterpret_cast<HACCEL>(t.get()) == accel)
            table = t.get();
    if (!table || !msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return 0;
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool control = GetKeyState(VK_CONTROL) < 0;
    bool alt = GetKeyState(VK_MENU) < 0;
    for (const Accelerator &a : table->entries) {
        if (!(a.flags & FVIRTKEY) || a.key != msg->wParam)
            continue;
        if (shift != ((a.flags & FSHIFT) != 0) || control != ((a.flags & FCONTROL) != 0) ||
            alt != ((a.flags & FALT) != 0))
            continue;
        HMENU menu = GetMenu(hwnd);
        HMENU popup;
        int position;
        UINT state = 0;
        FindMenuCommand(menu, a.command, &popup, &position, &state);
        if (popup) {
            if (!GetCapture()) {
                SendMessageW(hwnd, WM_INITMENU, (WPARAM)menu, 0);
                SendMessageW(hwnd, WM_INITMENUPOPUP, (WPARAM)popup, MAKELPARAM(position, FALSE));
            }
            UINT after = 0;
            FindMenuCommand(menu, a.command, &popup, &position, &after);
            if (after & (MF_GRAYED | MF_DISABLED))
                return 1;
        }
        SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(a.command, 1), 0);
        return 1;
    }
    return 0;
}

void WinsimUseResourceScript(const char *path)
{
    scriptPath = path;
}
