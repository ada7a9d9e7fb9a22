"""The X11 desktop: a private Xvfb display managed by openbox, and the tools that drive the
program on it with real input (xdotool), look at its windows (xwininfo, xprop) and grab the
screen (ImageMagick's import).  Every step is bounded in time; every child it starts is
stopped when the Desktop closes.  Every other desktop of the package builds on this one.
Standard library only; the X tools come from Debian."""

import os
import re
import select
import shutil
import subprocess
import tempfile
import time

from .constants import WINNERS_FILE
from .pictures import Picture
from .processes import HarnessError, child_setup, log, spawn, stop, wait_until


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
                                  timeout=timeout or self.step_timeout, preexec_fn=child_setup)
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
        return os.path.join(self.scratch, "data", "pindel", WINNERS_FILE)

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
