"""Real-desktop test harness: a private X server, a window manager, the real program, and
real input through xdotool.

Everything here is bounded in time and everything started is stopped again:

    with Desktop(artifacts="/tmp/run") as desk:          # Xvfb + openbox
        app = desk.launch("/path/to/pindel")               # scratch XDG_DATA_HOME
        board = desk.wait_window(BOARD_TITLE)              # window id
        x, y = desk.client_origin(board)
        desk.drag((x + 41, y + 42), (x + 137, y + 42))

Each child runs in its own process group and is killed with it when the Desktop closes, when
the test raises, when the overall deadline set by `hard_timeout` fires, and (through the
kernel's parent-death signal) even when this interpreter itself is killed.

Only the standard library is used; the X tools come from Debian (xvfb, openbox, xdotool,
wmctrl, x11-utils, x11-xserver-utils, imagemagick).
"""

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

REQUIRED_TOOLS = ("Xvfb", "xdotool", "xmodmap", "xwininfo", "xprop", "import")

_T0 = time.monotonic()


class HarnessError(AssertionError):
    """A step of the scenario did not happen in time, or a tool failed."""


def log(message):
    print(f"[{time.monotonic() - _T0:7.2f}s] {message}", file=sys.stderr, flush=True)


def missing_tools(extra=()):
    return [t for t in (*REQUIRED_TOOLS, *extra) if shutil.which(t) is None]


# --- children that die with us ------------------------------------------------------------

_PR_SET_PDEATHSIG = 1
try:
    _libc = ctypes.CDLL(None, use_errno=True)
except OSError:  # pragma: no cover - every Linux has a libc
    _libc = None


def _child_setup():
    # Runs in the child between fork and exec: own process group (so the whole tree can be
    # killed at once), and SIGKILL if the interpreter that started it goes away.
    os.setpgid(0, 0)
    if _libc is not None:
        _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGKILL, 0, 0, 0)


_live = []  # every Popen still to be reaped, newest last


def _kill_group(proc, grace=2.0):
    if proc.poll() is None:
        for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, 5.0)):
            try:
                os.killpg(proc.pid, sig)
            except ProcessLookupError:
                break
            try:
                proc.wait(timeout=wait)
                break
            except subprocess.TimeoutExpired:
                continue
    else:
        # The leader is gone; stragglers of its group are not welcome either.
        try:
            os.killpg(proc.pid, signal.SIGKILL)
        except (ProcessLookupError, PermissionError):
            pass


def _reap_all():
    while _live:
        _kill_group(_live.pop())


atexit.register(_reap_all)


def spawn(argv, env=None, stdout=None, stderr=None, pass_fds=()):
    proc = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=stdout,
                            stderr=stderr, pass_fds=pass_fds, preexec_fn=_child_setup)
    _live.append(proc)
    return proc


def stop(proc, grace=2.0):
    """Ends `proc` and its process group; returns its exit code."""
    _kill_group(proc, grace)
    if proc in _live:
        _live.remove(proc)
    return proc.returncode


def hard_timeout(seconds):
    """Raises HarnessError in the main thread after `seconds`, so every finally block and
    the Desktop's cleanup still run; a CTest TIMEOUT a little larger is the last resort."""

    def expire(signum, frame):
        raise HarnessError(f"the whole scenario took more than {seconds} s")

    signal.signal(signal.SIGALRM, expire)
    signal.alarm(seconds)

    def terminated(signum, frame):
        raise SystemExit(128 + signum)

    signal.signal(signal.SIGTERM, terminated)
    signal.signal(signal.SIGHUP, terminated)


