"""The profile half of make bench: counts the wineserver requests and the X
requests each measured step makes, for Inkwarden and for the EDIT control.

The wineserver runs in the foreground with request tracing on, so every
request of every thread lands in one ordered log.  X requests go through a
small proxy display that reads the protocol's request headers and tells the
clients apart by process.  The driver brackets every measured step with a
mark line and waits; the counts are taken between the marks once every
process involved has gone to sleep and neither stream has moved for a
while, so the requests a step leaves for its idle time (Wine flushes the
window's pixels to X when the program next waits) are counted with it.
"""

import os
import re
import select
import socket
import struct
import subprocess
import threading
import time
from collections import Counter, defaultdict
from pathlib import Path

CORE_REQUESTS = (
    None, "CreateWindow", "ChangeWindowAttributes", "GetWindowAttributes", "DestroyWindow",
    "DestroySubwindows", "ChangeSaveSet", "ReparentWindow", "MapWindow", "MapSubwindows", "UnmapWindow",
    "UnmapSubwindows", "ConfigureWindow", "CirculateWindow", "GetGeometry", "QueryTree", "InternAtom",
    "GetAtomName", "ChangeProperty", "DeleteProperty", "GetProperty", "ListProperties", "SetSelectionOwner",
    "GetSelectionOwner", "ConvertSelection", "SendEvent", "GrabPointer", "UngrabPointer", "GrabButton",
    "UngrabButton", "ChangeActivePointerGrab", "GrabKeyboard", "UngrabKeyboard", "GrabKey", "UngrabKey",
    "AllowEvents", "GrabServer", "UngrabServer", "QueryPointer", "GetMotionEvents", "TranslateCoordinates",
    "WarpPointer", "SetInputFocus", "GetInputFocus", "QueryKeymap", "OpenFont", "CloseFont", "QueryFont",
    "QueryTextExtents", "ListFonts", "ListFontsWithInfo", "SetFontPath", "GetFontPath", "CreatePixmap",
    "FreePixmap", "CreateGC", "ChangeGC", "CopyGC", "SetDashes", "SetClipRectangles", "FreeGC", "ClearArea",
    "CopyArea", "CopyPlane", "PolyPoint", "PolyLine", "PolySegment", "PolyRectangle", "PolyArc", "FillPoly",
    "PolyFillRectangle", "PolyFillArc", "PutImage", "GetImage", "PolyText8", "PolyText16", "ImageText8",
    "ImageText16", "CreateColormap", "FreeColormap", "CopyColormapAndFree", "InstallColormap",
    "UninstallColormap", "ListInstalledColormaps", "AllocColor", "AllocNamedColor", "AllocColorCells",
    "AllocColorPlanes", "FreeColors", "StoreColors", "StoreNamedColor", "QueryColors", "LookupColor",
    "CreateCursor", "CreateGlyphCursor", "FreeCursor", "RecolorCursor", "QueryBestSize", "QueryExtension",
    "ListExtensions", "ChangeKeyboardMapping", "GetKeyboardMapping", "ChangeKeyboardControl",
    "GetKeyboardControl", "Bell", "ChangePointerControl", "GetPointerControl", "SetScreenSaver",
    "GetScreenSaver", "ChangeHosts", "ListHosts", "SetAccessControl", "SetCloseDownMode", "KillClient",
    "RotateProperties", "ForceScreenSaver", "SetPointerMapping", "GetPointerMapping", "SetModifierMapping",
    "GetModifierMapping")
QUERY_EXTENSION = 98
EXTENSION_REQUESTS = {"MIT-SHM": {0: "QueryVersion", 1: "Attach", 2: "Detach", 3: "PutImage", 4: "GetImage",
                                  5: "CreatePixmap"},
                      "XFIXES": {5: "CreateRegion", 10: "DestroyRegion", 11: "SetRegion"},
                      "SHAPE": {1: "Rectangles", 2: "Mask", 3: "Combine"}}
SERVER_REQUEST = re.compile(rb"^([0-9a-f]{4,8}): ([a-z_0-9]+)\( ", re.M)


def _pad(n):
    return (n + 3) & ~3


class _Client:
    """One X connection: the client's pid and the state of both streams."""

    def __init__(self, pid):
        self.pid = pid
        self.up = b""      # client to server, not yet parsed
        self.down = b""    # server to client, not yet parsed
        self.setup_up = self.setup_down = True
        self.little = True
        self.sequence = 0
        self.pending_extensions = {}  # sequence number -> extension name
        self.extensions = {}           # major opcode -> extension name


