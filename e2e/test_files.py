"""Saves, opens and replaces real files through Wine's own Open and Save As
dialogs, driven with real keys, and checks the bytes on disk; also on a
Chinese system's code page."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import editor  # noqa: E402
import winelib  # noqa: E402
from editor import OUT, TITLE, TOP_MARGIN, utf16_file  # noqa: E402


class SavingAndOpening(editor.FileTest):
    """One program, through a session of saves and opens."""

    CHARACTERS = "中文件"
    LOG = "files.log"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # Before any dialog: a closed box's pixels linger on the root for a while.
        cls.empty = cls.settled_text_area(cls, "empty")

    # --- the screen -------------------------------------------------------------

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
        self.answer_file_dialog(self.folder / "one")
        self.wait_bytes(one, utf16_file(text))
        self.wait_caption("one.txt")

        # New on a saved document asks nothing and shows the empty page.
        self.menu("n")
        self.wait_caption(TITLE)
        self.assertSameScreen(self.text_area("new", like=empty), empty, "New did not show the empty page")

        # Open brings the same text back; with the caret at the end the screen is as typed.
        self.menu("o")
        self.answer_file_dialog(one)
        self.wait_caption("one.txt")
        self.session.focus(self.x_window)
        self.session.key("ctrl+End")
        self.assertSameScreen(self.text_area("opened", like=typed), typed,
                              "the opened file does not look as it did when typed")

        # A Chinese file name reaches the disk as UTF-8, whatever the system's language.
        chinese = self.folder / "文件.txt"
        self.menu("s")
        self.answer_file_dialog(self.folder / "文件")
        self.wait_bytes(chinese, utf16_file(text))
        self.wait_caption("文件.txt")
        self.assertEqual(sorted(p.name for p in self.folder.glob("*.*")), ["one.txt", "文件.txt"],
                         "a temporary file was left behind")

        # Saving over an existing file: the dialog asks first, Yes replaces it.
        self.session.focus(self.x_window)
        self.session.type_text("e")
        self.menu("s")
        self.confirm_replace(self.answer_file_dialog(one))
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
        self.answer_file_dialog(two)
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
                self.answer_file_dialog(path)
                text = self.answer_box("Can Not Open File", "Return")
                self.assertEqual(text, "The selected file is not a Unicode text file")



class OnAChineseSystem(editor.FileTest):
    """The program in a Chinese locale, so Wine's ANSI code page is 936 as
    on a Chinese Windows, and its dialogs are titled in Chinese.  The locale
    is built into the class's folder and found through LOCPATH, leaving the
    system's locales alone."""

    CHARACTERS = "中文甲乙"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        locales = cls.folder / "locales"
        locales.mkdir()
        winelib.run_checked(["localedef", "-i", "zh_CN", "-f", "UTF-8", locales / "zh_CN.UTF-8"], timeout=300)
        cls.locale = {"LANG": "zh_CN.UTF-8", "LC_ALL": "zh_CN.UTF-8", "LOCPATH": str(locales)}
        cls.process, cls.x_window, cls.main = editor.start_inkwarden(cls.session, "files-chinese.log",
                                                                     env=cls.locale)

    def test_typed_chinese_saved_and_a_chinese_name_opened(self):
        self.assertEqual(self.session.code_page(self.locale), 936, "the ANSI code page in the locale")
        self.session.focus(self.x_window)
        self.session.type_text("ab中文")
        self.menu("s")
        dialog = self.answer_file_dialog(self.folder / "中文")
        self.assertNotEqual(dialog.title, "Save As", "the program did not get the Chinese locale")
        self.wait_bytes(self.folder / "中文.txt", utf16_file("ab中文"))
        self.wait_caption("中文.txt")

        chinese = self.folder / "甲乙.txt"
        chinese.write_bytes(utf16_file("甲乙"))
        self.menu("o")
        self.answer_file_dialog(chinese)
        self.wait_caption("甲乙.txt")


if __name__ == "__main__":
    unittest.main()
