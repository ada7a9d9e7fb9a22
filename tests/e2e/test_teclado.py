#!/usr/bin/env python3
"""A whole game with the keyboard alone on a real desktop: the program is started the way the
desktop entry's action "Jugar con el teclado" starts it, and no pointer event is sent until
the last step.
  1. Return on the presentation plays; the board opens with the cursor drawn on the centre
     hole, and only while the board field has the focus (Shift+Tab to the leave button hides
     it, Tab brings it back: the field is the tab stop after that button).
  2. A disc taken shows as taken; Escape puts it back, and Space on the empty centre then
     does nothing (a disc still taken would jump there).
  3. A drop onto a full hole is refused; nothing is taken afterwards either.
  4. The 31 moves of the solution by arrows, Space to take and Space, Return or the keypad's
     Enter in turn to drop, then an accented name typed into the name box: the winners file
     holds it byte for byte (Windows-1252, CR LF).
  5. The new board takes the keyboard at once with the cursor on the centre again: its first
     jump is played by keys; the second by a real mouse drag, which the field over the holes
     lets through.  Shift+Tab and Return leave the board, Tab and Return on the presentation
     exit with code 0.
Under Wine, a UI Automation client in another process (tests/e2e/ventana_uia.exe) also reads
what a Windows screen reader gets for the presentation, the board and the name box as each
opens: a window element with its name, automation id and the keyboard focus, the name box a
dialog.  Wine 8.0 lets such a client read no deeper and carries it no event (what it answers
is logged); test_uia checks the rest inside the program."""

import configparser
import os
import shlex
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts", "e2e"))

from pindel_e2e.board import apply, cell_of, cell_rect, solution  # noqa: E402
from pindel_e2e.constants import (BOARD_TITLE, CENTRE, COUNTERS, PLACEHOLDER,  # noqa: E402
                                  PRESENTATION_TITLE, START, WIN_TITLE, WINNER)
from pindel_e2e.game import Game  # noqa: E402
from pindel_e2e.keyboard import PUT_BACK, TAKE, Cursor  # noqa: E402
from pindel_e2e.processes import HarnessError, log, wait_exit, wait_until  # noqa: E402
from pindel_e2e.runner import desktop_for, run_main  # noqa: E402

DESKTOP_ENTRY = os.path.join(HERE, "..", "..", "packaging", "com.example.pindel.desktop")
# How far around a hole its cursor frame and its taken look may reach, in pixels.
MARGIN = 6

# What a screen reader on Windows gets for each window, through UI Automation from another
# process: its element's control type (UIA_WindowControlTypeId), name, automation id (the
# object names), and whether it is a dialog.  The presentation's title, "Form1", is never
# shown; it is named as the game.
UIA_WINDOWS = {
    PRESENTATION_TITLE: (50032, "Pindel", "ForPresentacion", False),
    BOARD_TITLE: (50032, BOARD_TITLE, "Tablero", False),
    WIN_TITLE: (50032, "Lo ha conseguido", "Tablero.PedirNombre", True),
}


def check_uia_window(desk, title):
    """Under Wine: the window titled `title` as a UI Automation client reads it, with the
    keyboard focus.  (On Linux the Orca scenario hears the windows.)"""
    if not hasattr(desk, "uia_window"):
        return
    kind, name, automation_id, dialog = UIA_WINDOWS[title]

    def read():
        got = desk.uia_window(title)
        return got if got["focused"] else None

    try:
        got = wait_until(read, 15.0, f"the window {title!r} to have the keyboard focus for UI Automation", interval=0.2)
    except HarnessError as e:
        raise HarnessError(f"{e}: {desk.uia_window(title)}")
    seen = (got["control_type"], got["name"], got["automation_id"], got["dialog"])
    if seen != (kind, name, automation_id, dialog):
        raise HarnessError(f"UI Automation reads the window {title!r} as {seen}, not {(kind, name, automation_id, dialog)}")
    log(f"UI Automation reads {title!r} as a window named {name!r} ({automation_id}), focused; the system answers "
        f"a reader's subscription: clients listening {got['clients-listening']}, UiaAddEvent {got['add-event']}, "
        f"UiaRaiseNotificationEvent {got['notification-call']}, CUIAutomation {got['com-client']}")


def keyboard_command(program):
    """The argument list of the desktop entry's keyboard action, `program` standing for the
    installed name."""
    entry = configparser.ConfigParser(interpolation=None, strict=False)
    entry.optionxform = str
    entry.read(DESKTOP_ENTRY, encoding="utf-8")
    if "teclado" not in entry["Desktop Entry"].get("Actions", "").split(";"):
        raise HarnessError("the desktop entry lists no action \"teclado\"")
    action = entry["Desktop Action teclado"]
    if action.get("Name") != "Jugar con el teclado":
        raise HarnessError(f"the keyboard action is named {action.get('Name')!r}")
    argv = shlex.split(action["Exec"])
    if argv[0] != "pindel":
        raise HarnessError(f"the keyboard action runs {argv[0]!r}")
    return [program, *argv[1:]]


