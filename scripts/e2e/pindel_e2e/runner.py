"""The top of the package: which desktop a program runs on (`desktop_for`: the Windows build
under Wine, any other program on the X11 desktop), and the entry point of a scenario script
(`run_main`: its command line, the tools it needs, its overall time bound, its exit status).
Nothing in the package imports this module."""

import argparse
import os
import shutil
import signal
import sys

from .desktop_windows import WindowsDesktop
from .desktop_x11 import Desktop
from .processes import HarnessError, log, reap_all

REQUIRED_TOOLS = ("Xvfb", "openbox", "wmctrl", "xdotool", "xmodmap", "xwininfo", "xprop", "import")
WINE_TOOLS = ("wine", "wineboot", "wineserver", "xclip")
WINE_ALLOWANCE = 120  # seconds more for a scenario of the Windows build (see run_main)


def is_windows_program(program):
    return program.lower().endswith(".exe")


def desktop_for(program, artifacts, **kw):
    """The desktop `program` runs on: a Windows program (.exe, the Windows build) under Wine,
    any other on the plain X desktop."""
    if is_windows_program(program):
        return WindowsDesktop(artifacts, program, **kw)
    return Desktop(artifacts, **kw)


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
        reap_all()
    log("passed")
