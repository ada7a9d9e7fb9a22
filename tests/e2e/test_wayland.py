#!/usr/bin/env python3
"""The program as a native Wayland client (no X display at all, no platform named: it must pick
Wayland by itself) under weston's kiosk-shell, driven by real pointer and keys:
  1. the presentation shows with its gradient;
  2. play, then the whole solution by real drags, its first jump checked alone; the name box
     gets a name with accented letters, and the winners file holds exactly that name in
     Windows-1252 with CR LF; a fresh board follows;
  3. the hidden gesture opens the solution window, its OK closes it;
  4. leave the board, then exit: the program ends with code 0;
  5. on a new session, the program again with --teclado, by keys alone: Return plays, a disc taken and put back
     with Escape changes nothing, the first three jumps of the solution by arrows and Space;
     Shift+Tab and Return leave the board, Tab and Return exit with code 0.
Kiosk-shell centres every window on the output and keeps the newest on top, so each window is
wholly visible when it is the one in use and can be found from its pixels."""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "e2e"))

from pindel_e2e.board import apply, cell_centre, cell_of, solution  # noqa: E402
from pindel_e2e.constants import (BOARD_AREA, CENTRE, EXIT, GESTURE_ARM, GESTURE_OPEN,  # noqa: E402
                                  LEAVE, PLACEHOLDER, PLAY, PRESENTATION_AREA, SOLUTION_AREA,
                                  START, WINNER)
from pindel_e2e.desktop_wayland import WaylandDesktop  # noqa: E402
from pindel_e2e.game import WaylandBoardReader  # noqa: E402
from pindel_e2e.keyboard import PUT_BACK, TAKE, Cursor  # noqa: E402
from pindel_e2e.pictures import colour_box  # noqa: E402
from pindel_e2e.processes import HarnessError, log, wait_exit, wait_until  # noqa: E402
from pindel_e2e.runner import run_main  # noqa: E402

SOLUTION_OK = (206, 268)          # the solution window's Command1, drawn in twips (2123, 3840)
DIALOG_COLOUR = (239, 239, 239)   # the background of Qt's own boxes
MIDGAME = 15                      # after this many moves the board is pictured


def check_gradient(desk, origin):
    """Rows 0, 1, 128 and 255 at both edges and between the advert and the play button."""
    shot = desk.grab()
    for row in (0, 1, 128, 255):
        for column in (0, 250, 482):
            got = shot.region(origin[0] + column, origin[1] + row, 1, 1)
            if got != bytes((255, 127, row)):
                raise HarnessError(f"gradient row {row} shows {tuple(got)} at column {column}")


def play_solution(desk, reader, moves):
    """All but the last move of the solution, each waited for on the screen."""
    pegs = START
    for i, move in enumerate(moves[:-1], 1):
        pegs = apply(pegs, move)
        source, _, target = (cell_of(n) for n in move)
        desk.drag(cell_centre(reader.origin, *source), cell_centre(reader.origin, *target))
        reader.wait_for(pegs, f"move {i} {move} to show on the board")
        if i == 1:
            log("one jump by a real Wayland drag: the peg moved, the jumped one went")
        if i == MIDGAME:
            desk.screenshot("board-midgame")
    log(f"played {len(moves) - 1} moves")


def win(desk, reader, winners_file, last_move):
    """The last move, then the name typed into the real name box and Enter."""
    source, _, target = (cell_of(n) for n in last_move)
    desk.drag(cell_centre(reader.origin, *source), cell_centre(reader.origin, *target))

    def name_box():
        box = colour_box(desk.grab(), DIALOG_COLOUR)
        return box if box and box[2] >= 200 and box[3] >= 100 else None

    wait_until(name_box, 10.0, "the name box", interval=0.2)
    time.sleep(0.5)  # the box takes the keyboard once the compositor has shown it
    desk.screenshot("name-box")
    desk.key("ctrl+a")
    desk.type_text(WINNER)
    desk.screenshot("name-typed")
    desk.key("Return")
    wait_until(lambda: not name_box(), 10.0, "the name box to close", interval=0.2)
    reader.wait_for(START, "a fresh board after the win")
    expected = WINNER.encode("cp1252") + b"\r\n"
    with open(winners_file, "rb") as f:
        held = f.read()
    if held != expected:
        raise HarnessError(f"the winners file holds {held!r}, not {expected!r}")
    desk.screenshot("board-after-win")
    log("won: the accented name is in the file, byte for byte, and a new game is on the board")


