"""The real inkwarden.exe at 144 pixels per inch: every size follows the
resolution Wine reports, in a prefix whose desktop settings ask for it.

Run through run_e2e.py, or directly with INKWARDEN_EXE pointing at the exe.
"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import editor  # noqa: E402
from editor import FONT_REQUEST, OUT  # noqa: E402
from winelib import BLACK, WHITE  # noqa: E402

DPI = 144
COLUMN_WIDTH = 6 * DPI      # 864
TOP_MARGIN = 3 * DPI // 2   # 216
UNIT = 3 * (DPI // 8)       # 54, a picker box
FONT_HEIGHT = int(DPI * FONT_REQUEST[0] / 72)  # -64


class AtHighResolution(editor.ProgramTest):
    SETTINGS = (("HKEY_CURRENT_USER", r"Control Panel\Desktop", f'"LogPixels"=dword:{DPI:08x}'),)
    LOG = "high-resolution.log"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.font = editor.document_font(cls.session)
        width = cls.main.width
        cls.left = (width - COLUMN_WIDTH) // 2
        cls.right = cls.left + COLUMN_WIDTH
        cls.strip_left = (width - 16 * UNIT) // 2
        caret = cls.right - 1
        region = (cls.main.x, cls.main.y, width, cls.main.height)

        def painted(image):
            return (width > COLUMN_WIDTH and image.pixel(cls.left, TOP_MARGIN - 2) == BLACK
                    and image.pixel(caret, TOP_MARGIN) == BLACK)
        cls.shot, cls.painted = cls.session.poll_screen(region, painted, timeout=10)
        cls.shot.save_png(OUT / "high-resolution.png")

    def assertRow(self, y, x0, x1, colour, what):
        wrong = [x for x in range(x0, x1) if self.shot.pixel(x, y) != colour]
        self.assertFalse(wrong, f"{what}: {len(wrong)} pixels of row {y} from x {x0} to {x1 - 1} "
                                f"are not {colour}; see high-resolution.png")

    def test_the_probe_sees_the_resolution_too(self):
        self.assertTrue(self.painted, "never saw the top rule and the caret; see high-resolution.png")
        self.assertEqual(self.font.log_pixels_y, DPI, "LOGPIXELSY the probe sees")
        self.assertEqual(self.font.request_height, FONT_HEIGHT, "the text font's height at 144 pixels per inch")

    def test_the_column_and_top_margin(self):
        for y in (TOP_MARGIN - 2, TOP_MARGIN - 1):
            self.assertRow(y, self.left, self.right, BLACK, "top rule across the 864-pixel column")
            self.assertEqual(self.shot.pixel(self.left - 1, y), WHITE, f"left of the top rule, row {y}")
            self.assertEqual(self.shot.pixel(self.right, y), WHITE, f"right of the top rule, row {y}")
        self.assertRow(TOP_MARGIN - 3, self.left, self.right, WHITE, "above the top rules")

    def test_the_caret_is_one_line_of_the_font_tall(self):
        x, y = self.right - 1, TOP_MARGIN
        length = 0
        while y + length < self.main.height and self.shot.pixel(x, y + length) == BLACK:
            length += 1
        self.assertEqual(length, self.font.height + self.font.external_leading,
                         f"caret length at x={x} from row {y}")

    def test_the_picker_strip_is_sixteen_by_two_units(self):
        left, right = self.strip_left, self.strip_left + 16 * UNIT
        self.assertRow(UNIT, left, right, BLACK, "top edge of the strip")
        self.assertRow(3 * UNIT - 1, left, right, BLACK, "bottom edge of the strip")
        self.assertRow(UNIT - 1, left, right, WHITE, "above the strip")
        self.assertRow(3 * UNIT, left, right, WHITE, "below the strip")
        for y in (UNIT + 10, 3 * UNIT - 10):
            self.assertEqual(self.shot.pixel(left, y), BLACK, f"left edge of the strip, row {y}")
            self.assertEqual(self.shot.pixel(left - 1, y), WHITE, f"left of the strip, row {y}")
            self.assertEqual(self.shot.pixel(right - 1, y), BLACK, f"right edge of the strip, row {y}")
            self.assertEqual(self.shot.pixel(right, y), WHITE, f"right of the strip, row {y}")


if __name__ == "__main__":
    unittest.main()
