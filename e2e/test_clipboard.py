"""The real inkwarden.exe under Wine exchanging text with the X clipboard,
placing the caret with real clicks and graying the Edit menu.

Wine bridges CF_UNICODETEXT and the X CLIPBOARD selection, so xclip stands
for "another program".  Run through run_e2e.py, or directly with
INKWARDEN_EXE pointing at the exe.
"""

import os
import re
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import editor  # noqa: E402
import winelib  # noqa: E402
from editor import OUT, TOP_MARGIN  # noqa: E402
from winelib import BLACK  # noqa: E402

TEXT = "中文\r\n甲乙"


def as_x_text(text):
    """What Wine hands X for a CF_UNICODETEXT text: it drops the CR of CR LF
    (and turns a lone LF into CR LF the other way)."""
    return text.replace("\r\n", "\n")


class Screen:
    """One picture of the client area.  The line height is measured, not
    assumed, since it follows whichever face Wine maps the font to."""

    def __init__(self, image, left, right, line_height):
        self.image, self.left, self.right, self.line_height = image, left, right, line_height

    def black(self, x, y):
        return self.image.pixel(x, y) == BLACK

    def top(self, line):
        return TOP_MARGIN + line * self.line_height

    def caret_columns(self, line):
        """The x of every column that is black over the whole height of the line."""
        top = self.top(line)
        return [x for x in range(self.left, self.right)
                if all(self.black(x, y) for y in range(top, top + self.line_height))]

    def ink(self, line):
        """(leftmost, rightmost) x of black pixels in the line's rows, caret excluded."""
        top = self.top(line)
        carets = set(self.caret_columns(line))
        xs = [x for x in range(self.left, self.right) if x not in carets
              and any(self.black(x, y) for y in range(top + 2, top + self.line_height - 2))]
        return (min(xs), max(xs)) if xs else None


def put_x_clipboard(session, text):
    # xclip stays behind to serve the selection until another client owns it.
    winelib.run_checked(["xclip", "-selection", "clipboard", "-i"], input=text.encode("utf-8"),
                        env=session.env, timeout=10, stdout=subprocess.DEVNULL)


def read_x_clipboard(session):
    """The X clipboard's text; None when it cannot be read now.  xclip waits
    without end for an owner that does not answer, as Wine may not while it
    is busy, so each read gets a short time of its own."""
    try:
        result = subprocess.run(["xclip", "-selection", "clipboard", "-o"], env=session.env,
                                capture_output=True, timeout=3)
    except subprocess.TimeoutExpired:
        return None
    return result.stdout.decode("utf-8") if result.returncode == 0 else None


def x_window_at(session, x, y, width, height):
    """The X id of the top-level window with exactly this rectangle, or None."""
    try:
        listing = session._x("xwininfo", "-root", "-children").stdout
    except winelib.CommandFailed as failure:
        if "BadWindow" in str(failure):  # a window went away while xwininfo listed it
            return None
        raise
    wanted = f"{width}x{height}+{x}+{y}"
    for line in listing.splitlines():
        match = re.match(r"\s*(0x[0-9a-f]+) .*\)\s+(\S+)\s", line)
        if match and match.group(2) == wanted:
            return int(match.group(1), 16)
    return None


