#!/usr/bin/env python3
"""make bench: times Inkwarden against the system's EDIT control under Wine,
counts the platform calls of the same scenarios on winsim, prints one table
and writes it, with a chart, into README.md.

The Wine half runs inkwarden.exe, the peer (bench/peer.c) and the driver
(bench/driver.c) in one private Xvfb session with a prefix made as the
end-to-end tests make theirs, font pin included.
"""

import argparse
import datetime
import os
import platform
import re
import subprocess
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
REPO = HERE.parent
sys.path.insert(0, str(REPO / "e2e"))
import winelib  # noqa: E402

SCENARIOS = ("Typing at the end", "Typing at the start", "Backspace in the middle", "Page Down",
             "Open", "Open after the dialog", "Font size change", "Empty message", "One-pixel repaint")
BEGIN, END = "<!-- bench:begin -->", "<!-- bench:end -->"
CHART = "docs/bench.png"
FONT = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"


def build(source, out_dir, *flags):
    exe = out_dir / (source.stem + ".exe")
    if exe.exists() and exe.stat().st_mtime >= max(p.stat().st_mtime for p in HERE.glob("*.[ch]")):
        return exe
    out_dir.mkdir(parents=True, exist_ok=True)
    subprocess.run([winelib.MINGW_CC, "-O2", "-Wall", "-Wextra", "-static", f"-I{REPO}", *flags,
                    "-o", str(exe), str(source), "-luser32", "-lgdi32"], check=True, timeout=300)
    return exe


def run_wine(exe, out_dir, keystrokes, commands):
    driver = build(HERE / "driver.c", out_dir)
    peer = build(HERE / "peer.c", out_dir, "-mwindows")
    with winelib.Session(screen="1800x1100x24", out_dir=out_dir) as session:
        program = session.start_program(exe, log=out_dir / "inkwarden.log")
        session.wait_for_window("Inkwarden", program=program, timeout=60)
        peer_program = session.start_program(peer, log=out_dir / "peer.log")
        session.wait_for_window("Inkwarden Bench Peer", program=peer_program, timeout=60)
        result = subprocess.run([winelib.WINE, str(driver), str(keystrokes), str(commands)], env=session.env,
                                capture_output=True, text=True, timeout=3600)
    if result.returncode != 0:
        raise SystemExit(f"the driver failed ({result.returncode}): {result.stderr.strip()}")
    return result.stdout


def run_counts(counts_exe, width, height):
    env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0")
    result = subprocess.run([str(counts_exe), str(width), str(height)], capture_output=True, text=True,
                            check=True, timeout=600, env=env)
    counts = {}
    for line in result.stdout.splitlines():
        scenario, size, *values = line.split("\t")
        counts[(scenario, int(size))] = tuple(map(int, values))
    return counts


def parse_times(output):
    times, gaps, client = {}, [], None
    for line in output.splitlines():
        f = line.split("\t")
        if f[0] == "client":
            client = (int(f[1]), int(f[2]))
        elif f[0] == "time":
            times[(f[1], int(f[2]), f[3])] = (float(f[4]), float(f[5]), int(f[6]))
        elif f[0] == "gap":
            gaps.append(f"{f[1]}: {f[2]}")
    return times, gaps, client


def rows(times, counts):
    keys = sorted({(s, n) for s, n, _ in times} | set(counts),
                  key=lambda k: (SCENARIOS.index(k[0]) if k[0] in SCENARIOS else 99, k[1]))
    for scenario, size in keys:
        ink = times.get((scenario, size, "Inkwarden"))
        edit = times.get((scenario, size, "EDIT"))
        yield scenario, size, ink, edit, counts.get((scenario, size))


def table(times, counts):
    lines = ["| scenario | units | Inkwarden median ms | p90 | EDIT median ms | p90 | EDIT ÷ Inkwarden "
             "| ABC queries | TextOut | fonts made | metric reads | paints |",
             "|---|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|"]
    for scenario, size, ink, edit, count in rows(times, counts):
        cells = [scenario, f"{size:,}"]
        cells += [f"{ink[0]:.2f}", f"{ink[1]:.2f}"] if ink else ["–", "–"]
        cells += [f"{edit[0]:.2f}", f"{edit[1]:.2f}"] if edit else ["–", "–"]
        cells.append(f"{edit[0] / ink[0]:.2f}" if ink and edit and ink[0] > 0 else "–")
        cells += [f"{c:,}" for c in count] if count else ["–"] * 5
        lines.append("| " + " | ".join(cells) + " |")
    return "\n".join(lines)


