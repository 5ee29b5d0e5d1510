"""Saves by an ordinary user, for whom file permissions hold: a file in a
folder where the user may not create files still saves, and leaves nothing
new there; a file the user may not write is refused with its bytes kept.
Run by root, the program runs as the user nobody, with a prefix of that
user's own; run by anyone else, as that user."""

import os
import pwd
import shutil
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import editor  # noqa: E402
from editor import utf16_file  # noqa: E402


def ordinary_user():
    """(the user Wine runs as, None for ourselves; why the test cannot run, or None)."""
    if os.geteuid() != 0:
        return None, None
    try:
        pwd.getpwnam("nobody")
    except KeyError:
        return None, "run by root, and there is no user nobody to run the program as"
    if not shutil.which("runuser"):
        return None, "run by root, and there is no runuser to become the user nobody"
    readable = subprocess.run(["runuser", "-u", "nobody", "--", "test", "-r", str(editor.EXE)],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if readable.returncode != 0:
        return None, f"the user nobody may not read {editor.EXE}"
    return "nobody", None


USER, CANNOT_RUN = ordinary_user()


@unittest.skipIf(CANNOT_RUN, CANNOT_RUN or "")
class SavingAsAnOrdinaryUser(editor.FileTest):
    USER = USER
    LOG = "ordinary-user.log"

    def give_to_user(self, *paths):
        if self.USER:
            account = pwd.getpwnam(self.USER)
            for path in paths:
                os.chown(path, account.pw_uid, account.pw_gid)

    def test_a_folder_that_takes_no_new_files(self):
        shut = self.folder / "shut"
        shut.mkdir()
        writable, locked = shut / "writable.txt", shut / "locked.txt"
        writable.write_bytes(utf16_file("an older and longer text"))
        locked.write_bytes(utf16_file("locked"))
        self.give_to_user(self.folder, shut, writable, locked)
        locked.chmod(0o444)
        shut.chmod(0o555)
        self.addCleanup(shut.chmod, 0o755)  # so that the folder can be removed
        names = ["locked.txt", "writable.txt"]

        self.session.focus(self.x_window)
        self.session.type_text("saved")
        self.save_over(writable)
        self.wait_bytes(writable, utf16_file("saved"))
        self.assertEqual(sorted(p.name for p in shut.iterdir()), names, "the save left a file behind")

        self.save_over(locked)
        text = self.answer_box("Can Not Save File", "Return")
        self.assertEqual(text, "Can not write to the selected file")
        self.assertEqual(locked.read_bytes(), utf16_file("locked"))
        self.assertEqual(sorted(p.name for p in shut.iterdir()), names, "the refused save left a file behind")


if __name__ == "__main__":
    unittest.main()
