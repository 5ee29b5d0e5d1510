"""The system caret of the real inkwarden.exe under Wine, as another process
sees it with GetGUIThreadInfo (the way input methods and magnifiers find
the place being written): on the painted caret while the window has the
keyboard, and gone while another program has it.  Wine sets
GUI_CARETBLINKING for any caret, shown or not, so whether it is shown is
not read from there.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import editor  # noqa: E402
import winelib  # noqa: E402
from editor import OUT, PAGE_HEIGHT, TOP_MARGIN  # noqa: E402
from winelib import BLACK  # noqa: E402

BREAKS = 20  # more lines than the window shows, so the view scrolls


class SystemCaret(editor.ProgramTest):
    LOG = "caret.log"

    def caret_line_top(self, line):
        """Where the view that keeps line in sight at its foot shows it."""
        height = editor.line_height(self.session)
        visible = (self.main.height - TOP_MARGIN) // height - 1
        per_page = PAGE_HEIGHT // height
        gap = PAGE_HEIGHT - per_page * height
        top_line = max(line - visible + 1, 0)
        return TOP_MARGIN + (line // per_page - top_line // per_page) * gap + (line - top_line) * height

    def caret_on_screen(self, caret):
        """Whether the screen shows the painted caret, a column black over the
        whole line, inside the system caret's rectangle."""
        image = self.session.screenshot().crop(self.main.x, self.main.y, self.main.width, self.main.height)
        image.save_png(OUT / "caret.png")
        return any(all(image.pixel(x, y) == BLACK for y in range(caret.top, caret.bottom))
                   for x in range(max(caret.left, 0), min(caret.right, image.width)))

    def test_other_programs_find_the_caret_where_it_is_painted(self):
        session = self.session
        session.focus(self.x_window)
        session.key("shift")  # a freshly started program may lose its first key
        session.type_text("abc")
        session.key(*["Return"] * BREAKS)
        session.type_text("de")

        expected_top = self.caret_line_top(BREAKS)

        def on_the_last_line():
            caret = session.thread_caret(self.main)
            return caret if caret.caret_window == self.main.handle and caret.top == expected_top else None
        caret = winelib.wait_until(f"the system caret to stand on line {BREAKS}, at y {expected_top}",
                                   on_the_last_line, 10)
        self.assertEqual(caret.bottom - caret.top, editor.line_height(session))
        winelib.wait_until("the painted caret inside the system caret's rectangle",
                           lambda: self.caret_on_screen(caret), 5)

        # Another program takes the keyboard: a second Inkwarden, whose title no locale changes.
        other = session.start_program(editor.EXE, log=OUT / "caret-other.log")
        session.focus(session.wait_for_window(editor.TITLE, exclude=(self.x_window,), timeout=20,
                                              program=other))
        winelib.wait_until("the first window's caret to go with the keyboard",
                           lambda: session.thread_caret(self.main).caret_window == 0, 10)
