#!/usr/bin/env python3
"""Pictures of the program's windows for a reviewer, each cut out of the screen with its
window-manager frame, at QT_SCALE_FACTOR 1, 1.25, 1.5, 1.75 and 2: <out>/board@Nx.png,
solution@Nx.png and, when the program starts on it, presentation@Nx.png.  The Windows build
(pindel.exe) is shown under Wine at the Windows display settings of 100, 125, 150, 175 and
200 % instead (LogPixels 96, 120, 144, 168 and 192), each window cut out with the frame Windows
draws.

Usage: shots.py <path of pindel or pindel.exe> <output directory>"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from pindel_e2e.constants import GESTURE_ARM, GESTURE_OPEN, SOLUTION_TITLE  # noqa: E402
from pindel_e2e.game import open_board  # noqa: E402
from pindel_e2e.processes import wait_exit  # noqa: E402
from pindel_e2e.runner import desktop_for, is_windows_program, run_main  # noqa: E402

SCALES = (1, 1.25, 1.5, 1.75, 2)
SETTLE = 0.7  # time for a window that has just appeared to finish painting


def shoot(program, out):
    for scale in SCALES:
        shoot_at(program, out, scale)


def shoot_at(program, out, scale):
    if is_windows_program(program):
        settings, env = {"dpi": round(96 * scale)}, {}
    else:
        settings, env = {}, {"QT_SCALE_FACTOR": f"{scale:g}"}
    screen = f"{round(1024 * scale)}x{round(768 * scale)}x24"
    name = f"{scale:g}x"
    with desktop_for(program, os.path.join(out, f".work@{name}"), screen=screen, **settings) as desk:
        app = desk.launch(program, env=env)
        board, presentation = open_board(desk, scale)
        time.sleep(SETTLE)
        desk.screenshot("board", board, os.path.join(out, f"board@{name}.png"))
        desk.click_in(board, GESTURE_ARM, scale=scale)
        desk.click_in(board, GESTURE_OPEN, 3, scale=scale)
        solution = desk.wait_window(SOLUTION_TITLE)
        time.sleep(SETTLE)
        desk.screenshot("solution", solution, os.path.join(out, f"solution@{name}.png"))
        if presentation:
            # Play has stopped the typing and shows the whole advert; the other two windows
            # step aside so nothing covers it.
            for window in (solution, board):
                desk.x(["xdotool", "windowminimize", "--sync", str(window)])
            time.sleep(SETTLE)
            desk.screenshot("presentation", presentation, os.path.join(out, f"presentation@{name}.png"))
        app.terminate()
        wait_exit(app, 10.0, code=None)


if __name__ == "__main__":
    run_main(shoot, seconds=300)
