#!/usr/bin/env python3
"""End-to-end tests of Kestrova.exe under Wine on a private Xvfb display.

    python3 tests/e2e/run_e2e.py [--build-dir build/windows] [--out-dir build/e2e] [-k NAME]

The first group checks the test machinery itself (Wine, the helper programs,
switching the foreground); the second runs Kestrova and watches the title bars
as a user would. Ends with the line "N passed, N failed".
"""

import argparse
import datetime
import os
import re
import signal
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import ROOT, SETTINGS_CAPTION, E2EError, Kestrova, Session, wait_for  # noqa: E402

TICK = 1.0  # the default update interval
# Two ticks, plus the time Wine and winctl need to notice.
DECORATE_WITHIN = 2 * TICK + 1.5
CLOCK = re.compile(r" <(\d{4})/(\d\d)/(\d\d)\((Sun|Mon|Tue|Wed|Thu|Fri|Sat)\) (\d\d):(\d\d):(\d\d)>$")
WEEKDAYS = ["Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"]

TESTS = []


def test(fn):
    TESTS.append(fn)
    return fn


def check(cond, message):
    if not cond:
        raise AssertionError(message)


def clock_of(title, own):
    """The time shown in a decorated title, or None when it is not own + clock."""
    if not title.startswith(own):
        return None
    m = CLOCK.fullmatch(title[len(own):])
    if not m:
        return None
    y, mo, d, wd, h, mi, s = m.groups()
    shown = datetime.datetime(int(y), int(mo), int(d), int(h), int(mi), int(s))
    check(WEEKDAYS[shown.weekday()] == wd, f"weekday {wd} does not match the date in {title!r}")
    return shown


def wait_decorated(s, hwnd, own, within=DECORATE_WITHIN):
    """Waits until the window shows own + clock; checks the time against ours."""
    try:
        title = wait_for(f"the clock in the title of {own!r}",
                         lambda: (lambda t: t if clock_of(t, own) else None)(s.winctl.title(hwnd)), within)
    except E2EError:
        raise AssertionError(f"{own!r} was not decorated within {within:.1f}s; its title is "
                             f"{s.winctl.title(hwnd)!r}") from None
    lag = (datetime.datetime.now() - clock_of(title, own)).total_seconds()
    check(-1.5 <= lag <= TICK + 2.0, f"the title shows {title!r}, {lag:.1f}s away from the host clock")
    return title


def wait_plain(s, hwnd, own, within=DECORATE_WITHIN):
    try:
        wait_for(f"the plain title {own!r}", lambda: s.winctl.title(hwnd) == own, within)
    except E2EError:
        raise AssertionError(f"expected the plain title {own!r} back, got {s.winctl.title(hwnd)!r}") from None


class Fixtures:
    """What the tests share: the session, notepad and the running Kestrova."""

    def __init__(self, session):
        self.s = session
        self.notepad = None
        self.notepad_title = None
        self.kestrova = None
        self.kestrova_ini = None
        self.count = 0
        self.opened = []

    def get_notepad(self):
        if self.notepad is None or not self.s.winctl.info(self.notepad["hwnd"]).get("exists"):
            self.notepad = self.s.notepad()
            self.notepad_title = self.notepad["title"]
        return self.notepad

    def window(self, title, *extra):
        self.count += 1
        w = self.s.testwin(f"KestrovaE2E{self.count}", title, "--pos", str(520 + 30 * (self.count % 8)),
                           str(40 + 40 * (self.count % 8)), *extra)
        self.opened.append(w["hwnd"])
        return w

    def close_windows(self):
        for hwnd in self.opened:
            try:
                self.s.winctl.close(hwnd)
            except E2EError:
                pass
        self.opened = []

    def resident(self, ini=None):
        """A resident Kestrova with these extra settings, started fresh if needed."""
        k = self.kestrova
        if k is not None and self.kestrova_ini == ini and k.proc.poll() is None:
            return k
        self.stop_kestrova()
        self.count += 1
        k = Kestrova(self.s, f"kestrova{self.count}", ini)
        k.start_resident()
        self.kestrova, self.kestrova_ini = k, ini
        return k

    def stop_kestrova(self):
        if self.kestrova is not None:
            self.kestrova.stop()
            self.kestrova = None


# --- the machinery -----------------------------------------------------------


@test
def wine_shows_japanese_titles(f):
    s = f.s
    pad = f.get_notepad()
    check("メモ帳" in pad["title"], f"notepad's title is {pad['title']!r}")
    own = "テスト 😀 窓"
    w = f.window(own)
    check(s.winctl.title(w["hwnd"]) == own, f"testwin's title is {s.winctl.title(w['hwnd'])!r}")
    check(w["xid"], "Wine gave testwin no X window")
    check(s.x_title(w["xid"]) == own, f"X shows {s.x_title(w['xid'])!r}")
    s.bring_to_front(w["hwnd"])
    s.screenshot("01-japanese-titles")