def word_centres(image, y0, y1):
    """Centres of the runs of dark columns in rows y0..y1-1, split at gaps of 8."""
    dark = [x for x in range(image.width)
            if any(max(image.pixel(x, y)) < 100 for y in range(y0, y1))]
    words, start, last = [], None, None
    for x in dark:
        if start is None:
            start = x
        elif x - last > 8:
            words.append((start + last) // 2)
            start = x
        last = x
    if start is not None:
        words.append((start + last) // 2)
    return words


class ClipboardAndMouse(editor.ProgramTest):
    """One program, driven through a session of clicks and clipboard commands."""

    LOG = "clipboard.log"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.left, cls.right = editor.column(cls.main.width)
        cls.session.focus(cls.x_window)
        # The empty document's caret stands at ColumnRight - 1, one line high.
        m = cls.main
        image, ok = cls.session.poll_screen((m.x + cls.right - 1, m.y + TOP_MARGIN, 1, 200),
                                            lambda image: image.pixel(0, 0) == BLACK, 10)
        if not ok:
            raise AssertionError("no caret in the empty document within 10 s")
        cls.line_height = next(y for y in range(image.height) if image.pixel(0, y) != BLACK)

    def shot(self, name, ready=lambda screen: True, what=None):
        """A picture once ready(screen) holds; fails with what after 10 s if given."""
        m = self.main
        image, ok = self.session.poll_screen(
            (m.x, m.y, m.width, m.height),
            lambda image: ready(self.screen(image)), timeout=10)
        image.save_png(OUT / f"clipboard-{name}.png")
        if what is not None:
            self.assertTrue(ok, f"{what} within 10 s; see clipboard-{name}.png")
        return self.screen(image)

    def screen(self, image):
        return Screen(image, self.left, self.right, self.line_height)

    def line_top(self, line):
        return TOP_MARGIN + line * self.line_height

    def keys(self, *keys):
        self.session.focus(self.x_window)
        self.session.key(*keys)

    def click(self, x, y, *modifiers):
        sx, sy = self.main.x + x, self.main.y + y
        if modifiers:
            self.session._x("xdotool", "mousemove", "--sync", str(sx), str(sy), "keydown", *modifiers,
                            "click", "1", "keyup", *modifiers)
        else:
            self.session.click(sx, sy)

    def copied(self, expected):
        """The X clipboard's text once it equals expected (or the last read after 15 s)."""
        seen = []
        try:
            winelib.wait_until(f"the X clipboard to hold {expected!r}",
                               lambda: seen.append(read_x_clipboard(self.session)) or seen[-1] == expected, 15)
        except winelib.Timeout:
            pass
        return seen[-1]

    def select_all_and_copy(self):
        self.keys("alt+e", "a")  # Select All has no accelerator
        band_y = self.line_top(1) + self.line_height - 3
        self.shot("select-all", lambda s: s.black(self.right - 2, band_y),
                  "the second line inverted by Select All")
        self.keys("ctrl+c")

    def caret_at(self, line, moved_from=None):
        """The one caret column on line, once it is not moved_from."""
        s = self.shot(f"caret-{line}", lambda s: len(s.caret_columns(line)) == 1
                      and s.caret_columns(line)[0] != moved_from)
        columns = s.caret_columns(line)
        self.assertEqual(len(columns), 1, f"caret columns on line {line}: {columns}")
        return columns[0]

    def test_clipboard_session(self):
        right = self.right
        # Another program's text with a CR LF pastes as two lines; the caret
        # ends after it.
        put_x_clipboard(self.session, TEXT)
        self.keys("ctrl+v")
        s = self.shot("pasted", lambda s: s.ink(0) and s.ink(1) and s.caret_columns(1),
                      "two pasted lines and the caret on the second")
        ink0, ink1 = s.ink(0), s.ink(1)
        self.assertLessEqual(abs(ink0[0] - ink1[0]), 2, f"line widths differ: {ink0} and {ink1}")
        self.assertGreater(ink0[1], right - 20, f"line 0 ends at {ink0[1]}, far from {right}")
        self.assertLess(s.caret_columns(1)[0], ink1[0], "the caret stands after the pasted text")

        # Select All, Copy: the X clipboard gets the text back.
        self.select_all_and_copy()
        self.assertEqual(self.copied(as_x_text(TEXT)), as_x_text(TEXT), "Select All, Ctrl+C, read with xclip")

        # The caret columns of positions 0, 1 and 2 on line 0, from the keyboard.
        self.keys("ctrl+Home")
        c0 = self.caret_at(0)
        self.keys("Left")
        c1 = self.caret_at(0, moved_from=c0)
        self.keys("Left")
        c2 = self.caret_at(0, moved_from=c1)
        self.assertEqual(c0, right - 1)
        self.assertTrue(c2 < c1 < c0, f"caret columns {c2}, {c1}, {c0}")

        # A click on either half of the second character puts the caret before it.
        y0 = self.line_top(0) + self.line_height // 2
        for x in (c1 - 2, c2 + 3):
            self.keys("ctrl+End")
            self.caret_at(1)
            self.click(x, y0)
            s = self.shot(f"click-{x}", lambda s: s.caret_columns(0) == [c1])
            self.assertEqual(s.caret_columns(0), [c1], f"caret after a click at x {x}")

        # Shift+click on the second character of line 1 selects 文, the line break and 甲.
        self.click(c1 - 2, self.line_top(1) + self.line_height // 2, "shift")
        # The caret stands just left of the band, which inverts 甲 to ColumnRight.
        self.shot("shift-click", lambda s: s.caret_columns(1)[:1] == [c1]
                  and s.caret_columns(1)[-1] == right - 1, "the caret and the band on line 1")
        self.keys("ctrl+c")
        self.assertEqual(self.copied("文\n甲"), "文\n甲", "Shift+click selection copied")

        # Cut joins what is left into one line and puts the text on the X
        # clipboard in place of another program's; Paste restores it.
        put_x_clipboard(self.session, "other")
        self.keys("ctrl+x")
        s = self.shot("cut", lambda s: s.ink(1) is None, "line 1 emptied by Cut")
        self.assertEqual(self.copied("文\n甲"), "文\n甲", "the cut text on the X clipboard")
        self.keys("ctrl+v")
        s = self.shot("cut-pasted", lambda s: s.ink(1) is not None, "line 1 back after Paste")
        self.assertEqual(s.ink(0), ink0, "line 0 after Cut and Paste")
        self.assertEqual(s.ink(1), ink1, "line 1 after Cut and Paste")
        self.assertEqual(s.caret_columns(1), [c1], "the caret after the pasted run")
        self.select_all_and_copy()
        self.assertEqual(self.copied(as_x_text(TEXT)), as_x_text(TEXT), "the whole text after Cut and Paste")

        # While the picker has the keyboard, a click gives it back and places the caret.
        self.keys("Escape", "shift+Tab")
        self.shot("picker-mode", lambda s: not s.black(self.left, TOP_MARGIN - 2),
                  "the picker taking the keyboard")
        self.click(c1 - 2, y0)
        s = self.shot("picker-click", lambda s: s.black(self.left, TOP_MARGIN - 2)
                      and s.caret_columns(0) == [c1], "the 2-pixel top rule and the caret")
        self.assertEqual(s.caret_columns(0), [c1])

        # No selection now: the Edit menu, opened with the mouse, grays Cut.
        self.assert_edit_menu_grays_cut()

    def assert_edit_menu_grays_cut(self):
        x, y, width, _ = self.session.geometry(self.x_window)
        bar = self.session.screenshot().crop(x, y, width, self.main.y - y)
        words = word_centres(bar, 2, bar.height - 2)
        self.assertGreaterEqual(len(words), 2, f"menu bar words at {words}")
        self.session.click(x + words[1], y + bar.height // 2)
        menus = winelib.wait_until("the Edit popup", lambda: [
            w for w in self.session.win32_windows() if w.class_name == "#32768"], 10)
        popup = menus[0]
        # Like a message box, a popup menu reads black in a capture of the root.
        x_popup = winelib.wait_until("the popup's X window", lambda: x_window_at(
            self.session, popup.x, popup.y, popup.width, popup.height), 5)
        image, ok = self.session.poll_screen((0, 0, popup.width, popup.height),
                                             lambda image: len(self.item_bands(image)) >= 5, 5,
                                             window=x_popup)
        image.save_png(OUT / "clipboard-edit-menu.png")
        bands = self.item_bands(image)
        self.assertTrue(ok, f"menu item rows {bands}; see clipboard-edit-menu.png")
        self.assertEqual(len(bands), 5, f"menu item rows {bands}; see clipboard-edit-menu.png")
        # Grayed text has no black pixels; the clipboard holds text and the document is not empty.
        for name, band, enabled in zip(("Cut", "Copy", "Paste", "Delete", "Select All"), bands,
                                       (False, False, True, False, True)):
            black = self.black_in(image, band)
            if enabled:
                self.assertGreater(black, 20, f"the {name} item is grayed")
            else:
                self.assertEqual(black, 0, f"the {name} item is not grayed")
        self.session.key("Escape", "Escape")

    @staticmethod
    def item_bands(image):
        """(top, bottom) of each run of rows holding text-dark or gray pixels."""
        def inked(y):
            return any(max(image.pixel(x, y)) < 170 for x in range(4, image.width - 4))
        bands, start = [], None
        for y in range(2, image.height - 2):
            if inked(y) and start is None:
                start = y
            elif not inked(y) and start is not None:
                bands.append((start, y))
                start = None
        return [b for b in bands if b[1] - b[0] >= 4]  # the separator is thinner

    @staticmethod
    def black_in(image, band):
        return sum(image.pixel(x, y) == BLACK for y in range(*band) for x in range(image.width))


if __name__ == "__main__":
    unittest.main()
