#!/usr/bin/env python3
"""Plays real games on a real X server with real mouse drags.

One run of the program, two games:
  1. the 31 moves of the solution window, then a name with accented letters typed into the
     real name box: the winners file must hold exactly that name in Windows-1252 with CR LF,
     and the board must come back as a fresh game;
  2. the same first 30 moves, then hole 10 up over 5 onto 2 (the last peg off the centre):
     the loss box is answered with Enter, the board comes back and the file is unchanged.
Then the board is closed through the window manager and the program is left as a player
would, and must end with exit code 0.

Usage: test_play.py <path of pindel> [--artifacts DIR]
"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from harness import (BOARD_TITLE, CENTRE, EXIT, NUMBERED_CELLS, PRESENTATION_TITLE,  # noqa: E402
                     BoardReader, Desktop, HarnessError, cell_centre, log, open_board,
                     run_main, start_position, wait_exit, wait_until)

WIN_TITLE = "Lo ha conseguido"
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

# Where the counters are drawn: they must read as on a fresh board after every restart.
COUNTERS = [(24, 64, 81, 25), (264, 64, 81, 25)]
WINNERS_LIST = (360, 280, 225, 68)


def cell_of(number):
    return CENTRE if number == 0 else NUMBERED_CELLS[number]


def apply(pegs, move):
    """The position after `move`; the move must be a legal jump on `pegs`."""
    source, over, target = (cell_of(n) for n in move)
    (r0, c0), (r1, c1), (r2, c2) = source, over, target
    in_line = (r0 == r2 and abs(c0 - c2) == 2) or (c0 == c2 and abs(r0 - r2) == 2)
    if not (in_line and (r1, c1) == ((r0 + r2) // 2, (c0 + c2) // 2)):
        raise HarnessError(f"the move {move} is not a jump")
    if source not in pegs or over not in pegs or target in pegs:
        raise HarnessError(f"the move {move} is not legal here")
    return (pegs - {source, over}) | {target}


class Game:
    def __init__(self, desk, board, winners_file):
        self.desk, self.board, self.winners_file = desk, board, winners_file
        self.reader = BoardReader(desk, board)
        self.fresh = self._regions(desk.grab())

    def _regions(self, shot):
        ox, oy = self.reader.origin
        return {r: shot.region(ox + r[0], oy + r[1], r[2], r[3]) for r in COUNTERS + [WINNERS_LIST]}

    def drag(self, move):
        source, _, target = (cell_of(n) for n in move)
        origin = self.reader.origin
        self.desk.drag(cell_centre(origin, *source), cell_centre(origin, *target))

    def play(self, moves, check_each=True):
        """Drags each move and, unless told otherwise, waits until the screen shows it."""
        pegs = start_position()
        for i, move in enumerate(moves, 1):
            pegs = apply(pegs, move)
            self.drag(move)
            if check_each:
                self.reader.wait_for(pegs, what=f"move {i} {move} to show on the board")
            if i == 1 and self._regions(self.desk.grab())[COUNTERS[1]] == self.fresh[COUNTERS[1]]:
                raise HarnessError("the move counter did not change after the first move")
        log(f"played {len(moves)} moves")
        return pegs

    def expect_fresh_board(self, winners_list_changed):
        """After a restart: the start position, both counters as on a fresh board, and the
        winners list drawn anew (changed or not)."""
        self.reader.wait_for(start_position(), what="the board to restart")
        # Where a restart puts the board is e2e_centring's business; here it only has to be
        # wholly on the screen, as a player would make sure before going on.
        time.sleep(0.3)
        sw, sh = self.desk.screen_size()
        self.reader.refresh()
        x, y, w, h = self.desk.frame_geometry(self.reader.board)
        if x < 0 or y < 0 or x + w > sw or y + h > sh:
            log(f"the restarted board stands partly off the screen at ({x}, {y}): moving it")
            self.desk.x(["xdotool", "windowmove", str(self.reader.board),
                         str((sw - w) // 2), str((sh - h) // 2), "sleep", "0.3"])
            self.reader.wait_for(start_position(), what="the moved board")
        regions = wait_until(
            lambda: (lambda r: r if all(r[c] == self.fresh[c] for c in COUNTERS) else None)(
                self._regions(self.desk.grab())),
            5.0, "the counters to read as on a fresh board")
        if (regions[WINNERS_LIST] != self.fresh[WINNERS_LIST]) != winners_list_changed:
            raise HarnessError("the winners list " + ("did not change" if winners_list_changed
                                                      else "changed"))

    def read_file(self):
        with open(self.winners_file, "rb") as f:
            return f.read()


def scenario(program, artifacts):
    with Desktop(artifacts) as desk:
        app = desk.launch(program)
        board, presentation = open_board(desk)
        winners_file = os.path.join(desk.scratch, "data", "pindel", "001MpTa.cms")
        wait_until(lambda: os.path.exists(winners_file), 5.0, "the winners file to be created")
        game = Game(desk, board, winners_file)
        if game.read_file() != PLACEHOLDER:
            raise HarnessError(f"a new winners file holds {game.read_file()!r}")
        desk.screenshot("fresh-board")

        # A won game: the name box, then the file, then a fresh board.
        pegs = game.play(SOLUTION[:-1])
        if pegs != {cell_of(5), cell_of(10)}:
            raise HarnessError("the solution does not leave two pegs before its last move")
        game.drag(SOLUTION[-1])
        box = desk.wait_window(WIN_TITLE)
        desk.screenshot("name-box")
        desk.activate(box)
        desk.key("ctrl+a")
        desk.type_text(WINNER)
        desk.key("Return")
        desk.wait_no_window(WIN_TITLE)
        expected = WINNER.encode("cp1252") + b"\r\n"
        wait_until(lambda: game.read_file() == expected, 5.0,
                   f"the winners file to hold {expected!r} (it holds {game.read_file()!r})")
        game.expect_fresh_board(winners_list_changed=True)
        desk.screenshot("after-win")
        if app.poll() is not None:
            raise HarnessError(f"the program ended after the win ({app.returncode})")
        log("won: the name is in the file and a new game is on the board")

        # A lost game: the loss box, answered with Enter; the file stays as it was.
        game.fresh = game._regions(desk.grab())  # the list now shows the winner
        game.play(SOLUTION[:-1], check_each=False)
        game.reader.wait_for({cell_of(5), cell_of(10)}, what="the 30 moves to show")
        game.drag(LOSING_LAST_MOVE)
        box = desk.wait_window(LOSS_TITLE)
        desk.screenshot("loss-box")
        if desk.find_windows(WIN_TITLE):
            raise HarnessError("a lost game asked for a name")
        desk.activate(box)
        desk.key("Return")
        desk.wait_no_window(LOSS_TITLE)
        game.expect_fresh_board(winners_list_changed=False)
        if game.read_file() != expected:
            raise HarnessError(f"a lost game changed the winners file to {game.read_file()!r}")
        if app.poll() is not None:
            raise HarnessError(f"the program ended after the loss ({app.returncode})")
        log("lost: the message was answered and a new game is on the board")

        # Leaving: the board's close box, then (with a presentation window) its exit button.
        game.reader.refresh()
        desk.request_close(game.reader.board)
        desk.wait_no_window(BOARD_TITLE)
        if presentation:
            window = desk.wait_window(PRESENTATION_TITLE)
            ox, oy = desk.client_origin(window)
            desk.click(ox + EXIT[0], oy + EXIT[1])
        code = wait_exit(app, 10.0)
        if code != 0:
            raise HarnessError(f"the program ended with exit code {code}")
        log("the program ended with exit code 0")


if __name__ == "__main__":
    run_main(scenario, seconds=240)
