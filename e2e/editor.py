"""What the end-to-end tests share about Inkwarden: where the program is,
its geometry at Wine's 96 pixels per inch, its text font as Wine gives it,
and starting it in a session."""

import os
import shutil
import tempfile
import unittest
from pathlib import Path

import winelib

EXE = Path(os.environ.get("INKWARDEN_EXE", winelib.REPO / "build" / "windows" / "inkwarden.exe"))
OUT = winelib.REPO / "build" / "e2e"
TITLE = "Inkwarden"

COLUMN_WIDTH = 576
TOP_MARGIN = 144
PAGE_HEIGHT = 768
UNIT = 36         # a picker box

# The text font's request: points (negative: character height), Big5, face.
FONT_REQUEST = (-32, 136, "Courier New")


def open_session(screen, settings=(), user=None):
    """A started Session that lives until the test module ends; settings are
    registry values its prefix gets beyond winelib.PREFIX_SETTINGS, user the
    one Wine runs as (None: ourselves)."""
    if not EXE.is_file():
        raise FileNotFoundError(f"{EXE} does not exist; build it with 'make windows'")
    OUT.mkdir(parents=True, exist_ok=True)
    session = winelib.Session(screen=screen, out_dir=OUT, settings=settings, user=user)
    unittest.addModuleCleanup(session.close)
    session.start()
    return session


_SESSIONS = {}  # module name -> its Session while the module's tests run


def module_session(module, screen, settings=(), user=None):
    """The Session the classes of a test module share, started for the first."""
    if module not in _SESSIONS:
        _SESSIONS[module] = open_session(screen, settings, user)
        unittest.addModuleCleanup(_SESSIONS.pop, module)
    session = _SESSIONS[module]
    if (session.screen, session.settings, session.user) != (screen, tuple(settings), user):
        raise ValueError(f"the classes of {module} ask for different sessions")
    return session


class ProgramTest(unittest.TestCase):
    """Tests under Wine.  The class gets the session of its module (SCREEN,
    SETTINGS, USER), a temporary folder, keys of their own for CHARACTERS (the
    non-ASCII ones its tests type) and, with LOG naming the program's
    output in build/e2e, the program started once for its tests.  Every
    Wine process of the session ends with the class."""

    SCREEN = "1600x1400x24"
    SETTINGS = ()
    CHARACTERS = ""
    LOG = None
    USER = None  # the Unix user Wine runs as, when we are root

    @classmethod
    def setUpClass(cls):
        cls.session = module_session(cls.__module__, cls.SCREEN, cls.SETTINGS, cls.USER)
        cls.addClassCleanup(cls.session.kill_wine)
        cls.folder = Path(tempfile.mkdtemp(prefix="inkwarden-e2e-"))
        cls.addClassCleanup(shutil.rmtree, cls.folder, True)
        if cls.CHARACTERS:
            cls.session.bind_characters(cls.CHARACTERS)
        if cls.LOG:
            cls.process, cls.x_window, cls.main = start_inkwarden(cls.session, cls.LOG)


def document_font(session, text=""):
    """The text font in the session's prefix, with the glyphs of text."""
    return session.font(*FONT_REQUEST, text)


def line_height(session):
    """The program's line height: what the platform says of the text font."""
    font = document_font(session)
    return font.height + font.external_leading


def start_inkwarden(session, log_name, env=()):
    """Starts the program, with env beyond the session's variables; returns
    (process, X window, Win32 main window)."""
    process = session.start_program(EXE, log=OUT / log_name, env=env)
    x_window = session.wait_for_window(TITLE, timeout=20, program=process)
    main = session.wait_win32_window("Inkwarden")
    if len(main) != 1:
        raise AssertionError(f'{len(main)} windows of class "Inkwarden"; expected one')
    if main[0].x_window != x_window:
        raise AssertionError(f"the X window titled {TITLE} is {x_window}, Win32's is {main[0].x_window}")
    return process, x_window, main[0]


def utf16_file(text):
    """What a save of text writes: the mark, the units, the terminator."""
    return b"\xff\xfe" + text.encode("utf-16-le") + b"\x00\x00"


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