def wait_until(predicate, timeout, what, interval=0.05):
    """Polls `predicate` until it returns something truthy; that value is returned."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise HarnessError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


# --- pictures -----------------------------------------------------------------------------

class Picture:
    """An RGB picture read from a binary PPM (P6): enough to compare regions of the screen
    without any third-party module."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @classmethod
    def from_ppm(cls, blob):
        fields = []
        pos = 0
        while len(fields) < 4:
            while blob[pos:pos + 1].isspace():
                pos += 1
            if blob[pos:pos + 1] == b"#":
                pos = blob.index(b"\n", pos) + 1
                continue
            end = pos
            while not blob[end:end + 1].isspace():
                end += 1
            fields.append(blob[pos:end])
            pos = end
        pos += 1  # the single blank after maxval
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise HarnessError(f"not an 8-bit binary PPM: {fields!r}")
        width, height = int(fields[1]), int(fields[2])
        data = blob[pos:pos + width * height * 3]
        if len(data) != width * height * 3:
            raise HarnessError("truncated PPM")
        return cls(width, height, data)

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def region(self, x, y, w, h):
        """The raw RGB rows of a rectangle, as one bytes value (for exact comparison)."""
        if x < 0 or y < 0 or x + w > self.width or y + h > self.height:
            raise HarnessError(f"region {x},{y} {w}x{h} lies outside the screen")
        rows = []
        for row in range(y, y + h):
            start = (row * self.width + x) * 3
            rows.append(self.data[start:start + w * 3])
        return b"".join(rows)


def difference(a, b):
    """Sum of absolute byte differences of two equally sized regions."""
    if len(a) != len(b):
        raise HarnessError("comparing regions of different sizes")
    return sum(abs(p - q) for p, q in zip(a, b))


# --- the desktop --------------------------------------------------------------------------

