"""The font-size and word-wrap menus of the real inkwarden.exe under Wine,
chosen with the keyboard, checked on the screen.

The glyphs and cell widths come from Wine itself (winprobe), so the
expected picture follows whatever font the prefix gives.
"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import editor  # noqa: E402
from editor import COLUMN_WIDTH, OUT, TOP_MARGIN  # noqa: E402
import winelib  # noqa: E402
from winelib import WHITE  # noqa: E402

def font_at(session, points, text):
    """The text font at this size, with text's glyphs, keyed by character."""
    font = session.font(-points, editor.FONT_REQUEST[1], editor.FONT_REQUEST[2], text)
    return font, {g.code: g for g in font.glyphs}


def break_lines(text, width, wrap):
    """The program's line breaks for text without hard breaks: the units of
    each display line, given each unit's cell width."""
    lines, first, last_space, used, i = [], 0, -1, 0, 0
    while i < len(text):
        w = width[text[i]]
        if used + w <= COLUMN_WIDTH:
            used += w
            if text[i] == " ":
                last_space = i
            i += 1
            continue
        if i == first:
            end = i
        elif not wrap:
            end = i if text[i] == " " else i - 1
        else:
            end = last_space if last_space >= 0 else i - 1
            if text[i] == " ":
                end = i
        lines.append(text[first:end + 1])
        first, last_space, used, i = end + 1, -1, 0, end + 1
    lines.append(text[first:])
    return lines


def ink_columns(image, x0, x1, y0, y1):
    """Columns holding ink between rows y0 and y1, less a caret: a column
    dark all the way."""
    def dark(x, y):
        return image.pixel(x, y) != WHITE
    return [x for x in range(x0, x1) if any(dark(x, y) for y in range(y0, y1))
            and not all(dark(x, y) for y in range(y0, y1))]


class FontSizeAndWordWrap(editor.ProgramTest):
    LOG = "settings.log"

    def keys(self, *keys):
        self.session.focus(self.x_window)
        self.session.key(*keys)

    def shot(self, name, ready, timeout=10):
        """(picture, ColumnRight) once ready(picture, ColumnRight) holds, or
        the last ones.  The scroll bar comes and goes with the page count,
        so the client area is asked for afresh each time."""
        last = []

        def attempt():
            main = self.session.wait_win32_window("Inkwarden")[0]
            image = self.session.screenshot().crop(main.x, main.y, main.width, main.height)
            last[:] = [image, editor.column(main.width)[1]]
            return ready(*last)
        try:
            winelib.wait_until(name, attempt, timeout)
        except winelib.Timeout:
            pass
        last[0].save_png(OUT / f"settings-{name}.png")
        return last

    @staticmethod
    def caret_height(image, right, top):
        """Rows of the full-height caret column right of the first unit."""
        rows = 0
        while top + rows < image.height and image.pixel(right - 1, top + rows) != WHITE:
            rows += 1
        return rows

    def test_font_size_then_word_wrap(self):
        self.session.focus(self.x_window)
        self.session.type_text("ab")

        # 72 points: the caret goes to the start and is as tall as the new
        # line; the text is drawn in the new size.
        big, big_glyphs = font_at(self.session, 72, "ab")
        big_height = big.height + big.external_leading
        self.keys("alt+p", "s", "i")
        a, b = big_glyphs["a"], big_glyphs["b"]

        def b_cell(image, right):
            return image.crop(right - a.image.width - b.image.width, TOP_MARGIN, b.image.width, b.image.height)
        image, right = self.shot("72-points", lambda im, right: self.caret_height(im, right, TOP_MARGIN) == big_height
                                 and b_cell(im, right).rgb == b.image.rgb)
        self.assertEqual(self.caret_height(image, right, TOP_MARGIN), big_height,
                         "caret at the start, one 72-point line tall; see settings-72-points.png")
        self.assertEqual(b_cell(image, right).rgb, b.image.rgb, "'b' is not drawn at 72 points")

        # Back to 32 points, then a text whose last word crosses the edge.
        normal, glyphs = font_at(self.session, 32, "ab ")
        line_height = normal.height + normal.external_leading
        self.keys("alt+p", "h", "2")
        width = {c: g.image.width for c, g in glyphs.items()}
        n = next(n for n in range(1, 200)
                 if break_lines("ab" + "a" * n + " aaaa", width, True)
                 != break_lines("ab" + "a" * n + " aaaa", width, False))
        text = "ab" + "a" * n + " aaaa"
        self.keys("ctrl+End")
        self.session.type_text(text[2:])
        a_image = glyphs["a"].image
        ink_dx = min(x for x in range(a_image.width) if any(a_image.pixel(x, y) != WHITE for y in range(a_image.height)))

        def second_line_left(image, right):
            top = TOP_MARGIN + line_height
            xs = ink_columns(image, 0, right, top, top + line_height)
            return min(xs) if xs else None

        for wrap, keys in ((True, ()), (False, ("alt+w", "n")), (True, ("alt+w", "y"))):
            if keys:
                self.keys(*keys)
            line = break_lines(text, width, wrap)[1]
            name = "wrap" if wrap else "no-wrap"

            def expected(right):
                return right - sum(width[c] for c in line) + ink_dx

            def ready(image, right):
                return second_line_left(image, right) == expected(right) and (
                    not keys or self.caret_height(image, right, TOP_MARGIN) == line_height)
            image, right = self.shot(name, ready)
            self.assertEqual(second_line_left(image, right), expected(right),
                             f"line 1 should hold {line!r}; see settings-{name}.png")
            if keys:
                self.assertEqual(self.caret_height(image, right, TOP_MARGIN), line_height,
                                 "after the switch the caret is at the start")


if __name__ == "__main__":
    unittest.main()
