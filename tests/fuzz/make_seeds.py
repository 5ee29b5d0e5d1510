#!/usr/bin/env python3
"""Writes the seed corpus of the file-open target: the file format's edge
cases.  The message target's seeds are written by hand in its own folder."""
import os

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "file_open")
MARK = b"\xff\xfe"


def le(units):
    return b"".join(u.to_bytes(2, "little") for u in units)


def text(count):
    # Short lines, so the boundary files lay out quickly.
    return [ord("a") if i % 40 < 38 else (13 if i % 40 == 38 else 10) for i in range(count)]


SEEDS = {
    "empty": b"",
    "one-byte": b"\xff",
    "mark-only": MARK,
    "empty-document": MARK + b"\0\0",
    "big-endian": b"\xfe\xff\x00a\x00b",
    "utf8": "中文 text\r\n".encode("utf-8"),
    "utf8-bom": b"\xef\xbb\xbf" + "中".encode("utf-8"),
    "odd-length": MARK + b"a\0b",
    "odd-with-zero": MARK + b"a\0\0",
    "embedded-zeros": MARK + le([ord("a"), 0, 0, ord("b"), 0, ord("c")]),
    "lone-surrogates": MARK + le([0xD800, ord("a"), 0xDC00, 0xDBFF, 0xDFFF, 0xD800]),
    "line-ends": MARK + le([ord("a"), 13, 10, ord("b"), 10, ord("c"), 13, ord("d"), 13, 10]),
    "crlf-at-end": MARK + le([ord("a"), 13, 10, 0]),
    "two-marks": MARK + MARK + le([ord("x")]),
    # 2 + 2k bytes around the limit of 32,768 units, terminator included.
    "units-32766-open": MARK + le(text(32766)),
    "units-32767-open": MARK + le(text(32767)),
    "units-32767-closed": MARK + le(text(32766) + [0]),
    "units-32768-closed": MARK + le(text(32767) + [0]),
    "units-32768-open": MARK + le(text(32768)),
    "units-32769-closed": MARK + le(text(32768) + [0]),
    "odd-65539": MARK + le(text(32768)) + b"a",
}

os.makedirs(HERE, exist_ok=True)
for name, data in SEEDS.items():
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)

# The message target reads a byte stream of operations (see the Op list in
# messages_fuzzer.cpp) behind three bytes: the window size (0: 600 x 240,
# 10: 400 x 300, 13: 817 x 320, 15: 900 x 1000), the resolution (0: 144 dpi,
# else 96) and the glyph bits (1: b overhangs, 2: a is wide, 4: space has a B
# width of 0, 8: the width of 中 fails, 16: x overhangs); these seeds walk
# each kind once or twice.
# An operation's byte: the first of its slots in kOps.
TYPE, KEY, CLICK, MOUSE, COMMAND, SCROLL, SIZE, TICKS, FILE, BOX, CLIPBOARD, FAULT = (
    0, 8, 16, 19, 20, 24, 25, 26, 27, 29, 30, 31)
UNIT = {"a": 0, "b": 1, " ": 2, "中": 3, "\r": 4, "\n": 5, "\0": 6, "x": 14, "y": 1, "z": 0, "c": 14}
K = {"left": 0, "right": 1, "up": 2, "down": 3, "home": 4, "end": 5, "prior": 6, "next": 7,
     "escape": 8, "tab": 9, "return": 10, "back": 11, "delete": 12, "space": 13, "x": 14,
     "c": 15, "v": 16, "d": 17}
C = {"new": 0, "open": 1, "save": 2, "print": 3, "exit": 4, "cut": 5, "copy": 6, "paste": 7,
     "delete": 8, "all": 9, "wrapno": 10, "wrapyes": 11, "points": 12, "about": 13}


def typed(s):
    return b"".join(bytes([TYPE, UNIT[c]]) for c in s)


def key(name, shift=False, control=False):
    return bytes([KEY, K[name], shift | control << 1])


def command(name, points=None):
    return bytes([COMMAND, C[name]] + ([points - 8] if points else []) + [1])


