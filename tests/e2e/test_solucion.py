#!/usr/bin/env python3
"""The scenarios play the moves the solution window lists, read from the program's own text
of them (src/ui/resources/solucion.txt).  That text must give 31 moves that win from the start
position; a text with any other number of items, or with a line that is no move, must stop a
scenario with a message naming the file, never let it play a shorter or a guessed game.
No desktop is needed."""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "e2e"))

from pindel_e2e.board import apply, read_moves, solution  # noqa: E402
from pindel_e2e.constants import START  # noqa: E402
from pindel_e2e.processes import HarnessError  # noqa: E402

TEXT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src", "ui", "resources", "solucion.txt")
with open(TEXT, "rb") as f:
    ITEMS = f.read().decode("ascii").splitlines()

# (what, the file's bytes): each must be refused.  A bad line comes with all 31 good items, so
# a reader that skipped it would find 31 moves and play on.
REFUSED = [
    ("the last item missing", "\n".join(ITEMS[:-1]).encode()),
    ("one item too many", "\n".join(ITEMS + [ITEMS[-2]]).encode()),
    ("no target", "\n".join(ITEMS + ["- Desde 12 sobre 11 a"]).encode()),
    ("a hole the window does not number", "\n".join(ITEMS + ["- Desde 33 sobre 11 a 10"]).encode()),
    ("0, which the window never writes", "\n".join(ITEMS + ["- Desde 12 sobre 11 a 0"]).encode()),
    ("the centre misspelt", "\n".join(ITEMS + ["- Desde   5 sobre 10 a Centr"]).encode()),
    ("another word", "\n".join(ITEMS + ["- Desde 12 bajo 11 a 10"]).encode()),
    ("a line of blanks", "\n".join(ITEMS + ["   "]).encode()),
    ("CR LF line ends", "\r\n".join(ITEMS).encode()),
    ("not UTF-8", "\n".join(ITEMS).encode() + b"\n\xff"),
    ("empty", b""),
]


class SolutionText(unittest.TestCase):
    def test_the_programs_text_wins(self):
        moves = solution()
        self.assertEqual(len(moves), 31)
        self.assertEqual((moves[0], moves[3], moves[28], moves[30]),
                         ((15, 16, 0), (7, 14, 20), (0, 10, 5), (5, 10, 0)))
        pegs = START
        for move in moves:
            pegs = apply(pegs, move)
        self.assertEqual(pegs, {(3, 3)})

    def test_empty_lines_are_no_items(self):
        """As in the window, which lists no empty item."""
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "solucion.txt")
            with open(path, "wb") as f:
                f.write("\n\n".join(ITEMS).encode() + b"\n")
            moves = read_moves(path)
            self.assertEqual((len(moves), moves[0], moves[30]), (31, (15, 16, 0), (5, 10, 0)))

    def test_refused(self):
        with tempfile.TemporaryDirectory() as folder:
            for what, content in REFUSED + [("missing", None)]:
                with self.subTest(what):
                    path = os.path.join(folder, what.replace(" ", "-") + ".txt")
                    if content is not None:
                        with open(path, "wb") as f:
                            f.write(content)
                    with self.assertRaises(HarnessError) as caught:
                        read_moves(path)
                    self.assertIn(path, str(caught.exception))


if __name__ == "__main__":
    unittest.main()
