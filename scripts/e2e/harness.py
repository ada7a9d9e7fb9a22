"""Real-desktop test harness: the real program on a private Xvfb display managed by openbox,
or on a Wayland compositor (weston) nested in that display, driven by real input (xdotool).
Every step is bounded in time; every child runs in its own process group and is killed with
it when the Desktop closes, at exit, when the overall deadline of `run_main` fires, and
(parent-death signal) when this interpreter is killed.
Standard library only; the X tools come from Debian."""

import argparse
import atexit
import ctypes
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

BOARD_TITLE = " Pindel.  Maberto."
PRESENTATION_TITLE = "Form1"
SOLUTION_TITLE = "Solución al Pindel. Maberto."
REQUIRED_TOOLS = ("Xvfb", "openbox", "wmctrl", "xdotool", "xmodmap", "xwininfo", "xprop", "import")
WINE_TOOLS = ("wine", "wineboot", "wineserver", "xclip")
WINE_ALLOWANCE = 120  # seconds more for a scenario of the Windows build (see run_main)

_T0 = time.monotonic()


class HarnessError(AssertionError):
    """A step of the scenario did not happen in time, or a tool failed."""


def log(message):
    print(f"[{time.monotonic() - _T0:7.2f}s] {message}", file=sys.stderr, flush=True)


# --- children that die with us ------------------------------------------------------------

_libc = ctypes.CDLL(None, use_errno=True)
_live = []  # every Popen still to be reaped


def _child_setup():
    # Between fork and exec: a process group of its own, and SIGKILL (PR_SET_PDEATHSIG) when
    # the interpreter that started it goes away.
    os.setpgid(0, 0)
    _libc.prctl(1, signal.SIGKILL, 0, 0, 0)


def stop(proc, grace=2.0):
    """Ends `proc` and its whole process group; returns its exit code."""
    for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, 5.0)):
        if proc.poll() is not None:
            break
        try:
            os.killpg(proc.pid, sig)
            proc.wait(timeout=wait)
        except (ProcessLookupError, subprocess.TimeoutExpired):
            continue
    try:
        os.killpg(proc.pid, signal.SIGKILL)  # stragglers of the group
    except (ProcessLookupError, PermissionError):
        pass
    if proc in _live:
        _live.remove(proc)
    return proc.returncode


def _reap_all():
    while _live:
        stop(_live[-1])


atexit.register(_reap_all)


def spawn(argv, log_path, env=None, pass_fds=(), cwd=None):
    with open(log_path, "wb") as out:
        proc = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=out,
                                pass_fds=pass_fds, preexec_fn=_child_setup, cwd=cwd)
    _live.append(proc)
    return proc


