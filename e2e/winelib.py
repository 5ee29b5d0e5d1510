"""Runs a Windows program under Wine on a private Xvfb display and drives it.

A Session owns an Xvfb server and a Wine prefix, and tears both down on
close() even when a test fails half-way.  Keys and focus go through xdotool;
screenshots come from xwd and ImageMagick's convert as PPM, parsed here.

Under Xvfb with no window manager the X window of a top-level window holds
its menu bar and scroll bars too, so client-area geometry comes from
winprobe.exe, which asks Win32 itself.
"""

import os
import re
import select
import shutil
import subprocess
import tempfile
import time
from collections import namedtuple
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
PROBE_SOURCE = Path(__file__).resolve().parent / "winprobe.c"
MINGW_CC = "x86_64-w64-mingw32-gcc"

# Names a ready prefix that new sessions copy instead of booting their own,
# which saves wineboot's 10-15 s each; run_e2e.py makes one per run.
TEMPLATE_ENV = "INKWARDEN_WINE_TEMPLATE"

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)

# The text font asks for "Courier New" in the Big5 character set.  Wine has
# no Courier New here and hands out whichever installed font claims Big5:
# once fonts-droid-fallback is there that is Droid Sans Fallback, which has
# no Latin glyphs.  So every prefix pins the request to one font with both,
# the pin users import into a prefix of their own.
FONT_PIN = REPO / "tools" / "inkwarden-fonts.reg"


def _font_pin():
    """(hive, key, value line) of the one value FONT_PIN sets."""
    hive = key = None
    for line in FONT_PIN.read_text(encoding="ascii").splitlines():
        if line.startswith("[") and line.endswith("]"):
            hive, key = line[1:-1].split("\\", 1)
        elif line.startswith('"'):
            return hive, key, line
    raise ValueError(f"{FONT_PIN} sets no value")


FONT_PIN_SETTING = _font_pin()
TEXT_FONT = re.fullmatch(r'"[^"]*"="(.*),\d+"', FONT_PIN_SETTING[2]).group(1)  # from fonts-wqy-microhei

# Registry values every prefix gets, also one made by an earlier version:
# (hive, key, value line as regedit reads it and Wine saves it).
# On a crash Wine runs winedbg --auto even with no AeDebug debugger set, and
# winedbg then waits on its "Program Error" dialog until the run's timeout;
# without the dialog it writes a backtrace to the program's output and ends
# the program with a non-zero code.
PREFIX_SETTINGS = (
    ("HKEY_CURRENT_USER", r"Software\Wine\WineDbg", '"ShowCrashDialog"=dword:00000000'),
    FONT_PIN_SETTING,
)
# Where the Wine server of a prefix saves each hive.
HIVE_FILES = {"HKEY_CURRENT_USER": "user.reg", "HKEY_LOCAL_MACHINE": "system.reg"}

# Debian's Wine names the server's directory under $TMPDIR in this file of
# the prefix.  A copy of a prefix must not share it with the original.
SERVER_DIR_FILE = "wineserver"

# Wine titles its dialogs, labels its buttons and names fonts in the
# language of the locale, and takes its code pages from it: a session's
# programs all get this one, the language of the program's own strings,
# whatever the developer's is.
LOCALE = {"LANG": "C.UTF-8", "LC_ALL": "C.UTF-8"}


def own_environment(env):
    """env without what would reach past a session: the locale and its
    files, another display, prefix or Wine, a print scheduler."""
    def foreign(name):
        return (name.startswith(("LC_", "WINE", "CUPS_"))
                or name in ("LANG", "LANGUAGE", "LOCPATH", "DISPLAY", "XAUTHORITY", "TMPDIR"))
    return {k: v for k, v in env.items() if not foreign(k)}


def _tool(preferred, *fallbacks):
    if os.path.exists(preferred):
        return preferred
    for name in fallbacks:
        found = shutil.which(name)
        if found:
            return found
    return preferred


