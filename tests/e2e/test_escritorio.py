#!/usr/bin/env python3
"""The program on a desktop that has a panel and a background window, as most desktops do:
  1. Under openbox, with a panel reserving the top 40 pixels, a desktop background window and
     xlogo open: the presentation and then the board stand in the centre of the whole screen
     (not of the area the panel leaves free); xlogo ends up iconified while the panel, the
     background and the presentation stay as they are.  The Windows build under Wine sends
     the desktop's shortcut instead, and the keys are checked (see SentKeys in
     scripts/e2e/pindel_e2e/desktop_windows.py).
  2. With no window manager (the X11 build), the test stands in for one and writes down every
     request to iconify a window: the program asks for the ordinary window only, never for the
     panel or the background."""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "e2e"))

from pindel_e2e.constants import BOARD_TITLE, EXIT, PLAY, PRESENTATION_SIZE, PRESENTATION_TITLE  # noqa: E402
from pindel_e2e.desktop_x11 import Desktop  # noqa: E402
from pindel_e2e.processes import HarnessError, log, wait_exit, wait_until  # noqa: E402
from pindel_e2e.runner import desktop_for, is_windows_program, run_main  # noqa: E402
from pindel_e2e.xclient import XClient  # noqa: E402

PANEL = 40


def settled(desk, window, frame=True):
    """The window's rectangle once it has stood still for a second."""
    last, since, deadline = None, time.monotonic(), time.monotonic() + 8.0
    while time.monotonic() < deadline:
        place = desk.frame_geometry(window) if frame else desk.geometry(window)
        if place != last:
            last, since = place, time.monotonic()
        elif time.monotonic() - since >= 1.0:
            return place
        time.sleep(0.05)
    raise HarnessError(f"window {window} did not stand still (last at {last})")


def with_panel(desk, program):
    x = XClient(desk.display)
    try:
        width, height = x.size
        background = x.window((0, 0, width, height), "DESKTOP", "escritorio")
        panel = x.window((0, 0, width, PANEL), "DOCK", "panel", strut=(0, 0, PANEL, 0))
        witness = desk.minimise_witness()
        wait_until(lambda: f"= 0, {PANEL}, {width}, {height - PANEL}," in
                   desk.x(["xprop", "-root", "_NET_WORKAREA"], check=False), 5.0,
                   "openbox to leave the panel's strip out of the work area")

        app = desk.launch(program)
        presentation = desk.wait_window(PRESENTATION_TITLE, timeout=15.0)
        px, py, pw, ph = settled(desk, presentation, frame=False)
        if (pw, ph) != PRESENTATION_SIZE or abs(px - (width - pw) / 2) > 0.5 or abs(py - (height - ph) / 2) > 0.5:
            raise HarnessError(f"the presentation stands at ({px}, {py}), not in the centre of the whole "
                               f"screen ({(width - pw) / 2}, {(height - ph) / 2})")
        witness.wait()
        time.sleep(0.5)
        for name, window in (("panel", panel), ("background", background), ("presentation", presentation)):
            if desk.wm_state(window) != "Normal":
                raise HarnessError(f"the {name} is {desk.wm_state(window)} after the start")
        log("presentation centred on the whole screen; panel and background left alone")

        desk.click_in(presentation, PLAY)
        board = desk.wait_window(BOARD_TITLE)
        bx, by, bw, bh = settled(desk, board)
        if abs(bx - (width - bw) // 2) > 1 or abs(by - (height - bh) // 2) > 1:
            raise HarnessError(f"the board's frame stands at ({bx}, {by}), not in the centre of the "
                               f"whole screen ({(width - bw) // 2}, {(height - bh) // 2})")
        log("board centred on the whole screen")
        desk.screenshot("board-with-panel")
        desk.request_close(board)
        desk.wait_no_window(BOARD_TITLE)
        desk.click_in(presentation, EXIT)
        wait_exit(app, 10.0)
    finally:
        x.close()


class BareDesktop(Desktop):
    """Xvfb alone: the test itself stands in for the window manager."""

    def _start_manager(self):
        log("no window manager: the test stands in for one")


def requests_recorded(desk, program):
    x = XClient(desk.display)
    try:
        width, height = x.size
        ordinary = x.window((50, 300, 200, 150), "NORMAL", "otra ventana")
        background = x.window((0, 0, width, height), "DESKTOP", "escritorio")
        panel = x.window((0, 0, width, PANEL), "DOCK", "panel", strut=(0, 0, PANEL, 0))
        x.manage([background, panel, ordinary])

        app = desk.launch(program)
        deadline = time.monotonic() + 15.0
        while not desk.find_windows(PRESENTATION_TITLE):
            if time.monotonic() > deadline:
                raise HarnessError("the presentation window was never mapped")
            desk.expect_running("before its first window")
            x.serve(0.2)
        x.serve(1.5)  # requests sent late would still be written down
        presentation = desk.find_windows(PRESENTATION_TITLE)[0]
        names = {ordinary: "the ordinary window", background: "the background", panel: "the panel",
                 presentation: "the presentation"}
        asked = [names.get(w, hex(w)) for w in x.iconify_requests]
        if asked != ["the ordinary window"]:
            raise HarnessError(f"the program asked to iconify {asked}, not the ordinary window alone")
        log("the program asked to iconify the ordinary window alone")
        desk.click_in(presentation, EXIT)
        wait_exit(app, 10.0)
    finally:
        x.close()


def scenario(program, artifacts):
    with desktop_for(program, os.path.join(artifacts, "panel")) as desk:
        with_panel(desk, program)
    if is_windows_program(program):
        return  # a Windows program sends keys, not X requests: the witness above saw them
    with BareDesktop(os.path.join(artifacts, "requests")) as desk:
        requests_recorded(desk, program)


if __name__ == "__main__":
    run_main(scenario, seconds=120)