@test
def foreground_switching(f):
    s = f.s
    pad = f.get_notepad()
    a, b = f.window("前面テストA"), f.window("前面テストB")
    for target in (a, pad, b, a):
        s.bring_to_front(target["hwnd"])
        check(s.winctl.foreground()["hwnd"] == target["hwnd"], f"{target['title']!r} is not in front")
        # Wine moves the X focus only when the thread's own focus moves, which
        # notepad's does not (it stays on its edit box), so ask X about testwin only.
        if target is not pad:
            wait_for("X input focus to follow", lambda: s.x_focus() == target["xid"], 5)


@test
def testwin_control_channel(f):
    s = f.s
    a = f.window("制御前")
    check(s.winctl.send(a["hwnd"], "title 制御後 😀").get("ok"), "testwin refused the command")
    wait_for("the new title", lambda: s.winctl.title(a["hwnd"]) == "制御後 😀", 5)
    m = f.window("MDI枠", "--mdi", "--size", "520", "300")
    check(s.winctl.mdi_active(m["hwnd"])["title"] == "子ウインドウ2", "the last child should be active")
    s.winctl.send(m["hwnd"], "activate 1")
    wait_for("child 1 active", lambda: s.winctl.mdi_active(m["hwnd"])["title"] == "子ウインドウ1", 5)


@test
def hung_window_does_not_block_switching(f):
    s = f.s
    a, b = f.window("固まる窓"), f.window("動く窓")
    s.bring_to_front(a["hwnd"])
    s.winctl.send(a["hwnd"], "hang 4000")
    t0 = time.monotonic()
    time.sleep(0.5)
    s.bring_to_front(b["hwnd"])
    check(time.monotonic() - t0 < 3.5, "switching away from a hung window took until it woke up")
    check(s.winctl.title(a["hwnd"]) == "固まる窓", "a hung window's title could not be read")
    time.sleep(max(0.0, 4.5 - (time.monotonic() - t0)))


# --- Kestrova ----------------------------------------------------------------


@test
def clock_in_front_title(f):
    s = f.s
    f.resident()
    own = "時計テスト"
    a = f.window(own)
    s.bring_to_front(a["hwnd"])
    first = wait_decorated(s, a["hwnd"], own)
    # As a user sees it: the X window's name carries the same text.
    x = s.x_title(a["xid"])
    check(clock_of(x, own), f"X shows {x!r}")
    # Rewritten on every tick.
    wait_for("the next tick", lambda: s.winctl.title(a["hwnd"]) != first, 2 * TICK + 1.0)
    wait_decorated(s, a["hwnd"], own)
    s.screenshot("02-clock")


@test
def switching_gives_title_back(f):
    s = f.s
    f.resident()
    pad = f.get_notepad()
    own = "切替テスト"
    a = f.window(own)
    s.bring_to_front(a["hwnd"])
    wait_decorated(s, a["hwnd"], own)
    s.bring_to_front(pad["hwnd"])
    wait_decorated(s, pad["hwnd"], f.notepad_title)
    # Given back in the same tick that decorated notepad.
    check(s.winctl.title(a["hwnd"]) == own, f"A still shows {s.winctl.title(a['hwnd'])!r}")
    s.bring_to_front(a["hwnd"])
    wait_decorated(s, a["hwnd"], own)
    check(s.winctl.title(pad["hwnd"]) == f.notepad_title,
          f"notepad still shows {s.winctl.title(pad['hwnd'])!r}")


@test
def emoji_title_round_trip(f):
    s = f.s
    f.resident()
    own = "😀 絵文字 😀 end"
    a, b = f.window(own), f.window("もう一つ")
    s.bring_to_front(a["hwnd"])
    wait_decorated(s, a["hwnd"], own)
    x = s.x_title(a["xid"])
    check(x.startswith(own + " <"), f"X shows {x!r}")
    s.bring_to_front(b["hwnd"])
    wait_decorated(s, b["hwnd"], "もう一つ")
    got = s.winctl.title(a["hwnd"])
    check(got == own, f"given back as {got!r} ({got.encode('utf-16-le').hex()})")


@test
def hung_front_window_does_not_stop_ticks(f):
    s = f.s
    f.resident()
    a, b = f.window("固まる前面"), f.window("次の前面")
    s.bring_to_front(a["hwnd"])
    wait_decorated(s, a["hwnd"], "固まる前面")
    hang = 8.0
    s.winctl.send(a["hwnd"], f"hang {int(hang * 1000)}")
    t0 = time.monotonic()
    time.sleep(1.5 * TICK)  # at least one tick against the hung window
    s.bring_to_front(b["hwnd"])
    wait_decorated(s, b["hwnd"], "次の前面", within=DECORATE_WITHIN + 1.0)
    check(time.monotonic() - t0 < hang - 0.5, "B was decorated only after A woke up")
    # And the ticks go on.
    before = s.winctl.title(b["hwnd"])
    wait_for("another tick", lambda: s.winctl.title(b["hwnd"]) != before, 2 * TICK + 1.0)
    check(f.kestrova.proc.poll() is None, "Kestrova ended")
    time.sleep(max(0.0, hang + 0.5 - (time.monotonic() - t0)))