def wait_until(predicate, timeout, what, interval=0.05):
    """Polls `predicate` until it returns something truthy, and returns that."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() >= deadline:
            raise HarnessError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)
    return value


def wait_exit(proc, timeout, what="the program", code=0):
    """Waits for `proc` to end with exit code `code` (None: any)."""
    try:
        got = proc.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        raise HarnessError(f"{what} (pid {proc.pid}) still runs after {timeout} s")
    if code is not None and got != code:
        raise HarnessError(f"{what} ended with exit code {got}")
    return got


# --- pictures -----------------------------------------------------------------------------

class Picture:
    """An RGB screen grab read from a binary PPM (P6), as ImageMagick writes it."""

    def __init__(self, blob):
        m = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", blob)
        if not m:
            raise HarnessError(f"not an 8-bit binary PPM: {blob[:20]!r}")
        self.width, self.height = int(m.group(1)), int(m.group(2))
        self.data = blob[m.end():m.end() + self.width * self.height * 3]
        if len(self.data) != self.width * self.height * 3:
            raise HarnessError("truncated PPM")

    def region(self, x, y, w, h):
        """The raw RGB rows of a rectangle, as one bytes value."""
        if x < 0 or y < 0 or x + w > self.width or y + h > self.height:
            raise HarnessError(f"region {x},{y} {w}x{h} lies outside the screen")
        return b"".join(self.data[(r * self.width + x) * 3:(r * self.width + x + w) * 3]
                        for r in range(y, y + h))


def difference(a, b):
    """Sum of absolute byte differences of two equally sized regions."""
    assert len(a) == len(b), "comparing regions of different sizes"
    return sum(abs(p - q) for p, q in zip(a, b))


# --- the desktop --------------------------------------------------------------------------

class Desktop:
    """A private Xvfb display managed by openbox, and the tools to drive it."""

    def __init__(self, artifacts, screen="1024x768x24", step_timeout=10.0):
        self.artifacts = os.path.abspath(artifacts)
        self.screen = screen
        self.step_timeout = step_timeout
        self.display = self.scratch = self._xvfb = self._wm = None
        self._apps, self._shots, self._mapped = [], 0, set()
        self.window_display = None  # where the program's X windows are; None: the Xvfb

    def __enter__(self):
        os.makedirs(self.artifacts, exist_ok=True)
        self.scratch = tempfile.mkdtemp(prefix="pindel-e2e-")
        try:
            self._start_xvfb()
            self._start_manager()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, kind, value, tb):
        if kind is not None and kind is not SystemExit and self._xvfb is not None:
            try:
                self.screenshot("failure")
                out = self.x(["xwininfo", "-root", "-tree"], check=False)
                titles = sorted(set(re.findall(r'^\s+0x[0-9a-f]+ "(.*)":', out, re.M)))
                log(f"windows at failure: {titles}")
            except Exception as e:  # a broken display must not hide the first error
                log(f"could not record the failure: {e}")
        self.close()

    def close(self):
        for proc in [*reversed(self._apps), self._wm, self._xvfb]:
            if proc is not None:
                stop(proc)
        self._apps, self._wm, self._xvfb = [], None, None
        if self.scratch:
            shutil.rmtree(self.scratch, ignore_errors=True)
            self.scratch = None

    def _start_xvfb(self):
        read_fd, write_fd = os.pipe()
        try:
            self._xvfb = spawn(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", self.screen,
                                "-nolisten", "tcp", "-noreset"],
                               log_path=os.path.join(self.artifacts, "xvfb.log"), pass_fds=(write_fd,))
        finally:
            os.close(write_fd)
        number, deadline = b"", time.monotonic() + self.step_timeout
        try:
            while not number.endswith(b"\n"):
                if not select.select([read_fd], [], [], max(deadline - time.monotonic(), 0))[0]:
                    raise HarnessError("Xvfb did not report its display in time")
                chunk = os.read(read_fd, 16)
                if not chunk:
                    raise HarnessError(f"Xvfb ended ({self._xvfb.poll()}) before reporting a display")
                number += chunk
        finally:
            os.close(read_fd)
        self.display = ":" + number.decode().strip()
        log(f"Xvfb on {self.display}")

    def _start_manager(self):
        """Starts openbox on the display and waits until it manages it."""
        # No user configuration, no session manager: the same window manager every run.
        env = self.env({"XDG_CONFIG_HOME": os.path.join(self.scratch, "config"),
                        "XDG_CACHE_HOME": os.path.join(self.scratch, "cache")})
        self._wm = spawn(["openbox", "--sm-disable"], env=env,
                         log_path=os.path.join(self.artifacts, "openbox.log"))

        def managed():
            if self._wm.poll() is not None:
                raise HarnessError(f"openbox ended with {self._wm.returncode}; see openbox.log")
            # openbox names itself on the root early, and a window mapped before it has
            # finished may stay unmapped for good; _NET_WORKAREA comes last.
            out = self.x(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK", "_NET_WORKAREA"], check=False)
            return "window id" in out and "_NET_WORKAREA(CARDINAL) =" in out

        wait_until(managed, self.step_timeout, "openbox to take the root window")
        log("openbox manages the display")

    def env(self, extra=None):
        env = {k: v for k, v in os.environ.items()
               if k not in ("WAYLAND_DISPLAY", "XAUTHORITY", "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS")}
        env.update(DISPLAY=self.display, LC_ALL="C.UTF-8")  # xdotool reads UTF-8 through the locale
        env.update(extra or {})
        return env

    def x(self, argv, check=True, timeout=None, binary=False, display=None):
        """Runs one X client tool to completion, on the Xvfb display unless told another;
        returns its standard output."""
        env = self.env({"DISPLAY": display} if display else None)
        try:
            done = subprocess.run(argv, env=env, stdin=subprocess.DEVNULL, capture_output=True,
                                  timeout=timeout or self.step_timeout, preexec_fn=_child_setup)
        except subprocess.TimeoutExpired:
            raise HarnessError(f"{argv[0]} did not finish in time: {argv}")
        if check and done.returncode != 0:
            raise HarnessError(f"{argv} failed ({done.returncode}): "
                               f"{done.stderr.decode(errors='replace').strip()}")
        return done.stdout if binary else done.stdout.decode(errors="replace")

    def launch(self, program, env=None, name="app", args=()):
        """Starts `program` with the arguments `args`, a scratch XDG_DATA_HOME and
        XDG_RUNTIME_DIR; its output goes to <artifacts>/<name>.log.  A value of None in `env`
        removes that variable."""
        runtime = os.path.join(self.scratch, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        full = self.env({"QT_QPA_PLATFORM": "xcb", "XDG_DATA_HOME": os.path.join(self.scratch, "data"),
                         "XDG_RUNTIME_DIR": runtime, "NO_AT_BRIDGE": "1", "QT_ACCESSIBILITY": "0",
                         # With no address libdbus would start a bus through X11 and leak a
                         # buffer doing so (a sanitizer build fails at exit); this one is refused.
                         "DBUS_SESSION_BUS_ADDRESS": "unix:path=" + os.path.join(self.scratch, "no-bus")})
        for key in ("QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI"):
            full.pop(key, None)
        # libxkbcommon-x11 hands strndup a keymap name without a final NUL, which ASan's strict
        # string checks report before our first line runs: that is the system library, not us.
        full["ASAN_OPTIONS"] = full.get("ASAN_OPTIONS", "").replace("strict_string_checks=1",
                                                                    "strict_string_checks=0")
        full.update(env or {})
        full = {k: v for k, v in full.items() if v is not None}
        proc = spawn([program, *args], env=full, log_path=os.path.join(self.artifacts, f"{name}.log"))
        self._apps.append(proc)
        log(f"started {' '.join([program, *args])} as pid {proc.pid}")
        return proc

    def minimise_witness(self):
        """What shows, on this desktop, that the program asked it to minimise every window."""
        return IconifiedWindow(self)

    def winners_file(self):
        """Where the program started by `launch` keeps its winners."""
        return os.path.join(self.scratch, "data", "pindel", "001MpTa.cms")

    def lsan_options(self, name, leaks):
        """LSAN_OPTIONS for a program started here: the caller's, with the `leak:` suppressions
        `leaks` added to the caller's own file, and the full unwinder for allocations.  Debian's
        Qt, Mesa and libdbus are built without frame pointers: the default unwinder stops at
        their first frame, so a suppression naming a function deeper in the stack could never
        match.  The full unwinder is slower; only the runs that need a suppression pay for it."""
        options = os.environ.get("LSAN_OPTIONS", "")
        given = re.search(r"(?:^|:)suppressions=([^:]*)", options)
        path = os.path.join(self.scratch, f"lsan-{name}.supp")
        with open(path, "w") as out:
            if given and os.path.isfile(given.group(1)):
                with open(given.group(1)) as f:
                    out.write(f.read() + "\n")
            out.write("".join(f"leak:{leak}\n" for leak in leaks))
        options = re.sub(r"(?:^|:)(?:suppressions|fast_unwind_on_malloc)=[^:]*", "", options).strip(":")
        return ":".join(filter(None, (options, "fast_unwind_on_malloc=0", "suppressions=" + path)))

    def forget(self, proc):
        """A program that has ended as it should: no longer one that must be running."""
        if proc in self._apps:
            self._apps.remove(proc)

    def expect_running(self, what=""):
        for proc in self._apps:
            if proc.poll() is not None:
                raise HarnessError(f"the program (pid {proc.pid}) ended with exit code "
                                   f"{proc.returncode} {what}".rstrip() + f"; see its log in {self.artifacts}")

    # windows

    def find_windows(self, title):
        """Ids of the viewable windows named exactly `title`.  xdotool matches a POSIX regex,
        and a non-ASCII letter may reach it in any encoding: it stands as ".+"."""
        pattern = "^" + "".join(re.escape(c) if ord(c) < 128 else ".+" for c in title) + "$"
        out = self.x(["xdotool", "search", "--onlyvisible", "--name", pattern], check=False,
                     display=self.window_display)
        return [int(w) for w in out.split()]

    def wait_window(self, *titles, timeout=None):
        """Waits for the first of the windows named `titles`; returns its id, or (title, id)
        when several titles are given.  Gives up at once when the program has ended."""

        def first():
            for t in titles:
                if ids := self.find_windows(t):
                    return (t, ids[0]) if len(titles) > 1 else ids[0]
            self.expect_running()
            return None

        return wait_until(first, timeout or self.step_timeout, f"a window titled {titles!r}")

    def wait_no_window(self, title, timeout=None):
        wait_until(lambda: not self.find_windows(title), timeout or self.step_timeout,
                   f"the window titled {title!r} to go away")

    def geometry(self, window):
        """(x, y, width, height) of a top-level Qt window's client area, in screen pixels."""
        out = self.x(["xwininfo", "-id", str(window)], display=self.window_display)
        fields = [re.search(rf"{f}:\s+(-?\d+)", out) for f in
                  ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")]
        if not all(fields):
            raise HarnessError(f"xwininfo gave no geometry for window {window}")
        return tuple(int(m.group(1)) for m in fields)

    def frame_geometry(self, window):
        """The window's rectangle with the window manager's frame (_NET_FRAME_EXTENTS)."""
        x, y, w, h = self.geometry(window)
        out = self.x(["xprop", "-id", str(window), "_NET_FRAME_EXTENTS"], check=False,
                     display=self.window_display)
        m = re.search(r"=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", out)
        left, right, top, bottom = (int(v) for v in m.groups()) if m else (0, 0, 0, 0)
        return x - left, y - top, w + left + right, h + top + bottom

    def shown_frame(self, window):
        """The window's rectangle as the screen shows it, frame included."""
        return self.frame_geometry(window)

    def screen_rect(self):
        """The part of the X screen that a whole-screen picture shows; None: all of it."""
        return None

    def screen_size(self):
        return tuple(int(v) for v in self.screen.split("x")[:2])

    def client_origin(self, window):
        return self.geometry(window)[:2]

    def activate(self, window):
        """Asks the window manager to give `window` the keyboard, and waits until it names it
        the active window (xdotool's --sync gives up at once while no window is active, as
        when a Windows program's first window has just been mapped under Wine)."""
        self.x(["xdotool", "windowactivate", "--sync", str(window)])
        wait_until(lambda: self.active_window() == window, self.step_timeout, f"window {window} to become active")

    def active_window(self):
        out = self.x(["xprop", "-root", "_NET_ACTIVE_WINDOW"], check=False)
        m = re.search(r"window id # (0x[0-9a-f]+)", out)
        return int(m.group(1), 16) if m else None

    def wm_state(self, window):
        """"Iconic" or "Normal", as the window manager last set WM_STATE on the window."""
        out = self.x(["xprop", "-id", str(window), "WM_STATE"], check=False)
        return "Iconic" if "Iconic" in out else "Normal" if "Normal" in out else out.strip()

    def request_close(self, window):
        """Asks the window manager to close the window, as its close box would."""
        self.x(["wmctrl", "-i", "-c", hex(window)])

    # input.  No "mousemove --sync": it hangs when the pointer already stands at the target,
    # and XTEST requests are handled in order anyway.

    def click(self, x, y, button=1):
        self.x(["xdotool", "mousemove", str(x), str(y), "sleep", "0.05", "click", str(button)])

    def click_in(self, window, spot, button=1, scale=1):
        """Clicks at `spot` of the window's client area (design pixels times `scale`, to the
        nearest screen pixel)."""
        ox, oy = self.client_origin(window)
        self.click(ox + int(spot[0] * scale + 0.5), oy + int(spot[1] * scale + 0.5), button)

    def drag(self, start, end, step=6, pause=0.015):
        """A real primary-button drag: press, leave the start in short steps (so the drag
        begins near the source), travel, settle over the target with one more motion, release."""
        (x0, y0), (x1, y1) = start, end
        steps = max(1, max(abs(x1 - x0), abs(y1 - y0)) // step)
        sx, sy = (x1 > x0) - (x1 < x0), (y1 > y0) - (y1 < y0)
        path = [(x0 + sx * k, y0 + sy * k) for k in (3, 6, 9, 12, 15)]
        fx, fy = path[-1]
        path += [(fx + (x1 - fx) * i // steps, fy + (y1 - fy) * i // steps) for i in range(1, steps + 1)]
        argv = ["xdotool", "mousemove", str(x0), str(y0), "sleep", "0.05", "mousedown", "1", "sleep", "0.05"]
        for i, (x, y) in enumerate(path):
            argv += ["mousemove", str(x), str(y), "sleep", str(pause)] + (["sleep", "0.1"] if i == 4 else [])
        argv += ["sleep", "0.08", "mousemove", str(x1 + 1), str(y1), "sleep", "0.04",
                 "mousemove", str(x1), str(y1), "sleep", "0.08", "mouseup", "1"]
        self.x(argv, timeout=self.step_timeout + steps * pause)

    def type_text(self, text, delay_ms=40):
        """Types into the focused window.  Letters missing from the keymap (accents) first get
        spare keys of their own: xdotool alone maps each only for the moment, and the program
        may read the key after that mapping is gone."""
        wanted = sorted({ch for ch in text if ord(ch) > 126} - self._mapped)
        if wanted:
            table = self.x(["xmodmap", "-pke"])
            spare = [int(k) for k in re.findall(r"^keycode\s+(\d+)\s*=\s*$", table, re.M) if int(k) > 8]
            if len(spare) < len(wanted):
                raise HarnessError("no spare keys left in the keymap for " + "".join(wanted))
            expressions = []
            for ch, keycode in zip(wanted, reversed(spare)):
                upper = ch.upper() if len(ch.upper()) == 1 else ch.lower()
                expressions += ["-e", f"keycode {keycode} = U{ord(ch.lower()):04X} U{ord(upper):04X}"]
            self.x(["xmodmap", *expressions])
            self._mapped |= set(wanted)
            time.sleep(0.5)  # the program learns of the new keymap through an event of its own
        self.x(["xdotool", "type", "--delay", str(delay_ms), "--", text],
               timeout=self.step_timeout + len(text) * delay_ms / 1000.0)

    def key(self, *keys):
        self.x(["xdotool", "key", "--delay", "30", *keys])

    # pictures

    def grab(self):
        return Picture(self.x(["import", "-silent", "-window", "root", "-depth", "8", "ppm:-"], binary=True))

    def screenshot(self, name, window=None, path=None):
        """Writes the screen (or one window with its frame) as a PNG; by default numbered into
        the artifacts directory."""
        if path is None:
            self._shots += 1
            path = os.path.join(self.artifacts, f"{self._shots:02d}-{name}.png")
        crop = []
        if rect := (self.shown_frame(window) if window is not None else self.screen_rect()):
            x, y, w, h = rect
            crop = ["-crop", f"{w}x{h}+{x}+{y}", "+repage"]
        self.x(["import", "-silent", "-window", "root", *crop, path])
        log(f"screenshot {path}")
        return path


class IconifiedWindow:
    """The request to minimise every window as openbox carries it out: an ordinary window
    (xlogo), open in the normal state before the program starts, ends up iconified."""

    def __init__(self, desk):
        self.desk = desk
        desk.launch("xlogo", name="xlogo")
        self.window = desk.wait_window("xlogo")
        if desk.wm_state(self.window) != "Normal":
            raise HarnessError(f"xlogo did not start in the normal state: {desk.wm_state(self.window)}")

    def wait(self, timeout=5.0):
        wait_until(lambda: self.desk.wm_state(self.window) == "Iconic", timeout, "xlogo to be iconified")
        log("xlogo iconified")

    def check_still(self):
        if self.desk.wm_state(self.window) != "Iconic":
            raise HarnessError("xlogo did not stay iconified")


def desktop_for(program, artifacts, **kw):
    """The desktop `program` runs on: a Windows program (.exe, the Windows build) under Wine,
    any other on the plain X desktop."""
    if is_windows_program(program):
        from winedesktop import WindowsDesktop
        return WindowsDesktop(artifacts, program, **kw)
    return Desktop(artifacts, **kw)


def is_windows_program(program):
    return program.lower().endswith(".exe")


# --- the program's windows ----------------------------------------------------------------

# The board: a 7 x 7 grid whose holes are the cells in rows 2..4 or columns 2..4; the hole in
# row r, column c is a 36 x 36 cell at (23 + 48c, 24 + 48r) of the board's client area.
CENTRE = (3, 3)
HOLE_CELLS = [(r, c) for r in range(7) for c in range(7) if 2 <= r <= 4 or 2 <= c <= 4]
START = frozenset(HOLE_CELLS) - {CENTRE}
# The solution window numbers the holes 1..32 in reading order, the centre left out.
NUMBERED_CELLS = {n: cell for n, cell in enumerate((c for c in HOLE_CELLS if c != CENTRE), 1)}

BOARD_SIZE = (600, 371)
GESTURE_ARM = (12, 361)        # inside Label5 (0, 352, 25, 25)
GESTURE_OPEN = (592, 8)        # inside Label6 (584, 0, 17, 17)
NEW_GAME = (512, 168)          # Command2 (480, 152, 65, 33)
LEAVE = (512, 200)             # Command4 (480, 184, 65, 33)
PLAY = (363, 120)              # the presentation's Command1 (269, 80, 188, 81)
EXIT = (312, 204)              # the presentation's Command3 (272, 192, 81, 25)
CREDITS = (416, 204)           # the presentation's Command2 (376, 192, 81, 25)


def cell_rect(row, column):
    return 23 + 48 * column, 24 + 48 * row, 36, 36


def cell_centre(origin, row, column):
    return origin[0] + 23 + 48 * column + 18, origin[1] + 24 + 48 * row + 18


def open_board(desk, scale=1, timeout=15.0):
    """Waits for the program's first window and presses play when it is the presentation.
    Returns (board id, presentation id or None)."""
    title, first = desk.wait_window(BOARD_TITLE, PRESENTATION_TITLE, timeout=timeout)
    presentation = first if title == PRESENTATION_TITLE else None
    if presentation:
        log("the presentation window came first: pressing play")
        desk.click_in(presentation, PLAY, scale=scale)
    board = desk.wait_window(BOARD_TITLE, timeout=timeout)
    _, _, w, h = desk.geometry(board)
    # Qt rounds a window's size to whole screen pixels, halves up.
    if (w, h) != (int(BOARD_SIZE[0] * scale + 0.5), int(BOARD_SIZE[1] * scale + 0.5)):
        raise HarnessError(f"the board's client area is {w} x {h} at scale {scale}")
    return board, presentation


def leave_program(desk, app, presentation):
    """With the board gone: the presentation's exit button (when there is one), then the
    program must end with exit code 0."""
    if presentation:
        desk.click_in(desk.wait_window(PRESENTATION_TITLE), EXIT)
    wait_exit(app, 10.0)
    log("the program ended with exit code 0")


class BoardReader:
    """Tells pegs from empty holes on screen by comparing the inside of each hole (the red
    goal frame shows at the centre cell's edges) with a fresh board's peg and empty centre."""

    INSET = 6

    def __init__(self, desk):
        self.desk = desk
        self.refresh()
        shot = desk.grab()
        self.peg, self.empty = self._inside(shot, (0, 3)), self._inside(shot, CENTRE)
        if difference(self.peg, self.empty) < 1000:
            raise HarnessError("a peg and an empty hole look alike: the board is not drawn")

    def refresh(self):
        """A restart centres the board again and may give it a new native window: look it up."""
        self.board = self.desk.wait_window(BOARD_TITLE)
        self.origin = self.desk.client_origin(self.board)

    def _inside(self, shot, cell):
        x, y, w, h = cell_rect(*cell)
        i = self.INSET
        return shot.region(self.origin[0] + x + i, self.origin[1] + y + i, w - 2 * i, h - 2 * i)

    def read(self):
        """The set of cells that show a peg; raises when a hole looks like neither."""
        self.refresh()
        shot = self.desk.grab()
        pegs = set()
        for cell in HOLE_CELLS:
            inside = self._inside(shot, cell)
            to_peg, to_empty = difference(inside, self.peg), difference(inside, self.empty)
            if min(to_peg, to_empty) > 0.25 * difference(self.peg, self.empty):
                raise HarnessError(f"hole {cell} shows neither a peg nor an empty hole")
            if to_peg < to_empty:
                pegs.add(cell)
        return pegs

    def wait_for(self, expected, what, timeout=5.0):
        last = {}

        def matches():
            try:
                last["pegs"] = self.read()
            except HarnessError:  # caught mid-repaint: look again
                return False
            return last["pegs"] == expected

        try:
            wait_until(matches, timeout, what, interval=0.1)
        except HarnessError as e:
            got = last.get("pegs", set())
            raise HarnessError(f"{e}: missing pegs {sorted(expected - got)}, "
                               f"extra pegs {sorted(got - expected)}")


# --- Wayland: weston nested in the private X server ----------------------------------------

# How a window of the program is found where it is no X window of ours (a Wayland client, drawn
# by the compositor into its output): a colour that only that window shows and that reaches
# every edge of its client area, and the size of the rectangle the colour spans.
BOARD_AREA = ((128, 128, 0), BOARD_SIZE)        # the board's olive background
SOLUTION_AREA = ((255, 224, 192), (412, 294))   # the solution window's background
PRESENTATION_AREA = ((255, 127, 0), (483, 1))   # the top row of the presentation's gradient


def colour_box(shot, colour):
    """(x, y, width, height) of the rectangle spanned by every pixel of exactly `colour` in the
    grab `shot`; None when no pixel has it."""
    colour, stride = bytes(colour), shot.width * 3
    left, right, top, bottom = shot.width, -1, None, None
    for y in range(shot.height):
        row = shot.data[y * stride:(y + 1) * stride]
        first = row.find(colour)
        while first > 0 and first % 3:  # a match across two pixels is no pixel
            first = row.find(colour, first + 1)
        if first < 0:
            continue
        last = row.rfind(colour)
        while last % 3:
            last = row.rfind(colour, 0, last + 2)
        left, right = min(left, first // 3), max(right, last // 3)
        top, bottom = y if top is None else top, y
    return None if top is None else (left, top, right - left + 1, bottom - top + 1)


def find_area(shot, area):
    """Top-left corner, in screen pixels, of the window that `area` describes in the grab
    `shot`: the corner of the rectangle its colour spans, when that rectangle has its size;
    None otherwise (not shown, covered at an edge, or the colour shows somewhere else too)."""
    box = colour_box(shot, area[0])
    return box[:2] if box and box[2:] == tuple(area[1]) else None


class WaylandDesktop(Desktop):
    """Weston in the private Xvfb display (its X11 backend: one X window, the output, at the
    screen's top-left corner, with a free strip right of and below it).  The program runs as a
    Wayland client of it or, with `xwayland`, as an X client of weston's XWayland server.
    xdotool's real pointer and keys on the Xvfb reach it as Wayland input; screenshots are
    grabs of the Xvfb screen, in which output pixels and screen pixels coincide.

    Kiosk-shell places every window itself (centred on the output, one on top of the other);
    desktop-shell places windows at random and honours an X window's own position."""

    SOCKET = "pindel-wayland"

    def __init__(self, artifacts, shell="kiosk-shell.so", xwayland=False, output=(960, 700),
                 step_timeout=10.0):
        super().__init__(artifacts, screen="1024x768x24", step_timeout=step_timeout)
        self.shell, self.xwayland, self.output = shell, xwayland, output
        self.x_display = None  # XWayland's display, once weston has opened it

    def _start_manager(self):
        if missing := [t for t in ("weston", "Xwayland", "setxkbmap") if shutil.which(t) is None]:
            raise HarnessError("missing tools (run scripts/install-deps): " + " ".join(missing))
        # The X11 backend builds its keymap from the X server's layout names, not from its keys,
        # so an xmodmap change never reaches it: this layout has the accented letters on AltGr,
        # which xdotool then types as real key presses.
        self.x(["setxkbmap", "-layout", "us", "-variant", "altgr-intl"])
        runtime = os.path.join(self.scratch, "runtime")  # the programs' XDG_RUNTIME_DIR too
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        log_path = os.path.join(self.artifacts, "weston.log")
        argv = ["weston", "--backend=x11-backend.so", "--use-pixman", "--no-config", "--idle-time=0",
                f"--shell={self.shell}", f"--socket={self.SOCKET}",
                f"--width={self.output[0]}", f"--height={self.output[1]}"]
        if self.xwayland:
            argv.append("--xwayland")
        self._wm = spawn(argv, log_path=log_path,
                         env=self.env({"XDG_RUNTIME_DIR": runtime,
                                       "XDG_CONFIG_HOME": os.path.join(self.scratch, "config")}))

        def ready():
            if self._wm.poll() is not None:
                raise HarnessError(f"weston ended with {self._wm.returncode}; see weston.log")
            if not os.path.exists(os.path.join(runtime, self.SOCKET)) or \
                    '"Weston Compositor' not in self.x(["xwininfo", "-root", "-children"], check=False):
                return False
            if self.xwayland:
                # weston names the display of the X server it will start for the first X client.
                with open(log_path, errors="replace") as f:
                    m = re.search(r"xserver listening on display (:\d+)", f.read())
                if not m:
                    return False
                self.x_display = self.window_display = m.group(1)
            # desktop-shell's own client paints the background; kiosk-shell's stays black.
            return self.shell != "desktop-shell.so" or self.grab().region(0, self.output[1] - 1, 1, 1) != b"\0\0\0"

        wait_until(ready, self.step_timeout, "weston to open its output")
        self.x(["xdotool", *self._enter(self.output[0] - 1, self.output[1] - 1)])
        log(f"weston ({self.shell}) on {self.display}, Wayland socket {self.SOCKET}"
            + (f", XWayland on {self.x_display}" if self.x_display else ""))

    def launch(self, program, env=None, name="app", args=()):
        """Starts `program` in the Wayland session, with no platform named: the program picks
        its own.  Without `xwayland` it sees no X display at all."""
        session = {"WAYLAND_DISPLAY": self.SOCKET, "XDG_SESSION_TYPE": "wayland",
                   "QT_QPA_PLATFORM": None, "DISPLAY": self.x_display,
                   "LSAN_OPTIONS": self._lsan_options()}
        session.update(env or {})
        return super().launch(program, session, name, args)

    def _lsan_options(self):
        """Qt's Wayland plugin binds the compositor's globals (wl_compositor, wl_seat, wl_shm,
        wl_output...) while the QApplication is made and never destroys those proxies: a
        sanitizer build reports them at exit as leaks inside libwayland-client.
        When the first window is shown, the plugin initialises Mesa's EGL (libEGL_mesa), which
        calls into the sanitizer runtime; the runtime keeps a buffer it reallocated there for
        the whole run, reported at exit as a leak.  Mesa is built without frame pointers, so
        the default frame-pointer unwinder stops at that realloc and no suppression could ever
        match the one-frame stack; the full unwinder walks through Mesa.  Neither library is
        one the program calls itself, and a leak of ours has none of their frames in its stack,
        so it is still reported."""
        return self.lsan_options("wayland", ("libwayland-client.so", "libEGL_mesa.so"))

    # input.  The X11 backend moves the compositor's pointer by the motion since the last X
    # event and sets it only when the pointer enters the output's window, so every action
    # starts by taking the pointer out and back in; it ends in the output's far corner, where
    # the cursor the compositor draws into the output covers nothing of ours.

    def _enter(self, x, y):
        ox, oy = self.output[0] + 20, self.output[1] + 20
        return ["mousemove", str(ox), str(oy), "sleep", "0.05", "mousemove", str(x - 2), str(y),
                "sleep", "0.05", "mousemove", str(x), str(y), "sleep", "0.05"]

    def _park(self):
        return ["sleep", "0.05", "mousemove", str(self.output[0] - 1), str(self.output[1] - 1)]

    def click(self, x, y, button=1):
        self.x(["xdotool", *self._enter(x, y), "click", str(button), *self._park()])

    def drag(self, start, end, step=6, pause=0.015):
        self.x(["xdotool", *self._enter(*start)])
        super().drag(start, end, step, pause)
        self.x(["xdotool", *self._park()])

    def type_text(self, text, delay_ms=40):
        self.x(["xdotool", "type", "--delay", str(delay_ms), "--", text],
               timeout=self.step_timeout + len(text) * delay_ms / 1000.0)

    # the program's windows, from the pixels

    def screen_rect(self):
        return 0, 0, self.output[0], self.output[1]

    def find_area(self, area, shot=None):
        return find_area(shot or self.grab(), area)

    def wait_area(self, area, timeout=None, what=None):
        """Waits until the window `area` describes shows; returns its client origin."""
        def shown():
            self.expect_running()
            return self.find_area(area)

        return wait_until(shown, timeout or self.step_timeout, what or f"a window showing {area}",
                          interval=0.1)

    def wait_no_area(self, area, timeout=None, what=None):
        wait_until(lambda: self.find_area(area) is None, timeout or self.step_timeout,
                   what or f"the window showing {area} to go away", interval=0.1)

    def click_at(self, area, spot, button=1):
        """Clicks at `spot` of the client area of the window `area` describes."""
        x, y = self.wait_area(area)
        self.click(x + spot[0], y + spot[1], button)


class WaylandBoardReader(BoardReader):
    """BoardReader for a board that is no X window: found by its olive background."""

    def refresh(self):
        self.board = None
        self.origin = self.desk.wait_area(BOARD_AREA, what="the board")


def run_main(scenario, seconds):
    """Entry point of a script `<program> [--artifacts DIR | DIR]`: runs
    `scenario(program, artifacts)` in a fresh artifacts directory under a hard overall timeout
    (raised in the main thread, so every cleanup still runs; the CTest TIMEOUT, a little
    larger, is the last resort).  A Windows program gets WINE_ALLOWANCE seconds more: each of
    its desktops makes a Wine prefix and installs it first.  SIGTERM and SIGHUP unwind as well.
    Exits 1 on failure."""
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("out", nargs="?")
    parser.add_argument("--artifacts")
    args = parser.parse_args()
    tools = REQUIRED_TOOLS + (WINE_TOOLS if is_windows_program(args.program) else ())
    if is_windows_program(args.program):
        seconds += WINE_ALLOWANCE
    if missing := [t for t in tools if shutil.which(t) is None]:
        sys.exit("missing tools (run scripts/install-deps): " + " ".join(missing))
    artifacts = os.path.abspath(args.artifacts or args.out or "e2e-artifacts")
    shutil.rmtree(artifacts, ignore_errors=True)
    os.makedirs(artifacts)

    def expire(signum, frame):
        raise HarnessError(f"the whole scenario took more than {seconds} s")

    def terminated(signum, frame):
        raise SystemExit(128 + signum)

    signal.signal(signal.SIGALRM, expire)
    signal.signal(signal.SIGTERM, terminated)
    signal.signal(signal.SIGHUP, terminated)
    signal.alarm(seconds)
    try:
        scenario(os.path.abspath(args.program), artifacts)
    except AssertionError as e:
        log(f"FAILED: {e}\nartifacts: {artifacts}")
        sys.exit(1)
    finally:
        signal.alarm(0)
        _reap_all()
    log("passed")
