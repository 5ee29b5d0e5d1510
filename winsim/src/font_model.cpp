// A deterministic font: metrics follow the requested height, widths follow a
// few code-unit classes, and tests can give chosen units other widths or make
// their width query fail.
#include "internal.h"

#include <algorithm>
#include <map>
#include <set>

namespace winsim {

static struct FontState {
    std::map<WCHAR, ABC> glyphOverrides;
    std::set<WCHAR> failingGlyphs;
    int externalLeading = 0;
} state;

void ResetFonts()
{
    state = FontState{};
}

// A negative height asks for the em (character height); a positive one for
// the whole cell, internal leading included.
FontMetrics MetricsOf(const LOGFONTW &font)
{
    int em;
    int height;
    if (font.lfHeight < 0) {
        em = -font.lfHeight;
        height = em + em / 6;
    } else if (font.lfHeight > 0) {
        height = font.lfHeight;
        em = height - height / 7;
    } else {
        em = 12;
        height = 14;
    }
    FontMetrics m = {};
    m.em = em;
    m.text.tmHeight = height;
    m.text.tmDescent = height / 5;
    m.text.tmAscent = height - m.text.tmDescent;
    m.text.tmInternalLeading = height - em;
    m.text.tmExternalLeading = state.externalLeading;
    m.text.tmMaxCharWidth = em;
    return m;
}

static bool IsWide(WCHAR u)
{
    return (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3) ||
           (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) ||
           (u >= 0xFF00 && u <= 0xFF60);
}

bool GlyphWidthsOf(const LOGFONTW &font, WCHAR unit, ABC *widths)
{
    if (state.failingGlyphs.count(unit))
        return false;
    auto found = state.glyphOverrides.find(unit);
    if (found != state.glyphOverrides.end()) {
        *widths = found->second;
        return true;
    }
    int em = MetricsOf(font).em;
    int bearing = em / 14;
    if (unit == ' ') {
        *widths = ABC{0, (UINT)std::max(1, em / 4), 0};
    } else if (IsWide(unit)) {
        *widths = ABC{bearing, (UINT)std::max(1, em - 2 * bearing), bearing};
    } else {
        *widths = ABC{bearing, (UINT)std::max(1, em / 2 - 2 * bearing), bearing};
    }
    return true;
}

}  // namespace winsim

void WinsimSetGlyphWidths(WCHAR unit, int a, UINT b, int c)
{
    winsim::state.glyphOverrides[unit] = ABC{a, b, c};
    winsim::state.failingGlyphs.erase(unit);
}

void WinsimFailGlyphWidths(WCHAR unit)
{
    winsim::state.failingGlyphs.insert(unit);
}

void WinsimSetExternalLeading(int pixels)
{
    winsim::state.externalLeading = pixels;
}
