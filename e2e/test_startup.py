"""Starts the real inkwarden.exe under Wine and checks what it shows.

Run through run_e2e.py, or directly with INKWARDEN_EXE pointing at the exe.
Screenshots and the program's output land in build/e2e/.
"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import editor  # noqa: E402
import winelib  # noqa: E402
from editor import (COLUMN_WIDTH, OUT, PAGE_HEIGHT, TITLE,  # noqa: E402
                    TOP_MARGIN, column)
from winelib import BLACK, WHITE  # noqa: E402

def off_colour(image, points, colour):
    """The points of image that are not colour, as (x, y, actual colour)."""
    return [(x, y, image.pixel(x, y)) for x, y in points if image.pixel(x, y) != colour]


class PixelAssertions:
    def assertPixels(self, image, points, colour, what):
        points = list(points)
        self.assertTrue(points, f"{what}: no pixels to check")
        wrong = off_colour(image, points, colour)
        if wrong:
            name = {BLACK: "black", WHITE: "white"}.get(colour, str(colour))
            self.fail(f"{what}: {len(wrong)} of {len(points)} pixels are not {name}; "
                      f"first (x, y, colour): {wrong[:3]}")


class EmptyDocumentScreen(PixelAssertions, editor.ProgramTest):
    """The window right after start-up, showing an empty document."""

    # The default window's 1400 rows make it tall enough for the page's closing rule.
    LOG = "startup-screen.log"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.line_height = editor.line_height(cls.session)
        cls.width, cls.height = cls.main.width, cls.main.height
        cls.left, cls.right = column(cls.width)
        cls.session.focus(cls.x_window)
        caret = cls.right - 1

        def painted(image):
            # The caret blinks: wait for a picture that shows it.
            return (cls.width > COLUMN_WIDTH and cls.height > TOP_MARGIN
                    and image.pixel(cls.left, TOP_MARGIN - 2) == BLACK
                    and image.pixel(caret, TOP_MARGIN - 1) == BLACK
                    and image.pixel(caret, TOP_MARGIN) == BLACK)

        region = (cls.main.x, cls.main.y, cls.width, cls.height)
        cls.shot, cls.painted = cls.session.poll_screen(region, painted, timeout=10)
        cls.shot.save_png(OUT / "startup.png")

    def test_main_window(self):
        self.assertEqual(self.main.title, TITLE, "title of the window of class Inkwarden")
        self.assertEqual(self.session.windows_titled(TITLE), [self.x_window], "X windows titled Inkwarden")
        x, y, width, height = self.session.geometry(self.x_window)
        # The client area lies inside the X window, which also holds menu bar and scroll bar.
        self.assertTrue(x <= self.main.x and self.main.x + self.width <= x + width
                        and y <= self.main.y and self.main.y + self.height <= y + height,
                        f"client {self.width}x{self.height}+{self.main.x}+{self.main.y} is not "
                        f"inside X window {width}x{height}+{x}+{y}")
        self.assertGreater(self.width, COLUMN_WIDTH, "the default window is too narrow for the checks")
        self.assertGreater(self.height, TOP_MARGIN + PAGE_HEIGHT, "the default window is too short for the checks")
        self.assertTrue(self.painted, "never saw top rule and caret together within 10 s; see startup.png")

    def test_top_rule(self):
        s, left, right = self.shot, self.left, self.right
        for y in (TOP_MARGIN - 2, TOP_MARGIN - 1):
            self.assertPixels(s, ((x, y) for x in range(left, right)), BLACK, f"top rule row {y}")
            outside = [x for x in (left - 1, right) if 0 <= x < self.width]
            self.assertPixels(s, ((x, y) for x in outside), WHITE, f"just outside the top rule, row {y}")
        above = off_colour(s, ((x, TOP_MARGIN - 3) for x in range(left, right)), BLACK)
        self.assertTrue(above, f"row {TOP_MARGIN - 3} is black all along the column: the rule is too thick")
        self.assertPixels(s, ((x, TOP_MARGIN) for x in range(left, right - 1)), WHITE,
                          f"row {TOP_MARGIN} below the rule, left of the caret")

    def test_caret_of_empty_document(self):
        s, x = self.shot, self.right - 1
        length = 0
        while TOP_MARGIN + length < self.height and s.pixel(x, TOP_MARGIN + length) == BLACK:
            length += 1
        self.assertEqual(length, self.line_height, f"caret length at x={x} from row {TOP_MARGIN}")
        self.assertEqual(s.pixel(x, TOP_MARGIN + length), WHITE, "pixel just below the caret")
        rows = range(TOP_MARGIN, TOP_MARGIN + length)
        self.assertPixels(s, ((x - 1, y) for y in rows), WHITE, "left of the caret")
        if x + 1 < self.width:
            self.assertPixels(s, ((x + 1, y) for y in rows), WHITE, "right of the caret")

    def test_closing_rule(self):
        y = TOP_MARGIN + PAGE_HEIGHT
        if y >= self.height:
            self.skipTest(f"client area is {self.height} rows, the closing rule at {y} does not fit")
        s, left, right = self.shot, self.left, self.right
        self.assertPixels(s, ((x, y) for x in range(left, right)), BLACK, f"closing rule row {y}")
        outside = [x for x in (left - 1, right) if 0 <= x < self.width]
        self.assertPixels(s, ((x, y) for x in outside), WHITE, f"just outside the closing rule, row {y}")
        self.assertPixels(s, ((x, y - 1) for x in range(left, right)), WHITE, f"row {y - 1}, above the closing rule")
        if y + 1 < self.height:
            self.assertPixels(s, ((x, y + 1) for x in range(left, right)), WHITE, f"row {y + 1}, below the closing rule")

    def test_blank_below_top_rule(self):
        # Everything from the top margin down is white, apart from caret and closing rule.
        s, caret, closing = self.shot, self.right - 1, TOP_MARGIN + PAGE_HEIGHT
        white_row = bytes(WHITE) * self.width
        stray = []
        for y in range(TOP_MARGIN, self.height):
            row = s.rgb[3 * y * self.width:3 * (y + 1) * self.width]
            if row == white_row:
                continue
            for x in range(self.width):
                expected_black = (y == closing and self.left <= x < self.right) or \
                                 (x == caret and y < TOP_MARGIN + self.line_height)
                if s.pixel(x, y) != (BLACK if expected_black else WHITE):
                    stray.append((x, y, s.pixel(x, y)))
        if stray:
            self.fail(f"{len(stray)} unexpected pixels below the top margin; first (x, y, colour): {stray[:3]}")


class AboutBoxAndExit(editor.ProgramTest):
    """Opens the About box from the keyboard, closes it, then quits."""

    def test_about_box_then_exit(self):
        process, main_x, main = editor.start_inkwarden(self.session, "about-and-exit.log")
        self.session.focus(main_x)
        self.session.key("alt+a")
        self.session.wait_win32_window("#32768")  # the About menu has dropped down
        self.session.key("i")
        box_x = self.session.wait_for_window(TITLE, exclude=[main_x], timeout=10, program=process)

        boxes = self.session.wait_win32_window("#32770", TITLE)  # the dialog class
        self.assertEqual(len(boxes), 1, "exactly one message box")
        box = boxes[0]
        self.assertEqual(box.pid, main.pid, "the box belongs to the program")
        children = self.session.children(box)
        texts = [(w.class_name, w.title) for w in children]
        self.assertIn(("Static", "Inkwarden\nText Editor Computer Program"), texts)
        self.assertIn(("Button", "OK"), texts)
        self.assertEqual([t for c, t in texts if c == "Button"], ["OK"], "OK is the only button")

        box_x_origin, box_y_origin, width, height = self.session.geometry(box_x)
        # Mapped is not yet painted: wait until most of it is no longer black.
        shot, _ = self.session.poll_screen((0, 0, width, height),
                                           lambda image: image.rgb.count(0) < len(image.rgb) // 2,
                                           timeout=3, window=box_x)
        shot.save_png(OUT / "about-box.png")
        icons = [w for w in children if w.class_name == "Static" and w.title == "" and w.width == 32]
        self.assertEqual(len(icons), 1, "one 32x32 icon in the box")
        icon = shot.crop(icons[0].x - box_x_origin, icons[0].y - box_y_origin, 32, 32)
        # Wine's information icon is blue; its warning and error icons are not.
        blue = [p for p in zip(icon.rgb[0::3], icon.rgb[1::3], icon.rgb[2::3]) if p[2] > p[0] + 60]
        self.assertGreater(len(blue), 50, "blue pixels in the icon (information icon); see about-box.png")

        self.session.focus(box_x)
        self.session.key("Return")
        # Win32 drops the box at once; its X window stays mapped for a second or two.
        winelib.wait_until("the About box to close", lambda: box.handle not in
                           [w.handle for w in self.session.win32_windows()], 10)
        self.assertIsNone(process.poll(), "the program still runs after the About box closed")

        self.session.focus(main_x)
        self.session.key("alt+F4")
        self.assertEqual(self.session.wait_exit(process, timeout=15), 0, "exit code")


if __name__ == "__main__":
    unittest.main()
