#!/usr/bin/env python3
"""Every opening of the board centres it, frame included, on the screen.  The frame is the
window manager's, so only a real one can tell: the first opening, then 20 restarts through
the new-game button, each of which must settle in the centre and stay there."""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "e2e"))

from pindel_e2e.constants import BOARD_TITLE, NEW_GAME  # noqa: E402
from pindel_e2e.game import open_board  # noqa: E402
from pindel_e2e.processes import HarnessError, log  # noqa: E402
from pindel_e2e.runner import desktop_for, run_main  # noqa: E402

RESTARTS = 20
SETTLE = 1.5  # how long the window manager and the program get to agree on the place


def settled_place(desk):
    """The board's frame rectangle once it has stood still for SETTLE seconds."""
    last, since = None, time.monotonic()
    deadline = since + SETTLE + 3.0
    while time.monotonic() < deadline:
        ids = desk.find_windows(BOARD_TITLE)
        try:
            place = desk.frame_geometry(ids[0]) if ids else None
        except HarnessError:  # the window went away between the two questions
            place = None
        if place != last:
            last, since = place, time.monotonic()
        elif place and time.monotonic() - since >= SETTLE:
            return place
        time.sleep(0.05)
    raise HarnessError(f"the board did not stand still (last seen at {last})")


def scenario(program, artifacts):
    with desktop_for(program, artifacts) as desk:
        desk.launch(program)
        open_board(desk)
        sw, sh = desk.screen_size()
        wrong = []
        for opening in range(RESTARTS + 1):
            if opening:
                desk.click_in(desk.wait_window(BOARD_TITLE), NEW_GAME)
                time.sleep(0.2)
            x, y, w, h = settled_place(desk)
            centre = ((sw - w) // 2, (sh - h) // 2)
            if abs(x - centre[0]) > 1 or abs(y - centre[1]) > 1:
                wrong.append(f"opening {opening}: frame at ({x}, {y}), not {centre}")
                desk.screenshot(f"off-centre-{opening}")
        if wrong:
            raise HarnessError(f"{len(wrong)} of {RESTARTS + 1} openings off the centre: " + "; ".join(wrong))
        log(f"all {RESTARTS + 1} openings stood in the centre")


if __name__ == "__main__":
    run_main(scenario, seconds=150)
