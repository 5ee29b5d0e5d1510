"""The character picker of the real inkwarden.exe under Wine: the mouse on a
cell and on a held button, and the keyboard mode.

Run through run_e2e.py, or directly with INKWARDEN_EXE pointing at the exe.
Screenshots and the program's output land in build/e2e/.
"""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import editor  # noqa: E402
import winelib  # noqa: E402
from editor import COLUMN_WIDTH, OUT, TOP_MARGIN, UNIT  # noqa: E402
from winelib import BLACK, WHITE  # noqa: E402


def is_ink(colour):
    return max(colour) - min(colour) < 40 and max(colour) < 200


class Screen:
    """The client area of the main window, with the picker's layout."""

    def __init__(self, session, main, line_height):
        self.session, self.main, self.line_height = session, main, line_height
        self.strip_left = (main.width - 16 * UNIT) // 2
        self.column_left = (main.width - COLUMN_WIDTH) // 2
        self.column_right = self.column_left + COLUMN_WIDTH

    def shot(self):
        m = self.main
        return self.session.screenshot().crop(m.x, m.y, m.width, m.height)

    def on_screen(self, x, y):
        return self.main.x + x, self.main.y + y

    def cell_centre(self, j):
        return self.strip_left + (6 + j) * UNIT + UNIT // 2, 2 * UNIT + UNIT // 2

    def down_button_centre(self):
        return self.strip_left + 3 * UNIT // 2, 2 * UNIT + UNIT // 2

    def first_line(self, image):
        """The first text row right of ColumnRight - 200, as raw pixels."""
        return image.crop(self.column_right - 200, TOP_MARGIN, 200, self.line_height).rgb

    def ink_columns(self, image):
        """Columns of the first text row, left of the caret of an empty
        document, that hold dark pixels: a glyph spans many, a caret one."""
        columns = 0
        for x in range(self.column_right - 120, self.column_right - 1):
            if any(is_ink(image.pixel(x, y)) for y in range(TOP_MARGIN, TOP_MARGIN + self.line_height)):
                columns += 1
        return columns

    # --- the page number, read with the digit boxes' own glyphs ---------------

    def _ink_box(self, image, x0, y0, x1, y1):
        xs, ys = [], []
        for y in range(y0, y1):
            for x in range(x0, x1):
                if image.pixel(x, y) != WHITE:
                    xs.append(x)
                    ys.append(y)
        if not xs:
            return None
        return min(xs), min(ys), max(xs) + 1, max(ys) + 1

    def page_number(self, image):
        """The digits of the page box, matched against the digit labels.

        The label font draws every digit at whole pixels, so a digit's
        picture in the page box equals its picture in its digit box.  The
        page box's text stands 18 rows lower: both are centred, in boxes
        72 and 36 high.
        """
        templates = []
        for d in range(10):
            left = self.strip_left + (6 + d) * UNIT
            box = self._ink_box(image, left + 1, UNIT + 1, left + UNIT - 1, 2 * UNIT - 1)
            if box is None:
                raise AssertionError(f"digit box {d} shows no label")
            x0, y0, x1, y1 = box
            pixels = [image.pixel(x, y) for y in range(y0, y1) for x in range(x0, x1)]
            templates.append((d, y0 + UNIT // 2, x1 - x0, y1 - y0, pixels))

        page_left = self.strip_left + 3 * UNIT + 1
        page_right = self.strip_left + 6 * UNIT
        found = []
        for d, y, w, h, pixels in templates:
            for x in range(page_left, page_right - w):
                wrong = 0
                for k, colour in enumerate(pixels):
                    actual = image.pixel(x + k % w, y + k // w)
                    if max(abs(a - b) for a, b in zip(actual, colour)) > 48:
                        wrong += 1
                        if wrong > len(pixels) // 20:
                            break
                else:
                    found.append((wrong, -w * h, x, w, d))
        chosen = []
        for wrong, size, x, w, d in sorted(found):
            if all(x + w <= cx or cx + cw <= x for cx, cw, _ in chosen):
                chosen.append((x, w, d))
        return int("".join(str(d) for _, _, d in sorted(chosen)) or "-1")


def most_pages_after(seconds):
    """The page a press on Down at 1997 can have reached after this time: one
    step at the press, a tick after 400 ms and then every 100 ms, stepping by
    1 ten times, by 10 ten times, then by 100."""
    ms = int(seconds * 1000)
    ticks = 0 if ms < 400 else (ms - 400) // 100 + 1
    return 1998 + min(ticks, 10) + 10 * min(max(ticks - 10, 0), 10) + 100 * max(ticks - 20, 0)


class PickerCase(editor.ProgramTest):
    """A program of its own for each test."""

    SCREEN = "1280x1024x24"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.line_height = editor.line_height(cls.session)

    def setUp(self):
        self.addCleanup(self.session.kill_wine)
        self.process, self.x_window, main = editor.start_inkwarden(
            self.session, f"{self._testMethodName}.log")
        self.screen = Screen(self.session, main, self.line_height)
        self.assertGreater(main.width, 16 * UNIT, "the default window is too narrow for the picker")
        self.session.focus(self.x_window)
        # The first paint has arrived once the 2-pixel top rule is there.
        winelib.wait_until("the first paint", lambda: self.screen.shot().pixel(
            self.screen.column_left, TOP_MARGIN - 2) == BLACK, 10)

    def settled(self, what, check, timeout=5):
        """The screen once check(image) holds; fails with what otherwise."""
        m = self.screen.main
        image, ok = self.session.poll_screen((m.x, m.y, m.width, m.height), check, timeout)
        image.save_png(OUT / f"{self._testMethodName}.png")
        self.assertTrue(ok, f"{what} within {timeout} s; see {self._testMethodName}.png")
        return image

    def click(self, point):
        self.session.click(*self.screen.on_screen(*point))

    def assertSavedText(self, text):
        """Saves the document and compares the file with text's units, so the
        test knows which character went in, not merely that ink appeared."""
        saved = editor.save_as(self.session, self.screen.main, self.process,
                               self.folder / f"{self._testMethodName}.txt")
        self.assertEqual(saved, editor.utf16_file(text), f"the saved document, expected {text!r}")


class PickerMouse(PickerCase):
    def test_clicking_a_cell_inserts_its_character(self):
        before = self.screen.shot()
        self.assertEqual(self.screen.page_number(before), 1997, "page number at start")
        self.assertEqual(self.screen.ink_columns(before), 0, "ink in the empty document's first line")

        self.click(self.screen.cell_centre(0))
        image = self.settled("a glyph at the right end of the first line",
                             lambda image: self.screen.ink_columns(image) >= 10)
        # The picker keeps the keyboard: its one-pixel top rule, and typing
        # puts nothing into the text.
        left = self.screen.column_left
        self.assertEqual(image.pixel(left, TOP_MARGIN - 2), WHITE, "second top rule while the picker has the keyboard")
        self.assertEqual(image.pixel(left, TOP_MARGIN - 1), BLACK, "top rule")
        line = self.screen.first_line(image)
        self.assertSavedText(chr(19970))  # page 1997, cell 0
        self.session.focus(self.x_window)
        self.settled("the first line as it was before the Save As dialog",
                     lambda image: self.screen.first_line(image) == line)
        self.session.type_text("ab")
        time.sleep(0.5)
        self.assertEqual(self.screen.first_line(self.screen.shot()), line, "first line after typing into the picker")

        # A click in the text gives the keyboard back.
        self.click((self.screen.column_left + 100, TOP_MARGIN + 200))
        self.settled("the 2-pixel top rule after a click in the text",
                     lambda image: image.pixel(left, TOP_MARGIN - 2) == BLACK)
        self.session.type_text("a")
        self.settled("typed text beside the picked character", lambda image: self.screen.first_line(image) != line)

    def test_holding_down_pages_by_ones_then_tens(self):
        x, y = self.screen.on_screen(*self.screen.down_button_centre())
        # Every picture taken while the button is held must show no more steps
        # than the schedule allows by the time the picture was finished: the
        # press reaches the program after start, and ticks only come late.
        # Pictures are read after the release, so they can come quickly.
        start = time.monotonic()
        self.session.mouse_down(x, y)
        shots = []
        while time.monotonic() - start < 2.0:
            image = self.screen.shot()
            shots.append((round(time.monotonic() - start, 3), image))
        self.session.mouse_up()
        held = time.monotonic() - start
        seen = [(t, self.screen.page_number(image)) for t, image in shots]
        print(f"\n  pages while held (s, page): {seen}; released after {held:.3f} s", file=sys.stderr)
        for t, page in seen:
            if page >= 1998:
                self.assertLessEqual(page, most_pages_after(t + 0.02), f"page while holding Down (s, page): {seen}")
        # On a loaded machine the first picture may come late, but the steps
        # of one last a second.
        self.assertTrue(any(1998 < page < 2008 for _, page in seen), f"no picture of a step of one: {seen}")
        time.sleep(0.3)
        image = self.screen.shot()
        image.save_png(OUT / f"{self._testMethodName}.png")
        page = self.screen.page_number(image)
        # 1998 at the press, ten steps of 1 by 1.3 s, then steps of 10: by
        # 2 s at least one ten, however late the ticks came.
        self.assertGreaterEqual(page, 2018, "page after holding Down for 2 s")
        self.assertLessEqual(page, most_pages_after(held + 0.02), f"page after holding Down for {held:.3f} s")
        self.assertEqual((page - 1998) % 10, 0, "the steps after the first ten are tens")
        time.sleep(0.5)
        self.assertEqual(self.screen.page_number(self.screen.shot()), page, "page half a second after the release")


class PickerKeyboard(PickerCase):
    def test_shift_tab_arrows_and_return_insert_a_character(self):
        s = self.screen
        self.session.key("shift+Tab")
        # The Up button's frame reaches one pixel above the strip.
        image = self.settled("the Up button's highlight",
                             lambda image: image.pixel(s.strip_left + 50, UNIT - 1) == BLACK)
        self.assertEqual(image.pixel(s.column_left, TOP_MARGIN - 2), WHITE, "second top rule in the picker mode")

        self.session.key("Tab", "Right", "Right", "Down")
        image = self.settled("page 1998", lambda image: s.page_number(image) == 1998)
        cell2 = s.strip_left + 8 * UNIT
        self.assertEqual(image.pixel(cell2 + 10, 3 * UNIT), BLACK, "cell 2's highlight under the strip")
        self.session.key("Return")
        image = self.settled("a glyph at the right end of the first line",
                             lambda image: s.ink_columns(image) >= 10)
        self.assertSavedText(chr(19982))  # page 1998, cell 2
        self.session.focus(self.x_window)

        self.session.key("shift+Tab")
        self.settled("the 2-pixel top rule after leaving the picker",
                     lambda image: image.pixel(s.column_left, TOP_MARGIN - 2) == BLACK
                     and image.pixel(cell2 + 10, 3 * UNIT) == WHITE)


if __name__ == "__main__":
    unittest.main()
