#!/usr/bin/env python3
"""make bench: times Inkwarden against the system's EDIT control under Wine,
counts the platform calls of the same scenarios on winsim, prints one table
and writes it, with a chart, into README.md.

The Wine half runs inkwarden.exe, the peer (bench/peer.c) and the driver
(bench/driver.c) in one private Xvfb session with a prefix made as the
end-to-end tests make theirs, font pin included.  A second, shorter session
counts the wineserver and X requests of every measured step
(bench/request_counts.py); its times are not used, since tracing slows
everything.
"""

import argparse
import datetime
import json
import statistics
import os
import platform
import re
import subprocess
import sys
from collections import Counter
from pathlib import Path

HERE = Path(__file__).resolve().parent
REPO = HERE.parent
sys.path.insert(0, str(REPO / "e2e"))
import winelib  # noqa: E402
from request_counts import RequestCounter  # noqa: E402

SCENARIOS = ("Typing at the end", "Typing at the start", "Backspace in the middle", "Page Down",
             "Open", "Open after the dialog", "Font size change", "Empty message", "One-pixel repaint")
KEYSTROKES = SCENARIOS[:4]
TEXTS = ("paragraphs", "one paragraph")
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


def run_wine(exe, out_dir, keystrokes, commands, profile=False, only=None):
    """The driver's output; with profile, also the request counts of every measured step."""
    driver = build(HERE / "driver.c", out_dir)
    peer = build(HERE / "peer.c", out_dir, "-mwindows")
    with winelib.Session(screen="1800x1100x24", out_dir=out_dir) as session:
        counter = RequestCounter(session, out_dir) if profile else None
        try:
            program = session.start_program(exe, log=out_dir / "inkwarden.log")
            session.wait_for_window("Inkwarden", program=program, timeout=60)
            peer_program = session.start_program(peer, log=out_dir / "peer.log")
            session.wait_for_window("Inkwarden Bench Peer", program=peer_program, timeout=60)
            if counter:
                return counter.run_driver(driver, [keystrokes, commands, "profile", *([only] if only else [])],
                                          {"Inkwarden": program.pid, "EDIT": peer_program.pid})
            result = subprocess.run([winelib.WINE, str(driver), str(keystrokes), str(commands),
                                     *(["time", only] if only else [])],
                                    env=session.env, capture_output=True, text=True, timeout=3600)
        finally:
            if counter:
                counter.close()
    if result.returncode != 0:
        raise SystemExit(f"the driver failed ({result.returncode}): {result.stderr.strip()}")
    return result.stdout, []


def run_counts(counts_exe, width, height):
    env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0")
    result = subprocess.run([str(counts_exe), str(width), str(height)], capture_output=True, text=True,
                            check=True, timeout=600, env=env)
    counts, calls = {}, {}
    for line in result.stdout.splitlines():
        f = line.split("\t")
        if f[0] == "calls":
            calls[(f[1], int(f[2]), f[3])] = Counter(
                {k: int(v) for k, v in (item.split("=") for item in f[4].split())})
        else:
            counts[(f[0], int(f[1]), f[2])] = tuple(map(int, f[3:]))
    return counts, calls


def parse_times(output):
    times, gaps, client = {}, [], None
    for line in output.splitlines():
        f = line.split("\t")
        if f[0] == "client":
            client = (int(f[1]), int(f[2]))
        elif f[0] == "time":
            times[(f[1], int(f[2]), f[3], f[4])] = (float(f[5]), float(f[6]), int(f[7]))
        elif f[0] == "gap":
            gaps.append(f"{f[1]}: {f[2]}")
    return times, gaps, client


def load_steps(path):
    """The request counts an earlier run saved."""
    if not path.exists():
        return []
    return [(tuple(key), {w: Counter(c) for w, c in server.items()}, {w: Counter(c) for w, c in x.items()})
            for key, server, x in json.loads(path.read_text())]


def order(key):
    scenario, size, text = key
    return (SCENARIOS.index(scenario) if scenario in SCENARIOS else 99, TEXTS.index(text) if text in TEXTS else -1,
            size)