WINE = _tool("/usr/lib/wine/wine64", "wine64", "wine")
WINESERVER = _tool("/usr/lib/wine/wineserver", "wineserver")


class Timeout(AssertionError):
    """A bounded wait ran out; the message says what never happened."""


class CommandFailed(AssertionError):
    """A helper program (xdotool, winprobe, Wine...) exited with an error."""


def run_checked(args, timeout, ok_codes=(0,), stdout=subprocess.PIPE, **kwargs):
    """Runs a command and returns its result, with its error output as text;
    a failure fails the test right there, naming the command and quoting that.
    The error output goes through a file, which a daemon the command leaves
    behind (wineserver -p) may keep open without holding up the caller."""
    with tempfile.TemporaryFile() as err:
        result = subprocess.run(list(map(str, args)), stdout=stdout, stderr=err, timeout=timeout, **kwargs)
        err.seek(0)
        result.stderr = err.read().decode(errors="replace").strip()
    if result.returncode not in ok_codes:
        printed = result.stdout[-2000:] if isinstance(result.stdout, (str, bytes)) else None
        raise CommandFailed(f"{' '.join(map(str, args))} exited with {result.returncode}: "
                            f"{result.stderr or '(no error output)'}"
                            + (f"; its output ended with {printed!r}" if printed else ""))
    return result


