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
the accented letters of the name pasted from the clipboard, see scripts/e2e/winedesktop.py)."""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "e2e"))

from harness import (BOARD_TITLE, CENTRE, CREDITS, NUMBERED_CELLS, PRESENTATION_TITLE,  # noqa: E402
                     START, BoardReader, HarnessError, cell_centre, desktop_for, leave_program,
                     log, open_board, run_main, wait_until)

WIN_TITLE = "Lo ha conseguido"
CREDITS_TITLE = "Datos del autor"
LOSS_TITLE = " Le falto muy poco"
PLACEHOLDER = b"Aun no lo ha logrado nadie\r\n"
WINNER = "José Núñez"

# The solution as the solution window lists it: (from, over, to); 0 is the centre.
SOLUTION = [
    (15, 16, 0), (27, 22, 16), (20, 21, 22), (7, 14, 20), (16, 22, 27), (30, 27, 22),
    (23, 22, 21), (20, 21, 22), (25, 24, 23), (22, 23, 24), (31, 28, 23), (23, 24, 25),
    (32, 29, 24), (25, 24, 23), (12, 18, 25), (26, 25, 24), (13, 19, 26), (23, 24, 25),
    (26, 25, 24), (10, 11, 12), (24, 17, 11), (12, 11, 10), (3, 6, 11), (10, 11, 12),
    (8, 9, 10), (1, 4, 9), (9, 10, 11), (2, 5, 10), (0, 10, 5), (12, 11, 10), (5, 10, 0),
]
LOSING_LAST_MOVE = (10, 5, 2)
# Drags with a button other than the left one: (xdotool button, its name, a jump into the
# centre that is legal at the start).  Only the left button drags a peg, so each must leave
# the centre empty for the solution's first move, (15, 16, 0).
OTHER_BUTTONS = [
    (3, "right", (18, 17, 0)),
    (2, "middle", (5, 9, 0)),
]
# The two counters and the winners list, as drawn on the board's client area.
COUNTERS = [(24, 64, 81, 25), (264, 64, 81, 25)]
WINNERS_LIST = (360, 280, 225, 68)


def cell_of(number):
    return CENTRE if number == 0 else NUMBERED_CELLS[number]


def apply(pegs, move):
    """The position after `move`, which must be a legal jump on `pegs`."""
    source, over, target = (cell_of(n) for n in move)
    (r0, c0), (r2, c2) = source, target
    if {abs(r0 - r2), abs(c0 - c2)} != {0, 2} or over != ((r0 + r2) // 2, (c0 + c2) // 2) \
            or not {source, over} <= pegs or target in pegs:
        raise HarnessError(f"the move {move} is not a legal jump here")
    return (pegs - {source, over}) | {target}


class Game:
    def __init__(self, desk, winners_file):
        self.desk, self.winners_file = desk, winners_file
        self.reader = BoardReader(desk)
        self.fresh = self.regions()

    def regions(self):
        ox, oy = self.reader.origin
        shot = self.desk.grab()
        return {r: shot.region(ox + r[0], oy + r[1], r[2], r[3]) for r in COUNTERS + [WINNERS_LIST]}

    def drag(self, move):
        source, _, target = (cell_of(n) for n in move)
        self.desk.drag(cell_centre(self.reader.origin, *source), cell_centre(self.reader.origin, *target))

    def drag_with(self, button, move):
        """A real drag of `move` holding `button`: press, travel in short steps, release."""
        source, _, target = (cell_of(n) for n in move)
        (x0, y0), (x1, y1) = (cell_centre(self.reader.origin, *c) for c in (source, target))
        argv = ["xdotool", "mousemove", str(x0), str(y0), "sleep", "0.05", "mousedown", str(button)]
        for i in range(1, 17):
            argv += ["sleep", "0.02", "mousemove", str(x0 + (x1 - x0) * i // 16), str(y0 + (y1 - y0) * i // 16)]
        argv += ["sleep", "0.08", "mouseup", str(button), "sleep", "0.1"]
        self.desk.x(argv)

    def play(self, moves, check_each=True):
        """Drags each move and, unless told otherwise, waits until the screen shows it."""
        pegs = START
        for i, move in enumerate(moves, 1):
            pegs = apply(pegs, move)
            self.drag(move)
            if check_each:
                self.reader.wait_for(pegs, f"move {i} {move} to show on the board")
            if i == 1 and self.regions()[COUNTERS[1]] == self.fresh[COUNTERS[1]]:
                raise HarnessError("the move counter did not change after the first move")
        self.reader.wait_for(pegs, f"the {len(moves)} moves to show")
        log(f"played {len(moves)} moves")

    def end_at_box(self, move, title, typed=None):
        """Plays `move`, answers the box titled `title` (typing `typed` first), then expects a
        fresh board: the start position, both counters as new, the winners list redrawn."""
        self.drag(move)
        box = self.desk.wait_window(title)
        self.desk.screenshot(title.strip())
        other = WIN_TITLE if title == LOSS_TITLE else LOSS_TITLE
        if self.desk.find_windows(other):
            raise HarnessError(f"the game showed {other!r} as well")
        self.desk.activate(box)
        if typed:
            self.desk.key("ctrl+a")
            self.desk.type_text(typed)
        self.desk.key("Return")
        self.desk.wait_no_window(title)
        self.reader.wait_for(START, "the board to restart")
        # A restarted board must stand wholly on the screen; exactly where is e2e_centring's.
        sw, sh = self.desk.screen_size()
        x, y, w, h = self.desk.frame_geometry(self.reader.board)
        if x < 0 or y < 0 or x + w > sw or y + h > sh:
            raise HarnessError(f"the restarted board stands partly off the screen at ({x}, {y})")
        def counters_fresh():
            r = self.regions()
            return r if all(r[c] == self.fresh[c] for c in COUNTERS) else None

        regions = wait_until(counters_fresh, 5.0, "the counters to read as on a fresh board")
        if (regions[WINNERS_LIST] != self.fresh[WINNERS_LIST]) != bool(typed):
            raise HarnessError("the winners list " + ("did not change" if typed else "changed"))
        self.fresh = regions
        self.desk.expect_running(f"after {title!r}")

    def read_file(self):
        with open(self.winners_file, "rb") as f:
            return f.read()


def scenario(program, artifacts):
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

        game.play(SOLUTION[:-1])
        game.end_at_box(SOLUTION[-1], WIN_TITLE, typed=WINNER)
        expected = WINNER.encode("cp1252") + b"\r\n"
        if game.read_file() != expected:
            raise HarnessError(f"the winners file holds {game.read_file()!r}, not {expected!r}")
        log("won: the name is in the file and a new game is on the board")

        game.play(SOLUTION[:-1], check_each=False)
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