MESSAGES = {
    "typing": b"\0\1\0" + typed("ab 中\r\n\0") + key("return") + key("tab") + key("back")
    + key("left", shift=True) + key("delete") + key("home") + key("end", shift=True) + typed("b"),
    "clipboard": b"\0\1\x1f" + typed("abab") + command("all") + command("cut") + command("paste")
    + command("paste") + key("left", shift=True) + key("c", control=True) + key("v", control=True)
    + bytes([CLIPBOARD, 2, 6]) + b"x\0\0\0y\0" + command("paste") + bytes([CLIPBOARD, 1])
    + command("paste") + bytes([CLIPBOARD, 0]) + command("paste"),
    "files": b"\0\0\0" + bytes([FILE, 1, 1, 8]) + "a\r\n".encode("utf-16-le") + b"b\0"
    + command("open") + typed("x") + bytes([FILE, 4]) + command("save") + typed("y")
    + bytes([BOX, 1]) + command("new") + typed("z") + bytes([BOX, 0, FILE, 3]) + command("open")
    + bytes([BOX, 2]) + command("new") + bytes([FILE, 2, 3, 0, FILE, 4, BOX, 1]) + command("open"),
    "picker": b"\0\1\0" + bytes([CLICK, 0, 13, 3, 3, 0, 1]) + key("right") + key("return")
    + key("tab", shift=True) + key("tab") + key("space") + bytes([CLICK, 0, 1, 2, 2, 0, 0])
    + bytes([TICKS, 25, TICKS, 10, TICKS, 200, MOUSE, 1, 0, 0, 0, 0]) + key("prior")
    + key("home", control=True) + bytes([CLICK, 1, 100, 0, 50, 0, 0, 1]) + typed("a"),
    "limits": b"\0\1\x1f" + bytes([CLIPBOARD, 7, 3, 0]) + command("paste") + typed("a")
    + key("return") + command("all") + typed("b") + command("paste")
    + bytes([CLIPBOARD, 7, 4, 1]) + command("paste"),
    "settings": b"\x0d\1\x1f" + typed("a b 中 ") * 8 + command("points", 72) + command("wrapno")
    + command("points", 8) + command("wrapyes") + bytes([SIZE, 2, 0, 2, 0, 1, SIZE, 0, SIZE, 1])
    + bytes([SCROLL, 3, 0, 0, SCROLL, 4, 3, 0]) + key("next") + key("up", shift=True),
    "faults": b"\x0a\1\x03" + typed("ab") + bytes([FAULT, 0, 0]) + typed("c") + command("all")
    + bytes([FAULT, 1, 0]) + command("copy") + bytes([FAULT, 2, 0]) + command("cut")
    + bytes([CLIPBOARD, 4]) + command("paste") + command("cut") + bytes([CLIPBOARD, 4, CLIPBOARD, 6])
    + command("cut") + bytes([FILE, 5, 0, 0, FILE, 4]) + command("save"),
    "select-all-empty": b"\0\1\0" + command("all") + typed("a"),
    "long-lines": b"\x0d\1\x01" + (typed("ab中 x") * 9 + key("left") + typed("b") + key("back"))
    * 2 + key("home") + key("return") + key("up") + key("end") + typed("x") + key("delete") * 3,
    # Scrolled to the bottom, then shorter by a page: TopLine is pulled up.
    "shrinking-under-the-view": b"\x0f\1\0" + bytes([CLIPBOARD, 7, 0, 3]) + command("paste")
    + bytes([SCROLL, 7, 0, 0]) + key("back") * 10,
    # A lone CR that a Delete pairs with its LF, the caret between them; then
    # the CR alone is selected and let go.
    "selected-lone-cr": b"\0\1\0" + bytes([CLIPBOARD, 2, 16]) + "ab\rX\ncd\0".encode("utf-16-le")
    + command("paste") + key("right") * 4 + key("delete") + key("right", shift=True) + key("escape"),
    # One unit over the limit without a terminator is refused; one under opens.
    "open-too-large": b"\0\1\0" + bytes([FILE, 2, 4, 0, 0]) + command("open")
    + bytes([FILE, 2, 3, 0, 0]) + command("open") + typed("a"),
    "closing": b"\x0f\1\x1f" + typed("ab") + command("print") + command("about") + bytes([BOX, 2])
    + command("exit") + bytes([BOX, 1]) + command("exit"),
}

HERE = os.path.join(os.path.dirname(HERE), "messages")
os.makedirs(HERE, exist_ok=True)
for name, data in MESSAGES.items():
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)
