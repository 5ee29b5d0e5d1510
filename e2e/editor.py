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


def open_session(screen, settings=()):
    """A started Session that lives until the test module ends; settings are
    registry values its prefix gets beyond winelib.PREFIX_SETTINGS."""
    if not EXE.is_file():
        raise FileNotFoundError(f"{EXE} does not exist; build it with 'make windows'")
    OUT.mkdir(parents=True, exist_ok=True)
    session = winelib.Session(screen=screen, out_dir=OUT, settings=settings)
    unittest.addModuleCleanup(session.close)
    session.start()
    return session


_SESSIONS = {}  # module name -> its Session while the module's tests run


def module_session(module, screen, settings=()):
    """The Session the classes of a test module share, started for the first."""
    if module not in _SESSIONS:
        _SESSIONS[module] = open_session(screen, settings)
        unittest.addModuleCleanup(_SESSIONS.pop, module)
    session = _SESSIONS[module]
    if (session.screen, session.settings) != (screen, tuple(settings)):
        raise ValueError(f"the classes of {module} ask for different sessions")
    return session


class ProgramTest(unittest.TestCase):
    """Tests under Wine.  The class gets the session of its module (SCREEN,
    SETTINGS), a temporary folder, keys of their own for CHARACTERS (the
    non-ASCII ones its tests type) and, with LOG naming the program's
    output in build/e2e, the program started once for its tests.  Every
    Wine process of the session ends with the class."""

    SCREEN = "1600x1400x24"
    SETTINGS = ()
    CHARACTERS = ""
    LOG = None

    @classmethod
    def setUpClass(cls):
        cls.session = module_session(cls.__module__, cls.SCREEN, cls.SETTINGS)
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


def start_inkwarden(session, log_name):
    """Starts the program; returns (process, X window, Win32 main window)."""
    process = session.start_program(EXE, log=OUT / log_name)
    x_window = session.wait_for_window(TITLE, timeout=20, program=process)
    main = session.wait_win32_window("Inkwarden")
    if len(main) != 1:
        raise AssertionError(f'{len(main)} windows of class "Inkwarden"; expected one')
    return process, x_window, main[0]


def utf16_file(text):
    """What a save of text writes: the mark, the units, the terminator."""
    return b"\xff\xfe" + text.encode("utf-16-le") + b"\x00\x00"


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


def save_as(session, x_window, process, path):
    """File, Save..., and the Save As dialog answered with path; returns once
    the file holds the bytes of some save."""
    session.focus(x_window)
    session.key("alt+f")
    session.wait_win32_window("#32768")  # the popup is down
    session.key("s")
    dialog = session.wait_for_window("Save As", timeout=15, program=process)
    session.focus(dialog)
    session.type_text(windows_path(path))
    session.key("Return")
    winelib.wait_until(f"{path.name} to be saved", lambda: path.is_file() and path.stat().st_size >= 4, 15)
    return path.read_bytes()


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
