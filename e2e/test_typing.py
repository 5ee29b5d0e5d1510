"""Types, selects and deletes in the real inkwarden.exe with real key events.

The font under Wine is not ours to know to the pixel, so the checks read the
picture: where ink stands on each text row, where the caret's full-height
line is, and where the inverted selection band runs.
"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import editor  # noqa: E402
import winelib  # noqa: E402
from editor import OUT, TOP_MARGIN  # noqa: E402
from winelib import BLACK  # noqa: E402

def ink_inside(image):
    """Dark pixels at least 2 pixels inside the box around all dark pixels:
    none for an empty box drawn in place of a missing glyph."""
    dark = [(x, y) for y in range(image.height) for x in range(image.width) if max(image.pixel(x, y)) < 128]
    if not dark:
        return 0
    xs, ys = [x for x, _ in dark], [y for _, y in dark]
    return sum(1 for x, y in dark if min(xs) + 2 <= x <= max(xs) - 2 and min(ys) + 2 <= y <= max(ys) - 2)


def cell_width(font, k):
    """The program's cell for the font's glyph k: its B width, a tenth of the
    font height as spacing, and twice any overhang."""
    g = font.glyphs[k]
    overhang = sum(-2 * w if w < 0 else w for w in (g.a, g.c))
    return g.b + font.height // 10 + overhang


class Screen:
    """One picture of the client area and what can be read off it."""

    def __init__(self, image, left, right, line_height):
        self.image, self.left, self.right, self.line_height = image, left, right, line_height

    def top(self, line):
        return TOP_MARGIN + line * self.line_height

    def black(self, x, y):
        return self.image.pixel(x, y) == BLACK

    def caret_columns(self, line):
        """The x of every column that is black over the whole height of the line."""
        top = self.top(line)
        return [x for x in range(max(self.left - 40, 0), self.right + 1)
                if all(self.black(x, y) for y in range(top, top + self.line_height))]

    def ink(self, line):
        """(leftmost, rightmost) x of black pixels in the line's rows, caret excluded."""
        top = self.top(line)
        carets = set(self.caret_columns(line))
        xs = [x for x in range(0, self.image.width) if x not in carets
              and any(self.black(x, y) for y in range(top + 2, top + self.line_height - 2))]
        return (min(xs), max(xs)) if xs else None