def wait_until(what, check, timeout, interval=0.05):
    """Calls check until it returns something truthy and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        result = check()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise Timeout(f"timed out after {timeout:g} s waiting for {what}")
        time.sleep(interval)


class Image:
    """An RGB picture, 8 bits a channel, rows top to bottom."""

    def __init__(self, width, height, rgb):
        if len(rgb) != width * height * 3:
            raise ValueError("pixel data does not match the size")
        self.width, self.height, self.rgb = width, height, bytes(rgb)

    @classmethod
    def from_ppm(cls, data):
        """Parses binary PPM (P6), including '#' comments in the header."""
        fields, pos = [], 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos) + 1
                continue
            end = pos
            while end < len(data) and not data[end:end + 1].isspace() and data[end:end + 1] != b"#":
                end += 1
            fields.append(data[pos:end])
            pos = end
        magic, width, height, maxval = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
        if magic != b"P6" or maxval != 255:
            raise ValueError(f"not an 8-bit P6 picture: {magic!r}, maxval {maxval}")
        pos += 1  # exactly one whitespace byte ends the header
        return cls(width, height, data[pos:pos + width * height * 3])

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError(f"pixel ({x}, {y}) is outside a {self.width}x{self.height} picture")
        at = 3 * (y * self.width + x)
        return tuple(self.rgb[at:at + 3])

    def crop(self, x, y, width, height):
        x0, y0 = max(x, 0), max(y, 0)
        x1, y1 = min(x + width, self.width), min(y + height, self.height)
        if x1 <= x0 or y1 <= y0:
            raise ValueError(f"crop {width}x{height}+{x}+{y} misses the picture")
        rows = (self.rgb[3 * (r * self.width + x0):3 * (r * self.width + x1)] for r in range(y0, y1))
        return Image(x1 - x0, y1 - y0, b"".join(rows))

    def to_ppm(self):
        return b"P6\n%d %d\n255\n" % (self.width, self.height) + self.rgb

    def save_png(self, path):
        Path(path).parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["convert", "ppm:-", f"png:{path}"], input=self.to_ppm(), check=True, timeout=30)


# One visible window as Win32 reports it; parent is 0 for a top-level
# window, owner 0 for one nobody owns; x_window is the X window of a
# top-level window.
Win32Window = namedtuple("Win32Window", "handle parent pid class_name title x y width height owner x_window")

# What Wine makes of a font request (see winprobe.c): face is the name
# GetTextFace reports, font the face of the font actually used.
# request_height and log_pixels_y: the LOGFONT height asked for and the
# resolution it was computed from.
Font = namedtuple("Font", "face font height external_leading glyphs request_height log_pixels_y")
# One character in that font: whether the font has a glyph for it, its ABC
# widths and an Image of it drawn alone in its cell on a line.
Glyph = namedtuple("Glyph", "code present a b c image")
# What GetGUIThreadInfo tells another process of a window's thread: its
# caret and focus windows (0: none), the flags and the caret's rectangle in
# its window's client coordinates.
ThreadCaret = namedtuple("ThreadCaret", "caret_window focus_window flags left top right bottom")


def _unescape(text):
    return re.sub(r"\\(.)", lambda m: {"n": "\n", "r": "\r", "t": "\t"}.get(m.group(1), m.group(1)), text)


def build_probe(out_dir):
    """Compiles winprobe.exe into out_dir unless an up-to-date one is there."""
    exe = Path(out_dir) / "winprobe.exe"
    if exe.exists() and exe.stat().st_mtime >= PROBE_SOURCE.stat().st_mtime:
        return exe
    if not shutil.which(MINGW_CC):
        raise RuntimeError(f"{MINGW_CC} is needed to build {exe.name} (package gcc-mingw-w64-x86-64)")
    exe.parent.mkdir(parents=True, exist_ok=True)
    partial = exe.with_name(f"winprobe.{os.getpid()}.exe")  # a concurrent run must never see half a file
    run_checked([MINGW_CC, "-O1", "-s", "-static", "-o", partial, PROBE_SOURCE, "-lgdi32", "-lole32", "-loleaut32"], timeout=120)
    os.replace(partial, exe)
    return exe


class Session:
    """An Xvfb display plus a Wine prefix; use it as a context manager.

    With prefix=None a fresh prefix is made in a temporary directory (a copy
    of $INKWARDEN_WINE_TEMPLATE when that is set) and deleted on close;
    otherwise the given prefix is created if missing and kept.
    """

    def __init__(self, screen="1600x1400x24", prefix=None, out_dir=None, settings=(), user=None):
        self.screen = screen
        self.settings = tuple(settings)  # registry values beyond PREFIX_SETTINGS
        self.user = user  # the Unix user Wine runs as (we are root); None: ourselves
        self._as_user = []  # in front of every Wine command
        self.out_dir = Path(out_dir) if out_dir else REPO / "build" / "e2e"
        self._own_prefix = prefix is None
        self._temp = None
        self.prefix = Path(prefix) if prefix else None
        self.display = None
        self.env = None
        self._xvfb = None
        self._programs = []
        self._probe = None

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def start(self):
        self._temp = tempfile.mkdtemp(prefix="inkwarden-wine-")
        scratch = Path(self._temp)
        self._start_xvfb()
        if self._own_prefix:
            self.prefix = scratch / "prefix"
            template = os.environ.get(TEMPLATE_ENV)
            if template:
                shutil.copytree(template, self.prefix, symlinks=True,
                                ignore=lambda d, names: [SERVER_DIR_FILE] if Path(d) == Path(template) else [])
        (scratch / "tmp").mkdir()
        # The server's directory goes into TMPDIR, so into the session's own.
        # Wine asks the print scheduler CUPS_SERVER names for its printers, and
        # libcups reads the queues' PPDs under CUPS_SERVERROOT: neither is the
        # system's (a printing test gives its own).  winemenubuilder would
        # write menu entries and file types into the home folder.
        no_cups = scratch / "no-cups"
        self.env = dict(own_environment(os.environ), **LOCALE, DISPLAY=self.display,
                        WINEPREFIX=str(self.prefix), TMPDIR=str(scratch / "tmp"),
                        CUPS_SERVER=str(no_cups / "cups.sock"), CUPS_SERVERROOT=str(no_cups),
                        WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
        ensure_prefix(self.env, self.settings)
        if self.user:
            self._hand_to_user()
        self._start_server()

    def _hand_to_user(self):
        """From here on Wine runs as self.user, in a prefix, home and temporary
        folder of that user's inside the session's temporary folder, so an
        ordinary user's file permissions hold, as they do not for root."""
        if not self._own_prefix:
            raise ValueError("a session run by another user needs a prefix of its own")
        (Path(self._temp) / "home").mkdir()
        run_checked(["chown", "-R", f"{self.user}:", self._temp], timeout=120)
        for name in ("USER", "LOGNAME", "MAIL"):
            self.env.pop(name, None)
        self.env["HOME"] = str(Path(self._temp) / "home")
        self._as_user = ["runuser", "-u", self.user, "--", "env", *(f"{k}={v}" for k, v in self.env.items())]
        # The copied prefix knows only the profile of the user who made it,
        # whose folders (Desktop, Documents) link into that user's home: the
        # file dialogs then show no folder and take no path.  An update
        # makes the profile of this one.
        run_checked(self._wine(WINE, "wineboot", "-u"), env=self.env, timeout=120, stdout=subprocess.DEVNULL)
        run_checked(self._wine(WINESERVER, "-w"), env=self.env, timeout=120, stdout=subprocess.DEVNULL)

    def _wine(self, *args):
        """A Wine command line, run as the session's user."""
        return [*self._as_user, *map(str, args)]

    def _start_server(self):
        # A server that stays up until kill_wine: one started on demand shuts
        # down 3 s after its last program ends, and a Wine command that comes
        # in while it does may fail to connect or lose its server half-way.
        run_checked(self._wine(WINESERVER, "-p"), env=self.env, timeout=60, stdout=subprocess.DEVNULL)

    def _start_xvfb(self):
        # -displayfd lets Xvfb claim a free display number itself, race-free.
        # -noreset: by default an X server resets whenever its last client
        # leaves, which here is every kill_wine and every xdotool call made
        # while no Wine process is connected.  A connection made during a
        # reset is refused; Wine then has no display driver, explorer's
        # desktop fails, CreateWindow fails and the program exits with 0 and,
        # under WINEDEBUG=-all, no output.  A reset also drops xmodmap's keys.
        read_end, write_end = os.pipe()
        try:
            self._xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen, "-nolisten", "tcp",
                 "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL)
        finally:
            os.close(write_end)
        try:
            number = b""
            deadline = time.monotonic() + 15
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([read_end], [], [], left)[0]:
                    raise Timeout("timed out after 15 s waiting for Xvfb to report its display")
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise RuntimeError(f"Xvfb exited (status {self._xvfb.poll()}) before reporting a display")
                number += chunk
        finally:
            os.close(read_end)
        self.display = ":" + number.decode().strip()

    def close(self):
        """Stops everything this session started.  Safe to call twice."""
        try:
            if self.env is not None:
                self._stop_wine()
        finally:
            try:
                if self._xvfb is not None:
                    _reap(self._xvfb)
                    self._xvfb = None
            finally:
                if self._temp is not None:
                    shutil.rmtree(self._temp, ignore_errors=True)
                    self._temp = None

    # --- programs -----------------------------------------------------------

    def start_program(self, exe, *args, log=None, env=()):
        """Starts exe under Wine; its output goes to the file log, if given.
        env: variables it gets beyond the session's, such as another locale."""
        out = open(log, "wb") if log else subprocess.DEVNULL
        try:
            program = subprocess.Popen(self._wine(WINE, exe, *args), env=dict(self.env, **dict(env)),
                                       stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT)
        finally:
            if log:
                out.close()
        program.log = log
        self._programs.append(program)
        return program

    def wait_exit(self, program, timeout=10):
        """The program's exit code, once it has exited."""
        try:
            return program.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Timeout(f"timed out after {timeout:g} s waiting for the program to exit") from None

    def kill_wine(self):
        """Ends every Wine process of the prefix, e.g. a program left running,
        and starts a fresh server for what comes next."""
        self._stop_wine()
        self._start_server()

    def _stop_wine(self):
        quiet = dict(env=self.env, timeout=30, check=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(self._wine(WINESERVER, "-k"), **quiet)
        subprocess.run(self._wine(WINESERVER, "-w"), **quiet)  # -k returns before the server has saved and gone
        for program in self._programs:
            _reap(program)
        self._programs = []

    # --- X windows ------------------------------------------------------------

    def _x(self, *args, timeout=10, ok_codes=(0,)):
        return run_checked(args, env=self.env, text=True, timeout=timeout, ok_codes=ok_codes)

    def windows_titled(self, title):
        """X ids of the visible windows whose title is exactly title."""
        # xdotool search exits with 1 when nothing matches, and with BadWindow
        # when a window goes away while it walks the tree: nothing found then.
        result = self._x("xdotool", "search", "--onlyvisible", "--name", "^" + re.escape(title) + "$",
                         ok_codes=(0, 1))
        if result.returncode and result.stderr and "BadWindow" not in result.stderr:
            raise CommandFailed(f'xdotool search for "{title}" failed: {result.stderr}')
        if result.returncode:
            return []
        return [int(line) for line in result.stdout.split()]

    def wait_for_window(self, title, exclude=(), timeout=15, program=None):
        """The X id of a visible window titled title that is not in exclude.

        Gives up early if program, a process from start_program, exits.
        """
        def other():
            fresh = [w for w in self.windows_titled(title) if w not in exclude]
            if not fresh and program is not None and program.poll() is not None:
                raise AssertionError(f'the program exited with code {program.returncode:#x} '
                                     f'before showing a window titled "{title}"'
                                     + (f"; its output is in {program.log}" if program.log else ""))
            return fresh[0] if fresh else None
        return wait_until(f'a window titled "{title}"' + (" besides the known ones" if exclude else ""),
                          other, timeout)

    def wait_window_gone(self, title, window, timeout=10):
        wait_until(f'window {window} ("{title}") to close',
                   lambda: window not in self.windows_titled(title), timeout)

    def wait_mapped(self, window, timeout=10):
        """Waits until X shows window, which xdotool can focus only then."""
        def viewable():
            state = self._x("xwininfo", "-id", str(window), ok_codes=(0, 1)).stdout
            return "Map State: IsViewable" in state
        wait_until(f"X window {window} to be shown", viewable, timeout)

    def geometry(self, window):
        """(x, y, width, height) of an X window on the screen."""
        result = self._x("xdotool", "getwindowgeometry", "--shell", str(window))
        values = dict(line.split("=", 1) for line in result.stdout.split() if "=" in line)
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def focus(self, window):
        """Gives window the keyboard.  X focus does not follow clicks here;
        and keys go to Wine's foreground window, which follows the X focus
        only once the program has handled the change."""
        self._x("xdotool", "windowfocus", "--sync", str(window))
        wait_until(f"Wine to bring X window {window} to the foreground",
                   lambda: self.win32_foreground() == window, 10)

    def key(self, *keys):
        """Sends key strokes such as 'alt+a', 'Return', to the focused window."""
        self._x("xdotool", "key", *keys)

    def bind_characters(self, text):
        """Gives every non-ASCII character of text a key of its own.

        xdotool types a character missing from the keymap by remapping a
        spare key for a moment, and Wine often misses that change.  With a
        key bound before the program starts, Wine has it in the keymap it
        reads at start-up, and xdotool finds and presses it like any other.
        Wine's desktop process must be up before the keys are bound, so the
        probe starts it: started after them, together with the program, it
        let the program miss some bound characters in 6 runs of 6.
        """
        self.win32_windows()
        table = self._x("xmodmap", "-pke").stdout
        free = [int(m.group(1)) for m in re.finditer(r"^keycode\s+(\d+) =\s*$", table, re.M)]
        wanted = sorted({c for c in text if ord(c) > 127})
        if len(free) < len(wanted):
            raise RuntimeError(f"only {len(free)} free keys for {len(wanted)} characters")
        args = []
        for code, char in zip(free, wanted):
            args += ["-e", f"keycode {code} = U{ord(char):04X} U{ord(char):04X}"]
        self._x("xmodmap", *args)

    def type_text(self, text, delay_ms=None):
        """Types text; a character outside the keymap needs a remapped key,
        which Wine may miss at xdotool's default pace, hence delay_ms."""
        pace = ["--delay", str(delay_ms)] if delay_ms else []
        self._x("xdotool", "type", *pace, "--", text, timeout=10 + len(text) * (delay_ms or 0) / 1000)

    def click(self, x, y, button=1):
        """Clicks at screen pixel (x, y)."""
        self._x("xdotool", "mousemove", "--sync", str(x), str(y), "click", str(button))

    def mouse_down(self, x, y, button=1):
        """Moves the pointer to screen pixel (x, y) and presses a button, holding it."""
        self._x("xdotool", "mousemove", "--sync", str(x), str(y), "mousedown", str(button))

    def mouse_up(self, button=1):
        """Releases a button pressed with mouse_down, wherever the pointer is."""
        self._x("xdotool", "mouseup", str(button))

    # --- pictures -------------------------------------------------------------

    def screenshot(self, window=None):
        """The whole screen, or one X window, as an Image.

        A message box's pixels show in a capture of the box itself but stay
        black in a capture of the root window, so capture dialogs by id.
        """
        target = ["-id", str(window)] if window else ["-root"]
        xwd = run_checked(["xwd", *target, "-silent"], env=self.env, timeout=30).stdout
        ppm = run_checked(["convert", "xwd:-", "-depth", "8", "ppm:-"], input=xwd, timeout=30).stdout
        return Image.from_ppm(ppm)

    def poll_screen(self, region, ready, timeout, window=None):
        """Screenshots region (x, y, width, height) until ready(image) holds.

        region is on the screen, or in window when one is given.  Returns
        (image, True) on success and (last image, False) once the timeout
        passes, so the caller can still say what is wrong with it.
        """
        deadline = time.monotonic() + timeout
        while True:
            image = self.screenshot(window).crop(*region)
            if ready(image):
                return image, True
            if time.monotonic() >= deadline:
                return image, False
            time.sleep(0.05)

    # --- Win32's view -----------------------------------------------------------

    def win32_windows(self):
        """Visible top-level windows and their visible children, per Win32."""
        return self._probe_windows()[0]

    def win32_foreground(self):
        """The X window of Win32's foreground window, 0 if there is none."""
        return self._probe_windows()[1]

    def _run_probe(self, *args, env=()):
        """What winprobe.exe prints, run with these variables beyond the session's."""
        if self._probe is None:
            self._probe = build_probe(self.out_dir)
        return run_checked(self._wine(WINE, self._probe, *args), env=dict(self.env, **dict(env)),
                           encoding="utf-8", errors="replace", timeout=30).stdout

    def _probe_windows(self):
        windows, foreground = [], 0
        for line in self._run_probe().splitlines():
            f = line.split("\t")
            if f[0] == "foreground":
                foreground = int(f[1])
            elif len(f) == 11:
                windows.append(Win32Window(int(f[0]), int(f[1]), int(f[2]), _unescape(f[3]),
                                           _unescape(f[4]), *map(int, f[5:])))
        return windows, foreground

    def code_page(self, env=()):
        """The ANSI code page of a program started with these variables."""
        return int(self._run_probe("acp", env=env))

    def wait_win32_window(self, class_name, title=None, timeout=10):
        """The visible top-level windows of this class (and title, if given), once there are any."""
        def matching():
            return [w for w in self.win32_windows() if w.parent == 0 and w.class_name == class_name
                    and (title is None or w.title == title)]
        return wait_until(f'Win32 to list a window of class "{class_name}"'
                          + (f' titled "{title}"' if title is not None else ""), matching, timeout)

    def children(self, parent):
        return [w for w in self.win32_windows() if w.parent == parent.handle]

    def thread_caret(self, window):
        """GetGUIThreadInfo, from another process, for the thread of a
        Win32Window."""
        fields = self._run_probe("caret", str(window.handle)).split("\n")[0].split("\t")
        return ThreadCaret(*map(int, fields[1:]))

    def uia_element(self, window):
        """What UI Automation tells a client of another process about the
        element of this Win32 window: (control type, name, focusable,
        focused), or None when the window gives none."""
        fields = self._run_probe("uia", str(window.handle)).strip().split("\t")
        if fields[0] != "uia" or fields[1:] == ["none"] or len(fields) != 5:
            return None
        control_type, name, focusable, focused = fields[1:]
        return (int(control_type) if control_type != "-" else None, _unescape(name),
                focusable == "1", focused == "1")

    def font(self, points, charset, face, text=""):
        """The font Wine gives for this request, with the glyphs of text."""
        args = [str(points), str(charset), face, *(str(ord(c)) for c in text)]
        lines = iter(self._run_probe("font", *args).splitlines())
        fields = {}
        glyphs = []
        for line in lines:
            key, *values = line.split("\t")
            if key == "request":
                fields[key] = "\t".join(values)
                continue
            if key != "glyph":
                fields[key] = _unescape(values[0]) if values else ""
                continue
            code, present, a, b, c, width, height = map(int, values)
            rows = [bytes.fromhex(next(lines)) for _ in range(height)]
            glyphs.append(Glyph(chr(code), bool(present), a, b, c, Image(width, height, b"".join(rows))))
        request_height, log_pixels_y = map(int, fields["request"].split("\t"))
        return Font(fields["face"], fields["font"], int(fields["height"]), int(fields["external_leading"]),
                    glyphs, request_height, log_pixels_y)


def make_template(path):
    """Boots a prefix at path for sessions to copy (see TEMPLATE_ENV)."""
    with Session(screen="640x480x24", prefix=path):
        pass


def ensure_prefix(env, settings=(), timeout=120):
    """Creates the prefix in env['WINEPREFIX'] if needed and brings its
    settings (PREFIX_SETTINGS and these) up to date.  Waits for the prefix's
    Wine server to save and exit, so use it while no program of the prefix runs."""
    prefix = Path(env["WINEPREFIX"])
    if not (prefix / "system.reg").exists():
        prefix.parent.mkdir(parents=True, exist_ok=True)
        run_checked([WINE, "wineboot", "-i"], env=env, timeout=timeout, stdout=subprocess.DEVNULL)
        run_checked([WINESERVER, "-w"], env=env, timeout=timeout, stdout=subprocess.DEVNULL)
    missing = missing_settings(prefix, PREFIX_SETTINGS + tuple(settings))
    if not missing:
        return
    # One Wine command for all values: a second one started while the server
    # of the first shuts down may fail.  Then the saved files must hold them.
    reg = prefix / "drive_c" / "inkwarden-settings.reg"
    reg.write_text("REGEDIT4\r\n" + "".join(f"\r\n[{hive}\\{key}]\r\n{value}\r\n" for hive, key, value in missing))
    try:
        run_checked([WINE, "regedit", "/S", r"C:\inkwarden-settings.reg"], env=env, timeout=timeout,
                    stdout=subprocess.DEVNULL)
        run_checked([WINESERVER, "-w"], env=env, timeout=timeout, stdout=subprocess.DEVNULL)
    finally:
        reg.unlink()
    left = missing_settings(prefix, missing)
    if left:
        raise RuntimeError(f"regedit did not store {left} in {prefix}")


def missing_settings(prefix, settings):
    """The settings that the registry files the prefix's server saved lack."""
    texts = {}
    missing = []
    for hive, key, value in settings:
        if hive not in texts:
            path = Path(prefix) / HIVE_FILES[hive]
            texts[hive] = path.read_text(errors="replace") if path.exists() else ""
        text = texts[hive]
        start = text.find("\n[" + key.replace("\\", "\\\\") + "]")
        end = text.find("\n[", start + 1)
        if start < 0 or value not in text[start:end if end > 0 else None].splitlines():
            missing.append((hive, key, value))
    return missing


def _reap(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(5)

