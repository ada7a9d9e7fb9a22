#!/usr/bin/env python3
"""The winners of the program's first versions, on the Windows build under Wine: they kept the
list in the system directory (C:\\windows\\system32\\001MpTa.cms).  With such a file there and
none of the player's own:
  1. the first board copies it, byte for byte, to the player's file in %LOCALAPPDATA% and
     shows its names, one line of text each in the winners list;
  2. the old file is left as it was; changed afterwards, it is not copied again: the next run's
     board shows the player's file, unchanged.
Usage: test_legado.py <path of pindel.exe> [--artifacts DIR]"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "e2e"))

from pindel_e2e.constants import BOARD_TITLE, WINNERS_LIST  # noqa: E402
from pindel_e2e.game import leave_program, open_board  # noqa: E402
from pindel_e2e.processes import HarnessError, log, wait_until  # noqa: E402
from pindel_e2e.runner import desktop_for, is_windows_program, run_main  # noqa: E402

# Three winners as the old program wrote them: Windows-1252, CR LF, no placeholder line.
OLD_WINNERS = "José Núñez\r\nMaría Peña\r\nIñaki Goñi\r\n".encode("cp1252")
LATER_WINNER = "Ángel\r\n".encode("cp1252")


def text_lines(desk, board):
    """How many lines of text the winners list shows: runs of pixel rows that hold some of its
    yellow text."""
    ox, oy = desk.client_origin(board)
    x, y, w, h = WINNERS_LIST
    shot = desk.grab()
    lines, inside = 0, False
    for row in range(h):
        pixels = shot.region(ox + x, oy + y + row, w, 1)
        text = any(pixels[i] > 200 and pixels[i + 1] > 200 and pixels[i + 2] < 100
                   for i in range(0, len(pixels), 3))
        lines += text and not inside
        inside = text
    return lines


def play_and_leave(desk, program, name, expected_lines):
    app = desk.launch(program, name=name)
    board, presentation = open_board(desk)
    wait_until(lambda: os.path.exists(desk.winners_file()), 5.0, "the player's winners file")
    wait_until(lambda: text_lines(desk, board) == expected_lines, 5.0,
               f"{expected_lines} lines of text in the winners list")
    desk.screenshot(name, board)
    desk.request_close(board)
    desk.wait_no_window(BOARD_TITLE)
    leave_program(desk, app, presentation)
    desk.forget(app)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def scenario(program, artifacts):
    if not is_windows_program(program):
        raise HarnessError("the old winners file is the Windows build's: give it pindel.exe")
    with desktop_for(program, artifacts) as desk:
        old = desk.legacy_winners_file()
        with open(old, "wb") as f:
            f.write(OLD_WINNERS)

        play_and_leave(desk, program, "first-run", 3)
        if read(desk.winners_file()) != OLD_WINNERS:
            raise HarnessError(f"the player's file holds {read(desk.winners_file())!r}, not the old file's bytes")
        if read(old) != OLD_WINNERS:
            raise HarnessError(f"the old file changed to {read(old)!r}")
        log("the first board copied the old winners byte for byte and shows their three names")

        with open(old, "ab") as f:
            f.write(LATER_WINNER)
        play_and_leave(desk, program, "second-run", 3)
        if read(desk.winners_file()) != OLD_WINNERS:
            raise HarnessError(f"the second run changed the player's file to {read(desk.winners_file())!r}")
        if read(old) != OLD_WINNERS + LATER_WINNER:
            raise HarnessError(f"the second run changed the old file to {read(old)!r}")
        log("the second run kept the player's file: nothing copied again, the old file untouched")


if __name__ == "__main__":
    run_main(scenario, seconds=200)