def chart(times, path, left_out):
    """Horizontal bars, median ms on a full document, drawn with ImageMagick.

    Open through the dialog is left out: the dialog's own closing dwarfs
    everything else.
    """
    bars = [(s, times.get((s, 32767, "Inkwarden")), times.get((s, 32767, "EDIT"))) for s in SCENARIOS
            if s != "Open" and s not in left_out]
    bars = [b for b in bars if b[1] or b[2]]
    if not bars:
        return False
    top = max(max(x[0] for x in b[1:] if x) for b in bars)
    width, label_w, row_h, bar_h, margin = 900, 230, 56, 20, 40
    height = margin * 2 + row_h * len(bars) + 30
    scale = (width - label_w - 120) / top
    draw = []
    for i, (scenario, ink, edit) in enumerate(bars):
        y = margin + i * row_h
        draw += [f"fill black text 10,{y + 26} '{scenario}'"]
        for j, (sample, colour) in enumerate(((ink, "#2a6fb0"), (edit, "#c8641e"))):
            if sample:
                y0 = y + j * (bar_h + 2)
                x1 = label_w + max(1, int(sample[0] * scale))
                draw += [f"fill '{colour}' rectangle {label_w},{y0} {x1},{y0 + bar_h}",
                         f"fill black text {x1 + 6},{y0 + 15} '{sample[0]:.1f} ms'"]
    legend = height - 24
    draw += [f"fill '#2a6fb0' rectangle {label_w},{legend} {label_w + 14},{legend + 14}",
             f"fill black text {label_w + 20},{legend + 12} 'Inkwarden'",
             f"fill '#c8641e' rectangle {label_w + 130},{legend} {label_w + 144},{legend + 14}",
             f"fill black text {label_w + 150},{legend + 12} 'EDIT control'",
             f"fill black text 10,24 'Median time per step under Wine, 32,767-unit document'"]
    path.parent.mkdir(parents=True, exist_ok=True)
    font = ["-font", FONT] if Path(FONT).exists() else []
    subprocess.run(["convert", "-size", f"{width}x{height}", "xc:white", *font, "-pointsize", "15",
                    *sum((["-draw", d] for d in draw), []), "-define", "png:exclude-chunks=date,time",
                    str(path)], check=True, timeout=60)
    return True


TARGETS = (("Typing at the end", 1.0), ("Typing at the start", 4.0), ("Backspace in the middle", 2.0),
           ("Page Down", 5.0), ("Open after the dialog", 20.0), ("Font size change", 30.0))


def target_lines(times):
    """Each target on the full document, met or with the measured gap."""
    lines = []
    for scenario, limit in TARGETS:
        ink = times.get((scenario, 32767, "Inkwarden"))
        if ink:
            verdict = "met" if ink[0] <= limit else f"missed by {ink[0] - limit:.2f} ms"
            lines.append(f"{scenario}: at most {limit:g} ms, measured {ink[0]:.2f} ms ({verdict}).")
    ink = times.get(("Typing at the end", 32767, "Inkwarden"))
    edit = times.get(("Typing at the end", 32767, "EDIT"))
    if ink and edit:
        ratio = edit[0] / ink[0]
        verdict = "met" if ratio >= 20 else "missed"
        lines.append(f"Typing at the end: at least 20 times faster than EDIT, measured {ratio:.2f} times ({verdict}).")
    return lines


def machine():
    cpu = "unknown CPU"
    try:
        names = re.findall(r"^model name\s*:\s*(.*)$", Path("/proc/cpuinfo").read_text(), re.M)
        cpu = f"{names[0]} ({len(names)} cores)" if names else cpu
    except OSError:
        pass
    wine = subprocess.run([winelib.WINE, "--version"], capture_output=True, text=True).stdout.strip()
    load = os.getloadavg()[0]
    return f"{cpu}, {platform.system()} {platform.release()}, {wine}; load average {load:.1f} at the start"


