#!/usr/bin/env python3
"""CPU cost of Kestrova's tick under Wine, beside a bare title-clock loop.

    python3 bench/wine/tick_cost.py [--build-dir build/windows] [--seconds 6]

Runs Kestrova.exe and bareloop.exe in turn over Wine's notepad, each at a 10 ms
tick and at the default 1 s tick, and prints the CPU they and wineserver used
(scheduler run time of every thread, from /proc) per tick and per second, with
Kestrova's ratio to the bare loop. Figures only: slow is not a failure, a
program that ends by itself during its run is (exit code 1).
"""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))),
                                "tests", "e2e"))
from harness import ROOT, E2EError, Kestrova, Session, wait_for  # noqa: E402


def run_ns(pid):
    """Run time of all threads of a process in nanoseconds (user and system)."""
    total = 0
    try:
        for tid in os.listdir(f"/proc/{pid}/task"):
            try:
                with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                    total += int(f.read().split()[0])
            except (OSError, ValueError, IndexError):
                pass
    except OSError:
        pass
    return total


def wineserver_pid(prefix):
    """The wineserver of this prefix: it works in a folder named after the prefix's device and inode."""
    st = os.stat(prefix)
    folder = f"server-{st.st_dev:x}-{st.st_ino:x}"
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/comm") as f:
                if not f.read().strip().startswith("wineserver"):
                    continue
            if os.readlink(f"/proc/{entry}/cwd").endswith(folder):
                return int(entry)
        except OSError:
            continue
    return None


def measure(s, proc, seconds):
    server = wineserver_pid(s.prefix)
    p0, w0 = run_ns(proc.pid), run_ns(server) if server else 0
    time.sleep(seconds)
    if proc.poll() is not None:
        raise E2EError(f"the program ended during its run (exit code {proc.returncode})")
    p1, w1 = run_ns(proc.pid), run_ns(server) if server else 0
    return (p1 - p0) / 1e6, (w1 - w0) / 1e6  # milliseconds


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build-dir", default=os.path.join(ROOT, "build", "windows"))
    ap.add_argument("--prefix", default=os.path.join(ROOT, "build", "wineprefix"),
                    help="Wine prefix to use (made if missing)")
    ap.add_argument("--seconds", type=float, default=6.0)
    args = ap.parse_args()

    s = Session(args.build_dir, os.path.join(ROOT, "build", "tick-cost"), log=lambda *_: None)
    s.prefix = os.path.abspath(args.prefix)
    results = {}
    try:
        s.start()
        pad = s.notepad()
        intervals = [(10, {"Timing": {"Timing": "-5"}}), (1000, {"Timing": {"Timing": "1"}})]
        for ms, ini in intervals:
            for name in ("bare", "kestrova"):
                s.bring_to_front(pad["hwnd"])
                if name == "bare":
                    proc = s.popen([s.exe("bareloop.exe"), str(ms)], log_name="bareloop")
                    k = None
                else:
                    k = Kestrova(s, f"kestrova{ms}", ini)
                    k.start_resident()
                    proc = k.proc
                own = pad["title"]
                wait_for("notepad decorated", lambda: s.winctl.title(pad["hwnd"]) != own, 10)
                time.sleep(2.0)  # start-up work settles
                results[(name, ms)] = measure(s, proc, args.seconds)
                if k is not None:
                    k.stop()
                else:
                    os.killpg(proc.pid, 9)
                    proc.wait(10)
                    # The bare loop gives nothing back: notepad's title is reset by hand.
                    s.winctl.call("settitle", pad["hwnd"], own)
    except E2EError as e:
        print(f"tick cost: {e}")
        return 1
    finally:
        s.close()

    print(f"Tick cost under Wine over notepad, {args.seconds:.0f} s per run "
          "(CPU ms: process + wineserver)")
    ratios = {}
    for ms in (10, 1000):
        ticks = args.seconds * 1000.0 / ms
        row = []
        for name in ("bare", "kestrova"):
            own, server = results[(name, ms)]
            row.append((own + server, own))
            unit = f"{(own + server) / ticks:.3f} ms/tick" if ms == 10 else f"{(own + server) / args.seconds:.2f} ms/s"
            print(f"  {ms:>4} ms tick  {name:<8} {unit:>16}   (process {own:.1f} ms, wineserver {server:.1f} ms)")
        ratios[ms] = row[1][0] / row[0][0] if row[0][0] > 0 else float("nan")
        own_ratio = row[1][1] / row[0][1] if row[0][1] > 0 else float("nan")
        print(f"  {ms:>4} ms tick  ratio    {ratios[ms]:.2f} (process only {own_ratio:.2f})")
    print(f"per tick at 10 ms: {ratios[10]:.2f}x the bare loop (goal 1.2); "
          f"idle at 1 s: {ratios[1000]:.2f}x (goal 1.5)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
