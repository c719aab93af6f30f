#!/usr/bin/env python3
"""End-to-end tests of Kestrova.exe under Wine on a private Xvfb display.

    python3 tests/e2e/run_e2e.py [--build-dir build/windows] [--out-dir build/e2e] [-k NAME]

The first group checks the test machinery itself (Wine, the helper programs,
switching the foreground); the others run Kestrova and watch the title bars as
a user would: the clock, window rules, message alarms and their popup, system
information. Ends with the line "N passed, N failed".
"""

import argparse
import datetime
import os
import re
import shutil
import signal
import subprocess
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import ROOT, SETTINGS_CAPTION, E2EError, Kestrova, Session, wait_for  # noqa: E402

TICK = 1.0  # the default update interval
# Two ticks, plus the time Wine and winctl need to notice on a busy machine.
DECORATE_WITHIN = 2 * TICK + 3.0
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
            # Found after Kestrova started, it may carry the clock already.
            self.notepad_title = re.sub(r" <\d{4}/[^<>]*>$", "", self.notepad["title"])
        return self.notepad

    def window(self, title, *extra, cls=None):
        self.count += 1
        w = self.s.testwin(cls or f"KestrovaE2E{self.count}", title, "--pos", str(520 + 30 * (self.count % 8)),
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
        if k is not None and self.kestrova_ini == ini and k.proc is not None and k.proc.poll() is None:
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


# Where the README's pictures go: docs/ only when asked for (scripts/readme-pictures.sh),
# so that a test run leaves the tree as it found it.
README_PICTURES = {"dir": None}


def readme_picture(shot, name):
    """Keeps a README picture under build/e2e/readme/, and in docs/ when refreshing them."""
    out = os.path.join(os.path.dirname(shot), "readme")
    os.makedirs(out, exist_ok=True)
    shutil.copy(shot, os.path.join(out, name))
    if README_PICTURES["dir"]:
        shutil.copy(shot, os.path.join(README_PICTURES["dir"], name))


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
def tray_menu_exit_restores_and_ends(f):
    s = f.s
    k = f.resident()
    own = "トレイ終了"
    a = f.window(own)
    s.bring_to_front(a["hwnd"])
    wait_decorated(s, a["hwnd"], own)
    callback = callback_window(k)
    # The notification area reports a right click as WM_MOUSEMOVE carrying WM_RBUTTONUP.
    s.winctl.post(callback, 0x0200, 0, 0x0205)
    menu = wait_for("the tray menu", lambda: next(
        (w for w in s.winctl.windows() if w["class"] == "#32768" and w["visible"]), None), 5)
    s.screenshot("06-tray-menu")
    left, _, _, bottom = menu["rect"]
    s.click_at(left + 30, bottom - 8)  # the last item, 終了(&X)
    wait_plain(s, a["hwnd"], own, within=5)
    try:
        k.proc.wait(10)
    except Exception:
        raise AssertionError("Kestrova.exe still runs 10s after 終了 in the tray menu") from None
    f.kestrova = None


def callback_window(k):
    """The callback window a resident copy names in "WindowHandle" (written once it went resident)."""
    return int(wait_for('"WindowHandle" in the settings file',
                        lambda: k.read_ini().get("Main", {}).get("WindowHandle", "").strip(), 5))


def tray_menu_pick_first(s, callback):
    """Opens the tray menu as a right click on the icon does and clicks its first item, 一時停止(&P)."""
    s.winctl.post(callback, 0x0200, 0, 0x0205)
    menu = wait_for("the tray menu", lambda: next(
        (w for w in s.winctl.windows() if w["class"] == "#32768" and w["visible"]), None), 5)
    left, top, _, _ = menu["rect"]
    s.click_at(left + 30, top + 8)
    wait_for("the tray menu to close", lambda: not any(
        w["class"] == "#32768" and w["visible"] for w in s.winctl.windows()), 5)


SLOW_TICK = 4.0
SLOW = {"Timing": {"Timing": "-2000"}}  # a tick every 4 s: time to act between two


@test
def tray_menu_pause_restores_then_resumes(f):
    s = f.s
    k = f.resident(SLOW)
    own = "一時停止テスト"
    a = f.window(own)
    s.bring_to_front(a["hwnd"])
    first = wait_decorated(s, a["hwnd"], own, within=SLOW_TICK + 2.0)
    # Right after a tick, so that no tick can be what gives the title back:
    # while the menu is open Kestrova's own window is in front, and a tick
    # would give it back as well.
    wait_for("the next tick", lambda: s.winctl.title(a["hwnd"]) != first, SLOW_TICK + 1.5)
    callback = callback_window(k)
    t0 = time.monotonic()
    tray_menu_pick_first(s, callback)
    wait_plain(s, a["hwnd"], own, within=0.5)
    check(time.monotonic() - t0 < SLOW_TICK - 0.5, "the menu took too long to tell the pause from a tick")
    s.bring_to_front(a["hwnd"])
    stays_plain(s, a["hwnd"], own, SLOW_TICK + 0.5)
    tray_menu_pick_first(s, callback)
    s.bring_to_front(a["hwnd"])
    wait_decorated(s, a["hwnd"], own, within=SLOW_TICK + 2.0)
    f.stop_kestrova()


@test
def close_box_hides_and_stays_resident(f):
    s = f.s
    k = f.resident()
    callback = callback_window(k)
    s.winctl.post(callback, 0x0201, 1, 0)  # a second copy's wake-up: WM_LBUTTONDOWN
    settings = wait_for("the settings window to show", lambda: (lambda w: w if w["visible"] else None)(
        k.settings_window(timeout=2)), 5)
    s.winctl.post(settings["hwnd"], 0x0112, 0xF060, 0)  # WM_SYSCOMMAND SC_CLOSE: the close box
    wait_for("the settings window to hide", lambda: not k.settings_window(timeout=2)["visible"], 5)
    check(k.proc.poll() is None, "Kestrova.exe ended on the close box")
    wait_for('"WindowHandle" written again', lambda: k.read_ini()["Main"].get("WindowHandle", "").strip(), 3)
    own = "閉じるボタン後"
    a = f.window(own)
    s.bring_to_front(a["hwnd"])
    wait_decorated(s, a["hwnd"], own)


@test
def end_session_gives_title_back_and_ends(f):
    s = f.s
    k = f.resident()
    own = "ログオフテスト"
    a = f.window(own)
    s.bring_to_front(a["hwnd"])
    wait_decorated(s, a["hwnd"], own)
    s.winctl.post(k.settings_window()["hwnd"], 0x0016, 1, 0)  # WM_ENDSESSION, the session ends
    wait_plain(s, a["hwnd"], own, within=5)
    try:
        k.proc.wait(10)
    except Exception:
        raise AssertionError("Kestrova.exe still runs 10s after WM_ENDSESSION") from None
    handle = k.read_ini()["Main"].get("WindowHandle")
    check(handle == "", f'"WindowHandle" is {handle!r} after the end')
    f.kestrova = None


@test
def second_start_wakes_first(f):
    s = f.s
    k = f.resident()
    check(not k.settings_window()["visible"], "the settings window should start hidden")
    # The window exists before its load ends; a copy started before the handle is written ends silently.
    wait_for("WindowHandle in Kestrova.ini", lambda: k.read_ini()["Main"].get("WindowHandle"), 10)
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
    # The clock may already be in it: a tick can land between the activation and this read.
    check(child2["title"].startswith("子ウインドウ2"), f"active child {child2!r}")
    wait_decorated(s, child2["hwnd"], "子ウインドウ2")
    check(s.winctl.title(m["hwnd"]) == "MDI枠", f"the frame shows {s.winctl.title(m['hwnd'])!r}")
    s.screenshot("04-mdi")
    s.winctl.send(m["hwnd"], "activate 1")
    child1 = wait_for("child 1 active", lambda: (lambda c: c if c["title"].startswith("子ウインドウ1") else None)(
        s.winctl.mdi_active(m["hwnd"])), 5)
    wait_decorated(s, child1["hwnd"], "子ウインドウ1")
    wait_plain(s, child2["hwnd"], "子ウインドウ2")
    f.stop_kestrova()


# --- window rules and message alarms -----------------------------------------

FAST_TICK = 0.5
FAST = {"Timing": {"Timing": "0"}}  # a tick every 500 ms
CLOCK_TEXT = CLOCK.pattern[:-1]
POPUP_CAPTION = "Kestrova-メッセージアラーム"
POPUP_CHECK_TEXT = "起動時に条件内ならば再び表示する"


def merged(*parts):
    out = {}
    for part in parts:
        for section, keys in part.items():
            out.setdefault(section, {}).update(keys)
    return out


def rules(*entries):
    """Rule sections AntiKestrova001, ...: the list ends at the first section without a Name."""
    return {f"AntiKestrova{i:03d}": entry for i, entry in enumerate(entries, 1)}


def alarm(position, message, box=0, change_timing=1):
    """Settings with one always-due alarm (type 0) and a fast tick."""
    return merged(FAST, {
        "Clock": {"Alarm": "1", "MessagePosition": str(position)},
        "Timing": {"ChangeTiming": str(change_timing)},
        "Alarm0000": {"Title": "e2eの警告", "Type": "0", "Month": "1", "Day": "1", "Week": "1", "Hour": "0",
                      "Minute": "0", "Second": "0", "Message": message, "Time": "0", "Box": str(box)},
    })


def stays_plain(s, hwnd, own, seconds):
    """The title stays exactly own for this long (several ticks)."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        title = s.winctl.title(hwnd)
        check(title == own, f"{own!r} was decorated: {title!r}")
        time.sleep(0.1)


def wait_title(s, hwnd, what, pattern, within=DECORATE_WITHIN):
    """Waits until the title fully matches pattern; returns the match."""
    try:
        return wait_for(what, lambda: re.fullmatch(pattern, s.winctl.title(hwnd)), within)
    except E2EError:
        raise AssertionError(f"expected {what}, the title is {s.winctl.title(hwnd)!r}") from None


def check_clock_now(own, clock):
    """clock is one clock text showing the host's time."""
    shown = clock_of(own + clock, own)
    lag = (datetime.datetime.now() - shown).total_seconds()
    check(-1.5 <= lag <= TICK + 2.0, f"the clock {clock!r} is {lag:.1f}s away from the host clock")


def popups(s):
    # The popup may be in front and then carries the clock like any front window.
    return [w for w in s.winctl.windows() if w.get("title", "").startswith(POPUP_CAPTION) and w.get("visible")]


def wait_popup(s, within=DECORATE_WITHIN):
    try:
        return wait_for("the alarm popup", lambda: (lambda p: p[0] if p else None)(popups(s)), within)
    except E2EError:
        front = s.winctl.foreground()
        raise AssertionError(f"no window '{POPUP_CAPTION}' within {within:.1f}s (in front: "
                             f"{front.get('class')!r} {front.get('title')!r})") from None


def popup_controls(s, popup):
    """The popup's message box, check box and OK button."""
    kids = s.winctl.children(popup["hwnd"])
    edits = [c for c in kids if c["class"].lower() == "edit"]
    boxes = [c for c in kids if c["class"].lower() == "button" and c["text"] == POPUP_CHECK_TEXT]
    oks = [c for c in kids if c["class"].lower() == "button" and c["text"] == "OK"]
    check(len(edits) == 1 and len(boxes) == 1 and len(oks) == 1, f"the popup's controls are {kids}")
    return edits[0], boxes[0], oks[0]


def one_popup_for(s, count, seconds):
    """Exactly count popups on screen all along (ticks go on meanwhile)."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        shown = popups(s)
        check(len(shown) == count, f"{len(shown)} alarm popups on screen, expected {count}: {shown}")
        time.sleep(0.1)


def wait_box(k, value, message):
    """The entry's "Box" in the settings file, read as Shift-JIS; the rest of the entry intact."""
    try:
        entry = wait_for(f'"Box" {value} in the settings file',
                         lambda: (lambda e: e if e.get("Box") == value else None)(k.read_ini().get("Alarm0000", {})),
                         3)
    except E2EError:
        raise AssertionError(f"Alarm0000 in the file is {k.read_ini().get('Alarm0000')}") from None
    check(entry.get("Message") == message and entry.get("Type") == "0", f"Alarm0000 became {entry}")


def close_popup(s, popup, how, ok):
    if how == "OK":
        check(s.winctl.click(ok["hwnd"]).get("ok"), "the OK button did not take the click")
    else:
        s.winctl.close(popup["hwnd"])
    wait_for("the popup to close", lambda: not popups(s), 5)


def message_shown(s, hwnd, own, message):
    """Position 0: the due alarm shows in the front title, so the alarms are being evaluated."""
    wait_title(s, hwnd, f"the message {message!r} beside the clock",
               re.escape(own) + CLOCK_TEXT + re.escape(" " + message))


@test
def exclude_rule_keeps_notepad_plain(f):
    s = f.s
    # Class names match whatever their case.
    f.resident(merged(FAST, rules({"Name": "メモ帳は除外", "WindowClass": "notepad", "AntiType": "0"})))
    pad = f.get_notepad()
    own = "除外されない窓"
    a = f.window(own)
    s.bring_to_front(a["hwnd"])
    wait_decorated(s, a["hwnd"], own)
    s.bring_to_front(pad["hwnd"])
    wait_plain(s, a["hwnd"], own)
    stays_plain(s, pad["hwnd"], f.notepad_title, 4 * FAST_TICK)
    s.bring_to_front(a["hwnd"])
    wait_decorated(s, a["hwnd"], own)
    check(s.winctl.title(pad["hwnd"]) == f.notepad_title, f"notepad shows {s.winctl.title(pad['hwnd'])!r}")


@test
def allow_list_decorates_only_allowed(f):
    s = f.s
    f.resident(merged(FAST, {"Main": {"AntiType": "1"}}, rules(
        {"Name": "題名で許可", "WindowTitle": "許可窓", "InTitle": "1", "AntiType": "1"},
        {"Name": "クラスで許可", "WindowClass": "KestrovaAllowed", "AntiType": "1"})))
    pad = f.get_notepad()
    by_title = f.window("許可窓その一")  # contains the rule's title
    by_class = f.window("クラスで許可される窓", cls="KestrovaAllowed")
    other = f.window("許可されない窓")
    s.bring_to_front(by_title["hwnd"])
    wait_decorated(s, by_title["hwnd"], "許可窓その一")
    s.bring_to_front(pad["hwnd"])
    wait_plain(s, by_title["hwnd"], "許可窓その一")
    stays_plain(s, pad["hwnd"], f.notepad_title, 3 * FAST_TICK)
    s.bring_to_front(by_class["hwnd"])
    wait_decorated(s, by_class["hwnd"], "クラスで許可される窓")
    s.bring_to_front(other["hwnd"])
    wait_plain(s, by_class["hwnd"], "クラスで許可される窓")
    stays_plain(s, other["hwnd"], "許可されない窓", 3 * FAST_TICK)
    s.bring_to_front(by_title["hwnd"])
    wait_decorated(s, by_title["hwnd"], "許可窓その一")


def alarm_in_title(f, position, own, message, pattern):
    s = f.s
    f.resident(alarm(position, message))
    a = f.window(own)
    s.bring_to_front(a["hwnd"])
    m = wait_title(s, a["hwnd"], f"the alarm at position {position}", pattern)
    if m.groups():
        check_clock_now(own, m.group(1))
    # Still there on the next ticks.
    time.sleep(2 * FAST_TICK)
    wait_title(s, a["hwnd"], f"the alarm at position {position} on later ticks", pattern, within=1.0)


@test
def alarm_right_of_clock(f):
    own, message = "伝言右", "定例会議 10分前"
    alarm_in_title(f, 0, own, message, re.escape(own) + f"({CLOCK_TEXT})" + re.escape(" " + message))


@test
def alarm_left_of_clock(f):
    own, message = "伝言左", "定例会議 10分前"
    alarm_in_title(f, 1, own, message, re.escape(own + message + " ") + f"({CLOCK_TEXT})")


@test
def alarm_instead_of_clock(f):
    own, message = "伝言のみ", "定例会議 10分前"
    alarm_in_title(f, 3, own, message, re.escape(own + message))


@test
def alarm_seen_with_a_tick_every_minute(f):
    """The ticks land on the minute: a window of a few seconds between two of
    them is shown at the next."""
    s = f.s
    own, message = "分毎の窓", "一分毎でも出る伝言"
    if datetime.datetime.now().second > 45:  # the window and the start within one minute
        time.sleep(61 - datetime.datetime.now().second)
    start = datetime.datetime.now() + datetime.timedelta(seconds=10)
    f.resident({
        "Timing": {"Timing": "3"},
        "Clock": {"Alarm": "1", "MessagePosition": "0"},
        "Alarm0000": {"Title": "e2eの分", "Type": "5", "Month": "1", "Day": "1", "Week": "1",
                      "Hour": str(start.hour), "Minute": str(start.minute), "Second": str(start.second),
                      "Message": message, "Time": "3", "Box": "0"},  # due for 2 s
    })
    a = f.window(own)
    s.bring_to_front(a["hwnd"])
    wait_for("the first decoration", lambda: s.winctl.title(a["hwnd"]) != own, DECORATE_WITHIN)
    next_minute = start.replace(second=0, microsecond=0) + datetime.timedelta(minutes=1)
    within = (next_minute - datetime.datetime.now()).total_seconds() + 5
    m = wait_title(s, a["hwnd"], "the alarm at the tick after its window",
                   re.escape(own) + f"({CLOCK_TEXT})" + re.escape(" " + message), within=within)
    shown = clock_of(own + m.group(1), own)
    check(shown == next_minute, f"shown with the clock {m.group(1)!r}, not at {next_minute:%H:%M:%S}")


@test
def alarm_alternates_with_clock(f):
    s = f.s
    own, message, change = "交互", "交互に出る伝言", 2
    f.resident(alarm(2, message, change_timing=change))
    a = f.window(own)
    s.bring_to_front(a["hwnd"])
    wait_for("the first decoration", lambda: s.winctl.title(a["hwnd"]) != own, DECORATE_WITHIN)
    side = change * FAST_TICK  # each side shows for ChangeTiming ticks
    runs = []  # [side, first seen]
    end = time.monotonic() + 5.5 * side
    while time.monotonic() < end:
        title = s.winctl.title(a["hwnd"])
        now = time.monotonic()
        if title == own + " " + message + " ":
            form = "message"
        elif clock_of(title, own):
            form = "clock"
        else:
            raise AssertionError(f"neither the clock nor ' {message} ' in {title!r}")
        if not runs or runs[-1][0] != form:
            runs.append([form, now])
        time.sleep(0.05)
    forms = [r[0] for r in runs]
    check(len(runs) >= 4, f"the title switched only {len(runs) - 1} times in {5.5 * side:.1f}s: {forms}")
    # The runs between the first and the last were seen whole.
    lengths = [round(runs[i + 1][1] - runs[i][1], 2) for i in range(1, len(runs) - 1)]
    check(all(0.6 * side <= d <= 2 * side + 0.3 for d in lengths),
          f"each side should show for about {side:.1f}s; seen {list(zip(forms[1:], lengths))}")


@test
def alarm_popup_once_then_box_cleared(f):
    s = f.s
    own, message = "箱なし", "お知らせ：会議室Ｂへ"
    k = f.resident(alarm(0, message, box=1))
    popup = wait_popup(s)
    text, box, ok = popup_controls(s, popup)
    check(text["text"] == message, f"the popup's message is {text['text']!r}")
    check(box["checked"] is False, "the check box should start clear")
    s.screenshot("05-alarm-popup")
    # Ticks go on behind the open popup, and none of them opens another.
    one_popup_for(s, 1, 3 * FAST_TICK)
    close_popup(s, popup, "OK", ok)
    wait_box(k, "0", message)
    # Still due, but not shown twice in one run.
    a = f.window(own)
    s.bring_to_front(a["hwnd"])
    message_shown(s, a["hwnd"], own, message)
    one_popup_for(s, 0, 3 * FAST_TICK)
    # Nor at the next start.
    k.stop()
    k.start_resident()
    s.bring_to_front(a["hwnd"])
    message_shown(s, a["hwnd"], own, message)
    one_popup_for(s, 0, 3 * FAST_TICK)
    wait_box(k, "0", message)
    f.stop_kestrova()


@test
def alarm_popup_checked_comes_every_start(f):
    s = f.s
    own, message = "箱あり", "毎回出る伝言"
    k = f.resident(alarm(0, message, box=1))
    pad = f.get_notepad()
    for run, how in ((1, "OK"), (2, "WM_CLOSE")):
        if run > 1:
            k.stop()
            k.start_resident()
        # With no window in front a tick does nothing, alarms included.
        s.bring_to_front(pad["hwnd"])
        popup = wait_popup(s)
        # The user works on in another window while the popup waits: ticks go
        # on behind it and decorate that window.
        mine = f"{own}{run}"
        a = f.window(mine)
        s.bring_to_front(a["hwnd"])
        message_shown(s, a["hwnd"], mine, message)
        _, box, ok = popup_controls(s, popup)
        check(box["checked"] is False, f"start {run}: the check box should start clear")
        check(s.winctl.click(box["hwnd"]).get("ok"), "the check box did not take the click")
        wait_for("the check box checked", lambda: popup_controls(s, popup)[1]["checked"], 3)
        close_popup(s, popup, how, ok)
        wait_box(k, "1", message)
        # That window still carries the clock once, not a stale copy of it.
        s.bring_to_front(a["hwnd"])
        message_shown(s, a["hwnd"], mine, message)
        one_popup_for(s, 0, 3 * FAST_TICK)
        check(re.fullmatch(re.escape(mine) + CLOCK_TEXT + re.escape(" " + message), s.winctl.title(a["hwnd"])),
              f"start {run}: the title became {s.winctl.title(a['hwnd'])!r}")
    k.stop()
    wait_plain(s, a["hwnd"], mine, within=3)


# --- system information ------------------------------------------------------

SYSINFO = {"Main": {"LeftText": "1", "MiddleText": "5", "RightText": "0"}}
BYTE_UNITS = {"KB": 1, "MB": 2, "GB": 3, "TB": 4, "PB": 5, "EB": 6}


@test
def cursor_position_in_title(f):
    s = f.s
    f.resident(merged(FAST, SYSINFO, {"SystemInfo": {"SysInfStr": "%B"}}))
    own = "マウス位置"
    a = f.window(own)
    s.bring_to_front(a["hwnd"])
    for x, y in ((123, 456), (987, 65), (640, 400)):
        s.move_pointer(x, y)

        def shown():
            m = re.fullmatch(re.escape(own) + r"X:(\d+) Y:(\d+) ", s.winctl.title(a["hwnd"]))
            return m and abs(int(m[1]) - x) <= 2 and abs(int(m[2]) - y) <= 2
        try:
            wait_for(f"the pointer at ({x}, {y}) in the title", shown, DECORATE_WITHIN)
        except E2EError:
            raise AssertionError(f"after moving the pointer to ({x}, {y}) the title is "
                                 f"{s.winctl.title(a['hwnd'])!r}") from None


@test
def disk_free_in_title(f):
    s = f.s
    f.resident(merged(FAST, SYSINFO, {"SystemInfo": {"SysInfStr": "%IC"}}))
    own = "空き容量"
    a = f.window(own)

    def free_bytes():
        # Drive C is the host filesystem holding the prefix. Wine counts a
        # volume's free bytes as those left to unprivileged users; Windows
        # counts the reserved blocks too. Either is right here.
        st = os.statvfs(s.drive_c())
        return st.f_bavail * st.f_frsize, st.f_bfree * st.f_frsize

    before = free_bytes()
    s.bring_to_front(a["hwnd"])
    m = wait_title(s, a["hwnd"], "drive C's free space", re.escape(own) + r"(\d+(?:\.(\d+))?)(\D+)")
    after = free_bytes()
    number, decimals, unit = m.groups()
    check(unit in BYTE_UNITS, f"unit {unit!r} in {m.group(0)!r}")
    scale = 1024 ** BYTE_UNITS[unit]
    shown = float(number) * scale
    check(len(number.replace(".", "").lstrip("0")) <= 3, f"more than three significant digits: {number!r}")
    # The formatter keeps three significant digits: allow one step of the last
    # one, and some drift while other programs write.
    step = scale * 10 ** -len(decimals or "")

    def near(kind):
        low, high = sorted((before[kind], after[kind]))
        return low * 0.99 - step <= shown <= high * 1.01 + step
    check(near(0) or near(1), f"the title shows {number}{unit} ({shown / 2**30:.2f} GiB); drive C has "
          f"{before[0] / 2**30:.2f} GiB free to users, {before[1] / 2**30:.2f} GiB in all")


# --- runner ------------------------------------------------------------------


# --- the settings window -----------------------------------------------------

SETTINGS_SHOWN = {"Main": {"Use": "1", "WindowHide": "0"}}
PAGE_CAPTIONS = ["基本設定", "タイトル", "時計・メッセージ", "世界時計", "カウントダウン", "システム情報", "タイミング"]
DEFAULT_PATTERN = " <yyyy/mm/dd(ddd) hh:mm:ss>"


def key(s, *keys):
    subprocess.run(["xdotool", "key", *keys], env=s.env, timeout=10, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def crop(s, shot, rect, name):
    """The part of a screenshot inside rect (left, top, right, bottom), beside it as name.png."""
    left, top, right, bottom = rect
    path = os.path.join(s.out_dir, f"{name}.png")
    subprocess.run(["convert", shot, "-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage", path],
                   timeout=30, check=True)
    return path


def shown_settings(f, ini=None):
    """A fresh Kestrova showing its settings window; returns (kestrova, window)."""
    f.stop_kestrova()
    f.count += 1
    k = Kestrova(f.s, f"kestrova{f.count}", ini if ini is not None else SETTINGS_SHOWN)
    k.start()
    f.kestrova, f.kestrova_ini = k, None
    w = wait_for("the settings window to show", lambda: (lambda x: x if x["visible"] else None)(
        k.settings_window(timeout=20)), 20)
    return k, w


def control(s, hwnd, **match):
    for c in s.winctl.children(hwnd):
        if all(c.get(k) == v for k, v in match.items()):
            return c
    raise AssertionError(f"no control {match} in the settings window")


def visible_ids(s, hwnd):
    return {c["id"] for c in s.winctl.children(hwnd) if c["visible"]}


@test
def settings_pages_turn_with_ctrl_tab(f):
    s = f.s
    k, w = shown_settings(f)
    hwnd = w["hwnd"]
    tab = control(s, hwnd, **{"class": "SysTabControl32"})
    check(tab["visible"], "the tab control is not shown")
    seen = []
    for page, caption in enumerate(PAGE_CAPTIONS):
        s.bring_to_front(hwnd)
        shot = s.screenshot(f"settings-page-{page}")
        rect = s.winctl.info(hwnd)["rect"]
        crop(s, shot, rect, f"settings-page-{page}-window")
        ids = visible_ids(s, hwnd)
        check(ids not in seen, f"page {page} ({caption}) shows the same controls as an earlier page")
        seen.append(ids)
        key(s, "ctrl+Tab")
        time.sleep(0.3)
    check(visible_ids(s, hwnd) == seen[0], "Ctrl+Tab after the last page does not come back to 基本設定")
    readme_picture(os.path.join(s.out_dir, "settings-page-0-window.png"), "settings-window.png")


@test
def settings_apply_saves_and_title_follows(f):
    s = f.s
    k, w = shown_settings(f)
    hwnd = w["hwnd"]
    box = control(s, hwnd, **{"class": "Edit", "text": DEFAULT_PATTERN})
    s.winctl.call("settitle", box["hwnd"], " [hh:mm]")
    s.winctl.click(control(s, hwnd, text="適用")["hwnd"])
    wait_for("FormatText in Kestrova.ini", lambda: k.read_ini().get("Clock", {}).get("FormatText") == '" [hh:mm]"', 5)
    check(s.winctl.info(hwnd)["visible"], "適用 closed the settings window")
    own = "適用テスト"
    a = f.window(own)
    s.bring_to_front(a["hwnd"])
    time.sleep(2 * TICK)
    check(s.winctl.title(a["hwnd"]) == own, "a title changed while the settings window was shown")
    s.bring_to_front(hwnd)
    key(s, "Return")  # Enter is OK
    wait_for("the settings window to hide", lambda: not s.winctl.info(hwnd)["visible"], 5)
    s.bring_to_front(a["hwnd"])
    pattern = re.compile(re.escape(own) + r" \[\d\d:\d\d\]")
    wait_for("the new pattern in the title", lambda: pattern.fullmatch(s.winctl.title(a["hwnd"])), DECORATE_WITHIN)
    shot = s.screenshot("settings-title-follows")
    left, top, right, _ = s.winctl.info(a["hwnd"])["rect"]
    crop(s, shot, (left, top, right, top + 60), "decorated-title")
    readme_picture(os.path.join(s.out_dir, "decorated-title.png"), "decorated-title.png")
    f.close_windows()
    f.stop_kestrova()


@test
def settings_text_outside_the_code_page_survives_a_restart(f):
    s = f.s
    k, w = shown_settings(f)
    hwnd = w["hwnd"]
    pattern = " <hh:nn:ss> é 😀"  # not in code page 932 (and no letter a format code would take)
    s.winctl.call("settitle", control(s, hwnd, **{"class": "Edit", "text": DEFAULT_PATTERN})["hwnd"], pattern)
    s.bring_to_front(hwnd)
    key(s, "Return")  # OK
    wait_for("the settings window to hide", lambda: not s.winctl.info(hwnd)["visible"], 5)

    def unicode_ini():
        with open(k.ini_path, "rb") as ini:
            return ini.read().startswith(b"\xff\xfe")
    wait_for("Kestrova.ini in UTF-16LE", unicode_ini, 5)
    k.stop()
    w = k.settings_window(timeout=20, proc=k.start())
    hwnd = w["hwnd"]
    wait_for("the pattern read back whole", lambda: any(
        c.get("text") == pattern for c in s.winctl.children(hwnd) if c.get("class") == "Edit"), 10)
    s.bring_to_front(hwnd)
    key(s, "Return")
    wait_for("the settings window to hide", lambda: not s.winctl.info(hwnd)["visible"], 5)
    own = "再起動テスト"
    a = f.window(own)
    s.bring_to_front(a["hwnd"])
    shown = re.compile(re.escape(own) + r" <\d\d:\d\d:\d\d> é 😀")
    wait_for("the pattern in the title", lambda: shown.fullmatch(s.winctl.title(a["hwnd"])), DECORATE_WITHIN)
    f.close_windows()
    f.stop_kestrova()


@test
def settings_cancel_restores_the_boxes(f):
    s = f.s
    k, w = shown_settings(f)
    hwnd = w["hwnd"]
    box = control(s, hwnd, **{"class": "Edit", "text": DEFAULT_PATTERN})
    s.winctl.call("settitle", box["hwnd"], "xyz")
    s.bring_to_front(hwnd)
    key(s, "Escape")  # Esc is キャンセル
    wait_for("the settings window to hide", lambda: not s.winctl.info(hwnd)["visible"], 5)
    check("FormatText" not in k.read_ini().get("Clock", {}), "Cancel wrote the pattern")
    callback = int(k.read_ini()["Main"]["WindowHandle"])
    s.winctl.post(callback, 0x0201)  # what a second copy sends
    wait_for("the settings window again", lambda: s.winctl.info(hwnd)["visible"], 5)
    check(s.winctl.children(hwnd) and any(c["text"] == DEFAULT_PATTERN for c in s.winctl.children(hwnd)),
          "the clock pattern box did not get the stored pattern back")
    f.stop_kestrova()


@test
def settings_first_run_cancel_writes_defaults(f):
    s = f.s
    f.stop_kestrova()
    f.count += 1
    k = Kestrova(s, f"kestrova{f.count}")
    os.remove(k.ini_path)
    k.start()
    f.kestrova, f.kestrova_ini = k, None
    welcome = s.winctl.find(timeout=20, title="ようこそ！")
    # A question of our own keeps its caption while the ticks go on.
    time.sleep(3 * TICK + 0.5)
    check(s.winctl.title(welcome["hwnd"]) == "ようこそ！",
          f"the welcome question was decorated: {s.winctl.title(welcome['hwnd'])!r}")
    buttons = [c for c in s.winctl.children(welcome["hwnd"]) if c["class"].lower() == "button"]
    s.winctl.post(next(b for b in buttons if b["id"] == 7)["hwnd"], 0x00F5)  # BM_CLICK on いいえ
    w = wait_for("the settings window to show", lambda: (lambda x: x if x["visible"] else None)(
        k.settings_window(timeout=10)), 10)
    s.winctl.post(control(s, w["hwnd"], text="キャンセル")["hwnd"], 0x00F5)
    notice = s.winctl.find(timeout=10, title="デフォルトの設定")
    s.screenshot("settings-first-run-cancel")
    ini = k.read_ini()
    check(ini.get("Main", {}).get("Use") == "1", f"Use is {ini.get('Main', {}).get('Use')!r}")
    check(ini.get("Clock", {}).get("FormatText") == f'"{DEFAULT_PATTERN}"', "the default pattern was not written")
    ok = next(c for c in s.winctl.children(notice["hwnd"]) if c["class"].lower() == "button")
    s.winctl.post(ok["hwnd"], 0x00F5)
    wait_for("the settings window to hide", lambda: not s.winctl.info(w["hwnd"])["visible"], 5)
    f.stop_kestrova()


# --- dialogs, menus and startup registration ----------------------------------

MENU_CLASS = "#32768"
ABOUT_CAPTION = "Kestrova-バージョン情報"
RULE_EDITOR_CAPTION = "Kestrova-除外/許可ウインドウの編集"
ALARM_EDITOR_CAPTION = "Kestrova-メッセージアラーム設定"
BM_CLICK = 0x00F5
WM_KEYDOWN, VK_ESCAPE = 0x0100, 0x1B
WM_LBUTTONDOWN = 0x0201
# The tray icon reports a mouse message in lParam of WM_MOUSEMOVE.
TRAY_LEFT_UP, TRAY_LEFT_DOUBLE, TRAY_RIGHT_UP = 0x0202, 0x0203, 0x0205
TRAY_ITEMS = ["一時停止(&P)", "設定(&S)", "メッセージアラーム設定(&M)", "現在時刻をコピー(&C)",
              "システム情報をコピー(&I)", "バージョン情報(&A)", "終了(&X)"]


def tray(s, callback, mouse):
    s.winctl.post(callback, 0x0200, 0, mouse)


def open_menus(s):
    return [w for w in s.winctl.windows() if w.get("class") == MENU_CLASS and w.get("visible")]


def wait_menu(s):
    return wait_for("a menu on screen", lambda: (lambda m: m[0] if m else None)(open_menus(s)), 10)


def dismiss_menu(s, k):
    """Esc, as the menu loop of Kestrova's thread sees it whichever window has the X focus."""
    s.winctl.post(k.settings_window()["hwnd"], WM_KEYDOWN, VK_ESCAPE, 0)
    wait_for("the menu to close", lambda: not open_menus(s), 5)


def pixels(shot, rect):
    left, top, right, bottom = rect
    return subprocess.run(["convert", shot, "-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage",
                           "rgb:-"], capture_output=True, timeout=30, check=True).stdout


def drawn(s, rect, name):
    """The pixels of rect once two screenshots in a row agree (a menu is painted after it shows)."""
    last = None
    for _ in range(20):
        now = pixels(s.screenshot(name), rect)
        if now == last:
            return now
        last = now
        time.sleep(0.1)
    raise AssertionError(f"{name}: the screen did not settle")


def menu_rows(s, menu, name):
    """The vertical centres of a menu's text items as drawn (separators are thin rows between them)."""
    left, top, right, bottom = menu["rect"]
    width, height = right - left, bottom - top
    raw = drawn(s, menu["rect"], name)
    px = [raw[i:i + 3] for i in range(0, len(raw), 3)]
    background = max(set(px), key=px.count)
    inked = [any(p != background for p in px[y * width + 3:(y + 1) * width - 3]) for y in range(height)]
    rows, start = [], None
    for y in range(2, height - 2):
        if inked[y] and start is None:
            start = y
        elif not inked[y] and start is not None:
            if y - start >= 4:
                rows.append(top + (start + y) // 2)
            start = None
    return rows


def tray_menu_choose(s, callback, caption, name):
    tray(s, callback, TRAY_RIGHT_UP)
    menu = wait_menu(s)
    rows = menu_rows(s, menu, name)
    check(len(rows) == len(TRAY_ITEMS), f"the tray menu shows {len(rows)} items, not {len(TRAY_ITEMS)}")
    s.click_at(menu["rect"][0] + 30, rows[TRAY_ITEMS.index(caption)])


def wait_shown(k, shown=True, within=5):
    what = "the settings window to " + ("show" if shown else "stay hidden")
    return wait_for(what, lambda: (lambda w: w if w["visible"] == shown else None)(k.settings_window(timeout=5)),
                    within)


def wait_window(s, caption, within=15):
    """A shown window with this caption; in front of a resident copy it may carry the clock as well."""
    return wait_for(f"a window {caption!r}", lambda: next(
        (w for w in s.winctl.windows() if w.get("visible") and w.get("title", "").startswith(caption)), None),
        within, interval=0.2)


def wait_gone(s, hwnd, what, within=5):
    wait_for(f"{what} to close", lambda: not s.winctl.info(hwnd).get("visible"), within)


def keyboard_to(s, hwnd):
    """In front with the X input focus, so that keys pressed now reach it."""
    s.bring_to_front(hwnd)
    xid = s.winctl.info(hwnd)["xid"]
    try:
        wait_for("the X input focus", lambda: s.x_focus() == xid, 2)
    except E2EError:
        # Wine can leave the X focus on a window that closed while minimised: ask X directly.
        s.log(f"  X focus on {s.x_focus()}, not {xid}: focusing through xdotool")
        subprocess.run(["xdotool", "windowfocus", str(xid)], env=s.env, timeout=10,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("the X input focus", lambda: s.x_focus() == xid, 5)


def texts(s, hwnd):
    return [c["text"] for c in s.winctl.children(hwnd)]


def press(s, hwnd, caption):
    """Posted: a press that opens a modal window must not wait for it."""
    button = next((c for c in s.winctl.children(hwnd) if c["class"].lower() == "button" and
                   c["text"].startswith(caption)), None)
    check(button, f"no button {caption!r} in {texts(s, hwnd)}")
    s.winctl.post(button["hwnd"], BM_CLICK)


@test
def tray_clicks_follow_show_setting(f):
    s = f.s
    f.stop_kestrova()
    for word, opens in (("LCLICK", TRAY_LEFT_UP), ("LDBLCLICK", TRAY_LEFT_DOUBLE), ("NONE", None)):
        k = f.resident({"NotifyIcon": {"ShowSetting": word}})
        callback = callback_window(k)
        for mouse in (TRAY_LEFT_UP, TRAY_LEFT_DOUBLE):
            if mouse != opens:
                tray(s, callback, mouse)
        # Handled in order: once the menu is up, the clicks before it have had their effect.
        tray(s, callback, TRAY_RIGHT_UP)
        wait_menu(s)
        check(not k.settings_window()["visible"], f"ShowSetting={word}: the wrong click opened the settings")
        dismiss_menu(s, k)
        if opens is not None:
            tray(s, callback, opens)
        else:
            s.winctl.post(callback, WM_LBUTTONDOWN, 1, 0)  # a second copy's wake-up opens it anyway
        wait_shown(k)
    f.stop_kestrova()


def startup_folder(s):
    """Where Wine's CSIDL_STARTUP points in the test prefix."""
    for users in os.listdir(os.path.join(s.drive_c(), "users")):
        programs = os.path.join(s.drive_c(), "users", users, "AppData", "Roaming", "Microsoft", "Windows",
                                "Start Menu", "Programs")
        for name in os.listdir(programs) if os.path.isdir(programs) else []:
            if name.lower() == "startup":
                return os.path.join(programs, name)
    raise AssertionError("the prefix has no Startup folder")


def settings_menu_startup(s, hwnd, name):
    """Opens 設定(&S) on the menu bar, chooses its first item, スタートアップ…(&S); returns the drop-down as drawn."""
    keyboard_to(s, hwnd)
    s.move_pointer(1275, 795)  # away from the menu: the keyboard selects its first item, the pointer none
    key(s, "alt+s")
    menu = wait_menu(s)
    before = drawn(s, menu["rect"], name)
    key(s, "s")
    return before


def answer_question(s, question):
    box = wait_window(s, "スタートアップ登録")
    check(any(question in t for t in texts(s, box["hwnd"])), f"the question reads {texts(s, box['hwnd'])}")
    press(s, box["hwnd"], "はい")
    wait_gone(s, box["hwnd"], "the question")


def close_result(s, caption, shot):
    box = wait_window(s, caption)
    check("処理は正常に終了しました。" in texts(s, box["hwnd"]), f"{caption}: {texts(s, box['hwnd'])}")
    s.screenshot(shot)
    press(s, box["hwnd"], "OK")
    wait_gone(s, box["hwnd"], caption)


@test
def startup_registration_from_settings_menu(f):
    s = f.s
    k, w = shown_settings(f)
    hwnd = w["hwnd"]
    link = os.path.join(startup_folder(s), "Kestrova.lnk")
    check(not os.path.exists(link), f"{link} exists before registering")
    unregistered = settings_menu_startup(s, hwnd, "startup-menu-register")
    answer_question(s, "『Kestrova』をスタートアップに登録します。")
    close_result(s, "登録完了", "startup-registered")
    check(os.path.isfile(link), f"no {link} after registering")
    with open(link, "rb") as lnk:
        head = lnk.read(20)
    check(head[:4] == b"\x4c\0\0\0" and head[4:6] == b"\x01\x14", f"{link} starts with {head.hex()}")
    check(settings_menu_startup(s, hwnd, "startup-menu-remove") != unregistered,
          "the menu item did not change after registering")
    answer_question(s, "『Kestrova』をスタートアップから削除します。")
    close_result(s, "削除完了", "startup-removed")
    check(not os.path.exists(link), f"{link} is still there after removing")
    keyboard_to(s, hwnd)
    key(s, "alt+s")
    menu = wait_menu(s)
    check(drawn(s, menu["rect"], "startup-menu-again") == unregistered,
          "the menu item does not read スタートアップに登録 again after removing")
    key(s, "Escape")
    f.stop_kestrova()


def close_about(s, shot):
    about = wait_window(s, ABOUT_CAPTION)
    shown = texts(s, about["hwnd"])
    check(any(re.fullmatch(r"Ver\.\d+\.\d+\.\d+", t) for t in shown), f"no version in the about window: {shown}")
    s.screenshot(shot)
    press(s, about["hwnd"], "OK")
    wait_gone(s, about["hwnd"], "the about window")


@test
def about_window_from_both_menus(f):
    s = f.s
    f.stop_kestrova()
    k = f.resident()
    callback = callback_window(k)
    tray_menu_choose(s, callback, "バージョン情報(&A)", "tray-menu")
    close_about(s, "about-from-tray")
    s.winctl.post(callback, WM_LBUTTONDOWN, 1, 0)
    hwnd = wait_shown(k)["hwnd"]
    keyboard_to(s, hwnd)
    key(s, "alt+h")
    wait_menu(s)
    key(s, "a")
    close_about(s, "about-from-menu-bar")
    check(s.winctl.info(hwnd)["visible"], "the settings window went away with the about window")
    f.stop_kestrova()


def free_point(s, window):
    """A point of window that no other visible window covers."""
    others = [w["rect"] for w in s.winctl.windows() if w["visible"] and w["hwnd"] != window["hwnd"]]
    left, top, right, bottom = s.winctl.info(window["hwnd"])["rect"]
    for y in range(bottom - 40, top + 60, -40):
        for x in range(right - 40, left + 20, -40):
            if not any(l <= x < r and t <= y < b for l, t, r, b in others):
                return x, y
    raise AssertionError(f"no part of {window['title']!r} is uncovered")


def xdotool(s, *args):
    subprocess.run(["xdotool", *args], env=s.env, timeout=10, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


@test
def rule_editor_drag_pick_keeps_notepad_plain(f):
    s = f.s
    pad = f.get_notepad()
    k, w = shown_settings(f, merged(SETTINGS_SHOWN, FAST))
    hwnd = w["hwnd"]
    keyboard_to(s, hwnd)
    # With the settings window in front, the window decorated before has its own title again.
    wait_plain(s, pad["hwnd"], f.notepad_title)
    key(s, "ctrl+Tab")  # the page タイトル
    wait_for("the page タイトル", lambda: any(c["visible"] and c["text"] == "追加" for c in s.winctl.children(hwnd)), 5)
    press(s, hwnd, "追加")
    editor = wait_window(s, RULE_EDITOR_CAPTION)
    kids = s.winctl.children(editor["hwnd"])
    name, title_box, class_box = [c["hwnd"] for c in kids if c["class"].lower() == "edit"]
    target = next(c for c in kids if c["class"].lower() == "static" and not c["text"])
    s.winctl.call("settitle", name, "メモ帳を除外")
    left, top, right, bottom = target["rect"]
    x, y = free_point(s, pad)
    s.move_pointer((left + right) // 2, (top + bottom) // 2)
    xdotool(s, "mousedown", "1")
    try:
        for step in range(1, 6):
            s.move_pointer((left + right) // 2 + (x - (left + right) // 2) * step // 5,
                           (top + bottom) // 2 + (y - (top + bottom) // 2) * step // 5)
            time.sleep(0.1)
        s.screenshot("rule-editor-drag")
    finally:
        xdotool(s, "mouseup", "1")
    picked = s.winctl.call("children", editor["hwnd"])
    boxes = {c["hwnd"]: c["text"] for c in picked}
    check(boxes[class_box] == "Notepad" and boxes[title_box] == f.notepad_title,
          f"the pick gave the title {boxes[title_box]!r} and the class {boxes[class_box]!r}")
    s.screenshot("rule-editor-picked")
    press(s, editor["hwnd"], "OK")
    wait_gone(s, editor["hwnd"], "the rule editor")
    press(s, hwnd, "OK")
    wait_shown(k, shown=False)
    own = "規則の外の窓"
    a = f.window(own)
    s.bring_to_front(a["hwnd"])
    wait_decorated(s, a["hwnd"], own)
    s.bring_to_front(pad["hwnd"])
    wait_plain(s, a["hwnd"], own)
    stays_plain(s, pad["hwnd"], f.notepad_title, 4 * FAST_TICK)
    f.stop_kestrova()


@test
def alarm_from_editor_shows_in_title(f):
    s = f.s
    f.stop_kestrova()
    k = f.resident(FAST)
    callback = callback_window(k)
    own, message = "伝言を待つ窓", "エディタで足した伝言"
    a = f.window(own)
    s.bring_to_front(a["hwnd"])
    wait_decorated(s, a["hwnd"], own)
    tray_menu_choose(s, callback, "メッセージアラーム設定(&M)", "tray-menu-alarm")
    editor = wait_window(s, ALARM_EDITOR_CAPTION)
    # No condition checked: the entry is always due.
    title_box, message_box = [c["hwnd"] for c in s.winctl.children(editor["hwnd"]) if c["class"].lower() == "edit"]
    s.winctl.call("settitle", title_box, "e2eの伝言")
    s.winctl.call("settitle", message_box, message)
    press(s, editor["hwnd"], "追加")
    s.screenshot("alarm-editor")
    press(s, editor["hwnd"], "OK")
    wait_gone(s, editor["hwnd"], "the alarm editor")
    s.bring_to_front(a["hwnd"])
    message_shown(s, a["hwnd"], own, message)
    f.stop_kestrova()


class Budget(Exception):
    pass


# --- titles after a hard kill -------------------------------------------------


def kill_hard(k):
    """SIGKILL of the Wine process: no exit code of Kestrova's own runs."""
    p = k.proc
    try:
        os.killpg(p.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    p.wait(10)
    k.procs = []
    wait_for("no Kestrova.exe process", lambda: not k.windows_processes(), 10)


@test
def titles_back_after_hard_kill(f):
    s = f.s
    f.stop_kestrova()
    pad = f.get_notepad()
    pad_own = f.notepad_title
    w = f.window("自分で変える窓")
    k = Kestrova(s, "kestrova-kill")
    record = os.path.join(k.folder, "Kestrova.titles")
    k.start_resident()
    f.kestrova, f.kestrova_ini = k, "kill"

    # Killed while the test window is decorated; the window retitles itself
    # while no Kestrova runs, and notepad comes to the front.
    s.bring_to_front(w["hwnd"])
    wait_decorated(s, w["hwnd"], "自分で変える窓")
    check(os.path.isfile(record), "no record of the decorated window beside Kestrova.exe")
    kill_hard(k)
    s.winctl.send(w["hwnd"], "title 新しい題")
    wait_for("the new title", lambda: s.winctl.title(w["hwnd"]) == "新しい題", 5)
    s.bring_to_front(pad["hwnd"])
    k.start_resident()
    wait_decorated(s, pad["hwnd"], pad_own)
    stays_plain(s, w["hwnd"], "新しい題", 2 * TICK)

    # Killed while notepad is decorated; another window is in front at the
    # next start: notepad's own title is back within one tick.
    kill_hard(k)
    check(clock_of(s.winctl.title(pad["hwnd"]), pad_own), "the kill took notepad's clock along")
    s.bring_to_front(w["hwnd"])
    k.start_resident()
    wait_plain(s, pad["hwnd"], pad_own, within=TICK + 1.0)
    wait_decorated(s, w["hwnd"], "新しい題")
    f.stop_kestrova()
    wait_plain(s, w["hwnd"], "新しい題", within=5)
    check(not os.path.exists(record), "an orderly end left the record behind")



# --- the caption overlay -------------------------------------------------------

OVERLAY_CLASS = "KestrovaCaptionOverlay"


def overlay(s):
    """Kestrova's overlay window, or None."""
    return next((w for w in s.winctl.windows() if w.get("class") == OVERLAY_CLASS), None)


def overlay_over(s, win, own, within=DECORATE_WITHIN):
    """Waits until the overlay shows the clock of win's title inside win's top strip; returns it."""
    def look():
        o = overlay(s)
        if not o or not o["visible"]:
            return None
        title = s.winctl.title(win["hwnd"])
        return o if clock_of(title, own) and o["title"] == title[len(own):].strip() else None
    try:
        o = wait_for(f"the overlay over {own!r}", look, within)
    except E2EError:
        raise AssertionError(f"no overlay with the clock over {own!r}: {overlay(s)}") from None
    left, top, right, bottom = o["rect"]
    wl, wt, wr, wb = s.winctl.info(win["hwnd"])["rect"]
    strip = 3 * (bottom - top)
    check(wl < left < right < wr and wt <= top < bottom <= wt + strip,
          f"the overlay {o['rect']} is not in the top strip of {[wl, wt, wr, wb]}")
    check(wr - right >= 100, f"the overlay {o['rect']} covers the caption buttons of {[wl, wt, wr, wb]}")
    check(s.winctl.foreground().get("hwnd") == win["hwnd"], "the overlay took the front")
    return o


def wait_no_overlay(s, what, within=DECORATE_WITHIN):
    try:
        wait_for(f"no overlay {what}", lambda: not (overlay(s) or {}).get("visible"), within)
    except E2EError:
        raise AssertionError(f"the overlay stayed {what}: {overlay(s)}") from None


OVERLAY_HEIGHTS = {}  # dpi: the plate's height in pixels


def overlay_shots(f, dpi, size):
    """A light and a dark self-drawn caption, each in front with its overlay; one picture of both."""
    s = f.s
    shots = []
    for look, own in (("light", "新しいタブ - ブラウザー"), ("dark", "ターミナル")):
        w = f.window(own, "--own-caption", look, "--size", *map(str, size), "--pos", "40", "60")
        s.bring_to_front(w["hwnd"])
        o = overlay_over(s, w, own)
        OVERLAY_HEIGHTS[dpi] = o["rect"][3] - o["rect"][1]
        s.bring_to_front(w["hwnd"])
        shot = s.screenshot(f"overlay-{dpi}dpi-{look}-screen")
        left, top, right, bottom = s.winctl.info(w["hwnd"])["rect"]
        shots.append(crop(s, shot, (left, top, right, top + (bottom - top) // 3), f"overlay-{dpi}dpi-{look}"))
        s.winctl.close(w["hwnd"])
    both = os.path.join(s.out_dir, f"overlay-{dpi}dpi.png")
    subprocess.run(["convert", *shots, "-background", "black", "-splice", "0x4", "-append", "+repage", both],
                   timeout=30, check=True)
    return both


@test
def overlay_on_self_drawn_caption(f):
    """The clock over a title bar the window draws itself: shown left of its
    buttons, gone when notepad (a standard caption) is in front or the window is
    minimised, back when it returns; pictures at 96 dpi."""
    s = f.s
    f.resident()
    pad = f.get_notepad()
    own = "自分で描くタイトル"
    w = f.window(own, "--own-caption", "light", "--size", "700", "300")
    s.bring_to_front(w["hwnd"])
    wait_decorated(s, w["hwnd"], own)
    overlay_over(s, w, own)
    s.bring_to_front(pad["hwnd"])
    wait_decorated(s, pad["hwnd"], f.notepad_title)
    wait_no_overlay(s, "over notepad")
    s.bring_to_front(w["hwnd"])
    overlay_over(s, w, own)
    s.winctl.post(w["hwnd"], 0x0112, 0xF020)  # WM_SYSCOMMAND SC_MINIMIZE
    wait_no_overlay(s, "over a minimised window")
    s.winctl.close(w["hwnd"])
    readme_picture(overlay_shots(f, 96, (700, 260)), "caption-overlay.png")


def no_overlay_for(s, what, seconds=2 * TICK + 0.5):
    """No overlay shows for several ticks."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        o = overlay(s)
        check(not (o or {}).get("visible"), f"an overlay {what}: {o}")
        time.sleep(0.1)


def z_index(s, hwnd):
    """The window's place in the z-order, 0 at the top."""
    return next(i for i, w in enumerate(s.winctl.windows()) if w["hwnd"] == hwnd)


@test
def overlay_only_where_it_belongs(f):
    """Only over application windows' empty caption: a bare pop-up, a tool window,
    a strip of tabs up to the buttons and a borderless window covering the
    monitor get none; the same self-drawn window maximised gets it. The plate
    is not topmost, lies directly above its target, and another program's
    topmost window over the caption stays above it."""
    s = f.s
    f.resident()
    for name, opts in (("ポップアップ", ["--popup"]), ("ツールウインドウ", ["--tool"]),
                       ("タブだらけ", ["--strip-client"]), ("全画面", ["--cover"])):
        w = f.window(name, "--own-caption", "light", "--size", "700", "300", "--pos", "40", "60", *opts)
        s.bring_to_front(w["hwnd"])
        wait_decorated(s, w["hwnd"], name)
        no_overlay_for(s, f"over {name} ({' '.join(opts)})")
        s.screenshot(f"overlay-none-{opts[0].strip('-')}")
        s.winctl.close(w["hwnd"])

    own = "最大化した窓"
    w = f.window(own, "--own-caption", "dark", "--maximise")
    s.bring_to_front(w["hwnd"])
    o = overlay_over(s, w, own)
    s.screenshot("overlay-maximised")
    check(not o["topmost"], f"the plate is topmost over a window that is not: {o}")
    check(z_index(s, o["hwnd"]) == z_index(s, w["hwnd"]) - 1, "the plate is not directly above its target")
    # A pinned window over the caption, in another program, not in front.
    left, top, right, bottom = o["rect"]
    pin = f.window("最前面の窓", "--topmost", "--size", "260", "160", "--pos", str(left - 60), str(top))
    wait_for("the pinned window shown", lambda: s.winctl.info(pin["hwnd"]).get("visible"), 10)
    time.sleep(2 * TICK + 0.5)
    check(s.winctl.foreground().get("hwnd") == w["hwnd"], "the pinned window took the front")
    o = overlay(s)
    check(o and o["visible"], f"the plate went with the pinned window: {o}")
    check(z_index(s, pin["hwnd"]) < z_index(s, o["hwnd"]), "the plate went over another program's topmost window")
    check(z_index(s, o["hwnd"]) == z_index(s, w["hwnd"]) - 1, "the plate is not directly above its target")
    s.screenshot("overlay-under-topmost")
    s.winctl.close(pin["hwnd"])
    s.winctl.close(w["hwnd"])


@test
def overlay_at_150_percent(f):
    """The same at 144 dpi (Wine's LogPixels): the plate and its font grow with the caption."""
    s = f.s
    key_path = r"HKCU\Control Panel\Desktop"
    f.stop_kestrova()
    s.run([s.wine, "reg", "add", key_path, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "144", "/f"], timeout=60)
    try:
        f.resident()
        overlay_shots(f, 144, (900, 330))
        if 96 in OVERLAY_HEIGHTS:
            check(OVERLAY_HEIGHTS[144] >= 1.3 * OVERLAY_HEIGHTS[96],
                  f"the plate did not grow with the dpi: {OVERLAY_HEIGHTS}")
    finally:
        f.stop_kestrova()
        s.run([s.wine, "reg", "add", key_path, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "96", "/f"],
              timeout=60)

# --- hotkeys and the command line ------------------------------------------------

TYPED = re.compile(r"<(\d{4})/(\d\d)/(\d\d)\((Sun|Mon|Tue|Wed|Thu|Fri|Sat)\) (\d\d):(\d\d):(\d\d)>")


def kestrova_option(s, k, *options, timeout=30):
    """Kestrova.exe started with options beside the running copy: (exit code, what it printed)."""
    p = subprocess.run([s.wine, os.path.join(k.folder, "Kestrova.exe"), *options], env=s.env, cwd=k.folder,
                       stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout)
    return p.returncode, p.stdout.decode("utf-8", "replace")


@test
def command_line_options_act_on_the_running_copy(f):
    s = f.s
    k = f.resident()
    own = "コマンドライン"
    a = f.window(own)
    s.bring_to_front(a["hwnd"])
    wait_decorated(s, a["hwnd"], own)
    check(kestrova_option(s, k, "/pause")[0] == 0, "/pause did not answer 0")
    wait_plain(s, a["hwnd"], own, within=1.0)
    stays_plain(s, a["hwnd"], own, 2 * TICK + 0.5)
    check(kestrova_option(s, k, "/RESUME")[0] == 0, "/RESUME did not answer 0")
    wait_decorated(s, a["hwnd"], own)
    check(kestrova_option(s, k, "/timecopy")[0] == 0, "/timecopy did not answer 0")
    copied = s.winctl.clipboard() or ""
    check(clock_of(own + copied, own) is not None, f"the clipboard holds {copied!r}, not the clock")
    check(kestrova_option(s, k, "/sysinfocopy")[0] == 0, "/sysinfocopy did not answer 0")
    check(s.winctl.clipboard() != copied, "the system information did not replace the clock on the clipboard")
    for bad in (["/stop"], ["/pause", "/resume"]):
        code, out = kestrova_option(s, k, *bad)
        check(code == 2, f"{bad} ended with {code}, not 2")
        check("/timetype" in out and "/exit" in out, f"{bad}: the options are not listed: {out!r}")
    check(len(k.windows_processes()) == 1, "an option started a second resident copy")
    check(kestrova_option(s, k, "/setting")[0] == 0, "/setting did not answer 0")
    wait_for("the settings window to show", lambda: k.settings_window()["visible"], 5)
    s.screenshot("30-setting-from-the-command-line")
    check(kestrova_option(s, k, "/exit")[0] == 0, "/exit did not answer 0")
    wait_plain(s, a["hwnd"], own, within=5)
    try:
        k.proc.wait(10)
    except Exception:
        raise AssertionError("Kestrova.exe still runs 10s after /exit") from None
    f.kestrova = None
    code, _ = kestrova_option(s, k, "/timecopy")
    check(code == 1, f"/timecopy with no copy running ended with {code}, not 1")
    check(not k.windows_processes(), "/timecopy with no copy running started one")


@test
def hotkeys_pause_type_and_report_a_held_combination(f):
    s = f.s
    # Ctrl+Alt+H is another program's before Kestrova starts (MOD_ALT | MOD_CONTROL, 'H').
    holder = f.window("ホットキー保持", "--hotkey", "3", "72")
    f.stop_kestrova()
    def balloons():
        return [w for w in s.winctl.windows() if w["visible"] and w["class"].lower() == "tooltips_class32"]
    check(not balloons(), f"a balloon before the start: {balloons()}")
    k = f.resident({"Hotkey": {"Pause": "Ctrl+Alt+P", "TimeCopy": "Ctrl+Alt+H", "TimeType": "Ctrl+Shift+Y"}})
    # The tray icon's balloon names it (Wine draws it as a tooltip of its own; its text is in the picture).
    wait_for("the tray icon's balloon", balloons, 5)
    s.screenshot("31-held-hotkey-balloon")
    pad = f.get_notepad()
    own = f.notepad_title
    keyboard_to(s, pad["hwnd"])
    wait_decorated(s, pad["hwnd"], own)
    key(s, "ctrl+alt+p")
    wait_plain(s, pad["hwnd"], own, within=2.0)
    key(s, "ctrl+alt+p")
    wait_decorated(s, pad["hwnd"], own)
    edit = next(c for c in s.winctl.children(pad["hwnd"]) if c["class"].lower() == "edit")
    s.winctl.call("settitle", edit["hwnd"], "")
    key(s, "ctrl+shift+y")

    def typed_text():
        t = next(c["text"] for c in s.winctl.children(pad["hwnd"]) if c["hwnd"] == edit["hwnd"])
        return t if TYPED.fullmatch(t) else None
    typed = wait_for("the time typed into notepad", typed_text, 5)
    check(typed.startswith("<"), f"typed {typed!r}")
    s.screenshot("32-time-typed-into-notepad")
    s.winctl.call("settitle", edit["hwnd"], "")
    # The held one: named in the hotkey dialog, opened from 設定 on the menu bar.
    check(kestrova_option(s, k, "/setting")[0] == 0, "/setting did not answer 0")
    w = wait_for("the settings window to show", lambda: (lambda x: x if x["visible"] else None)(
        k.settings_window()), 5)
    keyboard_to(s, w["hwnd"])
    key(s, "alt+s")
    wait_menu(s)
    key(s, "k")
    box = wait_window(s, "Kestrova-ホットキー")
    s.screenshot("33-hotkey-dialog")
    shown = texts(s, box["hwnd"])
    check("Ctrl+Alt+H は他のプログラムが使用中です" in shown, f"the dialog shows {shown}")
    key(s, "Escape")
    wait_gone(s, box["hwnd"], "the hotkey dialog")
    s.winctl.close(holder["hwnd"])
    f.stop_kestrova()

# --- the colours of every window ------------------------------------------------

PERSONALIZE = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize"
COUNTDOWN_PICKER_CAPTION = "Kestrova-メッセージアラームより取得"
TIME_FORMAT_CAPTION = "Kestrova-時刻形式の設定"


def _channel(c):
    c /= 255.0
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4


def luminance(p):
    return 0.2126 * _channel(p[0]) + 0.7152 * _channel(p[1]) + 0.0722 * _channel(p[2])


def contrast(a, b):
    la, lb = luminance(a), luminance(b)
    return (max(la, lb) + 0.05) / (min(la, lb) + 0.05)


def rgb_pixels(shot, rect):
    raw = pixels(shot, rect)
    return [tuple(raw[i:i + 3]) for i in range(0, len(raw) - 2, 3)]


def client_rect(s, hwnd):
    """What the window's controls cover: its client area without the caption Wine draws."""
    kids = [c["rect"] for c in s.winctl.children(hwnd) if c["visible"]]
    check(kids, "a window without visible controls")
    return (min(r[0] for r in kids), min(r[1] for r in kids), max(r[2] for r in kids), max(r[3] for r in kids))


def mean_luminance(shot, rect):
    px = rgb_pixels(shot, rect)
    return sum(luminance(p) for p in px) / max(1, len(px))


def best_contrast(shot, rect):
    """Of the pixel that stands out most from the commonest colour (the text's ink against its ground)."""
    px = rgb_pixels(shot, rect)
    if not px:
        return 21.0
    counts = {}
    for p in px:
        counts[p] = counts.get(p, 0) + 1
    back = max(counts, key=counts.get)
    return max(contrast(p, back) for p in set(px))


def check_colours(s, hwnd, name, dark=True):
    """The window in front; its client area dark (or light), every text of it readable."""
    s.bring_to_front(hwnd)
    time.sleep(0.4)
    shot = s.screenshot(f"{name}-screen")
    crop(s, shot, s.winctl.info(hwnd)["rect"], name)
    area = client_rect(s, hwnd)
    mean = mean_luminance(shot, area)
    if dark:
        check(mean < 0.2, f"{name}: the client area is not dark (mean luminance {mean:.2f})")
    else:
        check(mean > 0.5, f"{name}: the client area is not light (mean luminance {mean:.2f})")
    bar = s.winctl.info(hwnd).get("menubar")
    if bar:
        mean = mean_luminance(shot, bar)
        check((mean < 0.2) if dark else (mean > 0.5), f"{name}: the menu bar's mean luminance is {mean:.2f}")
        check(best_contrast(shot, bar) >= 4.5, f"{name}: the menu bar's text cannot be read")
    for c in s.winctl.children(hwnd):
        left, top, right, bottom = c["rect"]
        if not c["visible"] or not c["text"].strip() or right - left < 4 or bottom - top < 4:
            continue
        # Disabled text needs 3:1 only. In the light palette Windows draws the controls itself,
        # disabled ones in its own grey, which is not ours to judge.
        if not c.get("enabled", True) and not dark:
            continue
        least = 4.5 if c.get("enabled", True) else 3.0
        ratio = best_contrast(shot, c["rect"])
        check(ratio >= least, f"{name}: the text {c['text']!r} ({c['class']}) has a contrast of {ratio:.1f}")
    return shot


def check_menu(s, name, dark=True):
    menu = wait_menu(s)
    drawn(s, menu["rect"], name)
    shot = os.path.join(s.out_dir, f"{name}.png")
    mean = mean_luminance(shot, menu["rect"])
    check((mean < 0.2) if dark else (mean > 0.5), f"{name}: the menu's mean luminance is {mean:.2f}")
    ratio = best_contrast(shot, menu["rect"])
    check(ratio >= 4.5, f"{name}: the menu's text has a contrast of {ratio:.1f}")


def set_windows_mode(s, light):
    s.run([s.wine, "reg", "add", PERSONALIZE, "/v", "AppsUseLightTheme", "/t", "REG_DWORD", "/d",
           "1" if light else "0", "/f"], timeout=60)


def forget_windows_mode(s):
    s.run([s.wine, "reg", "delete", PERSONALIZE, "/v", "AppsUseLightTheme", "/f"], timeout=60, check=False)


def open_dialog(s, hwnd, button, caption, name, dark):
    press(s, hwnd, button)
    dialog = wait_window(s, caption)
    check_colours(s, dialog["hwnd"], name, dark)
    s.winctl.close(dialog["hwnd"])
    wait_gone(s, dialog["hwnd"], caption)
    keyboard_to(s, hwnd)


def every_window(f, ini, tag, dark=True):
    """The settings window's seven pages and the windows they open, the menus and the about window."""
    s = f.s
    k, w = shown_settings(f, merged(SETTINGS_SHOWN, alarm(0, "色の確認"), ini))
    hwnd = w["hwnd"]
    keyboard_to(s, hwnd)
    dialogs = {1: [("追加", RULE_EDITOR_CAPTION, "rule-editor")],
               2: [("詳細...", TIME_FORMAT_CAPTION, "time-format"), ("設定", ALARM_EDITOR_CAPTION, "alarm-editor")],
               4: [("メッセージアラームから取得", COUNTDOWN_PICKER_CAPTION, "countdown-picker")]}
    for page in range(len(PAGE_CAPTIONS)):
        check_colours(s, hwnd, f"{tag}-settings-page-{page}", dark)
        for button, caption, name in dialogs.get(page, []):
            open_dialog(s, hwnd, button, caption, f"{tag}-{name}", dark)
        keyboard_to(s, hwnd)
        key(s, "ctrl+Tab")
        time.sleep(0.3)
    key(s, "alt+f")
    check_menu(s, f"{tag}-menu-bar", dark)
    key(s, "Escape")
    key(s, "Escape")
    keyboard_to(s, hwnd)
    key(s, "alt+h")
    wait_menu(s)
    key(s, "a")
    about = wait_window(s, ABOUT_CAPTION)
    check_colours(s, about["hwnd"], f"{tag}-about", dark)
    press(s, about["hwnd"], "OK")
    wait_gone(s, about["hwnd"], "the about window")
    keyboard_to(s, hwnd)
    key(s, "alt+s")
    wait_menu(s)
    key(s, "k")
    hotkeys = wait_window(s, "Kestrova-ホットキー")
    check_colours(s, hotkeys["hwnd"], f"{tag}-hotkeys", dark)
    key(s, "Escape")
    wait_gone(s, hotkeys["hwnd"], "the hotkey dialog")
    press(s, hwnd, "OK")
    wait_shown(k, shown=False)
    # The tray menu of a copy started in the tray, as users see it.
    f.stop_kestrova()
    k = f.resident(ini)
    tray(s, callback_window(k), TRAY_RIGHT_UP)
    check_menu(s, f"{tag}-tray-menu", dark)
    dismiss_menu(s, k)
    return k


@test
def windows_dark_mode_followed_and_light_setting_kept(f):
    """Theme=0 follows AppsUseLightTheme=0; Theme=1 stays light under it."""
    s = f.s
    set_windows_mode(s, light=False)
    try:
        k, w = shown_settings(f, merged(SETTINGS_SHOWN, {"Main": {"Theme": "0"}}))
        check_colours(s, w["hwnd"], "follow-windows-dark")
        readme_picture(os.path.join(s.out_dir, "follow-windows-dark.png"), "settings-window-dark.png")
        k, w = shown_settings(f, merged(SETTINGS_SHOWN, {"Main": {"Theme": "1"}}))
        check_colours(s, w["hwnd"], "light-under-dark-windows", dark=False)
        f.stop_kestrova()
    finally:
        forget_windows_mode(s)


@test
def windows_mode_change_repaints_an_open_window(f):
    """AppsUseLightTheme changed and the change broadcast: the open window turns dark within a second."""
    s = f.s
    set_windows_mode(s, light=True)
    try:
        k, w = shown_settings(f, merged(SETTINGS_SHOWN, {"Main": {"Theme": "0"}}))
        hwnd = w["hwnd"]
        check_colours(s, hwnd, "live-before", dark=False)
        set_windows_mode(s, light=False)
        s.winctl.call("settingchange", "ImmersiveColorSet")
        changed = time.monotonic()
        area = client_rect(s, hwnd)
        # The time of a picture is when it was taken, not when it was looked at.
        taken = None
        while taken is None and time.monotonic() - changed < 5:
            at = time.monotonic() - changed
            if mean_luminance(s.screenshot("live-turning"), area) < 0.2:
                taken = at
        s.log(f"  dark in the picture taken {taken}s after the broadcast")
        check(taken is not None and taken <= 1.0, f"not dark within a second of the broadcast ({taken}s)")
        check_colours(s, hwnd, "live-after")
        check(k.proc.poll() is None, "Kestrova restarted or ended")
        f.stop_kestrova()
    finally:
        forget_windows_mode(s)


LOG_PIXELS = r"HKCU\Control Panel\Desktop"


def set_dpi(s, dpi):
    s.run([s.wine, "reg", "add", LOG_PIXELS, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f"],
          timeout=60)


def popup_colours(f, ini, name, dark=True):
    """The alarm popup: alarms are looked at only while some window is in front, so put one there."""
    s = f.s
    f.resident(merged(alarm(0, "画面の色のお知らせ", box=1), ini))
    s.bring_to_front(f.get_notepad()["hwnd"])
    popup = wait_popup(s)
    check_colours(s, popup["hwnd"], name, dark)
    s.winctl.close(popup["hwnd"])
    wait_for("the popup to close", lambda: not popups(s), 5)
    f.stop_kestrova()


# (tag, the Theme key, Windows' AppsUseLightTheme or None to leave it unset, dark expected, dpis)
COLOUR_SWEEPS = [("dark", "2", None, True, (96, 144)), ("follow", "0", 0, True, (96, 144)),
                 ("light", "1", 0, False, (96,))]


@test
def every_window_follows_the_colour_setting_at_96_and_144_dpi(f):
    """Every window and menu opens dark (Theme=2; Theme=0 under a dark Windows) or light (Theme=1, at 96 dpi),
    texts readable."""
    s = f.s
    try:
        for dpi in (96, 144):
            f.stop_kestrova()
            set_dpi(s, dpi)
            for tag, theme, system, dark, dpis in COLOUR_SWEEPS:
                if dpi not in dpis:
                    continue
                if system is None:
                    forget_windows_mode(s)
                else:
                    set_windows_mode(s, light=bool(system))
                ini = {"Main": {"Theme": theme}}
                t0 = time.monotonic()
                every_window(f, ini, f"{tag}-{dpi}dpi", dark)
                f.stop_kestrova()
                popup_colours(f, ini, f"{tag}-{dpi}dpi-alarm-popup", dark)
                s.log(f"  {tag} at {dpi} dpi: {time.monotonic() - t0:.1f}s")
    finally:
        f.stop_kestrova()
        forget_windows_mode(s)
        set_dpi(s, 96)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build-dir", default=os.path.join(ROOT, "build", "windows"))
    ap.add_argument("--out-dir", default=os.path.join(ROOT, "build", "e2e"))
    ap.add_argument("-k", dest="only", action="append", help="run only tests whose name contains this")
    ap.add_argument("--budget", type=float, default=650.0, help="seconds for the whole run")
    ap.add_argument("--readme-pictures", action="store_true",
                    help="also copy the README's pictures into docs/ (scripts/readme-pictures.sh)")
    args = ap.parse_args()
    if args.readme_pictures:
        README_PICTURES["dir"] = os.path.join(ROOT, "docs")

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
