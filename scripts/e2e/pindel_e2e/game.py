"""The program played as a player plays it, on any desktop of the package (they are reached
only through the Desktop methods, never imported): the board opened from the presentation,
the pegs read off the screen, moves made by real drags, a game ended at its win or loss box,
the program left.  The Game driver is the one every scenario that plays a game shares; one
that plays another way (by keys) overrides its `drag`."""

from .board import apply, cell_centre, cell_of, cell_rect
from .constants import (BOARD_AREA, BOARD_SIZE, BOARD_TITLE, CENTRE, COUNTERS, EXIT, HOLE_CELLS,
                        LOSS_TITLE, PLAY, PRESENTATION_TITLE, START, WIN_TITLE, WINNERS_LIST)
from .pictures import difference
from .processes import HarnessError, log, wait_exit, wait_until


def open_board(desk, scale=1, timeout=15.0):
    """Waits for the program's first window and presses play when it is the presentation.
    Returns (board id, presentation id or None)."""
    title, first = desk.wait_window(BOARD_TITLE, PRESENTATION_TITLE, timeout=timeout)
    presentation = first if title == PRESENTATION_TITLE else None
    if presentation:
        log("the presentation window came first: pressing play")
        desk.click_in(presentation, PLAY, scale=scale)
    board = desk.wait_window(BOARD_TITLE, timeout=timeout)
    _, _, w, h = desk.geometry(board)
    # Qt rounds a window's size to whole screen pixels, halves up.
    if (w, h) != (int(BOARD_SIZE[0] * scale + 0.5), int(BOARD_SIZE[1] * scale + 0.5)):
        raise HarnessError(f"the board's client area is {w} x {h} at scale {scale}")
    return board, presentation


def leave_program(desk, app, presentation):
    """With the board gone: the presentation's exit button (when there is one), then the
    program must end with exit code 0."""
    if presentation:
        desk.click_in(desk.wait_window(PRESENTATION_TITLE), EXIT)
    wait_exit(app, 10.0)
    log("the program ended with exit code 0")


class BoardReader:
    """Tells pegs from empty holes on screen by comparing the inside of each hole (the red
    goal frame shows at the centre cell's edges) with a fresh board's peg and empty centre."""

    INSET = 6

    def __init__(self, desk):
        self.desk = desk
        self.refresh()
        shot = desk.grab()
        self.peg, self.empty = self._inside(shot, (0, 3)), self._inside(shot, CENTRE)
        if difference(self.peg, self.empty) < 1000:
            raise HarnessError("a peg and an empty hole look alike: the board is not drawn")

    def refresh(self):
        """A restart centres the board again and may give it a new native window: look it up."""
        self.board = self.desk.wait_window(BOARD_TITLE)
        self.origin = self.desk.client_origin(self.board)

    def _inside(self, shot, cell):
        x, y, w, h = cell_rect(*cell)
        i = self.INSET
        return shot.region(self.origin[0] + x + i, self.origin[1] + y + i, w - 2 * i, h - 2 * i)

    def read(self):
        """The set of cells that show a peg; raises when a hole looks like neither."""
        self.refresh()
        shot = self.desk.grab()
        pegs = set()
        for cell in HOLE_CELLS:
            inside = self._inside(shot, cell)
            to_peg, to_empty = difference(inside, self.peg), difference(inside, self.empty)
            if min(to_peg, to_empty) > 0.25 * difference(self.peg, self.empty):
                raise HarnessError(f"hole {cell} shows neither a peg nor an empty hole")
            if to_peg < to_empty:
                pegs.add(cell)
        return pegs

    def wait_for(self, expected, what, timeout=5.0):
        last = {}

        def matches():
            try:
                last["pegs"] = self.read()
            except HarnessError:  # caught mid-repaint: look again
                return False
            return last["pegs"] == expected

        try:
            wait_until(matches, timeout, what, interval=0.1)
        except HarnessError as e:
            got = last.get("pegs", set())
            raise HarnessError(f"{e}: missing pegs {sorted(expected - got)}, "
                               f"extra pegs {sorted(got - expected)}")



class WaylandBoardReader(BoardReader):
    """BoardReader for a board that is no X window: found by its olive background."""

    def refresh(self):
        self.board = None
        self.origin = self.desk.wait_area(BOARD_AREA, what="the board")


class Game:
    """One run of games on the board of `desk`, its winners kept in `winners_file`: each move
    dragged and waited for on the screen, each game ended at its box and checked to give a
    fresh board (start position, counters as new, the winners list redrawn or not)."""

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
        self.box_open(title)
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

    def box_open(self, title):
        """Called with the box active, before it is answered; a scenario may look at it."""

    def read_file(self):
        with open(self.winners_file, "rb") as f:
            return f.read()
