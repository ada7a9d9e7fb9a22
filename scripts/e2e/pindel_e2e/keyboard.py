"""Keyboard play, as a player at the keys sees it: the cursor on the board field goes to the
next hole of the cross in the direction of an arrow key, along the same row or column, and
stays put at the edge.  The scenarios plan their key strokes from this model (cells are
(row, column) counted from 0, as in constants.HOLE_CELLS) and never ask the program where the
cursor is: a cursor that moves wrongly ends on the wrong hole, and the board shows it."""

from collections import deque

from .constants import CENTRE, HOLE_CELLS

ARROWS = {"Up": (-1, 0), "Down": (1, 0), "Left": (0, -1), "Right": (0, 1)}
TAKE = "space"      # takes the disc under the cursor, or drops the taken one there
PUT_BACK = "Escape"


def step(cell, arrow):
    """Where `arrow` takes the cursor from `cell`: the nearest hole that way on the same row
    or column, or `cell` itself when there is none."""
    dr, dc = ARROWS[arrow]
    r, c = cell[0] + dr, cell[1] + dc
    while 0 <= r < 7 and 0 <= c < 7:
        if (r, c) in HOLE_CELLS:
            return r, c
        r, c = r + dr, c + dc
    return cell


def path(start, goal):
    """The fewest arrow keys that take the cursor from `start` to `goal`."""
    came = {start: None}
    todo = deque([start])
    while todo:
        cell = todo.popleft()
        if cell == goal:
            keys = []
            while came[cell] is not None:
                cell, arrow = came[cell]
                keys.append(arrow)
            return keys[::-1]
        for arrow in ARROWS:
            if (nxt := step(cell, arrow)) not in came:
                came[nxt] = (cell, arrow)
                todo.append(nxt)
    raise ValueError(f"no way from {start} to {goal}")


class Cursor:
    """The keys of whole moves from wherever the cursor stands; the board opens with it on
    the centre hole."""

    def __init__(self):
        self.cell = CENTRE

    def to(self, cell):
        keys = path(self.cell, cell)
        self.cell = cell
        return keys

    def move(self, source, target, drop=TAKE):
        """Take at `source`, drop at `target`."""
        return [*self.to(source), TAKE, *self.to(target), drop]