class XProxy:
    """A display of its own that forwards to a real one and counts requests."""

    def __init__(self, target_display):
        self.target = "/tmp/.X11-unix/X" + target_display.lstrip(":").split(".")[0]
        number = 700
        while os.path.exists(f"/tmp/.X11-unix/X{number}") or os.path.exists(f"/tmp/.X{number}-lock"):
            number += 1
        self.path = f"/tmp/.X11-unix/X{number}"
        self.display = f":{number}"
        self.listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.listener.bind(self.path)
        self.listener.listen(16)
        self.lock = threading.Lock()
        self.counts = defaultdict(Counter)  # pid -> request name -> count
        self.moved = 0                       # bytes forwarded either way
        self.stopping = False
        self.thread = threading.Thread(target=self._run, daemon=True)
        self.thread.start()

    def close(self):
        self.stopping = True
        self.thread.join(5)
        self.listener.close()
        try:
            os.unlink(self.path)
        except OSError:
            pass

    def snapshot(self):
        with self.lock:
            return {pid: Counter(c) for pid, c in self.counts.items()}, self.moved

    def _run(self):
        peers = {}  # socket -> (other socket, client, is the client side)
        while not self.stopping:
            readable, _, _ = select.select([self.listener, *peers], [], [], 0.1)
            for sock in readable:
                if sock is self.listener:
                    self._accept(peers)
                    continue
                other, client, from_client = peers.get(sock, (None, None, None))
                if other is None:
                    continue
                try:
                    data = sock.recv(1 << 16)
                except OSError:
                    data = b""
                if not data:
                    for s in (sock, other):
                        peers.pop(s, None)
                        s.close()
                    continue
                other.sendall(data)
                with self.lock:
                    self.moved += len(data)
                    if from_client:
                        client.up += data
                        self._parse_up(client)
                    else:
                        client.down += data
                        self._parse_down(client)

    def _accept(self, peers):
        conn, _ = self.listener.accept()
        pid = struct.unpack("3i", conn.getsockopt(socket.SOL_SOCKET, socket.SO_PEERCRED, 12))[0]
        upstream = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        upstream.connect(self.target)
        client = _Client(pid)
        peers[conn] = (upstream, client, True)
        peers[upstream] = (conn, client, False)

    def _parse_up(self, c):
        while True:
            if c.setup_up:
                if len(c.up) < 12:
                    return
                c.little = c.up[0:1] == b"l"
                fmt = "<" if c.little else ">"
                name_len, data_len = struct.unpack(fmt + "HH", c.up[6:10])
                size = 12 + _pad(name_len) + _pad(data_len)
                if len(c.up) < size:
                    return
                c.up = c.up[size:]
                c.setup_up = False
                continue
            if len(c.up) < 4:
                return
            fmt = "<" if c.little else ">"
            opcode, minor = c.up[0], c.up[1]
            length = struct.unpack(fmt + "H", c.up[2:4])[0]
            if length == 0:  # BIG-REQUESTS
                if len(c.up) < 8:
                    return
                length = struct.unpack(fmt + "I", c.up[4:8])[0]
            size = length * 4
            if len(c.up) < size:
                return
            c.sequence = (c.sequence + 1) & 0xFFFF
            if opcode == QUERY_EXTENSION:
                name_len = struct.unpack(fmt + "H", c.up[4:6])[0]
                c.pending_extensions[c.sequence] = c.up[8:8 + name_len].decode("latin-1")
            self.counts[c.pid][self._name(c, opcode, minor)] += 1
            c.up = c.up[size:]

    @staticmethod
    def _name(c, opcode, minor):
        if opcode < len(CORE_REQUESTS) and CORE_REQUESTS[opcode]:
            return CORE_REQUESTS[opcode]
        if opcode == 127:
            return "NoOperation"
        extension = c.extensions.get(opcode, f"extension {opcode}")
        return f"{extension}:{EXTENSION_REQUESTS.get(extension, {}).get(minor, minor)}"

    def _parse_down(self, c):
        fmt = "<" if c.little else ">"
        while True:
            if c.setup_down:
                if len(c.down) < 8:
                    return
                size = 8 + 4 * struct.unpack(fmt + "H", c.down[6:8])[0]
                if len(c.down) < size:
                    return
                c.down = c.down[size:]
                c.setup_down = False
                continue
            if len(c.down) < 32:
                return
            kind = c.down[0] & 0x7F
            size = 32
            if kind == 1 or kind == 35:  # a reply, or a generic event
                size += 4 * struct.unpack(fmt + "I", c.down[4:8])[0]
            if len(c.down) < size:
                return
            if kind == 1:
                sequence = struct.unpack(fmt + "H", c.down[2:4])[0]
                name = c.pending_extensions.pop(sequence, None)
                if name and c.down[8]:
                    c.extensions[c.down[9]] = name
            c.down = c.down[size:]


def _server_started(env):
    """Whether the wineserver of env's prefix has made its socket, in env's
    TMPDIR (its folder's name varies by build)."""
    info = os.stat(env["WINEPREFIX"])
    name = f"server-{info.st_dev:x}-{info.st_ino:x}/socket"
    return any(Path(env.get("TMPDIR", "/tmp")).glob(f"*wine*/{name}"))


