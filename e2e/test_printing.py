"""Printing from the real inkwarden.exe under Wine through a real CUPS queue
into a PDF, which the test reads back with poppler.

The test runs its own cupsd (see cupslib.py) with a cups-pdf queue on
Letter paper, the default printer.  The document is entered through the
picker, since typed Chinese is not reliable under xdotool: one full line
and a bit of Chinese, then blank lines up to three pages.
"""

import os
import shutil
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cupslib  # noqa: E402
import editor  # noqa: E402
import winelib  # noqa: E402
from editor import COLUMN_WIDTH, OUT, PAGE_HEIGHT, UNIT  # noqa: E402

RENDER_DPI = 100
# Picker page 1997 at start: cell j holds code 19970 + j.
FILL_CELL, LAST_CELL = 6, 9
FILL, LAST = chr(19970 + FILL_CELL), chr(19970 + LAST_CELL)


def dark(colour):
    return max(colour) < 160


def ink_box(image, x0, y0, x1, y1):
    """(left, top, right, bottom) of the dark pixels in a region, right and bottom excluded."""
    xs, ys = [], []
    for y in range(max(y0, 0), min(y1, image.height)):
        for x in range(max(x0, 0), min(x1, image.width)):
            if dark(image.pixel(x, y)):
                xs.append(x)
                ys.append(y)
    return (min(xs), min(ys), max(xs) + 1, max(ys) + 1) if xs else None


class PrintingToPdf(editor.ProgramTest):
    SCREEN = "1280x1024x24"

    @classmethod
    def setUpClass(cls):
        missing = cupslib.missing_tools()
        if missing:
            raise RuntimeError(f"printing needs {', '.join(missing)}; run tools/install-deps.sh")
        cls.spooler = cupslib.Spooler()
        cls.addClassCleanup(cls.spooler.stop)
        cls.spooler.start()
        super().setUpClass()
        cls.session.env = cls.spooler.env(cls.session.env)
        cls.process, cls.x_window, cls.main = editor.start_inkwarden(cls.session, "printing.log")

    def keys(self, *keys):
        self.session.focus(self.x_window)
        self.session.key(*keys)

    def click_cell(self, j):
        strip_left = (self.main.width - 16 * UNIT) // 2
        self.session.click(self.main.x + strip_left + (6 + j) * UNIT + UNIT // 2,
                           self.main.y + 2 * UNIT + UNIT // 2)

    def test_three_pages_through_cups(self):
        font = editor.document_font(self.session, FILL)
        line_height = font.height + font.external_leading
        lines_per_page = PAGE_HEIGHT // line_height
        per_line = COLUMN_WIDTH // font.glyphs[0].image.width

        # A full line of FILL and one more on the next; the picker keeps the
        # keyboard after a click, and Return there picks the cell again.
        self.click_cell(FILL_CELL)
        self.keys(*["Return"] * per_line)
        self.keys("shift+Tab", *["Return"] * (2 * lines_per_page - 1))
        self.click_cell(LAST_CELL)
        line_count = 2 * lines_per_page + 1

        self.keys("alt+f", "p")
        dialog = self.session.wait_for_window("Print", timeout=15, program=self.process)
        self.session.focus(dialog)
        self.session.key("Return")
        pdf = self.spooler.wait_for_pdf(timeout=60)
        shutil.copy(pdf, OUT / "printing.pdf")

        info = cupslib.pdf_info(pdf)
        self.assertEqual(info.get("Title"), "Inkwarden: Printing", "the job's document name")
        pages = int(info["Pages"])
        self.assertEqual(pages, (line_count - 1) // lines_per_page + 1,
                         f"{line_count} lines of {lines_per_page} a page; the PDF is {pdf}")
        texts = [cupslib.pdf_text(pdf, p) for p in range(1, pages + 1)]
        for p, text in enumerate(texts, 1):
            numbers = [w for w in text.split() if w.startswith("(") and w.endswith(")")]
            self.assertEqual(numbers, [f"({p})"], f"page {p} reads {text!r}")
        self.assertIn(FILL * per_line, texts[0].replace(" ", ""), "the full line on page 1")
        self.assertIn(LAST, texts[-1], "the last line's character on the last page")

        # Letter paper: the column spans 1.25 to 7.25 inches, the text 1.5
        # inches from the top and the bottom.
        image = winelib.Image.from_ppm(cupslib.pdf_page_image(pdf, 1, RENDER_DPI))
        image.save_png(OUT / "printing-page1.png")
        self.assertEqual((image.width, image.height), (85 * RENDER_DPI // 10, 11 * RENDER_DPI))
        column_left, column_right = RENDER_DPI * 5 // 4, RENDER_DPI * 29 // 4
        text_top, text_bottom = RENDER_DPI * 3 // 2, image.height - RENDER_DPI * 3 // 2
        row = 8 * RENDER_DPI // lines_per_page
        full = ink_box(image, 0, text_top, image.width, text_top + row)
        self.assertIsNotNone(full, "no ink on the first printed line; see printing-page1.png")
        cell = RENDER_DPI * font.glyphs[0].image.width // 96
        self.assertLessEqual(full[2], column_right, "the line passes the column's right edge")
        self.assertGreaterEqual(full[2], column_right - cell // 4, "the full line does not end at the right edge")
        self.assertGreaterEqual(full[0], column_left, "the line passes the column's left edge")
        self.assertLess(full[0], column_left + cell, "the first line is not full")

        number = ink_box(image, 0, text_bottom, image.width, image.height)
        self.assertIsNotNone(number, "no page number below the text; see printing-page1.png")
        centre2 = number[0] + number[2]
        self.assertLessEqual(abs(centre2 - (column_left + column_right)), 4,
                             f"the number spans x {number[0]} to {number[2]}, not centred on the column")
        self.assertGreater(number[1], text_bottom, "the number touches the text bottom")
        self.assertLess(number[3], text_bottom + RENDER_DPI // 2, "the number is far below the text")


if __name__ == "__main__":
    unittest.main()
