#!/usr/bin/env bash
# Runs the Windows build of Inkwarden: directly on Windows, under Wine elsewhere.
#   tools/wine-run.sh build/windows/inkwarden.exe
# With a usable X display the program runs there until it exits.  Without
# one it runs on a private Xvfb just long enough to save a screenshot.
# The Wine prefix lives in $INKWARDEN_WINEPREFIX, by default
# ~/.local/share/inkwarden-wine, and is created on first use; every run
# brings its settings (such as the pinned text font) up to date.
set -euo pipefail

exe=${1:?usage: tools/wine-run.sh path/to/inkwarden.exe}
if [ ! -f "$exe" ]; then
    echo "wine-run: $exe does not exist; build it with 'make windows'" >&2
    exit 1
fi

case "$(uname -s)" in
    MINGW* | MSYS* | CYGWIN*) exec "$exe" ;;
esac

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
prefix=${INKWARDEN_WINEPREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/inkwarden-wine}
exe=$(realpath "$exe")
if [ ! -f "$prefix/system.reg" ]; then
    echo "wine-run: creating the Wine prefix $prefix (takes a few seconds)" >&2
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
    wine=$(python3 - "$repo/e2e" <<'PY'
import os, sys
sys.path.insert(0, sys.argv[1])
import winelib
winelib.ensure_prefix(dict(os.environ))
print(winelib.WINE)
PY
)
    exec "$wine" "$exe"
fi

echo "wine-run: no usable X display${DISPLAY:+ at $DISPLAY}; running on Xvfb for a screenshot" >&2
python3 - "$repo/e2e" "$exe" "$repo/build/inkwarden-screenshot.png" "$prefix" <<'PY'
import sys, time
sys.path.insert(0, sys.argv[1])
import winelib
exe, shot, prefix = sys.argv[2:]
with winelib.Session(screen="1280x1024x24", prefix=prefix) as session:
    program = session.start_program(exe)
    window = session.wait_for_window("Inkwarden", timeout=30, program=program)
    region = session.geometry(window)  # the X window: client area plus menu bar
    # A freshly mapped window is black until it has painted.
    session.poll_screen(region, lambda image: image.rgb.count(0) < len(image.rgb) // 2, timeout=5)
    time.sleep(0.5)
    session.screenshot().crop(*region).save_png(shot)
print(shot)
PY
