"""Saves, opens and replaces real files through Wine's own Open and Save As
dialogs, driven with real keys, and checks the bytes on disk."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import editor  # noqa: E402
import winelib  # noqa: E402
from editor import OUT, TITLE, TOP_MARGIN, utf16_file, windows_path  # noqa: E402

class SavingAndOpening(editor.ProgramTest):
    """One program, through a session of saves and opens."""

    CHARACTERS = "中文件"
    LOG = "files.log"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # Before any dialog: a closed box's pixels linger on the root for a while.
        cls.empty = cls.settled_text_area(cls, "empty")

    # --- driving --------------------------------------------------------------

    def menu(self, key):
        """File, then the item with this access key."""
        self.session.focus(self.x_window)
        self.session.key("alt+f")
        self.session.wait_win32_window("#32768")  # the popup is down
        self.session.key(key)

    def answer_file_dialog(self, title, path):
        dialog = self.session.wait_for_window(title, timeout=15, program=self.process)
        self.session.focus(dialog)
        self.session.type_text(windows_path(path))
        self.session.key("Return")
        return dialog

    def answer_box(self, caption, key):
        return editor.answer_box(self.session, self.process, caption, key, timeout=10)

    def caption(self):
        return [w for w in self.session.win32_windows() if w.handle == self.main.handle][0].title

    def wait_caption(self, expected):
        winelib.wait_until(f'the caption "{expected}"', lambda: self.caption() == expected, 15)

    def wait_bytes(self, path, expected):
        try:
            winelib.wait_until(f"{path.name} to hold the saved text",
                               lambda: path.is_file() and path.read_bytes() == expected, 15)
        except winelib.Timeout:
            self.session.screenshot().save_png(OUT / "files-timeout.png")
            found = {p.name: p.read_bytes()[:64] for p in path.parent.iterdir() if p.is_file()}
            windows = [(w.class_name, w.title.encode()) for w in self.session.win32_windows()]
            raise AssertionError(f"{path.name} never held {expected[:64]!r}; the folder holds {found}; "
                                 f"windows: {windows}; see build/e2e/files-timeout.png") from None

    def text_area(self, name, like=None):
        """The client area below the picker, once it equals like (when given)."""
        region = (self.main.x, self.main.y + TOP_MARGIN, self.main.width, self.main.height - TOP_MARGIN)
        image, _ = self.session.poll_screen(region, lambda i: like is None or i.rgb == like.rgb, timeout=5)
        image.save_png(OUT / f"files-{name}.png")
        return image

    def settled_text_area(self, name, unlike=None):
        """The text area once two pictures in a row agree (and differ from unlike)."""
        region = (self.main.x, self.main.y + TOP_MARGIN, self.main.width, self.main.height - TOP_MARGIN)
        last = [None]

        def settled(image):
            same = last[0] is not None and image.rgb == last[0].rgb
            last[0] = image
            return same and (unlike is None or image.rgb != unlike.rgb)
        image, ok = self.session.poll_screen(region, settled, timeout=10)
        image.save_png(OUT / f"files-{name}.png")
        assert ok, (f"the screen never settled on something new; see build/e2e/files-{name}.png")
        return image

    def assertSameScreen(self, image, expected, what):
        self.assertTrue(image.rgb == expected.rgb, f"{what}; see build/e2e/files-*.png")

    # --- the session ------------------------------------------------------------

    def test_save_new_open_and_the_save_question(self):
        empty = self.empty
        # A box closed by an earlier test lingers on the root for a moment.
        self.assertSameScreen(self.text_area("before-typing", like=empty), empty,
                              "the page is not empty before typing")
        self.session.focus(self.x_window)
        self.session.type_text("ab中文 ")
        self.session.key("Return", "Tab")
        self.session.type_text("cd")
        text = "ab中文 \r\n    cd"
        typed = self.settled_text_area("typed", unlike=empty)

        # Save As a new file: the dialog adds ".txt"; the bytes are the units exactly.
        one = self.folder / "one.txt"
        self.menu("s")
        self.answer_file_dialog("Save As", self.folder / "one")
        self.wait_bytes(one, utf16_file(text))
        self.wait_caption("one.txt")

        # New on a saved document asks nothing and shows the empty page.
        self.menu("n")
        self.wait_caption(TITLE)
        self.assertSameScreen(self.text_area("new", like=empty), empty, "New did not show the empty page")

        # Open brings the same text back; with the caret at the end the screen is as typed.
        self.menu("o")
        self.answer_file_dialog("Open", one)
        self.wait_caption("one.txt")
        self.session.focus(self.x_window)
        self.session.key("ctrl+End")
        self.assertSameScreen(self.text_area("opened", like=typed), typed,
                              "the opened file does not look as it did when typed")

        # A Chinese file name reaches the disk as UTF-8, whatever the system's language.
        chinese = self.folder / "文件.txt"
        self.menu("s")
        self.answer_file_dialog("Save As", self.folder / "文件")
        self.wait_bytes(chinese, utf16_file(text))
        self.wait_caption("文件.txt")
        self.assertEqual(sorted(p.name for p in self.folder.glob("*.*")), ["one.txt", "文件.txt"],
                         "a temporary file was left behind")

        # Saving over an existing file: the dialog asks first, Yes replaces it.
        self.session.focus(self.x_window)
        self.session.type_text("e")
        self.menu("s")
        dialog = self.answer_file_dialog("Save As", one)
        question = winelib.wait_until(
            "the dialog's question about replacing the file",
            lambda: [w for w in self.session.win32_windows() if w.class_name == "#32770"
                     and w.pid == self.main.pid and w.title not in ("Save As", "")], 15)[0]
        x_question = self.session.wait_for_window(question.title, exclude=[dialog], timeout=10)
        self.session.focus(x_question)
        self.session.key("Return")
        self.wait_bytes(one, utf16_file(text + "e"))
        self.wait_caption("one.txt")

        # New on a changed document: Cancel keeps it, Yes saves and ends, No discards.
        self.session.focus(self.x_window)
        self.session.type_text("f")
        self.menu("n")
        question_text = self.answer_box("Save Current File?", "Escape")
        self.assertEqual(question_text, "The current file has changed since the last save.\n"
                                        "Do you wish to save the current file?")
        self.assertEqual(self.caption(), "one.txt")

        self.menu("n")
        self.answer_box("Save Current File?", "Return")  # Yes is the default button
        two = self.folder / "two.txt"
        self.answer_file_dialog("Save As", two)
        self.wait_bytes(two, utf16_file(text + "ef"))
        self.wait_caption("two.txt")
        self.session.focus(self.x_window)
        self.session.type_text("g")
        # The document is still there after Yes; a typed letter changes it.
        self.settled_text_area("typed-more", unlike=typed)

        self.menu("n")
        self.answer_box("Save Current File?", "n")
        self.wait_caption(TITLE)
        self.assertSameScreen(self.text_area("discarded", like=empty), empty, "No did not discard")

    def test_open_refuses_what_is_not_a_unicode_text_file(self):
        refused = self.folder / "refused"
        refused.mkdir()
        for name, content in (("utf8.txt", "中文\r\n".encode("utf-8")), ("one-byte.txt", b"\xff")):
            with self.subTest(name):
                path = refused / name
                path.write_bytes(content)
                self.menu("o")
                self.answer_file_dialog("Open", path)
                text = self.answer_box("Can Not Open File", "Return")
                self.assertEqual(text, "The selected file is not a Unicode text file")


if __name__ == "__main__":
    unittest.main()
