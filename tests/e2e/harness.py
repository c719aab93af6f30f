"""The machinery behind the end-to-end tests: a private X server, a fresh Wine
prefix, the helper programs and Kestrova itself.

Python standard library only. Every wait has a timeout, and Session.close()
takes everything down (wineserver -k, Xvfb) whatever happened before.
"""

import json
import os
import queue
import re
import select
import shutil
import signal
import subprocess
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


class E2EError(Exception):
    pass


def wait_for(what, predicate, timeout, interval=0.1):
    """Polls predicate until it returns something truthy; raises on timeout."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        last = predicate()
        if last:
            return last
        if time.monotonic() >= deadline:
            raise E2EError(f"timed out after {timeout:.1f}s waiting for {what}")
        time.sleep(interval)


def _japanese_locale():
    out = subprocess.run(["locale", "-a"], capture_output=True, text=True, timeout=10).stdout
    for name in out.split():
        if name.lower().replace("-", "") in ("ja_jp.utf8",):
            return "ja_JP.UTF-8"
    raise E2EError("locale ja_JP.UTF-8 is not generated (scripts/install-deps.sh does it)")


def _kill_group(proc, grace=3.0):
    if proc is None or proc.poll() is not None:
        return
    try:
        os.killpg(proc.pid, signal.SIGTERM)
    except (ProcessLookupError, PermissionError):
        proc.terminate()
    try:
        proc.wait(grace)
    except subprocess.TimeoutExpired:
        try:
            os.killpg(proc.pid, signal.SIGKILL)
        except (ProcessLookupError, PermissionError):
            proc.kill()
        proc.wait(grace)


class WinCtl:
    """A long-lived `winctl serve`: one request line in, one JSON line out."""

    def __init__(self, session):
        self.session = session
        self.proc = None
        self.lines = None

    def _start(self):
        self.proc = self.session.popen([self.session.exe("winctl.exe"), "serve"], stdin=subprocess.PIPE,
                                       stdout=subprocess.PIPE, log_name="winctl")
        self.lines = queue.Queue()
        stream, lines = self.proc.stdout, self.lines

        def pump():
            for raw in stream:
                lines.put(raw)
            lines.put(None)

        threading.Thread(target=pump, daemon=True).start()

    def call(self, *args, timeout=15.0):
        if self.proc is None or self.proc.poll() is not None:
            self._start()
        line = "\t".join(str(a) for a in args) + "\n"
        try:
            self.proc.stdin.write(line.encode("utf-8"))
            self.proc.stdin.flush()
            raw = self.lines.get(timeout=timeout)
        except (queue.Empty, BrokenPipeError) as e:
            self.stop()
            raise E2EError(f"winctl {args[0]} gave no answer ({type(e).__name__})")
        if raw is None:
            self.stop()
            raise E2EError(f"winctl ended while answering {args[0]}")
        result = json.loads(raw.decode("utf-8"))
        if isinstance(result, dict) and "error" in result:
            raise E2EError(f"winctl {args}: {result['error']}")
        return result

    def stop(self):
        if self.proc is not None:
            try:
                self.proc.stdin.close()
            except OSError:
                pass
            _kill_group(self.proc, grace=2.0)
            self.proc = None

    # Convenience wrappers.
    def windows(self):
        return self.call("list")

    def info(self, hwnd):
        return self.call("info", hwnd)

    def title(self, hwnd):
        w = self.info(hwnd)
        if not w.get("exists"):
            raise E2EError(f"window {hwnd} is gone")
        return w["title"]

    def foreground(self):
        return self.call("foreground")

    def front(self, hwnd):
        return self.call("front", hwnd)

    def close(self, hwnd):
        return self.call("close", hwnd)

    def mdi_active(self, hwnd):
        return self.call("mdiactive", hwnd)

    def send(self, hwnd, command):
        return self.call("send", hwnd, command)

    def children(self, hwnd):
        """The direct child windows: hwnd, id, class, text, visible, checked (buttons)."""
        return self.call("children", hwnd)

    def click(self, hwnd):
        return self.call("click", hwnd)

    def post(self, hwnd, message, wparam=0, lparam=0):
        return self.call("post", hwnd, str(message), str(wparam), str(lparam))

    def clipboard(self):
        return self.call("clipboard").get("text")

    def processes(self, exe=None):
        procs = self.call("procs")
        return [p for p in procs if exe is None or p["exe"].lower() == exe.lower()]

    def find(self, timeout=10.0, **match):
        """The first top-level window whose fields equal all of match."""
        def look():
            for w in self.windows():
                if all(w.get(k) == v for k, v in match.items()):
                    return w
            return None
        return wait_for(f"a window with {match}", look, timeout, interval=0.2)


class Session:
    """Xvfb + a fresh Wine prefix + helper programs, torn down by close()."""

    def __init__(self, build_dir, out_dir, log=print):
        # Wine runs the programs from the temporary folder: paths must be absolute.
        self.build_dir = os.path.abspath(build_dir)
        self.out_dir = os.path.abspath(out_dir)
        self.log = log
        self.tmp = tempfile.mkdtemp(prefix="kestrova-e2e-")
        self.prefix = os.path.join(self.tmp, "prefix")
        self.xvfb = None
        self.display = None
        self.env = None
        self.procs = []
        self.winctl = WinCtl(self)
        os.makedirs(self.out_dir, exist_ok=True)
        for old in os.listdir(self.out_dir):
            if old.endswith((".png", ".log")):
                os.remove(os.path.join(self.out_dir, old))
        self.wine = shutil.which("wine") or shutil.which("wine64")
        if not self.wine:
            raise E2EError("wine is not installed (scripts/install-deps.sh installs it)")

    def exe(self, name):
        path = os.path.join(self.build_dir, name)
        if not os.path.isfile(path):
            raise E2EError(f"{path} is missing: build the windows preset first")
        return path

    def _logfile(self, name):
        return open(os.path.join(self.out_dir, f"{name}.log"), "ab")

    # --- start-up -----------------------------------------------------------

    def start(self):
        locale = _japanese_locale()
        self._start_xvfb()
        self.env = dict(os.environ)
        self.env.update({
            "DISPLAY": f":{self.display}",
            "WINEPREFIX": self.prefix,
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "LC_ALL": locale,
            "LANG": locale,
        })
        self.env.pop("WAYLAND_DISPLAY", None)
        t0 = time.monotonic()
        self.run([self.wine, "wineboot", "-i"], timeout=180, log_name="wineboot")
        # Without a window manager Wine must draw the captions itself, or no
        # title would be visible on the screen at all.
        for value in ("Managed", "Decorated"):
            self.run([self.wine, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", value, "/d", "N", "/f"],
                     timeout=60, log_name="wineboot")
        self.run(["wineserver", "-w"], timeout=60, log_name="wineboot")
        self.log(f"  wine prefix ready in {time.monotonic() - t0:.1f}s (display :{self.display})")

    def _start_xvfb(self):
        r, w = os.pipe()
        try:
            self.xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset"],
                pass_fds=(w,), stdout=self._logfile("xvfb"), stderr=subprocess.STDOUT, start_new_session=True)
        finally:
            os.close(w)
        data = b""
        deadline = time.monotonic() + 20
        while not data.endswith(b"\n"):
            left = deadline - time.monotonic()
            ready, _, _ = select.select([r], [], [], max(left, 0))
            if not ready:
                os.close(r)
                raise E2EError("Xvfb did not report a display within 20s")
            chunk = os.read(r, 64)
            if not chunk:
                break
            data += chunk
        os.close(r)
        if not data.strip().isdigit():
            raise E2EError(f"Xvfb failed to start (see {self.out_dir}/xvfb.log)")
        self.display = int(data.strip())

    # --- processes ----------------------------------------------------------

    def run(self, argv, timeout, log_name="commands", check=True):
        with self._logfile(log_name) as log:
            p = subprocess.run(argv, env=self.env, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                               timeout=timeout, cwd=self.tmp)
        if check and p.returncode != 0:
            raise E2EError(f"{' '.join(argv[:3])} failed with {p.returncode}")
        return p.returncode

    def popen(self, argv, log_name="programs", cwd=None, stdin=subprocess.DEVNULL, stdout=None):
        """Starts a Windows program under Wine; it is killed by close()."""
        log = self._logfile(log_name)
        p = subprocess.Popen([self.wine] + argv, env=self.env, cwd=cwd or self.tmp, stdin=stdin,
                             stdout=stdout if stdout is not None else log, stderr=log, start_new_session=True)
        log.close()
        self.procs.append(p)
        return p

    def testwin(self, cls, title, *extra, timeout=20.0):
        """Starts testwin with a window class of its own; returns its window."""
        self.popen([self.exe("testwin.exe"), "--class", cls, "--title", title] + list(extra), log_name="testwin")
        return self.winctl.find(timeout=timeout, **{"class": cls})

    def notepad(self, timeout=30.0):
        self.popen(["notepad"], log_name="notepad")
        return self.winctl.find(timeout=timeout, **{"class": "Notepad", "visible": True})

    def bring_to_front(self, hwnd, timeout=10.0):
        """winctl's front, then X input focus through xdotool if Wine needs it."""
        if self.winctl.front(hwnd).get("ok"):
            return
        w = self.winctl.info(hwnd)
        if w.get("xid"):
            subprocess.run(["xdotool", "windowfocus", str(w["xid"])], env=self.env, timeout=10,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(f"window {hwnd} in front", lambda: self.winctl.foreground().get("hwnd") == hwnd, timeout)

    # --- the X side ---------------------------------------------------------

    def x_title(self, xid):
        """_NET_WM_NAME of an X window: the title as the desktop shows it."""
        out = subprocess.run(["xprop", "-id", str(xid), "-notype", "_NET_WM_NAME"], env=self.env,
                             capture_output=True, timeout=10).stdout.decode("utf-8", "replace")
        m = re.match(r'_NET_WM_NAME = "(.*)"\s*$', out, re.S)
        if not m:
            raise E2EError(f"xprop gave no _NET_WM_NAME for {xid}: {out.strip()}")
        return re.sub(r"\\(.)", r"\1", m.group(1))

    def x_focus(self):
        out = subprocess.run(["xdotool", "getwindowfocus"], env=self.env, capture_output=True, text=True,
                             timeout=10).stdout.strip()
        return int(out) if out.isdigit() else 0

    def move_pointer(self, x, y):
        """Moves the X pointer; with no window manager, X and Wine screen coordinates agree."""
        subprocess.run(["xdotool", "mousemove", str(x), str(y)], env=self.env, timeout=10, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def click_at(self, x, y):
        self.move_pointer(x, y)
        subprocess.run(["xdotool", "click", "1"], env=self.env, timeout=10, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def drive_c(self):
        """The host folder behind the prefix's drive C:."""
        return os.path.realpath(os.path.join(self.prefix, "dosdevices", "c:"))

    def screenshot(self, name):
        path = os.path.join(self.out_dir, f"{name}.png")
        subprocess.run(["import", "-display", f":{self.display}", "-window", "root", path], env=self.env,
                       timeout=30, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    # --- tear-down ----------------------------------------------------------

    def close(self):
        self.winctl.stop()
        if self.env is not None:
            try:
                subprocess.run(["wineserver", "-k"], env=self.env, timeout=20, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
            except subprocess.TimeoutExpired:
                pass
        for p in self.procs:
            _kill_group(p, grace=2.0)
        _kill_group(self.xvfb)
        shutil.rmtree(self.tmp, ignore_errors=True)


KESTROVA_INI_DEFAULTS = {"Main": {"Use": "1", "WindowHide": "1"}}
SETTINGS_CAPTION = "Kestrova-設定画面"


class Kestrova:
    """One copy of Kestrova.exe in a folder of its own, with its Kestrova.ini."""

    def __init__(self, session, name, ini=None):
        self.session = session
        self.folder = os.path.join(session.tmp, name)
        os.makedirs(self.folder, exist_ok=True)
        shutil.copy2(session.exe("Kestrova.exe"), os.path.join(self.folder, "Kestrova.exe"))
        sections = {k: dict(v) for k, v in KESTROVA_INI_DEFAULTS.items()}
        for section, keys in (ini or {}).items():
            sections.setdefault(section, {}).update(keys)
        text = "".join(f"[{s}]\r\n" + "".join(f"{k}={v}\r\n" for k, v in keys.items())
                       for s, keys in sections.items())
        # The settings file is in the ANSI code page: Shift-JIS on a Japanese system.
        with open(os.path.join(self.folder, "Kestrova.ini"), "wb") as f:
            f.write(text.encode("cp932"))
        self.procs = []

    @property
    def ini_path(self):
        return os.path.join(self.folder, "Kestrova.ini")

    def read_ini(self):
        """The settings file as {section: {key: value}}, names as written, read as Shift-JIS."""
        sections, current = {}, None
        with open(self.ini_path, "rb") as f:
            text = f.read().decode("cp932")
        for line in text.splitlines():
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                current = sections.setdefault(line[1:-1], {})
            elif current is not None and "=" in line:
                key, value = line.split("=", 1)
                current[key.strip()] = value.strip()
        return sections

    def start(self):
        p = self.session.popen([os.path.join(self.folder, "Kestrova.exe")], log_name="kestrova", cwd=self.folder)
        self.procs.append(p)
        return p

    @property
    def proc(self):
        return self.procs[0] if self.procs else None

    def start_resident(self, timeout=20.0):
        """Starts it and waits until its (hidden) settings window exists."""
        p = self.start()
        try:
            return self.settings_window(timeout=timeout, proc=p)
        except E2EError:
            # Wine's launcher now and then ends with 1 before the program runs
            # (the program itself never returns 1): one more try, said in the log.
            if p.poll() != 1:
                raise
            self.session.log(f"  {os.path.basename(self.folder)}: wine ended with 1 before the start; starting once more")
            self.procs.remove(p)
            return self.settings_window(timeout=timeout, proc=self.start())

    def settings_window(self, timeout=10.0, proc=None):
        proc = proc or self.proc

        def look():
            if proc is not None and proc.poll() is not None:
                raise E2EError(f"Kestrova.exe ended (exit code {proc.returncode}) before its settings window "
                               f"'{SETTINGS_CAPTION}' appeared")
            for w in self.session.winctl.windows():
                if w.get("title") == SETTINGS_CAPTION:
                    return w
            return None
        return wait_for(f"the settings window '{SETTINGS_CAPTION}'", look, timeout, interval=0.2)

    def windows_processes(self):
        return self.session.winctl.processes("Kestrova.exe")

    def stop(self):
        """Orderly end through WM_CLOSE to the settings window, else a kill."""
        try:
            if self.proc is not None and self.proc.poll() is None:
                w = self.settings_window(timeout=3.0)
                self.session.winctl.close(w["hwnd"])
                self.proc.wait(10)
        except (E2EError, subprocess.TimeoutExpired):
            pass
        for p in self.procs:
            _kill_group(p, grace=2.0)
        # The folder and its settings file stay: start() runs the same copy again.
        self.procs = []
