#!/usr/bin/env python3
"""Pictures of the program's windows for a reviewer, each cut out of the screen with its
window-manager frame, at QT_SCALE_FACTOR 1 and 2: <out>/board@Nx.png, solution@Nx.png and,
when the program starts on it, presentation@Nx.png.  The Windows build (pindel.exe) is shown
under Wine at the Windows display setting of 100 % and 200 % instead (LogPixels 96 and 192),
each window cut out with the frame Windows draws.

Usage: shots.py <path of pindel or pindel.exe> <output directory>"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from pindel_e2e.constants import GESTURE_ARM, GESTURE_OPEN, SOLUTION_TITLE  # noqa: E402
from pindel_e2e.game import open_board  # noqa: E402
from pindel_e2e.processes import wait_exit  # noqa: E402
from pindel_e2e.runner import desktop_for, is_windows_program, run_main  # noqa: E402

SCREENS = {1: "1024x768x24", 2: "2048x1536x24"}
SETTLE = 0.7  # time for a window that has just appeared to finish painting


def shoot(program, out):
    for scale in (1, 2):
        shoot_at(program, out, scale)


def shoot_at(program, out, scale):
    if is_windows_program(program):
        settings, env = {"dpi": 96 * scale}, {}
    else:
        settings, env = {}, {"QT_SCALE_FACTOR": str(scale)}
    with desktop_for(program, os.path.join(out, f".work@{scale}x"), screen=SCREENS[scale], **settings) as desk:
        app = desk.launch(program, env=env)
        board, presentation = open_board(desk, scale)
        time.sleep(SETTLE)
        desk.screenshot("board", board, os.path.join(out, f"board@{scale}x.png"))
        desk.click_in(board, GESTURE_ARM, scale=scale)
        desk.click_in(board, GESTURE_OPEN, 3, scale=scale)
        solution = desk.wait_window(SOLUTION_TITLE)
        time.sleep(SETTLE)
        desk.screenshot("solution", solution, os.path.join(out, f"solution@{scale}x.png"))
        if presentation:
            # Play has stopped the typing and shows the whole advert; the other two windows
            # step aside so nothing covers it.
            for window in (solution, board):
                desk.x(["xdotool", "windowminimize", "--sync", str(window)])
            time.sleep(SETTLE)
            desk.screenshot("presentation", presentation, os.path.join(out, f"presentation@{scale}x.png"))
        app.terminate()
        wait_exit(app, 10.0, code=None)


if __name__ == "__main__":
    run_main(shoot, seconds=120)
