#!/usr/bin/env python3
"""Real games with real mouse drags, in one run of the program:
  0. drags with the other buttons, each over a jump into the centre, move nothing: the
     solution's first move, into the centre as well, must then be taken as usual;
  1. the 31 moves of the solution, then a name with accented letters typed into the real name
     box: the winners file must hold exactly that name in Windows-1252 with CR LF;
  2. the same 30 first moves, then 10 over 5 onto 2: the loss box is answered with Enter and
     the file stays as it was.
Each game must end on a fresh board; then the board is closed, the presentation's credits box
is opened and answered, and the program is left and must end with code 0.
The Windows build plays the same under Wine (its winners file in the Windows user's folder;
the accented letters of the name pasted from the clipboard, see
scripts/e2e/pindel_e2e/desktop_windows.py).  The moves are those the solution window lists."""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "e2e"))

from pindel_e2e.board import solution  # noqa: E402
from pindel_e2e.constants import (BOARD_TITLE, CREDITS, CREDITS_TITLE, LOSS_TITLE,  # noqa: E402
                                  PLACEHOLDER, PRESENTATION_TITLE, WIN_TITLE, WINNER)
from pindel_e2e.game import Game, leave_program, open_board  # noqa: E402
from pindel_e2e.processes import HarnessError, log, wait_until  # noqa: E402
from pindel_e2e.runner import desktop_for, run_main  # noqa: E402

LOSING_LAST_MOVE = (10, 5, 2)
# Drags with a button other than the left one: (xdotool button, its name, a jump into the
# centre that is legal at the start).  Only the left button drags a peg, so each must leave
# the centre empty for the solution's first move, (15, 16, 0).
OTHER_BUTTONS = [
    (3, "right", (18, 17, 0)),
    (2, "middle", (5, 9, 0)),
]


def scenario(program, artifacts):
    moves = solution()
    with desktop_for(program, artifacts) as desk:
        app = desk.launch(program)
        _, presentation = open_board(desk)
        winners_file = desk.winners_file()
        wait_until(lambda: os.path.exists(winners_file), 5.0, "the winners file to be created")
        game = Game(desk, winners_file)
        if game.read_file() != PLACEHOLDER:
            raise HarnessError(f"a new winners file holds {game.read_file()!r}")

        for button, name, move in OTHER_BUTTONS:
            game.drag_with(button, move)
            log(f"dragged {move} with the {name} button")
        desk.expect_running("after the drags with the other buttons")

        game.play(moves[:-1])
        game.end_at_box(moves[-1], WIN_TITLE, typed=WINNER)
        expected = WINNER.encode("cp1252") + b"\r\n"
        if game.read_file() != expected:
            raise HarnessError(f"the winners file holds {game.read_file()!r}, not {expected!r}")
        log("won: the name is in the file and a new game is on the board")

        game.play(moves[:-1], check_each=False)
        game.end_at_box(LOSING_LAST_MOVE, LOSS_TITLE)
        if game.read_file() != expected:
            raise HarnessError(f"a lost game changed the winners file to {game.read_file()!r}")
        log("lost: the message was answered and a new game is on the board")

        game.reader.refresh()
        desk.request_close(game.reader.board)
        desk.wait_no_window(BOARD_TITLE)
        if presentation:
            desk.click_in(desk.wait_window(PRESENTATION_TITLE), CREDITS)
            desk.activate(desk.wait_window(CREDITS_TITLE))
            desk.screenshot("credits")
            desk.key("Return")
            desk.wait_no_window(CREDITS_TITLE)
            log("the credits box came and went")
        leave_program(desk, app, presentation)


if __name__ == "__main__":
    run_main(scenario, seconds=240)