class Desktop:
    """A private Xvfb display, optionally managed by openbox, and the tools to drive it."""

    def __init__(self, artifacts, window_manager=True, screen="1024x768x24", step_timeout=10.0):
        self.artifacts = os.path.abspath(artifacts)
        self.window_manager = window_manager
        self.screen = screen
        self.step_timeout = step_timeout
        self.display = None
        self.scratch = None
        self._xvfb = None
        self._wm = None
        self._apps = []
        self._shots = 0

    # lifecycle

    def __enter__(self):
        os.makedirs(self.artifacts, exist_ok=True)
        self.scratch = tempfile.mkdtemp(prefix="pindel-e2e-")
        try:
            self._start_xvfb()
            if self.window_manager:
                self._start_openbox()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, kind, value, tb):
        if kind is not None and kind is not SystemExit and self._xvfb is not None:
            try:
                self.screenshot("failure")
                log("windows at failure: " + repr(self.window_titles()))
            except Exception as e:  # a broken display must not hide the first error
                log(f"could not record the failure: {e}")
        self.close()
        return False

    def close(self):
        for proc in reversed(self._apps):
            stop(proc)
        if self._wm is not None:
            stop(self._wm)
        if self._xvfb is not None:
            stop(self._xvfb)
        self._apps, self._wm, self._xvfb = [], None, None
        if self.scratch:
            shutil.rmtree(self.scratch, ignore_errors=True)
            self.scratch = None

    def _start_xvfb(self):
        read_fd, write_fd = os.pipe()
        log_file = open(os.path.join(self.artifacts, "xvfb.log"), "wb")
        try:
            self._xvfb = spawn(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", self.screen,
                                "-nolisten", "tcp", "-noreset"],
                               stdout=log_file, stderr=log_file, pass_fds=(write_fd,))
        finally:
            os.close(write_fd)
            log_file.close()
        number = b""
        deadline = time.monotonic() + self.step_timeout
        try:
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                ready, _, _ = select.select([read_fd], [], [], max(left, 0))
                if not ready:
                    raise HarnessError("Xvfb did not report its display in time")
                chunk = os.read(read_fd, 16)
                if not chunk:
                    raise HarnessError(f"Xvfb ended before reporting a display "
                                       f"(exit code {self._xvfb.poll()}); see xvfb.log")
                number += chunk
        finally:
            os.close(read_fd)
        self.display = ":" + number.decode().strip()
        log(f"Xvfb on {self.display}")

    def _start_openbox(self):
        env = self.env()
        # No user configuration, no session manager: the same window manager every run.
        for d in ("config", "cache"):
            os.makedirs(os.path.join(self.scratch, d), exist_ok=True)
        env["XDG_CONFIG_HOME"] = os.path.join(self.scratch, "config")
        env["XDG_CACHE_HOME"] = os.path.join(self.scratch, "cache")
        log_file = open(os.path.join(self.artifacts, "openbox.log"), "wb")
        try:
            self._wm = spawn(["openbox", "--sm-disable"], env=env, stdout=log_file,
                             stderr=log_file)
        finally:
            log_file.close()

        def managed():
            if self._wm.poll() is not None:
                raise HarnessError(f"openbox ended with {self._wm.returncode}; see openbox.log")
            # openbox names itself on the root early in its start-up, and a window mapped
            # before it has finished can stay unmapped for good; _NET_WORKAREA comes last.
            out = self.x(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK", "_NET_WORKAREA"],
                         check=False)
            return "window id" in out and "_NET_WORKAREA(CARDINAL) =" in out

        wait_until(managed, self.step_timeout, "openbox to take the root window")
        log("openbox manages the display")

    # running things on the display

    def env(self, extra=None):
        env = dict(os.environ)
        for key in ("WAYLAND_DISPLAY", "XAUTHORITY", "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS"):
            env.pop(key, None)
        env["DISPLAY"] = self.display
        env["LC_ALL"] = "C.UTF-8"  # xdotool reads its UTF-8 arguments through the locale
        if extra:
            env.update(extra)
        return env

    def x(self, argv, check=True, timeout=None, binary=False):
        """Runs one X client tool to completion; returns its standard output."""
        try:
            done = subprocess.run(argv, env=self.env(), stdin=subprocess.DEVNULL,
                                  capture_output=True, timeout=timeout or self.step_timeout,
                                  preexec_fn=_child_setup)
        except subprocess.TimeoutExpired:
            raise HarnessError(f"{argv[0]} did not finish in time: {argv}")
        if check and done.returncode != 0:
            raise HarnessError(f"{argv} failed ({done.returncode}): "
                               f"{done.stderr.decode(errors='replace').strip()}")
        return done.stdout if binary else done.stdout.decode(errors="replace")

    def launch(self, program, env=None, data_home=None, name="app"):
        """Starts `program` on the display with a scratch XDG_DATA_HOME (or the given one)
        and its own XDG_RUNTIME_DIR; standard output and error go to <artifacts>/<name>.log."""
        if data_home is None:
            data_home = os.path.join(self.scratch, "data")
        runtime = os.path.join(self.scratch, "runtime")
        os.makedirs(data_home, exist_ok=True)
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        full = self.env({"QT_QPA_PLATFORM": "xcb", "XDG_DATA_HOME": data_home,
                         "XDG_RUNTIME_DIR": runtime, "NO_AT_BRIDGE": "1",
                         "QT_ACCESSIBILITY": "0"})
        for key in ("QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI"):
            full.pop(key, None)
        # A desktop without a session bus.  With no address at all libdbus would try to
        # start a bus through X11 itself, and leaks a buffer doing so (which fails a
        # sanitizer build at exit); an address that leads nowhere is simply refused.
        full["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + os.path.join(self.scratch, "no-bus")
        # libxkbcommon-x11 hands strndup a keymap name that is not zero-terminated, which
        # AddressSanitizer's strict string checks take for an overflow before our first
        # line runs: on a real X server that check is about the system library, not us.
        asan = full.get("ASAN_OPTIONS", "")
        if "strict_string_checks=1" in asan:
            full["ASAN_OPTIONS"] = asan.replace("strict_string_checks=1", "strict_string_checks=0")
        if env:
            full.update(env)
        log_file = open(os.path.join(self.artifacts, f"{name}.log"), "wb")
        try:
            proc = spawn([program], env=full, stdout=log_file, stderr=log_file)
        finally:
            log_file.close()
        self._apps.append(proc)
        log(f"started {program} as pid {proc.pid}")
        return proc

    # windows

    @staticmethod
    def _title_pattern(title):
        # xdotool matches a POSIX regex against the window name; a non-ASCII letter may reach
        # it in any encoding, so it stands as "one or more of anything".
        parts = [re.escape(ch) if ord(ch) < 128 else ".+" for ch in title]
        return "^" + "".join(parts) + "$"

    def find_windows(self, title):
        """Ids of the viewable windows whose name is exactly `title`."""
        out = self.x(["xdotool", "search", "--onlyvisible", "--name", self._title_pattern(title)],
                     check=False)
        return [int(w) for w in out.split()]

    def _programs_running(self):
        for proc in self._apps:
            if proc.poll() is not None:
                raise HarnessError(f"the program (pid {proc.pid}) ended with exit code "
                                   f"{proc.returncode}; see its log in {self.artifacts}")

    def wait_window(self, title, timeout=None):
        def found():
            ids = self.find_windows(title)
            if not ids:
                self._programs_running()  # no use waiting for a window of a dead program
            return ids

        ids = wait_until(found, timeout or self.step_timeout, f"a window titled {title!r}")
        return ids[0]

    def wait_no_window(self, title, timeout=None):
        wait_until(lambda: not self.find_windows(title), timeout or self.step_timeout,
                   f"the window titled {title!r} to go away")

    def wait_any_window(self, titles, timeout=None):
        """Waits for the first of several windows; returns (title, id)."""

        def first():
            for t in titles:
                ids = self.find_windows(t)
                if ids:
                    return t, ids[0]
            self._programs_running()
            return None

        return wait_until(first, timeout or self.step_timeout, f"one of the windows {titles!r}")

    def window_titles(self):
        """Names of the viewable top-level windows, for failure reports."""
        out = self.x(["xwininfo", "-root", "-tree"], check=False)
        return sorted(set(re.findall(r'^\s+0x[0-9a-f]+ "(.*)":', out, re.M)))

    def geometry(self, window):
        """(x, y, width, height) of the window's own area, in screen pixels. For a top-level
        Qt window that is the client area, whatever frame the window manager adds."""
        out = self.x(["xwininfo", "-id", str(window)])

        def field(name):
            m = re.search(rf"{name}:\s+(-?\d+)", out)
            if not m:
                raise HarnessError(f"xwininfo gave no {name} for window {window}")
            return int(m.group(1))

        return (field("Absolute upper-left X"), field("Absolute upper-left Y"),
                field("Width"), field("Height"))

    def frame_geometry(self, window):
        """(x, y, width, height) of the window with the frame the window manager drew
        around it (_NET_FRAME_EXTENTS: left, right, top, bottom)."""
        x, y, w, h = self.geometry(window)
        out = self.x(["xprop", "-id", str(window), "_NET_FRAME_EXTENTS"], check=False)
        m = re.search(r"=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", out)
        left, right, top, bottom = (int(v) for v in m.groups()) if m else (0, 0, 0, 0)
        return x - left, y - top, w + left + right, h + top + bottom

    def screen_size(self):
        w, h, _ = self.screen.split("x")
        return int(w), int(h)

    def client_origin(self, window):
        x, y, _, _ = self.geometry(window)
        return x, y

    def activate(self, window):
        self.x(["xdotool", "windowactivate", "--sync", str(window)])

    def request_close(self, window):
        """Asks the window manager to close the window, as its close box would."""
        self.x(["wmctrl", "-i", "-c", hex(window)])

    # input

    # No "mousemove --sync" anywhere: it waits for the pointer to move and so hangs when the
    # pointer already stands at the target.  XTEST requests are handled in order anyway.

    def move(self, x, y):
        self.x(["xdotool", "mousemove", str(x), str(y), "sleep", "0.05"])

    def click(self, x, y, button=1):
        self.x(["xdotool", "mousemove", str(x), str(y), "sleep", "0.05", "click", str(button)])

    def right_click(self, x, y):
        self.click(x, y, button=3)

    def drag(self, start, end, step=6, pause=0.015):
        """A real drag with the primary button: press at `start`, leave the start distance
        in small steps, travel to `end`, settle, release."""
        (x0, y0), (x1, y1) = start, end
        dist = max(abs(x1 - x0), abs(y1 - y0))
        steps = max(1, dist // step)
        argv = ["xdotool", "mousemove", str(x0), str(y0), "sleep", "0.05",
                "mousedown", "1", "sleep", "0.05"]
        # Leave the start distance in short steps first, so the drag begins near the source.
        sx = (x1 > x0) - (x1 < x0)
        sy = (y1 > y0) - (y1 < y0)
        for k in (3, 6, 9, 12, 15):
            argv += ["mousemove", str(x0 + sx * k), str(y0 + sy * k), "sleep", str(pause)]
        argv += ["sleep", "0.1"]
        fx, fy = x0 + sx * 15, y0 + sy * 15
        for i in range(1, steps + 1):
            argv += ["mousemove", str(fx + (x1 - fx) * i // steps),
                     str(fy + (y1 - fy) * i // steps), "sleep", str(pause)]
        # Settle over the target, with one more motion event, before releasing.
        argv += ["sleep", "0.08", "mousemove", str(x1 + 1), str(y1), "sleep", "0.04",
                 "mousemove", str(x1), str(y1), "sleep", "0.08", "mouseup", "1"]
        self.x(argv, timeout=self.step_timeout + steps * pause)

    def type_text(self, text, delay_ms=40):
        """Types into the focused window.  Letters missing from the keymap (accents) are
        first given keys of their own: xdotool alone would map each onto a spare key only
        for the moment, and the program may read the key after the mapping is gone."""
        self._map_letters(text)
        self.x(["xdotool", "type", "--delay", str(delay_ms), "--", text],
               timeout=self.step_timeout + len(text) * delay_ms / 1000.0)

    def _map_letters(self, text):
        wanted = sorted({ch for ch in text if ord(ch) > 126} - getattr(self, "_mapped", set()))
        if not wanted:
            return
        table = self.x(["xmodmap", "-pke"])
        spare = [int(m.group(1)) for m in re.finditer(r"^keycode\s+(\d+)\s*=\s*$", table, re.M)]
        spare = [k for k in spare if k > 8]
        if len(spare) < len(wanted):
            raise HarnessError("no spare keys left in the keymap for " + "".join(wanted))
        expressions = []
        for ch, keycode in zip(wanted, reversed(spare)):
            lower, upper = ch.lower(), ch.upper()
            syms = [f"U{ord(lower):04X}", f"U{ord(upper if len(upper) == 1 else lower):04X}"]
            expressions += ["-e", f"keycode {keycode} = {syms[0]} {syms[1]}"]
        self.x(["xmodmap", *expressions])
        self._mapped = getattr(self, "_mapped", set()) | set(wanted)
        # The program learns of the new keymap through an event of its own; let it arrive.
        time.sleep(0.5)

    def key(self, *keys):
        self.x(["xdotool", "key", "--delay", "30", *keys])

    # pictures

    def grab(self):
        """The whole screen now, as a Picture."""
        return Picture.from_ppm(self.x(["import", "-silent", "-window", "root", "-depth", "8", "ppm:-"],
                                       binary=True))

    def screenshot(self, name):
        self._shots += 1
        path = os.path.join(self.artifacts, f"{self._shots:02d}-{name}.png")
        self.x(["import", "-silent", "-window", "root", path])
        log(f"screenshot {path}")
        return path


# --- the program's windows ----------------------------------------------------------------

# The board: a 7 x 7 grid whose holes are the cells in rows 2..4 or columns 2..4; the hole in
# row r, column c is a 36 x 36 cell at (23 + 48c, 24 + 48r) of the board's client area.
CENTRE = (3, 3)
HOLE_CELLS = [(r, c) for r in range(7) for c in range(7) if 2 <= r <= 4 or 2 <= c <= 4]
# The solution window numbers the holes 1..32 in reading order, the centre left out.
NUMBERED_CELLS = {n: cell for n, cell in enumerate((c for c in HOLE_CELLS if c != CENTRE), 1)}

BOARD_SIZE = (600, 371)
GESTURE_ARM = (12, 361)        # inside Label5 (0, 352, 25, 25), within the client area
GESTURE_OPEN = (592, 8)        # inside Label6 (584, 0, 17, 17)
NEW_GAME = (512, 168)          # Command2 (480, 152, 65, 33)
PLAY = (269 + 94, 80 + 40)     # the presentation's Command1 (269, 80, 188, 81)
EXIT = (272 + 40, 192 + 12)    # the presentation's Command3 (272, 192, 81, 25)


def cell_rect(row, column):
    return 23 + 48 * column, 24 + 48 * row, 36, 36


def cell_centre(origin, row, column):
    x, y, w, h = cell_rect(row, column)
    return origin[0] + x + w // 2, origin[1] + y + h // 2


def open_board(desk, timeout=15.0):
    """Waits for the program's first window; presses play when it is the presentation.
    Returns (board window id, whether the presentation was there)."""
    title, window = desk.wait_any_window([BOARD_TITLE, PRESENTATION_TITLE], timeout)
    presentation = title == PRESENTATION_TITLE
    if presentation:
        log("the presentation window came first: pressing play")
        ox, oy = desk.client_origin(window)
        desk.click(ox + PLAY[0], oy + PLAY[1])
    board = desk.wait_window(BOARD_TITLE, timeout)
    x, y, w, h = desk.geometry(board)
    if (w, h) != BOARD_SIZE:
        raise HarnessError(f"the board's client area is {w} x {h}, not {BOARD_SIZE}")
    return board, presentation


class BoardReader:
    """Tells pegs from empty holes on screen by comparing each hole's inside with the
    pictures of a fresh board: every hole but the centre shows a peg, the centre is empty.
    Only the inside of a cell is compared: the red goal frame shows at the centre cell's
    edges."""

    INSET = 6

    def __init__(self, desk, board):
        self.desk, self.board = desk, board
        self.origin = desk.client_origin(board)
        shot = desk.grab()
        self.peg = self._inside(shot, (0, 3))
        self.empty = self._inside(shot, CENTRE)
        if difference(self.peg, self.empty) < 1000:
            raise HarnessError("a peg and an empty hole look alike: the board is not drawn")

    def refresh(self):
        """Where the board stands now.  A restart centres it again, and may give it a new
        native window, so it is looked up by its title each time."""
        self.board = self.desk.wait_window(BOARD_TITLE)
        self.origin = self.desk.client_origin(self.board)
        return self.origin

    def _inside(self, shot, cell):
        x, y, w, h = cell_rect(*cell)
        i = self.INSET
        return shot.region(self.origin[0] + x + i, self.origin[1] + y + i, w - 2 * i, h - 2 * i)

    def read(self, shot=None):
        """The set of cells that show a peg; raises when a hole looks like neither."""
        if shot is None:
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

    def wait_for(self, expected, timeout=5.0, what="the board to show the expected pegs"):
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


def start_position():
    return {cell for cell in HOLE_CELLS if cell != CENTRE}


def wait_exit(proc, timeout, what="the program"):
    try:
        return proc.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        raise HarnessError(f"{what} (pid {proc.pid}) still runs after {timeout} s")


def run_main(scenario, seconds):
    """Entry point of a test script: parses `<program> [--artifacts DIR]`, runs
    `scenario(program, artifacts)` under a hard overall timeout, and exits 0 on success,
    1 on failure (with the reason on standard error)."""
    import argparse

    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--artifacts", default=None)
    args = parser.parse_args()
    missing = missing_tools(("openbox", "wmctrl"))
    if missing:
        log("missing tools (run scripts/install-deps): " + " ".join(missing))
        sys.exit(1)
    program = os.path.abspath(args.program)
    artifacts = os.path.abspath(args.artifacts or os.path.join(
        os.path.dirname(program), "e2e-artifacts", os.path.splitext(os.path.basename(sys.argv[0]))[0]))
    shutil.rmtree(artifacts, ignore_errors=True)
    os.makedirs(artifacts)
    hard_timeout(seconds)
    try:
        scenario(program, artifacts)
    except AssertionError as e:
        log(f"FAILED: {e}")
        log(f"artifacts: {artifacts}")
        sys.exit(1)
    finally:
        signal.alarm(0)
        _reap_all()
    log("passed")
