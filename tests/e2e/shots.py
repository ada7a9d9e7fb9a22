#!/usr/bin/env python3
"""Pictures of the program's windows for a reviewer: the real binary on a private X server
with openbox, at scale factor 1 and 2 (QT_SCALE_FACTOR), each window cut out of the screen
with the frame the window manager drew around it.

Writes <out>/board@1x.png, solution@1x.png, presentation@1x.png (when the program starts
on it), and the same at 2x.

Usage: shots.py <path of pindel> <output directory>
"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from harness import (GESTURE_ARM, GESTURE_OPEN, PRESENTATION_TITLE, SOLUTION_TITLE,  # noqa: E402
                     BOARD_TITLE, Desktop, HarnessError, hard_timeout, log, missing_tools,
                     wait_exit)

SCREENS = {1: "1024x768x24", 2: "2048x1536x24"}
SETTLE = 0.7  # time for a window that has just appeared to finish painting


def cut(desk, window, path):
    x, y, w, h = desk.frame_geometry(window)
    desk.x(["import", "-silent", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage", path])
    log(f"wrote {path} ({w} x {h})")


def shoot(program, out, scale):
    with Desktop(os.path.join(out, f".work@{scale}x"), screen=SCREENS[scale]) as desk:
        app = desk.launch(program, env={"QT_SCALE_FACTOR": str(scale)})
        title, first = desk.wait_any_window([BOARD_TITLE, PRESENTATION_TITLE], 15.0)
        if title == PRESENTATION_TITLE:
            ox, oy = desk.client_origin(first)
            # Play, at the scaled size of the button.
            desk.click(ox + (269 + 94) * scale, oy + (80 + 40) * scale)
        board, _ = open_board_scaled(desk, scale)
        time.sleep(SETTLE)
        cut(desk, board, os.path.join(out, f"board@{scale}x.png"))

        ox, oy = desk.client_origin(board)
        desk.click(ox + GESTURE_ARM[0] * scale, oy + GESTURE_ARM[1] * scale)
        desk.click(ox + GESTURE_OPEN[0] * scale, oy + GESTURE_OPEN[1] * scale, button=3)
        solution = desk.wait_window(SOLUTION_TITLE)
        time.sleep(SETTLE)
        cut(desk, solution, os.path.join(out, f"solution@{scale}x.png"))

        if title == PRESENTATION_TITLE:
            # Play has stopped the typing and shows the whole advert; the other two windows
            # step aside so nothing covers it.
            for window in (solution, board):
                desk.x(["xdotool", "windowminimize", "--sync", str(window)])
            time.sleep(SETTLE)
            cut(desk, first, os.path.join(out, f"presentation@{scale}x.png"))
        desk.request_close(solution)
        app.terminate()
        wait_exit(app, 10.0)


def open_board_scaled(desk, scale):
    board = desk.wait_window(BOARD_TITLE, 15.0)
    _, _, w, h = desk.geometry(board)
    if (w, h) != (600 * scale, 371 * scale):
        raise HarnessError(f"the board's client area is {w} x {h} at scale {scale}")
    return board, None


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    missing = missing_tools(("openbox", "wmctrl"))
    if missing:
        sys.exit("missing tools (run scripts/install-deps): " + " ".join(missing))
    program, out = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    os.makedirs(out, exist_ok=True)
    hard_timeout(120)
    try:
        for scale in (1, 2):
            shoot(program, out, scale)
    except AssertionError as e:
        sys.exit(f"screenshots: {e}")
    log(f"screenshots are in {out}")


if __name__ == "__main__":
    main()
