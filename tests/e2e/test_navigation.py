#!/usr/bin/env python3
"""Start-up, navigation and exit on a real X server with a real window manager.

Two runs of the program, each on a desktop of its own:
  1. Another client (xlogo) is open first.  The program starts on the presentation window
     alone, centred, painted with its gradient, typing its advert; the other client ends up
     iconified.  Play opens the board; a move; the board's leave button closes it; play
     again brings a fresh board.  Then the window manager closes the presentation window
     while the board is open: the board stays, two new games keep the program
     running, and the board's close box ends the program with exit code 0.
  2. Play, then the presentation's exit button with the board open: the program ends at
     once with exit code 0.

Usage: test_navigation.py <path of pindel> [--artifacts DIR]
"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from harness import (BOARD_TITLE, CENTRE, EXIT, NEW_GAME, PLAY, PRESENTATION_TITLE,  # noqa: E402
                     SOLUTION_TITLE, BoardReader, Desktop, HarnessError, cell_centre, log,
                     run_main, start_position, wait_exit, wait_until)

PRESENTATION_SIZE = (483, 256)
ADVERT = (25, 72, 211, 144)    # LblPublicidad
LEAVE = (480 + 32, 184 + 16)   # the board's Command4 (480, 184, 65, 33)


def wm_state(desk, window):
    out = desk.x(["xprop", "-id", str(window), "WM_STATE"], check=False)
    return "Iconic" if "Iconic" in out else "Normal" if "Normal" in out else out.strip()


def expect_running(app, what):
    if app.poll() is not None:
        raise HarnessError(f"the program ended ({app.returncode}) {what}")


def check_presentation(desk, window):
    x, y, w, h = desk.geometry(window)
    if (w, h) != PRESENTATION_SIZE:
        raise HarnessError(f"the presentation window is {w} x {h}, not {PRESENTATION_SIZE}")
    sw, sh = (int(v) for v in desk.screen.split("x")[:2])
    # Centred from twips with halves kept: a half pixel may round either way.
    if abs(x - (sw - w) / 2) > 0.5 or abs(y - (sh - h) / 2) > 0.5:
        raise HarnessError(f"the presentation window stands at {x}, {y}: not centred")
    shot = desk.grab()
    for row in (0, 1, 128, 255):
        for column in (0, 482):
            got = shot.pixel(x + column, y + row)
            if tuple(got[:3]) != (255, 127, row):
                raise HarnessError(f"gradient row {row} shows {got} at column {column}")
    return x, y


def advert_area(desk, origin):
    return desk.grab().region(origin[0] + ADVERT[0], origin[1] + ADVERT[1], ADVERT[2], ADVERT[3])


def first_run(desk, program):
    desk.launch("xlogo", name="xlogo")
    logo = desk.wait_window("xlogo")
    if wm_state(desk, logo) != "Normal":
        raise HarnessError(f"xlogo did not start in the normal state: {wm_state(desk, logo)}")

    app = desk.launch(program, name="pindel-1")
    window = desk.wait_window(PRESENTATION_TITLE, 15.0)
    origin = check_presentation(desk, window)
    empty = advert_area(desk, origin)
    wait_until(lambda: wm_state(desk, logo) == "Iconic", 5.0, "xlogo to be iconified")
    time.sleep(1.0)
    if desk.find_windows(BOARD_TITLE) or desk.find_windows(SOLUTION_TITLE):
        raise HarnessError("another window opened with the presentation window")
    wait_until(lambda: advert_area(desk, origin) != empty, 3.0, "the advert to type")
    desk.screenshot("presentation")
    log("start-up: the presentation alone, centred, painted and typing; xlogo iconified")

    desk.click(origin[0] + PLAY[0], origin[1] + PLAY[1])
    board = desk.wait_window(BOARD_TITLE)
    reader = BoardReader(desk, board)
    reader.wait_for(start_position(), what="a fresh board")
    desk.drag(cell_centre(reader.origin, 1, 3), cell_centre(reader.origin, *CENTRE))
    reader.wait_for((start_position() - {(1, 3), (2, 3)}) | {CENTRE}, what="the first move")
    desk.screenshot("board-after-a-move")

    ox, oy = reader.origin
    desk.click(ox + LEAVE[0], oy + LEAVE[1])
    desk.wait_no_window(BOARD_TITLE)
    expect_running(app, "when the board was left")
    if not desk.find_windows(PRESENTATION_TITLE):
        raise HarnessError("the presentation window went away with the board")

    desk.click(origin[0] + PLAY[0], origin[1] + PLAY[1])
    desk.wait_window(BOARD_TITLE)
    reader.wait_for(start_position(), what="a fresh board after leaving and playing again")
    log("play, leave, play: a fresh board each time")

    # The window manager closes the borderless presentation window (a close request, as its
    # Alt+F4 binding sends; the key itself is left out, openbox now and then lets it pass).
    desk.request_close(window)
    desk.wait_no_window(PRESENTATION_TITLE)
    time.sleep(0.5)
    expect_running(app, "when the presentation window was closed with the board open")
    board = desk.wait_window(BOARD_TITLE)
    for game in (1, 2):
        ox, oy = reader.refresh()
        desk.click(ox + NEW_GAME[0], oy + NEW_GAME[1])
        time.sleep(0.5)
        expect_running(app, f"after new game {game} without the presentation window")
        reader.wait_for(start_position(), what=f"new game {game}")
    if desk.find_windows(PRESENTATION_TITLE):
        raise HarnessError("the presentation window came back")
    desk.screenshot("board-alone")
    log("presentation closed by the window manager: the board plays on")

    desk.request_close(reader.refresh() and reader.board)
    code = wait_exit(app, 10.0, "the program after its last window closed")
    if code != 0:
        raise HarnessError(f"the program ended with exit code {code}")
    if wm_state(desk, logo) != "Iconic":
        raise HarnessError("xlogo did not stay iconified")
    log("the board's close box ended the program")


def second_run(desk, program):
    app = desk.launch(program, name="pindel-2")
    window = desk.wait_window(PRESENTATION_TITLE, 15.0)
    ox, oy = desk.client_origin(window)
    desk.click(ox + PLAY[0], oy + PLAY[1])
    desk.wait_window(BOARD_TITLE)
    # The board opens over the presentation window: bring it forward as a player would.
    desk.activate(window)
    desk.click(ox + EXIT[0], oy + EXIT[1])
    code = wait_exit(app, 5.0, "the program after the exit button")
    if code != 0:
        raise HarnessError(f"the program ended with exit code {code}")
    if desk.find_windows(BOARD_TITLE) or desk.find_windows(PRESENTATION_TITLE):
        raise HarnessError("a window outlived the program")
    log("the exit button ended the program with the board open")


def scenario(program, artifacts):
    # A desktop for each run: the harness takes any program that ended for a failure.
    with Desktop(os.path.join(artifacts, "navigation")) as desk:
        first_run(desk, program)
    with Desktop(os.path.join(artifacts, "exit-button")) as desk:
        second_run(desk, program)


if __name__ == "__main__":
    run_main(scenario, seconds=180)