def file_menu(session, main, key):
    """File, then the item with this access key."""
    session.focus(main.x_window)
    session.key("alt+f")
    session.wait_win32_window("#32768")  # the popup is down
    session.key(key)


def owned_dialog(session, owner, process, timeout=15):
    """The dialog (class #32770) that the Win32 window owner owns, once X
    shows it.  Found by class and owner, not by title: Wine titles its
    dialogs in the language of the locale."""
    def shown():
        found = [w for w in session.win32_windows()
                 if w.parent == 0 and w.class_name == "#32770" and w.owner == owner.handle and w.x_window]
        if not found and process.poll() is not None:
            raise AssertionError(f"the program exited with code {process.returncode:#x} before showing "
                                 f"a dialog of window {owner.handle}; its output is in {process.log}")
        return found[0] if found else None
    dialog = winelib.wait_until(f'a dialog of window {owner.handle} ("{owner.title}")', shown, timeout)
    session.wait_mapped(dialog.x_window)
    return dialog


def answer_file_dialog(session, owner, process, path):
    """Types path into the Open or Save As dialog of owner and accepts it;
    returns the dialog."""
    dialog = owned_dialog(session, owner, process)
    session.focus(dialog.x_window)
    session.type_text(windows_path(path))
    session.key("Return")
    return dialog


def confirm_replace(session, dialog, process):
    """Answers Yes to the file dialog's question before it replaces a file."""
    question = owned_dialog(session, dialog, process)
    session.focus(question.x_window)
    session.key("Return")


def save_as(session, main, process, path):
    """File, Save..., and the Save As dialog answered with path; returns once
    the file holds the bytes of some save."""
    file_menu(session, main, "s")
    answer_file_dialog(session, main, process, path)
    winelib.wait_until(f"{path.name} to be saved", lambda: path.is_file() and path.stat().st_size >= 4, 15)
    return path.read_bytes()


class FileTest(ProgramTest):
    """A ProgramTest that saves and opens files through the program's menu
    and Wine's dialogs, found by class and owner."""

    def menu(self, key):
        file_menu(self.session, self.main, key)

    def answer_file_dialog(self, path):
        return answer_file_dialog(self.session, self.main, self.process, path)

    def confirm_replace(self, dialog):
        confirm_replace(self.session, dialog, self.process)

    def save_over(self, path):
        """Save As onto an existing file, answering the dialog's replace question."""
        self.menu("s")
        self.confirm_replace(self.answer_file_dialog(path))

    def answer_box(self, caption, key):
        return answer_box(self.session, self.process, caption, key)

    def caption(self):
        return [w for w in self.session.win32_windows() if w.handle == self.main.handle][0].title

    def wait_caption(self, expected):
        winelib.wait_until(f'the caption "{expected}"', lambda: self.caption() == expected, 15)

    def wait_bytes(self, path, expected):
        try:
            winelib.wait_until(f"{path.name} to hold the saved text",
                               lambda: path.is_file() and path.read_bytes() == expected, 15)
        except winelib.Timeout:
            shot = OUT / f"{type(self).__name__}-timeout.png"
            self.session.screenshot().save_png(shot)
            found = {p.name: p.read_bytes()[:64] for p in path.parent.iterdir() if p.is_file()}
            windows = [(w.class_name, w.title) for w in self.session.win32_windows()]
            raise AssertionError(f"{path.name} never held {expected[:64]!r}; the folder holds {found}; "
                                 f"windows: {windows}; see {shot}") from None


def column(client_width):
    """(ColumnLeft, ColumnRight) for a client area this wide."""
    left = int((client_width - COLUMN_WIDTH) / 2)  # truncates toward zero, as C does
    return left, left + COLUMN_WIDTH


def answer_box(session, process, caption, key, timeout=15):
    """Answers the program's message box with this caption by key, once it
    is up; returns its text after the box has closed."""
    box = session.wait_win32_window("#32770", caption)[0]
    texts = [w.title for w in session.children(box) if w.class_name == "Static" and w.title]
    x_box = session.wait_for_window(caption, timeout=timeout, program=process)
    session.focus(x_box)
    session.key(key)
    winelib.wait_until(f'the "{caption}" box to close',
                       lambda: box.handle not in [w.handle for w in session.win32_windows()], timeout)
    return texts[0] if texts else ""