def _sleeping(pids):
    """Whether every thread of these processes is asleep."""
    for pid in pids:
        try:
            tasks = os.listdir(f"/proc/{pid}/task")
        except OSError:
            continue
        for task in tasks:
            try:
                stat = Path(f"/proc/{pid}/task/{task}/stat").read_text()
            except OSError:
                continue
            if stat[stat.rindex(")") + 2] not in "SIZ":
                return False
    return True


class RequestCounter:
    """Runs the profile session: a traced wineserver, the proxy, the driver."""

    QUIET = 0.04  # seconds both streams must stay still, with everyone asleep

    def __init__(self, session, out_dir):
        self.session = session
        self.proxy = XProxy(session.display)
        session.env = dict(session.env, DISPLAY=self.proxy.display)
        self.trace_path = Path(out_dir) / "server-trace.log"
        # The session's own server is persistent: end it, or -w waits forever.
        for flag in ("-k", "-w"):
            subprocess.run([session_wineserver(), flag], env=session.env, timeout=60, check=False,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.trace = open(self.trace_path, "wb")
        self.server = subprocess.Popen([session_wineserver(), "-f", "-p", "-d1"], env=session.env,
                                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=self.trace)
        deadline = time.monotonic() + 30
        while not _server_started(session.env):
            if time.monotonic() > deadline or self.server.poll() is not None:
                raise RuntimeError("the traced wineserver did not start")
            time.sleep(0.05)
        self.watched = [self.server.pid]

    def close(self):
        # The prefix's own services die with their server only when it is
        # ended as the server's clients expect; a server that is merely
        # terminated leaves them running.
        subprocess.run([session_wineserver(), "-k"], env=self.session.env, timeout=30, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            self.server.wait(15)
        except subprocess.TimeoutExpired:
            pass
        self.proxy.close()
        if self.server.poll() is None:
            self.server.terminate()
            try:
                self.server.wait(10)
            except subprocess.TimeoutExpired:
                self.server.kill()
                self.server.wait(5)
        self.trace.close()

    def settle(self):
        """Waits until the requests a step made have all been seen."""
        deadline = time.monotonic() + 10
        last = None
        still_since = time.monotonic()
        while time.monotonic() < deadline:
            now = (self.trace_path.stat().st_size, self.proxy.snapshot()[1])
            if now != last or not _sleeping(self.watched):
                last, still_since = now, time.monotonic()
            elif time.monotonic() - still_since >= self.QUIET:
                return
            time.sleep(0.005)

    def run_driver(self, driver, args, programs):
        """Runs the driver; returns its output and, per measured step, the counts.

        programs maps a name ("Inkwarden", "EDIT") to the unix pid of its process.
        """
        self.watched = [self.server.pid, *programs.values()]
        pid_names = {pid: name for name, pid in programs.items()}
        process = subprocess.Popen([driver_wine(), str(driver), *map(str, args)], env=self.session.env,
                                   stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        output, threads, steps = [], {}, []
        begin = None
        for raw in process.stdout:
            line = raw.decode(errors="replace").rstrip("\r\n")
            f = line.split("\t")
            if f[0] == "thread":
                threads[f[2].lower().lstrip("0") or "0"] = f[1]
            if f[0] != "mark":
                output.append(line)
                continue
            self.settle()
            x_counts, _ = self.proxy.snapshot()
            here = (self.trace_path.stat().st_size, x_counts)
            if f[1] == "begin":
                begin = here
            elif begin:
                steps.append(((f[2], int(f[3]), f[4], f[5]),
                              self._server_between(begin[0], here[0], threads),
                              self._x_between(begin[1], here[1], pid_names)))
                begin = None
            process.stdin.write(b"\n")
            process.stdin.flush()
        process.wait(60)
        if process.returncode != 0:
            raise SystemExit(f"the profiling driver failed ({process.returncode}): "
                             f"{process.stderr.read().decode(errors='replace').strip()}")
        return "\n".join(output), steps

    def _server_between(self, start, end, threads):
        with open(self.trace_path, "rb") as trace:
            trace.seek(start)
            chunk = trace.read(end - start)
        counts = defaultdict(Counter)
        for tid, name in SERVER_REQUEST.findall(chunk):
            who = threads.get(tid.decode().lstrip("0") or "0", "other")
            counts[who][name.decode()] += 1
        return counts

    @staticmethod
    def _x_between(before, after, pid_names):
        counts = defaultdict(Counter)
        for pid, names in after.items():
            who = pid_names.get(pid, "other")
            counts[who].update(names - before.get(pid, Counter()))
        return counts


def session_wineserver():
    import winelib  # noqa: E402  (run_bench puts e2e/ on the path)
    return winelib.WINESERVER


def driver_wine():
    import winelib  # noqa: E402
    return winelib.WINE
