"""The Wine desktop: the X11 desktop (Xvfb and openbox) whose programs are Windows programs,
run by Wine in a given prefix (wine_prefix.WinePrefix).  Wine's X11 driver gives every Windows
window an X window of its own, with the window's title, so the X11 desktop's tools find, grab
and click them.  Wine passes no QT_* variable on to a Windows program; WINEQT_* it passes as
QT_*, so launch() hands the caller's QT_* variables over that way.

    with WinePrefix(scratch) as wine, WineDesktop(artifacts, wine) as desk:
        wine.install(installer)
        app = desk.launch(wine.start_menu_entry("Pindel"))"""

import os

from .desktop_x11 import Desktop
from .processes import log, spawn
from .wine_prefix import read_shortcut


class WineDesktop(Desktop):
    """A harness Desktop (Xvfb and openbox) whose programs are Windows programs run by Wine
    in `prefix`."""

    def __init__(self, artifacts, prefix, **kw):
        super().__init__(artifacts, **kw)
        self.prefix = prefix

    def launch(self, program, env=None, name="app", args=(), wine_debug="-all"):
        """Starts a Windows program: an .exe (Linux or Windows path), or a shortcut (.lnk) the
        way the Start menu opens one: its target, with its arguments, in its working folder.
        (start.exe would do the same, but does not wait for what a shortcut starts.)  The
        caller's QT_* variables in `env` reach it; `wine_debug` is WINEDEBUG (e.g.
        "-all,+loaddll" logs every DLL it loads).  Its output goes to <artifacts>/<name>.log."""
        full = self.prefix.env({"DISPLAY": self.display, "WINEDEBUG": wine_debug})
        for key, value in (env or {}).items():
            full["WINE" + key if key.startswith(("QT_", "QTEST_")) else key] = value
        full = {k: v for k, v in full.items() if v is not None}
        cwd = None
        if program.lower().endswith(".lnk"):
            link = read_shortcut(program)
            program, cwd = link["target"], link.get("working_dir")
            args = [*(link.get("arguments") or "").split(), *args]
            cwd = self.prefix.unix_path(cwd) if cwd else None
        argv = ["wine", program, *args]
        proc = spawn(argv, env=full, log_path=os.path.join(self.artifacts, f"{name}.log"), cwd=cwd)
        self._apps.append(proc)
        log(f"started {' '.join(argv)} as pid {proc.pid}" + (f" in {cwd}" if cwd else ""))
        return proc
