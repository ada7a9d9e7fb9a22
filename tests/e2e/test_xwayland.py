#!/usr/bin/env python3
"""A Wayland session that also offers XWayland, as GNOME on Wayland does, and the program started
with no platform named (QT_QPA_PLATFORM unset, XDG_SESSION_TYPE=wayland, both WAYLAND_DISPLAY
and DISPLAY set): it must run as an X client of XWayland, where it can place its windows.
  1. the presentation and the board are X windows of XWayland's display, drawn where the X
     server says they are;
  2. the presentation stands in the centre of the output, the board in the centre too, moved
     only by the compositor's frame;
  3. leave the board, then exit: the program ends with code 0.
The shell is weston's desktop-shell, not kiosk-shell: kiosk-shell centres every window by
itself, so a centred board there would prove nothing; desktop-shell puts a window where its X
client asks, and at a random place when it asks for none."""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "e2e"))

from pindel_e2e.constants import (BOARD_AREA, BOARD_SIZE, BOARD_TITLE, EXIT, LEAVE,  # noqa: E402
                                  PLAY, PRESENTATION_AREA, PRESENTATION_SIZE, PRESENTATION_TITLE)
from pindel_e2e.desktop_wayland import WaylandDesktop  # noqa: E402
from pindel_e2e.processes import HarnessError, log, wait_exit  # noqa: E402
from pindel_e2e.runner import run_main  # noqa: E402

# Weston's window manager publishes no frame extents, so the program centres the board's
# client area; weston then puts its frame's outer corner where the client area was asked for,
# which moves the client area right by the frame's left border and down by its title bar.
FRAME_LEFT, FRAME_TOP = (1, 8), (16, 32)   # what such a border and title bar may measure


def x_window_at_pixels(desk, title, area, size):
    """The program's X window named `title` on XWayland's display, which must show on the
    output exactly where its colour `area` is found; returns its client origin."""
    window = desk.wait_window(title, timeout=15.0)
    found = desk.wait_area(area, what=f"the pixels of the window {title!r}")
    # Weston's X window manager tells the X server where the window stands a moment after
    # the compositor shows it there: the geometry is read until it agrees, or time runs out.
    deadline = time.monotonic() + 5.0
    while True:
        x, y, w, h = desk.geometry(window)
        if (w, h) == size and (x, y) == found:
            return x, y
        if time.monotonic() > deadline:
            raise HarnessError(f"the X window {title!r} is {w} x {h} at ({x}, {y}) on "
                               f"{desk.x_display}, its pixels at {found}")
        time.sleep(0.05)


def scenario(program, artifacts):
    with WaylandDesktop(artifacts, shell="desktop-shell.so", xwayland=True) as desk:
        app = desk.launch(program)
        ow, oh = desk.output
        x, y = x_window_at_pixels(desk, PRESENTATION_TITLE, PRESENTATION_AREA, PRESENTATION_SIZE)
        # Frameless and centred from twips with halves kept: a half pixel may round either way.
        if abs(x - (ow - PRESENTATION_SIZE[0]) / 2) > 0.5 or abs(y - (oh - PRESENTATION_SIZE[1]) / 2) > 0.5:
            raise HarnessError(f"the presentation stands at ({x}, {y}), not in the centre of {ow} x {oh}")
        desk.screenshot("presentation")
        log(f"the presentation is an X window of {desk.x_display}, in the centre of the output")

        desk.click(x + PLAY[0], y + PLAY[1])
        x, y = x_window_at_pixels(desk, BOARD_TITLE, BOARD_AREA, BOARD_SIZE)
        dx, dy = x - (ow - BOARD_SIZE[0]) // 2, y - (oh - BOARD_SIZE[1]) // 2
        if not (FRAME_LEFT[0] <= dx <= FRAME_LEFT[1] and FRAME_TOP[0] <= dy <= FRAME_TOP[1]):
            raise HarnessError(f"the board's client area stands at ({x}, {y}): {dx}, {dy} pixels from "
                               f"the centre of {ow} x {oh}, more than a frame's border and title bar")
        desk.screenshot("board")
        log(f"the board is an X window in the centre of the output, frame allowed ({dx}, {dy})")

        desk.click(x + LEAVE[0], y + LEAVE[1])
        desk.wait_no_window(BOARD_TITLE)
        x, y = desk.wait_area(PRESENTATION_AREA, what="the presentation after leaving the board")
        desk.click(x + EXIT[0], y + EXIT[1])
        wait_exit(app, 10.0)
        log("left the board, then exit: the program ended with exit code 0")


if __name__ == "__main__":
    run_main(scenario, seconds=90)
