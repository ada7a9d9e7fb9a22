#!/usr/bin/env python3
"""Start-up, navigation and exit with a real window manager, each run on a desktop of its own:
  1. With xlogo open first, the program starts on the presentation window alone (centred,
     painted, typing its advert) and xlogo ends up iconified (the Windows build under Wine:
     the keys of the desktop's shortcut are sent, see SentKeys in
     scripts/e2e/pindel_e2e/desktop_windows.py).  Play, a move, leave, play again gives a
     fresh board.  The window manager closes the presentation with the board open: two
     new games keep the program running, and the board's close box ends it with code 0.
  2. Play, then the exit button with the board open: the program ends at once with code 0."""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "e2e"))

from pindel_e2e.board import cell_centre  # noqa: E402
from pindel_e2e.constants import (BOARD_TITLE, CENTRE, EXIT, LEAVE, NEW_GAME, PLAY,  # noqa: E402
                                  PRESENTATION_SIZE, PRESENTATION_TITLE, SOLUTION_TITLE, START)
from pindel_e2e.game import BoardReader  # noqa: E402
from pindel_e2e.processes import HarnessError, log, wait_exit, wait_until  # noqa: E402
from pindel_e2e.runner import desktop_for, run_main  # noqa: E402
ADVERT = (25, 72, 211, 144)  # LblPublicidad


def check_presentation(desk, window):
    x, y, w, h = desk.geometry(window)
    sw, sh = desk.screen_size()
    # Centred from twips with halves kept: a half pixel may round either way.
    if (w, h) != PRESENTATION_SIZE or abs(x - (sw - w) / 2) > 0.5 or abs(y - (sh - h) / 2) > 0.5:
        raise HarnessError(f"the presentation window is {w} x {h} at ({x}, {y}): not centred")
    def gradient_wrong():
        """The first row and column that differ from the gradient; None when all match."""
        shot = desk.grab()
        for row in (0, 1, 128, 255):
            for column in (0, 482):
                if (got := shot.region(x + column, y + row, 1, 1)) != bytes((255, 127, row)):
                    return row, column, tuple(got)
        return None

    # Mapped is not yet shown: Wine maps a window before its first frame reaches the screen.
    try:
        wait_until(lambda: not gradient_wrong(), 3.0, "the gradient to show")
    except HarnessError:
        row, column, got = gradient_wrong() or (None, None, None)
        raise HarnessError(f"gradient row {row} shows {got} at column {column}")
    return x, y


def first_run(desk, program):
    witness = desk.minimise_witness()
    app = desk.launch(program, name="pindel-1")
    window = desk.wait_window(PRESENTATION_TITLE, timeout=15.0)
    ox, oy = check_presentation(desk, window)

    def advert():
        return desk.grab().region(ox + ADVERT[0], oy + ADVERT[1], ADVERT[2], ADVERT[3])

    empty = advert()
    witness.wait()
    time.sleep(1.0)
    if desk.find_windows(BOARD_TITLE) or desk.find_windows(SOLUTION_TITLE):
        raise HarnessError("another window opened with the presentation window")
    wait_until(lambda: advert() != empty, 3.0, "the advert to type")
    desk.screenshot("presentation")
    log("start-up: the presentation alone, centred, painted and typing; the rest minimised")

    desk.click_in(window, PLAY)
    reader = BoardReader(desk)
    reader.wait_for(START, "a fresh board")
    desk.drag(cell_centre(reader.origin, 1, 3), cell_centre(reader.origin, *CENTRE))
    reader.wait_for((START - {(1, 3), (2, 3)}) | {CENTRE}, "the first move")
    desk.click_in(reader.board, LEAVE)
    desk.wait_no_window(BOARD_TITLE)
    desk.expect_running("when the board was left")
    desk.wait_window(PRESENTATION_TITLE, timeout=0.1)
    desk.click_in(window, PLAY)
    reader.wait_for(START, "a fresh board after leaving and playing again")
    log("play, leave, play: a fresh board each time")

    # The window manager closes the borderless presentation window (a close request, as its
    # Alt+F4 binding sends; the key itself is left out, openbox now and then lets it pass).
    desk.request_close(window)
    desk.wait_no_window(PRESENTATION_TITLE)
    for game in (1, 2):
        time.sleep(0.5)
        desk.expect_running(f"before new game {game} without the presentation window")
        reader.refresh()
        desk.click_in(reader.board, NEW_GAME)
        reader.wait_for(START, f"new game {game}")
    if desk.find_windows(PRESENTATION_TITLE):
        raise HarnessError("the presentation window came back")
    desk.screenshot("board-alone")
    log("presentation closed by the window manager: the board plays on")

    reader.refresh()
    desk.request_close(reader.board)
    wait_exit(app, 10.0, "the program after its last window closed")
    witness.check_still()
    log("the board's close box ended the program")


def second_run(desk, program):
    app = desk.launch(program, name="pindel-2")
    window = desk.wait_window(PRESENTATION_TITLE, timeout=15.0)
    desk.click_in(window, PLAY)
    desk.wait_window(BOARD_TITLE)
    desk.activate(window)  # the board opens over the presentation, as a player would see
    desk.click_in(window, EXIT)
    wait_exit(app, 5.0, "the program after the exit button")
    if desk.find_windows(BOARD_TITLE) or desk.find_windows(PRESENTATION_TITLE):
        raise HarnessError("a window outlived the program")
    log("the exit button ended the program with the board open")


def scenario(program, artifacts):
    # A desktop for each run: the harness takes any program that ended for a failure.
    with desktop_for(program, os.path.join(artifacts, "navigation")) as desk:
        first_run(desk, program)
    with desktop_for(program, os.path.join(artifacts, "exit-button")) as desk:
        second_run(desk, program)


if __name__ == "__main__":
    run_main(scenario, seconds=180)
