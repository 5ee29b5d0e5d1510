#include "editing_model.h"
#include "program_state.h"

#include <windows.h>

#include "document/document.h"

Model FromProgram(void)
{
    Model m;
    m.text = Text();
    m.caret = Caret;
    m.selection = SelectionActive != 0;
    m.selStart = SelStart;
    m.selEnd = SelEnd;
    return m;
}

void Replace(Model &m, int start, int end, const std::u16string &units)
{
    m.text.replace(start, end - start, units);
    m.caret = start + (int)units.size();
    m.selection = false;
}

static bool PairAt(const std::u16string &t, int i)
{
    return i >= 0 && i + 1 < (int)t.size() && t[i] == u'\r' && t[i + 1] == u'\n';
}

void ApplyEdit(Model &m, int key, char16_t typed)
{
    std::u16string units;
    if (key == 0)
        units = std::u16string(1, typed);
    else if (key == VK_RETURN)
        units = u"\r\n";
    else if (key == VK_TAB)
        units = u"    ";
    if (m.selection) {
        Replace(m, m.selStart, m.selEnd, units);
        return;
    }
    int c = m.caret;
    if (key == VK_BACK) {
        if (c > 0) {
            int k = PairAt(m.text, c - 2) ? 2 : 1;
            Replace(m, c - k, c, u"");
        }
    } else if (key == VK_DELETE) {
        if (c < (int)m.text.size()) {
            int k = PairAt(m.text, c) ? 2 : 1;
            m.text.erase(c, k);
        }
    } else {
        Replace(m, c, c, units);
    }
}