def keyboard_game(desk, program, moves):
    """The keyboard mode as a native Wayland client, no pointer event sent."""
    app = desk.launch(program, name="teclado", args=["--teclado"])
    desk.wait_area(PRESENTATION_AREA, 15.0, "the presentation window")
    # Play holds the focus when the presentation opens; the compositor hands the window the
    # keyboard a moment after showing it, so a Return that found no window is pressed again.
    for attempt in range(3):
        desk.key("Return")
        try:
            desk.wait_area(BOARD_AREA, 5.0, "the board opened by Return")
            break
        except HarnessError:
            if attempt == 2 or desk.find_area(PRESENTATION_AREA) is None:
                raise
    reader = WaylandBoardReader(desk)
    reader.wait_for(START, "a fresh board opened by Return")
    cursor = Cursor()
    # Escape puts the disc back: Space on the empty centre then finds nothing taken.
    desk.key(*cursor.to((3, 1)), TAKE, PUT_BACK, *cursor.to(CENTRE), TAKE)
    reader.wait_for(START, "the start position after a disc taken and put back")
    log("a disc taken and put back with Escape by Wayland keys: nothing changed")
    pegs = START
    for i, move in enumerate(moves[:3], 1):
        pegs = apply(pegs, move)
        desk.key(*cursor.move(*(cell_of(n) for n in move[::2])))
        reader.wait_for(pegs, f"keyboard move {i} {move} to show on the board")
    desk.screenshot("board-keyboard")
    log("three jumps by Wayland keys")
    desk.key("shift+Tab", "Return")
    desk.wait_no_area(BOARD_AREA, what="the board to close by keyboard")
    desk.wait_area(PRESENTATION_AREA, what="the presentation again")
    desk.key("Tab", "Return")
    wait_exit(app, 10.0)
    log("left and exited by keyboard: exit code 0")


def scenario(program, artifacts):
    moves = solution()
    with WaylandDesktop(artifacts, shell="kiosk-shell.so") as desk:
        app = desk.launch(program)
        presentation = desk.wait_area(PRESENTATION_AREA, 15.0, "the presentation window")
        check_gradient(desk, presentation)
        desk.screenshot("presentation")
        log("the presentation shows its gradient")

        desk.click_at(PRESENTATION_AREA, PLAY)
        reader = WaylandBoardReader(desk)
        reader.wait_for(START, "a fresh board")
        winners_file = desk.winners_file()
        with open(winners_file, "rb") as f:
            if (held := f.read()) != PLACEHOLDER:
                raise HarnessError(f"a new winners file holds {held!r}")
        desk.screenshot("board")

        play_solution(desk, reader, moves)
        win(desk, reader, winners_file, moves[-1])

        desk.click_at(BOARD_AREA, GESTURE_ARM)
        desk.click_at(BOARD_AREA, GESTURE_OPEN, button=3)
        desk.wait_area(SOLUTION_AREA, what="the solution window")
        desk.screenshot("solution")
        desk.click_at(SOLUTION_AREA, SOLUTION_OK)
        desk.wait_no_area(SOLUTION_AREA, what="the solution window to close")
        log("the hidden gesture opened the solution window; its OK closed it")

        desk.click_at(BOARD_AREA, LEAVE)
        desk.wait_no_area(BOARD_AREA, what="the board to close")
        desk.click_at(PRESENTATION_AREA, EXIT)
        wait_exit(app, 10.0)
        log("left the board, then exit: the program ended with exit code 0")

    with WaylandDesktop(os.path.join(artifacts, "teclado"), shell="kiosk-shell.so") as desk:
        keyboard_game(desk, program, moves)


if __name__ == "__main__":
    run_main(scenario, seconds=240)
