#!/usr/bin/env python3
"""Pictures of the program's windows for a reviewer, each cut out of the screen with its
window-manager frame, at QT_SCALE_FACTOR 1 and 2: <out>/board@Nx.png, solution@Nx.png and,
when the program starts on it, presentation@Nx.png.

Usage: shots.py <path of pindel> <output directory>"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from harness import (GESTURE_ARM, GESTURE_OPEN, SOLUTION_TITLE, Desktop, open_board,  # noqa: E402
                     run_main, wait_exit)

SCREENS = {1: "1024x768x24", 2: "2048x1536x24"}
SETTLE = 0.7  # time for a window that has just appeared to finish painting


def shoot(program, out):
    for scale in (1, 2):
        shoot_at(program, out, scale)


def shoot_at(program, out, scale):
    with Desktop(os.path.join(out, f".work@{scale}x"), screen=SCREENS[scale]) as desk:
        app = desk.launch(program, env={"QT_SCALE_FACTOR": str(scale)})
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