@test
def close_from_outside_restores_and_ends(f):
    s = f.s
    k = f.resident()
    own = "終了テスト"
    a = f.window(own)
    s.bring_to_front(a["hwnd"])
    wait_decorated(s, a["hwnd"], own)
    settings = k.settings_window()
    check(not settings["visible"], "the settings window should be hidden while resident")
    s.winctl.close(settings["hwnd"])
    wait_plain(s, a["hwnd"], own, within=5)
    try:
        k.proc.wait(10)
    except Exception:
        raise AssertionError("Kestrova.exe still runs 10s after WM_CLOSE to its settings window") from None
    wait_for("no Kestrova.exe process", lambda: not k.windows_processes(), 5)
    f.kestrova = None


@test
def second_start_wakes_first(f):
    s = f.s
    k = f.resident()
    check(not k.settings_window()["visible"], "the settings window should start hidden")
    second = k.start()
    try:
        second.wait(15)
    except Exception:
        raise AssertionError("the second copy did not end") from None
    check(k.proc.poll() is None, "the first copy ended")
    procs = k.windows_processes()
    check(len(procs) == 1, f"{len(procs)} Kestrova.exe processes run")
    wait_for("the first copy's settings window to show",
             lambda: k.settings_window(timeout=2)["visible"], 5)
    s.screenshot("03-settings-window")
    k.procs.remove(second)
    f.stop_kestrova()


@test
def mdi_child_decorated(f):
    s = f.s
    f.resident({"Main": {"MDIChild": "1"}})
    m = f.window("MDI枠", "--mdi", "--size", "560", "320")
    s.bring_to_front(m["hwnd"])
    child2 = s.winctl.mdi_active(m["hwnd"])
    check(child2["title"] == "子ウインドウ2", f"active child {child2!r}")
    wait_decorated(s, child2["hwnd"], "子ウインドウ2")
    check(s.winctl.title(m["hwnd"]) == "MDI枠", f"the frame shows {s.winctl.title(m['hwnd'])!r}")
    s.screenshot("04-mdi")
    s.winctl.send(m["hwnd"], "activate 1")
    child1 = wait_for("child 1 active", lambda: (lambda c: c if c["title"].startswith("子ウインドウ1") else None)(
        s.winctl.mdi_active(m["hwnd"])), 5)
    wait_decorated(s, child1["hwnd"], "子ウインドウ1")
    wait_plain(s, child2["hwnd"], "子ウインドウ2")
    f.stop_kestrova()


# --- runner ------------------------------------------------------------------


class Budget(Exception):
    pass


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build-dir", default=os.path.join(ROOT, "build", "windows"))
    ap.add_argument("--out-dir", default=os.path.join(ROOT, "build", "e2e"))
    ap.add_argument("-k", dest="only", action="append", help="run only tests whose name contains this")
    ap.add_argument("--budget", type=float, default=300.0, help="seconds for the whole run")
    args = ap.parse_args()

    tests = [t for t in TESTS if not args.only or any(o in t.__name__ for o in args.only)]
    passed = failed = 0

    def on_budget(signum, frame):
        raise Budget(f"the run took longer than {args.budget:.0f}s")

    def on_term(signum, frame):
        raise SystemExit(f"signal {signum}")

    signal.signal(signal.SIGALRM, on_budget)
    signal.signal(signal.SIGTERM, on_term)
    signal.alarm(int(args.budget))
    started = time.monotonic()
    session = Session(args.build_dir, args.out_dir)
    results = []
    try:
        try:
            session.start()
        except (E2EError, OSError, Exception) as e:
            for t in tests:
                results.append((t.__name__, False, f"set-up failed: {e}"))
                print(f"FAIL {t.__name__}: set-up failed: {e}", flush=True)
            tests = []
        fixtures = Fixtures(session)
        for t in tests:
            t0 = time.monotonic()
            try:
                t(fixtures)
                results.append((t.__name__, True, f"{time.monotonic() - t0:.1f}s"))
            except Budget as e:
                results.append((t.__name__, False, str(e)))
                break
            except (AssertionError, E2EError) as e:
                results.append((t.__name__, False, str(e)))
                session.screenshot(f"failed-{t.__name__}")
            except Exception:
                results.append((t.__name__, False, traceback.format_exc().strip()))
            finally:
                fixtures.close_windows()
            print(("PASS " if results[-1][1] else "FAIL ") + f"{results[-1][0]}: {results[-1][2]}", flush=True)
        done = {r[0] for r in results}
        for t in tests:
            if t.__name__ not in done:
                results.append((t.__name__, False, "not run: out of time"))
                print(f"FAIL {t.__name__}: not run: out of time", flush=True)
        if fixtures.kestrova is not None:
            fixtures.stop_kestrova()
    except Budget as e:
        results.append(("budget", False, str(e)))
    finally:
        signal.alarm(0)
        session.close()
    passed = sum(1 for r in results if r[1])
    failed = len(results) - passed
    print(f"e2e: {time.monotonic() - started:.0f}s, screenshots and logs in {args.out_dir}")
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
