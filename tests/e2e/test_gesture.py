#!/usr/bin/env python3
"""The hidden gesture by real clicks: the bottom-left spot arms it, a right press on the
top-right spot opens the solution window only when armed, any press there disarms.  The
solution window stands where its load handler puts it; new game closes it; its own close box
closes only it; leave closes both.  Then the program must end with exit code 0."""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "e2e"))

from pindel_e2e.constants import (BOARD_TITLE, GESTURE_ARM, GESTURE_OPEN, LEAVE,  # noqa: E402
                                  NEW_GAME, SOLUTION_SIZE, SOLUTION_TITLE)
from pindel_e2e.game import leave_program, open_board  # noqa: E402
from pindel_e2e.processes import HarnessError, log  # noqa: E402
from pindel_e2e.runner import desktop_for, run_main  # noqa: E402

QUIET = 1.0  # how long a window that must not appear is given to appear anyway


def check_frame_rules(desk, window, name):
    """Fixed single border: it can be minimised and closed, never maximised or resized."""
    out = desk.x(["xprop", "-id", str(window), "_NET_WM_ALLOWED_ACTIONS"])
    allowed = {a.strip()[15:] for a in out.split("=", 1)[-1].split(",")}
    if not {"MINIMIZE", "CLOSE"} <= allowed or allowed & {"MAXIMIZE_HORZ", "MAXIMIZE_VERT", "RESIZE"}:
        raise HarnessError(f"the {name} allows {sorted(allowed)}")


def scenario(program, artifacts):
    with desktop_for(program, artifacts) as desk:
        app = desk.launch(program)
        board, presentation = open_board(desk)
        check_frame_rules(desk, board, "board")

        def press(spot, button=1, solution_after=None, why=""):
            # The board is looked up each time (a restart may give it a new native window) and
            # brought to the front (the solution window may cover the spot).
            window = desk.wait_window(BOARD_TITLE)
            desk.activate(window)
            desk.click_in(window, spot, button)
            if solution_after is not None:
                time.sleep(QUIET)
                if desk.find_windows(SOLUTION_TITLE) != solution_after:
                    raise HarnessError(f"the solution window changed {why}")

        press(GESTURE_OPEN, 3, [], "on a right press without arming")
        press(GESTURE_ARM)
        press(GESTURE_OPEN, 1, [], "on a left press")
        press(GESTURE_OPEN, 3, [], "after a left press had disarmed the gesture")
        press(GESTURE_ARM)
        press(GESTURE_ARM)
        press(GESTURE_OPEN, 3)
        solution = desk.wait_window(SOLUTION_TITLE)
        x, y, w, h = desk.geometry(solution)
        sw, sh = desk.screen_size()
        fx, fy, _, _ = desk.frame_geometry(solution)
        # Placed from its inner size: the frame's corner at half the free space.
        if (w, h) != SOLUTION_SIZE or abs(fx - (sw - w) // 2) > 1 or abs(fy - (sh - h) // 2) > 1:
            raise HarnessError(f"the solution window's client area is {w} x {h}, its frame at "
                               f"({fx}, {fy}), not at ({(sw - w) // 2}, {(sh - h) // 2})")
        check_frame_rules(desk, solution, "solution window")
        desk.screenshot("solution-open")
        press(GESTURE_OPEN, 3, [solution], "on a right press after the opening had disarmed")
        log("only the armed gesture opened the solution window")

        press(NEW_GAME)
        desk.wait_no_window(SOLUTION_TITLE)
        press(GESTURE_OPEN, 3, [], "after a new game, which disarms the gesture")
        log("a new game closed the solution window and disarmed the gesture")

        press(GESTURE_ARM)
        press(GESTURE_OPEN, 3)
        desk.request_close(desk.wait_window(SOLUTION_TITLE))
        desk.wait_no_window(SOLUTION_TITLE)
        time.sleep(QUIET)
        desk.expect_running("when the solution window was closed")
        desk.wait_window(BOARD_TITLE, timeout=0.1)
        press(GESTURE_ARM)
        press(GESTURE_OPEN, 3)
        desk.wait_window(SOLUTION_TITLE)
        log("the close box closed the solution window alone; the gesture reopened it")

        press(LEAVE)
        desk.wait_no_window(SOLUTION_TITLE)
        desk.wait_no_window(BOARD_TITLE)
        leave_program(desk, app, presentation)


if __name__ == "__main__":
    run_main(scenario, seconds=120)
