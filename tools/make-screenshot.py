#!/usr/bin/env python3
"""Makes the README's picture: Inkwarden under Wine with a short Chinese
text, part of it selected, and the character picker holding the keyboard.

    tools/make-screenshot.py build/windows/inkwarden.exe docs/screenshot.png

It runs the program on a private Xvfb display in a fresh Wine prefix
(e2e/winelib.py), so the same build and fonts give the same picture.
"""

import subprocess
import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(REPO / "e2e"))
import winelib  # noqa: E402

LINES = ["床前明月光，", "疑是地上霜。", "舉頭望明月，", "低頭思故鄉。"]
SELECTED = 4  # the last characters, selected with Shift+Right


def settled(session, region, timeout=20):
    """The picture of region once it has stayed the same for a second.

    A picture for the README, not a test: a second in which nothing moves
    is taken as every key sent so far handled.  Look at the result.
    """
    same_since, previous = None, None
    deadline = time.monotonic() + timeout
    while True:
        image = session.screenshot().crop(*region)
        now = time.monotonic()
        if previous is None or image.rgb != previous.rgb or image.rgb.count(0) > len(image.rgb) // 2:
            same_since, previous = now, image  # changed, or still black before the first paint
        elif now - same_since >= 1:
            return image
        if now >= deadline:
            raise winelib.Timeout(f"the window still changed after {timeout} s")
        time.sleep(0.2)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: tools/make-screenshot.py path/to/inkwarden.exe out.png")
    exe, out = Path(sys.argv[1]).resolve(), Path(sys.argv[2])
    with winelib.Session(screen="1280x1024x24") as session:
        program = session.start_program(exe)
        window = session.wait_for_window("Inkwarden", timeout=30, program=program)
        region = session.geometry(window)  # client area, menu bar and scroll bar
        settled(session, region)
        session.focus(window)
        # Pasted, not typed: Wine drops many of a long run of remapped keys.
        # xclip serves the X clipboard in the background until the display ends.
        subprocess.run(["xclip", "-selection", "clipboard", "-i"], input="\n".join(LINES).encode("utf-8"),
                       env=session.env, check=True, timeout=10, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        session.key("ctrl+v")
        session.key(*["shift+Right"] * SELECTED)
        session.key("shift+Tab", "Tab", "Right", "Right")  # the picker, on its third cell
        image = settled(session, region)
    out.parent.mkdir(parents=True, exist_ok=True)
    # -strip leaves out the file's times, so the same picture gives the same bytes.
    subprocess.run(["convert", "ppm:-", "-strip", f"png:{out}"], input=image.to_ppm(), check=True, timeout=30)
    print(out)


if __name__ == "__main__":
    main()