def request_medians(steps):
    """Per (scenario, size, text, program): the median requests of one step,
    as (server requests of the program's thread, X requests of its process,
    server requests by name, X requests by name)."""
    grouped = {}
    for key, server, x in steps:
        grouped.setdefault(key, []).append((server.get(key[3], Counter()), x.get(key[3], Counter())))
    medians = {}
    for key, samples in grouped.items():
        server_total = statistics.median(sum(s.values()) for s, _ in samples)
        x_total = statistics.median(sum(x.values()) for _, x in samples)
        # The breakdown of a repetition that made the median number of requests.
        typical = min(samples, key=lambda sx: (abs(sum(sx[0].values()) - server_total),
                                               abs(sum(sx[1].values()) - x_total)))
        medians[key] = (server_total, x_total, typical[0], typical[1])
    return medians


def table(times, counts, requests):
    lines = ["| scenario | text | units | Inkwarden median ms | p90 | EDIT median ms | p90 | EDIT ÷ Inkwarden "
             "| server requests Inkwarden | EDIT | X requests Inkwarden | EDIT "
             "| ABC queries | TextOut | fonts made | metric reads | paints |",
             "|---|---|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|"]
    keys = sorted({k[:3] for k in times} | set(counts) | {k[:3] for k in requests}, key=order)
    for scenario, size, text in keys:
        ink = times.get((scenario, size, text, "Inkwarden"))
        edit = times.get((scenario, size, text, "EDIT"))
        cells = [scenario, text, f"{size:,}"]
        cells += [f"{ink[0]:.2f}", f"{ink[1]:.2f}"] if ink else ["–", "–"]
        cells += [f"{edit[0]:.2f}", f"{edit[1]:.2f}"] if edit else ["–", "–"]
        cells.append(f"{edit[0] / ink[0]:.2f}" if ink and edit and ink[0] > 0 else "–")
        for column in (0, 1):
            for program in ("Inkwarden", "EDIT"):
                got = requests.get((scenario, size, text, program))
                cells.append(f"{got[column]:g}" if got else "–")
        count = counts.get((scenario, size, text))
        cells += [f"{c:,}" for c in count] if count else ["–"] * 5
        lines.append("| " + " | ".join(cells) + " |")
    return "\n".join(lines)


def breakdown(requests, calls, size=2000, text="paragraphs"):
    """The requests of one keystroke by name, and the program's platform calls."""
    out = []
    for column, what in ((2, "Wineserver requests"), (3, "X requests")):
        header = [f"{what} per keystroke, {text}, {size:,} units"]
        names = Counter()
        for scenario in KEYSTROKES:
            for program in ("Inkwarden", "EDIT"):
                got = requests.get((scenario, size, text, program))
                if got:
                    names.update(got[column])
        if not names:
            continue
        header += [f"{scenario}: {program}" for scenario in KEYSTROKES for program in ("Inkwarden", "EDIT")]
        out += ["| " + " | ".join(header) + " |", "|---" + "|--:" * (len(header) - 1) + "|"]
        for name, _ in names.most_common():
            cells = [f"`{name}`"]
            for scenario in KEYSTROKES:
                for program in ("Inkwarden", "EDIT"):
                    got = requests.get((scenario, size, text, program))
                    cells.append(str(got[column][name]) if got and got[column][name] else "")
            out.append("| " + " | ".join(cells) + " |")
        out.append("")
    names = Counter()
    for scenario in KEYSTROKES:
        names.update(calls.get((scenario, size, text), Counter()))
    if names:
        header = [f"Inkwarden's platform calls per keystroke (winsim), {text}, {size:,} units", *KEYSTROKES]
        out += ["| " + " | ".join(header) + " |", "|---" + "|--:" * len(KEYSTROKES) + "|"]
        for name, _ in names.most_common():
            out.append("| " + " | ".join([f"`{name}`"] + [str(calls.get((s, size, text), Counter())[name] or "")
                                           for s in KEYSTROKES]) + " |")
    return "\n".join(out).strip()


