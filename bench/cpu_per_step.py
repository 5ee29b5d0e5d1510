#!/usr/bin/env python3
"""CPU time per measured step under Wine, for Inkwarden and the EDIT control.

The times of make bench depend on what else the machine runs; the CPU each
process spends on a step hardly does.  This runs the driver in its profile
mode (it waits after every step) and reads each process's CPU time from
/proc/<pid>/task/*/schedstat before and after every step, once all of them
sleep again, so the pixels Wine sends to X when the program next waits are
counted too.  Prints, per scenario, size and text, the median milliseconds
of the program's own process, the wineserver and the X server, and their sum.

    python3 bench/cpu_per_step.py [--only "Page Down"] [--keystrokes 100]
"""

import argparse
import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "e2e"))
sys.path.insert(0, str(HERE))
import winelib  # noqa: E402
import run_bench  # noqa: E402
from request_counts import _sleeping  # noqa: E402

QUIET = 0.03  # seconds everyone must sleep before a reading


def cpu_ns(pid):
    total = 0
    try:
        tasks = os.listdir(f"/proc/{pid}/task")
    except OSError:
        return 0
    for task in tasks:
        try:
            total += int(Path(f"/proc/{pid}/task/{task}/schedstat").read_text().split()[0])
        except (OSError, ValueError, IndexError):
            pass
    return total


def settle(pids):
    deadline = time.monotonic() + 10
    still_since = None
    while time.monotonic() < deadline:
        if not _sleeping(pids):
            still_since = None
        elif still_since is None:
            still_since = time.monotonic()
        elif time.monotonic() - still_since >= QUIET:
            return
        time.sleep(0.003)


def server_pid(prefix):
    """The wineserver serving prefix."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            if (os.readlink(f"/proc/{entry}/exe").endswith("wineserver64")
                    and f"WINEPREFIX={prefix}\0".encode() in Path(f"/proc/{entry}/environ").read_bytes()):
                return int(entry)
        except OSError:
            continue
    raise SystemExit("no wineserver found for the session's prefix")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--exe", default=run_bench.REPO / "build/windows/inkwarden.exe", type=Path)
    parser.add_argument("--out", default=run_bench.REPO / "build/bench-cpu", type=Path)
    parser.add_argument("--keystrokes", type=int, default=100)
    parser.add_argument("--only", metavar="SCENARIO", choices=run_bench.SCENARIOS, help="this scenario only")
    args = parser.parse_args()

    out = args.out.resolve()
    driver = run_bench.build(HERE / "driver.c", out)
    peer = run_bench.build(HERE / "peer.c", out, "-mwindows")
    samples = {}
    with winelib.Session(screen="1800x1100x24", out_dir=out) as session:
        program = session.start_program(args.exe.resolve(), log=out / "inkwarden.log")
        session.wait_for_window("Inkwarden", program=program, timeout=60)
        peer_program = session.start_program(peer, log=out / "peer.log")
        session.wait_for_window("Inkwarden Bench Peer", program=peer_program, timeout=60)
        pids = {"Inkwarden": program.pid, "EDIT": peer_program.pid,
                "wineserver": server_pid(session.env["WINEPREFIX"]), "X": session._xvfb.pid}
        process = subprocess.Popen([winelib.WINE, str(driver), str(args.keystrokes), "2", "profile",
                                    *([args.only] if args.only else [])],
                                   env=session.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        begin = None
        for raw in process.stdout:
            f = raw.decode(errors="replace").rstrip("\r\n").split("\t")
            if f[0] != "mark":
                continue
            settle([pids["Inkwarden"], pids["EDIT"], pids["wineserver"]])
            now = {name: cpu_ns(pid) for name, pid in pids.items()}
            if f[1] == "begin":
                begin = now
            elif begin:
                key = (f[2], int(f[3]), f[4], f[5])
                samples.setdefault(key, []).append({n: (now[n] - begin[n]) / 1e6 for n in now})
                begin = None
            process.stdin.write(b"\n")
            process.stdin.flush()
        if process.wait() != 0:
            raise SystemExit(f"the driver failed ({process.returncode})")

    print("| scenario | text | units | program | its process ms | wineserver ms | X ms | sum ms |")
    print("|---|---|--:|---|--:|--:|--:|--:|")
    for (scenario, size, text, name), rows in sorted(
            samples.items(), key=lambda kv: (run_bench.order(kv[0][:3]), kv[0][3] != "Inkwarden")):
        own = statistics.median(r[name] for r in rows)
        server = statistics.median(r["wineserver"] for r in rows)
        x = statistics.median(r["X"] for r in rows)
        total = statistics.median(r[name] + r["wineserver"] + r["X"] for r in rows)
        print(f"| {scenario} | {text} | {size:,} | {name} | {own:.2f} | {server:.2f} | {x:.2f} | {total:.2f} |")


if __name__ == "__main__":
    main()