class ProgramCase(editor.ProgramTest):
    """Starts the program once for the tests of the class, with the keyboard."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.line_height = editor.line_height(cls.session)
        cls.left, cls.right = editor.column(cls.main.width)
        cls.session.focus(cls.x_window)


class TypingSelectingDeleting(ProgramCase):
    """One program, driven through a short editing session."""

    LOG = "typing.log"

    def shot(self, name, ready=lambda screen: True):
        """A picture once ready(screen) holds; fails after 5 s without one."""
        region = (self.main.x, self.main.y, self.main.width, self.main.height)
        image, ok = self.session.poll_screen(
            region, lambda image: ready(Screen(image, self.left, self.right, self.line_height)), timeout=5)
        image.save_png(OUT / f"typing-{name}.png")
        self.assertTrue(ok, f"step {name!r}: the screen never showed it within 5 s; see typing-{name}.png")
        return Screen(image, self.left, self.right, self.line_height)

    def keys(self, *keys):
        self.session.focus(self.x_window)
        self.session.key(*keys)

    def test_editing_session(self):
        right = self.right

        # Typed text stands against the right edge; the caret stands left of it.
        self.session.type_text("abc")
        s = self.shot("abc", lambda s: s.ink(0) and s.caret_columns(0)
                      and s.caret_columns(0)[0] < s.ink(0)[0])
        ink = s.ink(0)
        self.assertIsNotNone(ink, "no ink on the first line after typing; see typing-abc.png")
        self.assertGreater(ink[1], right - 20, f"first line's ink ends at {ink[1]}, far from {right}")
        self.assertLess(ink[1], right, "ink right of the column")
        caret = s.caret_columns(0)
        self.assertEqual(len(caret), 1, f"caret columns on line 0: {caret}")
        self.assertLess(caret[0], ink[0], "the caret stands left of the typed text")
        typed_left = ink[0]

        # Return opens a new line with the caret at its right edge.
        self.keys("Return")
        s = self.shot("return", lambda s: s.caret_columns(1) == [right - 1])
        self.assertEqual(s.caret_columns(1), [right - 1], "caret on the new line")
        self.assertEqual(s.caret_columns(0), [], "no caret left on line 0")

        # Tab is four spaces: the caret moves left by four space cells, nothing is drawn.
        self.keys("Tab")
        spaces_end = right - 1 - 4 * cell_width(editor.document_font(self.session, " "), 0)
        s = self.shot("tab", lambda s: s.caret_columns(1) == [spaces_end])
        tab_caret = s.caret_columns(1)
        self.assertEqual(tab_caret, [spaces_end], "caret after Tab")
        self.assertIsNone(s.ink(1), "Tab drew something")

        # Shift+Right walks back toward the text start and selects: an inverted band.
        self.session.type_text("de")
        self.keys("shift+Right", "shift+Right")
        band_y = TOP_MARGIN + 2 * self.line_height - 3
        s = self.shot("selected", lambda s: s.black(tab_caret[0] - 2, band_y))
        row = [s.black(x, band_y) for x in range(0, self.main.width)]
        self.assertTrue(row[tab_caret[0] - 2], "the selection band is not inverted")
        self.assertFalse(row[tab_caret[0] + 2], "the band reaches into the spaces, which are not selected")

        # Escape clears the selection.
        self.keys("Escape")
        s = self.shot("escape", lambda s: not s.black(tab_caret[0] - 2, band_y))
        self.assertFalse(s.black(tab_caret[0] - 2, band_y), "Escape left the band")

        # Home, then Backspace joins the two lines: line 1 empties.
        self.keys("Home", "BackSpace")
        s = self.shot("joined", lambda s: s.ink(1) is None and not s.caret_columns(1))
        self.assertIsNone(s.ink(1), "line 1 still shows ink after joining")
        joined = s.ink(0)
        self.assertLess(joined[0], typed_left, "the joined line is not longer than 'abc'")
        self.assertEqual(len(s.caret_columns(0)), 1, "caret back on line 0")

        # Delete at the end of the text does nothing; Right, Delete removes one unit.
        self.keys("ctrl+End", "Delete")
        self.keys("Right", "Delete")
        s = self.shot("deleted", lambda s: s.ink(0) and s.ink(0)[0] > joined[0])
        self.assertGreater(s.ink(0)[0], joined[0], "Delete did not shorten the line")


class TypedGlyphs(ProgramCase):
    """Typed letters and digits show the text font's own glyphs: a font
    without them draws empty boxes instead."""

    TYPED = "a1"
    # xdotool types a Chinese character through a remapped key, which Wine
    # often misses; the font is asked for one all the same.
    CHINESE = "文"
    LOG = "glyphs.log"

    def test_typed_characters_draw_their_glyphs(self):
        font = editor.document_font(self.session, self.TYPED + self.CHINESE)
        # The first character stands at the right edge, each next one left of it.
        cells, x = [], self.right
        for g in font.glyphs[:len(self.TYPED)]:
            x -= g.image.width
            cells.append((x, g))

        def cell(image, x, glyph):
            return image.crop(x, TOP_MARGIN, glyph.image.width, glyph.image.height)

        self.session.type_text(self.TYPED)
        region = (self.main.x, self.main.y, self.main.width, self.main.height)
        image, _ = self.session.poll_screen(
            region, lambda image: all(cell(image, x, g).rgb == g.image.rgb for x, g in cells), timeout=5)
        image.save_png(OUT / "typing-glyphs.png")
        for x, g in cells:
            self.assertGreater(ink_inside(cell(image, x, g)), 0,
                               f"the cell of {g.code!r} at x={x} shows no ink or an empty box; see typing-glyphs.png")
            if cell(image, x, g).rgb != g.image.rgb:
                g.image.save_png(OUT / f"typing-glyph-{ord(g.code)}.png")
                self.fail(f"the cell of {g.code!r} at x={x} does not show its glyph; "
                          f"compare typing-glyphs.png with typing-glyph-{ord(g.code)}.png")

        self.assertEqual([g.code for g in font.glyphs if not g.present], [], f"characters {font.font} lacks")
        self.assertEqual(font.font, winelib.TEXT_FONT, "the font Wine gives the text font's request")

if __name__ == "__main__":
    unittest.main()