def chart(times, path, left_out):
    """Horizontal bars, median ms on a full document, both texts, drawn with ImageMagick.

    Open through the dialog is left out: the dialog's own closing dwarfs
    everything else.
    """
    bars = []
    for s in SCENARIOS:
        if s == "Open" or s in left_out:
            continue
        for text in TEXTS if s in KEYSTROKES else ("paragraphs", "-"):
            size = 0 if text == "-" else 32767
            ink, edit = times.get((s, size, text, "Inkwarden")), times.get((s, size, text, "EDIT"))
            if ink or edit:
                bars.append((s if text in ("-", "paragraphs") and s not in KEYSTROKES else f"{s} ({text})",
                             ink, edit))
    if not bars:
        return False
    top = max(max(x[0] for x in b[1:] if x) for b in bars)
    width, label_w, row_h, bar_h, margin = 1000, 330, 56, 20, 40
    height = margin * 2 + row_h * len(bars) + 30
    scale = (width - label_w - 120) / top
    draw = []
    for i, (label, ink, edit) in enumerate(bars):
        y = margin + i * row_h
        draw += [f"fill black text 10,{y + 26} '{label}'"]
        for j, (sample, colour) in enumerate(((ink, "#2a6fb0"), (edit, "#c8641e"))):
            if sample:
                y0 = y + j * (bar_h + 2)
                x1 = label_w + max(1, int(sample[0] * scale))
                draw += [f"fill '{colour}' rectangle {label_w},{y0} {x1},{y0 + bar_h}",
                         f"fill black text {x1 + 6},{y0 + 15} '{sample[0]:.2f} ms'"]
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


