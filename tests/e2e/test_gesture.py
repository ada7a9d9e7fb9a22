#!/usr/bin/env python3
"""The hidden gesture by real clicks on a real X server.

The bottom-left spot arms it, a right press on the top-right spot opens the solution window
only when armed, and any press there disarms.  The solution window stands where its load
handler puts it; the board's new-game button closes it; its own close box closes only it;
the leave button with it open closes both.  Then the program is left as a player would and
must end with exit code 0.

Usage: test_gesture.py <path of pindel> [--artifacts DIR]
"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from harness import (BOARD_TITLE, EXIT, GESTURE_ARM, GESTURE_OPEN, NEW_GAME,  # noqa: E402
                     PRESENTATION_TITLE, SOLUTION_TITLE, Desktop, HarnessError, log,
                     open_board, run_main, wait_exit)

LEAVE = (480 + 32, 184 + 16)            # the board's Command4 (480, 184, 65, 33)
SOLUTION_SIZE = (412, 294)              # 6180 x 4410 twips
# How long a window that must not appear is given to appear anyway.
QUIET = 1.0


class Board:
    def __init__(self, desk):
        self.desk = desk

    def at(self, spot):
        # A restart may give the board a new native window: look it up every time.
        # Brought to the front first: the solution window may overlap the spot.
        window = self.desk.wait_window(BOARD_TITLE)
        self.desk.activate(window)
        ox, oy = self.desk.client_origin(window)
        return ox + spot[0], oy + spot[1]

    def arm(self):
        self.desk.click(*self.at(GESTURE_ARM))

    def press_top_right(self, button):
        self.desk.click(*self.at(GESTURE_OPEN), button=button)


def expect_no_solution(desk, why):
    time.sleep(QUIET)
    if desk.find_windows(SOLUTION_TITLE):
        raise HarnessError(f"the solution window opened {why}")


def check_frame_rules(desk, window, name):
    """Fixed single border: it can be minimised and closed, never maximised or resized."""
    out = desk.x(["xprop", "-id", str(window), "_NET_WM_ALLOWED_ACTIONS"])
    allowed = set(a.strip() for a in out.split("=", 1)[-1].split(","))
    for action in ("_NET_WM_ACTION_MINIMIZE", "_NET_WM_ACTION_CLOSE"):
        if action not in allowed:
            raise HarnessError(f"the {name} cannot be {action[15:].lower()}d: {sorted(allowed)}")
    for action in ("_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT",
                   "_NET_WM_ACTION_RESIZE"):
        if action in allowed:
            raise HarnessError(f"the {name} allows {action}")


def scenario(program, artifacts):
    with Desktop(artifacts) as desk:
        app = desk.launch(program)
        board_window, presentation = open_board(desk)
        check_frame_rules(desk, board_window, "board")
        board = Board(desk)

        board.press_top_right(3)
        expect_no_solution(desk, "on a right press without arming")
        board.arm()
        board.press_top_right(1)
        expect_no_solution(desk, "on a left press")
        board.press_top_right(3)
        expect_no_solution(desk, "after a left press had disarmed the gesture")
        log("unarmed and disarmed presses open nothing")

        board.arm()
        board.arm()
        board.press_top_right(3)
        solution = desk.wait_window(SOLUTION_TITLE)
        x, y, w, h = desk.geometry(solution)
        if (w, h) != SOLUTION_SIZE:
            raise HarnessError(f"the solution window's client area is {w} x {h}")
        # Placed from its inner size: the frame's corner at half the free space.
        sw, sh = desk.screen_size()
        fx, fy, _, _ = desk.frame_geometry(solution)
        if abs(fx - (sw - w) // 2) > 1 or abs(fy - (sh - h) // 2) > 1:
            raise HarnessError(f"the solution window stands at ({fx}, {fy}), "
                               f"not at ({(sw - w) // 2}, {(sh - h) // 2})")
        check_frame_rules(desk, solution, "solution window")
        desk.screenshot("solution-open")
        # The opening disarmed the gesture: another right press changes nothing.
        board.press_top_right(3)
        time.sleep(QUIET)
        if desk.find_windows(SOLUTION_TITLE) != [solution]:
            raise HarnessError("a right press after the opening changed the solution window")
        log("the armed gesture opened the solution window")

        desk.click(*board.at(NEW_GAME))
        desk.wait_no_window(SOLUTION_TITLE)
        desk.wait_window(BOARD_TITLE)
        board.press_top_right(3)
        expect_no_solution(desk, "after a new game, which disarms the gesture")
        log("a new game closed the solution window and disarmed the gesture")

        # The solution window's close box closes it alone; the gesture opens it again.
        board.arm()
        board.press_top_right(3)
        solution = desk.wait_window(SOLUTION_TITLE)
        desk.request_close(solution)
        desk.wait_no_window(SOLUTION_TITLE)
        time.sleep(QUIET)
        if not desk.find_windows(BOARD_TITLE) or app.poll() is not None:
            raise HarnessError("closing the solution window closed more than itself")
        board.arm()
        board.press_top_right(3)
        desk.wait_window(SOLUTION_TITLE)
        log("the close box closed the solution window alone; the gesture reopened it")

        # Leaving the board with the solution window open closes both.
        desk.click(*board.at(LEAVE))
        desk.wait_no_window(SOLUTION_TITLE)
        desk.wait_no_window(BOARD_TITLE)
        if presentation:
            window = desk.wait_window(PRESENTATION_TITLE)
            ox, oy = desk.client_origin(window)
            desk.click(ox + EXIT[0], oy + EXIT[1])
        code = wait_exit(app, 10.0)
        if code != 0:
            raise HarnessError(f"the program ended with exit code {code}")
        log("leaving closed both windows; the program ended with exit code 0")


if __name__ == "__main__":
    run_main(scenario, seconds=120)
