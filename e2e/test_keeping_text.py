"""The user's text is not lost: a save through a Unix symbolic link writes
the file it names and keeps the link, and the end of the session asks the
save question first."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import editor  # noqa: E402
import winelib  # noqa: E402
from editor import OUT, utf16_file  # noqa: E402


class KeepingText(editor.FileTest):
    SCREEN = "1280x1024x24"
    LOG = "keeping-text.log"

    def type_text(self, text):
        self.session.focus(self.x_window)
        self.session.type_text(text)

    def test_a_save_into_a_symbolic_link_writes_the_file_it_names(self):
        target = self.folder / "target.txt"
        link = self.folder / "link.txt"
        target.write_bytes(utf16_file("older text"))
        os.symlink("target.txt", link)
        self.type_text("linked")
        self.save_over(link)
        self.wait_bytes(target, utf16_file("linked"))
        self.assertTrue(os.path.islink(link), "the link was replaced by a file")
        self.assertEqual(os.readlink(link), "target.txt")
        self.assertEqual(sorted(p.name for p in self.folder.iterdir()), ["link.txt", "target.txt"],
                         "a temporary file was left behind")

    def test_b_the_end_of_the_session_asks_and_cancel_keeps_the_text(self):
        self.type_text(" changed")
        ending = self.session.start_program("wineboot", "--end-session", log=OUT / "keeping-text-wineboot.log")
        question = self.answer_box("Save Current File?", "Escape")
        self.assertEqual(question, "The current file has changed since the last save.\n"
                                   "Do you wish to save the current file?")
        winelib.wait_until("wineboot --end-session to give up", lambda: ending.poll() is not None, 30)
        self.assertIsNone(self.process.poll(), "the program ended although Cancel was answered")
        # Its text is still there: a save writes it whole.
        kept = self.folder / "link.txt"
        self.save_over(kept)
        self.wait_bytes(self.folder / "target.txt", utf16_file("linked changed"))


if __name__ == "__main__":
    unittest.main()