def target_lines(times, requests):
    """Each target, met or with the measured gap."""
    lines, missed = [], []
    for text in TEXTS:
        for scenario in KEYSTROKES:
            for size in (2000, 8000, 32767):
                ink = times.get((scenario, size, text, "Inkwarden"))
                edit = times.get((scenario, size, text, "EDIT"))
                if not (ink and edit):
                    continue
                need = 2.0 if text == "one paragraph" and size >= 8000 else 1.0
                ratio = edit[0] / ink[0]
                if ratio < need:
                    missed.append(f"{scenario}, {text}, {size:,} units: {ratio:.2f} times (at least {need:g})")
    if any(k[0] in KEYSTROKES for k in times):
        lines.append("Speed against the EDIT control (at least 1.0 in every row, 2.0 on one paragraph from "
                     "8,000 units): " + ("met in every row." if not missed else "missed in " + "; ".join(missed)
                                         + "."))
    for text in TEXTS:
        for size in (2000, 8000, 32767):
            ink = requests.get(("Typing at the end", size, text, "Inkwarden"))
            edit = requests.get(("Typing at the end", size, text, "EDIT"))
            if ink and edit:
                verdict = ("no more than" if ink[0] <= edit[0] and ink[1] <= edit[1] else "more than")
                lines.append(f"Typing at the end, {text}, {size:,} units: {ink[0]:g} wineserver and {ink[1]:g} X "
                             f"requests, {verdict} the EDIT control's {edit[0]:g} and {edit[1]:g}.")
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
    parser.add_argument("--out", type=Path, help="where the run is saved (build/bench, or build/bench-only "
                                                   "with --only, so a full run's files are kept)")
    parser.add_argument("--keystrokes", type=int, default=200)
    parser.add_argument("--commands", type=int, default=40)
    parser.add_argument("--profile-keystrokes", type=int, default=9,
                        help="repetitions of each step in the request-counting session (0: no counting)")
    parser.add_argument("--no-times", action="store_true", help="count requests only, time nothing")
    parser.add_argument("--no-readme", action="store_true", help="print the tables only")
    parser.add_argument("--only", metavar="SCENARIO", choices=SCENARIOS,
                        help='time (and count) only this scenario, e.g. "Page Down", on both texts and every '
                             "size, for Inkwarden and the EDIT control; implies --no-readme")
    parser.add_argument("--from-run", type=Path, metavar="DIR",
                        help="the driver's output and machine saved by an earlier run, instead of running Wine")
    args = parser.parse_args()
    args.out = args.out or REPO / ("build/bench-only" if args.only else "build/bench")

    saved = args.from_run or args.out
    saved.mkdir(parents=True, exist_ok=True)
    if args.from_run:
        output = (saved / "driver.tsv").read_text()
        where = (saved / "machine.txt").read_text().strip()
        steps = load_steps(saved / "requests.json")
    else:
        where = f"{datetime.datetime.now(datetime.timezone.utc):%Y-%m-%d %H:%M} UTC on {machine()}"
        output = ""
        if not args.no_times:
            output, _ = run_wine(args.exe.resolve(), args.out.resolve(), args.keystrokes, args.commands,
                                 only=args.only)
        where += f", {os.getloadavg()[0]:.1f} at the end"
        steps = []
        if args.profile_keystrokes > 0:
            profile_output, steps = run_wine(args.exe.resolve(), args.out.resolve(), args.profile_keystrokes,
                                             2, profile=True, only=args.only)
            output = output or profile_output
        (saved / "driver.tsv").write_text(output)
        (saved / "machine.txt").write_text(where + "\n")
        (saved / "requests.json").write_text(json.dumps(steps))
    times, gaps, client = parse_times(output)
    if args.no_times and not args.from_run:
        times, gaps = {}, []
    counts, calls = run_counts(args.counts, *(client or (1000, 900)))
    requests = request_medians(steps)
    # A step that paints nothing on winsim is a command not built yet.
    idle = sorted({s for (s, _, _), c in counts.items() if c[-1] == 0})

    result = table(times, counts, requests)
    details = breakdown(requests, calls)
    keystrokes = next((t[2] for (s, _, _, _), t in times.items() if s == "Typing at the end"), "?")
    commands = next((t[2] for (s, _, _, _), t in times.items() if s == "Open"), "?")
    busy = re.search(r"load average ([0-9.]+)", where)
    busy = busy and float(busy.group(1)) > 1.0
    notes = [f"Measured {where}" + (" (the machine was busy, so the p90 figures especially are noisy)."
                                     if busy else "."),
             f"Inkwarden's client area {client[0]} x {client[1]} at 96 dpi; "
             f"{keystrokes} repetitions of each keystroke scenario, {commands} of Open and of the font-size change."
             if client and times else "",
             "Open is timed from OK in the Open dialog until the document is painted; its second row starts "
             "once the dialog window is gone, so it is the reading, laying out and painting." if times else "",
             "Empty message is the floor under every row: a message that does nothing, sent from the "
             "driver's process, then an UpdateWindow with nothing to paint." if any(
                 k[0] == "Empty message" for k in times) else "",
             "One-pixel repaint is the floor under every step that paints: one pixel invalidated from "
             "the driver, then UpdateWindow." if any(k[0] == "One-pixel repaint" for k in times) else "",
             f"The request columns are the median of {args.profile_keystrokes} repetitions in a separate "
             "session with the wineserver tracing every request and the X connections going through a "
             "counting proxy: the requests of the window's own thread (wineserver) and process (X) from "
             "the driver's message until both streams have gone quiet, so they include the requests the "
             "program makes when it next waits (that is where Wine sends the painted pixels to X)."
             if requests else "",
             *(f"{s}: the command does nothing in this build yet (no call, no paint), so its times "
               "are only the message's round trip." for s in idle),
             *(f"Not measured: {g}." for g in gaps)]
    targets = target_lines(times, requests)
    print(result)
    print("\n".join(n for n in notes if n))
    print("\n".join(targets))
    print(details)
    (saved / "breakdown.md").write_text(details + "\n")
    if args.no_readme or args.only:
        return
    has_chart = chart(times, REPO / CHART, idle)
    body = "\n\n".join(n for n in [
        "`make bench` times each step as a synchronous message from another process followed by "
        "`UpdateWindow`, under Wine on a private Xvfb display, against the system's multiline EDIT "
        "control with the same font and column (`bench/peer.c`), on two texts: 200-unit paragraphs "
        "(`paragraphs`) and one paragraph with a space every ninth unit (`one paragraph`). The call counts "
        "come from the same steps on winsim, for the costliest repetition.",
        result, " ".join(n for n in notes if n), "Targets: " + " ".join(targets) if targets else "",
        details,
        f"![Median times on a full document]({CHART})" if has_chart else ""] if n)
    write_readme(body)


if __name__ == "__main__":
    main()
