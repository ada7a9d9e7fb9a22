"""The board as the scenarios reckon with it: where each hole stands, the solution window's
numbering of the holes, the jump rule (to know what the screen must show after a move), and
the solution's 31 moves, read from the very text the program's solution window lists.

Moves are (from, over, to) in the solution window's numbering: 1..32 for the outer holes in
reading order, 0 for the centre."""

import functools
import os
import re

from .constants import CENTRE, HOLE_ORIGIN, HOLE_PITCH, HOLE_SIDE, NUMBERED_CELLS, SOLUTION_TEXT
from .processes import HarnessError

REPOSITORY = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", ".."))
MOVES = 31  # a whole game: 32 pegs down to one
# One item of the list: "- Desde   7 sobre 14 a 20"; the centre is "C" or "Centro".
_HOLE = r"(\d{1,2}|C|Centro)"
_ITEM = re.compile(rf"- Desde +{_HOLE} +sobre +{_HOLE} +a +{_HOLE}")


def cell_rect(row, column):
    """(x, y, width, height) of a hole in the board's client area."""
    return HOLE_ORIGIN[0] + HOLE_PITCH * column, HOLE_ORIGIN[1] + HOLE_PITCH * row, HOLE_SIDE, HOLE_SIDE


def cell_centre(origin, row, column):
    """The screen point at the middle of a hole, the board's client area standing at `origin`."""
    x, y, w, h = cell_rect(row, column)
    return origin[0] + x + w // 2, origin[1] + y + h // 2


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


def _hole(word):
    if word in ("C", "Centro"):
        return 0
    if not 1 <= int(word) <= len(NUMBERED_CELLS):
        raise ValueError(word)
    return int(word)


def read_moves(path):
    """The moves a solution text lists, one item per line (empty lines are no items, as in the
    window).  Anything but exactly 31 well-formed items raises HarnessError: a scenario must
    never play a shorter game, nor one of moves it guessed."""
    try:
        with open(path, encoding="utf-8", newline="") as f:  # a CR would be part of the item
            lines = f.read().split("\n")
    except (OSError, UnicodeDecodeError) as e:
        raise HarnessError(f"cannot read the solution's moves from {path}: {e}")
    moves = []
    for number, line in enumerate(lines, 1):
        if not line:
            continue
        m = _ITEM.fullmatch(line)
        try:
            moves.append(tuple(_hole(word) for word in m.groups()))
        except (AttributeError, ValueError):
            raise HarnessError(f"{path}, line {number}: {line!r} is no move "
                               "(\"- Desde N sobre N a N\", N 1..32, C or Centro)")
    if len(moves) != MOVES:
        raise HarnessError(f"{path} lists {len(moves)} moves, not {MOVES}")
    return moves


@functools.lru_cache(maxsize=None)
def solution():
    """The solution window's moves, from the program's own text of them."""
    return tuple(read_moves(os.path.join(REPOSITORY, SOLUTION_TEXT)))