class KeyboardGame(Game):
    """The shared game driver, its moves made with the keys (no pointer at all)."""

    # The keys that drop, taken in turn: Space, Return and the keypad's Enter all do.
    DROPS = (TAKE, "Return", "KP_Enter")

    def __init__(self, desk, winners_file):
        super().__init__(desk, winners_file)
        self.cursor, self.moves = Cursor(), 0

    def keys(self, *keys):
        self.desk.key(*keys)

    def drag(self, move):
        source, _, target = (cell_of(n) for n in move)
        self.keys(*self.cursor.move(source, target, drop=self.DROPS[self.moves % 3]))
        self.moves += 1

    def box_open(self, title):
        check_uia_window(self.desk, title)

    def end_at_box(self, move, title, typed=None):
        super().end_at_box(move, title, typed)
        self.cursor = Cursor()  # a new board opens with the cursor on the centre

    def around(self, cell):
        """The pixels of a hole with a margin all round."""
        x, y, w, h = cell_rect(*cell)
        ox, oy = self.reader.origin
        return self.desk.grab().region(ox + x - MARGIN, oy + y - MARGIN, w + 2 * MARGIN, h + 2 * MARGIN)

    def expect_untouched(self, what):
        """The start position, both counters as on a fresh board, the board still open."""
        self.reader.wait_for(START, f"the board to show the start position {what}")
        regions = self.regions()
        if any(regions[c] != self.fresh[c] for c in COUNTERS):
            raise HarnessError(f"a counter changed {what}")
        if not self.desk.find_windows(BOARD_TITLE):
            raise HarnessError(f"the board closed {what}")


def check_cursor_follows_focus(game):
    """The cursor shows on the centre hole while the field has the focus, and only then."""
    focused = game.around(CENTRE)
    game.keys("shift+Tab")
    wait_until(lambda: game.around(CENTRE) != focused, 5.0,
               "the cursor to go when Shift+Tab moves the focus to the leave button")
    game.keys("Tab")
    wait_until(lambda: game.around(CENTRE) == focused, 5.0,
               "the cursor to come back on the centre when Tab returns to the board")
    log("the cursor shows on the centre hole only while the board has the focus")


def check_put_back(game):
    """Take the disc two left of the centre, Escape, then Space on the empty centre."""
    left = (3, 1)
    plain = game.around(left)
    game.keys(*game.cursor.to(left))
    standing = wait_until(lambda: (now := game.around(left)) != plain and now, 5.0,
                          "the cursor to show on the hole two left of the centre")
    game.keys(TAKE)
    wait_until(lambda: game.around(left) != standing, 5.0, "the disc under the cursor to show as taken")
    game.keys(PUT_BACK)
    wait_until(lambda: game.around(left) == standing, 5.0, "Escape to put the disc back")
    game.keys(*game.cursor.to(CENTRE), TAKE)
    game.expect_untouched("after Escape and Space on the empty centre")
    log("a taken disc shows; Escape puts it back and leaves nothing taken")


def check_refused(game):
    """Take the disc two above the centre and drop it on the full hole below it; then Space
    on the empty centre, where that disc would jump if it were still taken."""
    game.keys(*game.cursor.move((1, 3), (2, 3)))
    game.expect_untouched("after a drop onto a full hole")
    game.keys(*game.cursor.to(CENTRE), TAKE)
    game.expect_untouched("after Space on the empty centre following a refused drop")
    log("a refused drop changes nothing and leaves nothing taken")


def scenario(program, artifacts):
    moves = solution()
    with desktop_for(program, artifacts) as desk:
        argv = keyboard_command(program)
        app = desk.launch(argv[0], args=argv[1:])
        presentation = desk.wait_window(PRESENTATION_TITLE, timeout=15.0)
        desk.activate(presentation)
        check_uia_window(desk, PRESENTATION_TITLE)
        desk.key("Return")  # play holds the focus when the presentation opens
        desk.wait_window(BOARD_TITLE, timeout=15.0)
        check_uia_window(desk, BOARD_TITLE)
        winners_file = desk.winners_file()
        wait_until(lambda: os.path.exists(winners_file), 5.0, "the winners file to be created")
        game = KeyboardGame(desk, winners_file)
        if game.read_file() != PLACEHOLDER:
            raise HarnessError(f"a new winners file holds {game.read_file()!r}")
        desk.screenshot("board")

        check_cursor_follows_focus(game)
        check_put_back(game)
        check_refused(game)

        game.play(moves[:-1])
        desk.screenshot("before-last-move")
        game.end_at_box(moves[-1], WIN_TITLE, typed=WINNER)
        expected = WINNER.encode("cp1252") + b"\r\n"
        if game.read_file() != expected:
            raise HarnessError(f"the winners file holds {game.read_file()!r}, not {expected!r}")
        log("won by keyboard: the name is in the file and a new game is on the board")

        game.drag(moves[0])
        pegs = apply(START, moves[0])
        game.reader.wait_for(pegs, "the first jump on the new board")
        log("the new board took the keyboard with the cursor on the centre")
        # The field lies over the holes, and a mouse player's drag still reaches them.
        Game.drag(game, moves[1])
        game.reader.wait_for(apply(pegs, moves[1]), "a jump by a mouse drag in keyboard mode")
        log("a mouse drag still plays in keyboard mode")

        game.keys("shift+Tab", "Return")
        desk.wait_no_window(BOARD_TITLE)
        desk.activate(desk.wait_window(PRESENTATION_TITLE))
        desk.key("Tab", "Return")  # from play to exit
        wait_exit(app, 10.0)
        log("left the board and the program by keyboard: exit code 0")


if __name__ == "__main__":
    run_main(scenario, seconds=240)
