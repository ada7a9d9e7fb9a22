"""The Wayland desktop: weston nested in the private X server of desktop_x11.Desktop, the
program running as its Wayland client or as an X client of its XWayland.  Windows that are no
X windows of ours are found by their pixels (pictures.find_area).  Builds on the X11 desktop
alone."""

import os
import re
import shutil

from .desktop_x11 import Desktop
from .pictures import find_area
from .processes import HarnessError, log, spawn, wait_until


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