def write_readme(text):
    readme = REPO / "README.md"
    old = readme.read_text()
    section = f"{BEGIN}\n{text}\n{END}"
    if BEGIN in old:
        new = re.sub(re.escape(BEGIN) + ".*?" + re.escape(END), lambda _: section, old, flags=re.S)
    else:
        new = old.rstrip("\n") + "\n\n## Speed\n\n" + section + "\n"
    readme.write_text(new)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", default=REPO / "build/windows/inkwarden.exe", type=Path)
    parser.add_argument("--counts", default=REPO / "build/host/bench/bench_counts", type=Path)
    parser.add_argument("--out", default=REPO / "build/bench", type=Path)
    parser.add_argument("--keystrokes", type=int, default=200)
    parser.add_argument("--commands", type=int, default=40)
    parser.add_argument("--no-readme", action="store_true", help="print the table only")
    parser.add_argument("--from-run", type=Path, metavar="DIR",
                        help="the driver's output and machine saved by an earlier run, instead of running Wine")
    args = parser.parse_args()

    saved = args.from_run or args.out
    if args.from_run:
        output = (saved / "driver.tsv").read_text()
        where = (saved / "machine.txt").read_text().strip()
    else:
        where = f"{datetime.datetime.now(datetime.timezone.utc):%Y-%m-%d %H:%M} UTC on {machine()}"
        output = run_wine(args.exe.resolve(), args.out.resolve(), args.keystrokes, args.commands)
        where += f", {os.getloadavg()[0]:.1f} at the end"
        (saved / "driver.tsv").write_text(output)
        (saved / "machine.txt").write_text(where + "\n")
    times, gaps, client = parse_times(output)
    counts = run_counts(args.counts, *(client or (1000, 900)))
    # A step that paints nothing on winsim is a command not built yet.
    idle = sorted({s for (s, _), c in counts.items() if c[-1] == 0})

    result = table(times, counts)
    keystrokes = next((t[2] for (s, _, _), t in times.items() if s == "Typing at the end"), "?")
    commands = next((t[2] for (s, _, _), t in times.items() if s == "Open"), "?")
    busy = re.search(r"load average ([0-9.]+)", where)
    busy = busy and float(busy.group(1)) > 1.0
    notes = [f"Measured {where}" + (" (the machine was busy, so the p90 figures especially are noisy)."
                                     if busy else "."),
             f"Inkwarden's client area {client[0]} x {client[1]} at 96 dpi; "
             f"{keystrokes} repetitions of each keystroke scenario, {commands} of Open and of the font-size change."
             if client else "",
             "Open is timed from OK in the Open dialog until the document is painted; its second row starts "
             "once the dialog window is gone, so it is the reading, laying out and painting.",
             "Empty message is the floor under every row: a message that does nothing, sent from the "
             "driver's process, then an UpdateWindow with nothing to paint." if any(
                 k[0] == "Empty message" for k in times) else "",
             "One-pixel repaint is the floor under every step that paints: one pixel invalidated from "
             "the driver, then UpdateWindow." if any(k[0] == "One-pixel repaint" for k in times) else "",
             *(f"{s}: the command does nothing in this build yet (no call, no paint), so its times "
               "are only the message's round trip." for s in idle),
             *(f"Not measured: {g}." for g in gaps)]
    targets = target_lines(times)
    print(result)
    print("\n".join(n for n in notes if n))
    print("\n".join(targets))
    if args.no_readme:
        return
    has_chart = chart(times, REPO / CHART, idle)
    body = "\n\n".join(n for n in [
        "`make bench` times each step as a synchronous message from another process followed by "
        "`UpdateWindow`, under Wine on a private Xvfb display, against the system's multiline EDIT "
        "control with the same font and column (`bench/peer.c`). The call counts come from the same "
        "steps on winsim, for the costliest repetition.",
        result, " ".join(n for n in notes if n), "Targets: " + " ".join(targets) if targets else "",
        f"![Median times on a full document]({CHART})" if has_chart else ""] if n)
    write_readme(body)


if __name__ == "__main__":
    main()
