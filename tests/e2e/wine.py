"""Runs the Windows programs of the build under Wine on a private X display,
and drives their windows with uidriver.exe."""
import os
import re
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BIN = ROOT / "build" / "windows" / "bin"
VANTOR = BIN / "Vantor.exe"
UIDRIVER = BIN / "uidriver.exe"

TAB, RETURN, ESCAPE = 9, 13, 27  # virtual keys
IDOK = 1


class Display:
    """The display of the run: one that is already there when named (such as the user's own), else a private Xvfb."""

    def __init__(self, name=None):
        self.name, self.process = name, None
        if name:
            return
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "2048x1536x24", "-nolisten", "tcp"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number

    def close(self):
        if self.process:
            self.process.terminate()
            self.process.wait(timeout=10)


class Wine:
    """The private Wine prefix of the end-to-end tests and its server."""

    def __init__(self, display, prefix=ROOT / "build" / "wine-e2e"):
        self.env = dict(os.environ)
        self.env.update({
            "WINEPREFIX": str(prefix),
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "WINEARCH": "win64",
            "DISPLAY": display.name,
        })
        subprocess.run([str(ROOT / "scripts" / "wine-prefix")], env=self.env, check=True,
                       stdout=subprocess.DEVNULL)
        # A server left over from an earlier run would hold another display.
        self.close()
        subprocess.run(["wineserver", "-p"], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # The first program of a session brings up the desktop and the
        # prefix's services, which can take a while; do it before any test.
        self.driver("find", "no window has this title", 0, check=False, timeout=300)

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def log_off(self):
        """Ends the prefix's Windows session as a logoff does: every program
        is asked with WM_QUERYENDSESSION, told with WM_ENDSESSION, then ended."""
        subprocess.run(["wine", "wineboot", "-e"], env=self.env, check=True, timeout=120,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def start(self, program, args=(), cwd=None, env=None):
        return subprocess.Popen(["wine", str(program), *args], cwd=cwd, env={**self.env, **(env or {})},
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def reg(self, *args):
        subprocess.run(["wine", "reg", *args], env=self.env, check=False, timeout=120,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def driver(self, *args, check=True, timeout=60):
        code, stdout, stderr = self.run(UIDRIVER, args, timeout)
        if code != 0 and not stderr:
            # The driver said nothing: Wine itself failed to run it (seen
            # once in a while on a busy machine); a second run tells.
            code, stdout, stderr = self.run(UIDRIVER, args, timeout)
        if check and code != 0:
            raise AssertionError(f"uidriver {' '.join(map(str, args))}: {stderr or f'exit code {code}'}")
        return stdout

    def run(self, program, args=(), timeout=60):
        """Runs a console program to its end: exit code, standard output and standard error."""
        # Output goes through files, not pipes: a Wine program may start the
        # prefix's background processes, which inherit its handles and would
        # keep a pipe open long after the program ended.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            code = subprocess.run(["wine", str(program), *map(str, args)], env=self.env,
                                  stdout=out, stderr=err, timeout=timeout).returncode
            stdout, stderr = (f.seek(0) or f.read().decode("cp1252", errors="replace").strip() for f in (out, err))
        return code, stdout, stderr

    def controls(self, window):
        """The controls below a window: id -> (class, text, enabled)."""
        found = {}
        for line in self.driver("children", window).splitlines():
            control, class_name, text, disabled = re.fullmatch(r'(-?\d+) (\S+) "(.*)"( disabled)?', line).groups()
            found[int(control)] = (class_name, text, not disabled)
        return found

    def layout(self, window):
        """The client area's place on the screen, then {control id: (kind, left, top, right, bottom)} in it."""
        rows = [line.split("\t") for line in self.driver("layout", window).splitlines()]
        return tuple(map(int, rows[0][2:6])), {int(r[0]): (r[1], *map(int, r[2:6])) for r in rows[1:]}

    def screenshot(self, path):
        time.sleep(1.0)  # let the windows finish painting
        subprocess.run(["import", "-display", self.env["DISPLAY"], "-window", "root", str(path)],
                       check=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class Vantor:
    """One run of Vantor.exe in a scratch working directory."""

    def __init__(self, wine, workdir, args=(), env=None, program=VANTOR):
        self.wine = wine
        self.workdir = Path(workdir)
        self.process = wine.start(program, args, cwd=self.workdir, env=env)
        self.window = None

    def find_window(self, timeout_ms=30000):
        self.window = self.wine.driver("find", "Ostra Wheel Configuration", timeout_ms)
        return self.window

    def wait(self, timeout=30):
        return self.process.wait(timeout=timeout)

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def log(self):
        path = self.workdir / "Log.txt"
        return path.read_bytes().decode("latin-1") if path.exists() else ""


def windows_path(path):
    """The path as a Windows program of the prefix names it (drive Z: is /)."""
    return "Z:" + str(path).replace("/", "\\")


def scratch(name):
    path = ROOT / "build" / "e2e" / name
    shutil.rmtree(path, ignore_errors=True)
    path.mkdir(parents=True)
    return path


def wait_until(predicate, timeout=10.0, step=0.1):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if predicate():
            return True
        time.sleep(step)
    return predicate()


_session = None


def session():
    """The display and Wine prefix shared by all tests of one run."""
    global _session
    if _session is None:
        display = Display()
        try:
            _session = (display, Wine(display))
        except BaseException:
            display.close()
            raise
    return _session[1]


def end_session():
    global _session
    if _session is not None:
        display, wine = _session
        wine.close()
        display.close()
        _session = None


def pixels(path, left, top, right, bottom):
    """The rows of (red, green, blue) of the picture's rectangle."""
    width, height = right - left, bottom - top
    raw = subprocess.run(["convert", str(path), "-crop", f"{width}x{height}+{left}+{top}", "+repage", "-depth", "8",
                          "rgb:-"], check=True, capture_output=True).stdout
    return [[tuple(raw[(y * width + x) * 3:(y * width + x) * 3 + 3]) for x in range(width)] for y in range(height)]
