#!/usr/bin/env python3
"""The real screen reader: Debian's Orca, with no speech server and no sound device, follows
the game on a private desktop whose accessibility bus says a screen reader is on.  The game is
started with no option at all; it must notice the screen reader and play by keyboard.  What
Orca would say is read from its own speech log (orca-customizations.py), line by line:
  1. the presentation's name ("Pindel") read by Orca's title command, play pressed with Return;
  2. the board: its window title, the board field ("Huecos del tablero") and the centre hole
     ("Fila 4, columna 4, vacío") when it opens;
  3. an arrow speaks the hole and what it holds, Space speaks the disc taken, the first jump
     speaks the new counters ("Jugadas: 1", "Resto: 31"), a drop onto a full hole speaks
     "Movimiento no válido";
  4. the rest of the solution, then the win prompt ("Lo ha conseguido") is spoken; the name
     typed there reaches the winners file, and the new board speaks its centre hole again;
  5. the solution window (hidden gesture, by mouse) says its title to Orca's title command;
  6. leave and exit by keyboard: the program ends with code 0.
Every key waits for Orca's answer to it (the hole reached, the disc taken, the new counters)
before the next is sent: see Player.  Orca 43 sets only IsEnabled on the accessibility bus,
not ScreenReaderEnabled, so the test sets that itself, as a desktop's settings do when the
screen reader is turned on.  Only one Orca per user may run; the test waits for another one
to end and never replaces it.  Everything it starts (the private session bus and what the bus
starts, Orca, the game, the desktop) is stopped by its id."""

import os
import re
import shutil
import signal
import subprocess
import sys
import uuid

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts", "e2e"))

from pindel_e2e.board import cell_of, solution  # noqa: E402
from pindel_e2e.constants import (BOARD_TITLE, CENTRE, GESTURE_ARM, GESTURE_OPEN,  # noqa: E402
                                  PLACEHOLDER, PRESENTATION_TITLE, SOLUTION_TITLE, START,
                                  WIN_TITLE, WINNER)
from pindel_e2e.desktop_x11 import Desktop  # noqa: E402
from pindel_e2e.keyboard import TAKE, path, step  # noqa: E402
from pindel_e2e.processes import HarnessError, log, spawn, stop, wait_exit, wait_until  # noqa: E402
from pindel_e2e.runner import run_main  # noqa: E402

LOCALE = "es_ES.UTF-8"
ORCA_TOOLS = ("orca", "dbus-daemon", "dbus-send", "pgrep", "localedef")
TITLE = "Insert+KP_Enter"  # Orca's command that says the title of the focused window
RUN_MARK = "PINDEL_ORCA_RUN"  # every process of one run carries it with the run's token


def cell_name(cell, holds):
    """How the game names a hole to a screen reader; rows and columns counted from 1."""
    return f"Fila {cell[0] + 1}, columna {cell[1] + 1}, {holds}"


# --- what Orca says ------------------------------------------------------------------------

class Speech:
    """Orca's speech log, read from a mark onwards."""

    def __init__(self, path):
        self.path, self.mark = path, 0
        open(path, "w").close()

    def text(self):
        with open(self.path, "rb") as f:
            f.seek(self.mark)
            return f.read().decode("utf-8", errors="replace")

    def spoken(self):
        """The texts said since the mark, one per line."""
        return [m.group(1) for m in re.finditer(r"SPEECH OUTPUT: '(.*)'", self.text())]

    def set_mark(self):
        self.mark = os.path.getsize(self.path)

    def wait(self, *patterns, timeout=20.0, what=None, processes=()):
        """Waits until every regular expression in `patterns` matches something said since
        the mark, then moves the mark to the end; returns what was said."""

        def heard():
            for proc in processes:
                if proc.poll() is not None:
                    raise HarnessError(f"{proc.args[0]} ended with {proc.returncode} while "
                                       f"waiting for {what or patterns}")
            said = self.spoken()
            return said if all(any(re.search(p, s) for s in said) for p in patterns) else None

        try:
            said = wait_until(heard, timeout, what or f"Orca to say {patterns}", interval=0.1)
        except HarnessError as e:
            raise HarnessError(f"{e}; Orca said {self.spoken()}")
        self.set_mark()
        return said


# --- the private session -------------------------------------------------------------------

def other_orcas():
    """Ids of the Orcas of this user that are not ours: Orca refuses to start beside one."""
    out = subprocess.run(["pgrep", "-u", str(os.getuid()), "-x", "orca"], capture_output=True,
                         text=True, timeout=10).stdout
    return [int(p) for p in out.split()]


def spanish_locale(cache):
    """A LOCPATH holding es_ES.UTF-8 for Orca's own words, compiled once into `cache` when the
    C library has no such locale; None when it has."""
    probe = subprocess.run(["locale", "-a"], capture_output=True, text=True, timeout=10).stdout
    if "es_ES.utf8" in probe.split():
        return None
    target = os.path.join(cache, LOCALE)
    if not os.path.isfile(os.path.join(target, "LC_CTYPE")):
        os.makedirs(cache, exist_ok=True)
        # localedef exits with 1 on mere warnings; the compiled files are what counts.
        subprocess.run(["localedef", "-i", "es_ES", "-f", "UTF-8", target], capture_output=True,
                       timeout=120)
        if not os.path.isfile(os.path.join(target, "LC_CTYPE")):
            raise HarnessError(f"localedef could not compile {LOCALE} into {cache}")
    return cache


def run_processes(token):
    """Ids of every process that carries this run's mark in its environment."""
    mark = f"{RUN_MARK}={token}".encode()
    found = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/environ", "rb") as f:
                    if mark in f.read().split(b"\0"):
                        found.append(int(entry))
            except OSError:
                continue
    return found


def sweep(token):
    """Stops, by id, what the session bus started for this run and outlived it."""
    for sig in (signal.SIGTERM, signal.SIGKILL):
        pids = run_processes(token)
        for pid in pids:
            log(f"stopping left-over process {pid} with signal {sig.name}")
            try:
                os.kill(pid, sig)
            except ProcessLookupError:
                pass
        if pids:
            try:
                wait_until(lambda: not run_processes(token), 3.0, "left-over processes to end")
            except HarnessError:
                continue
        return


class Session:
    """A session bus of its own with private home and settings folders: the accessibility
    bus, the settings store and Orca live in it and die with it."""

    def __init__(self, desk):
        self.desk, self.token = desk, uuid.uuid4().hex
        root = os.path.join(desk.scratch, "session")
        self.dirs = {"HOME": os.path.join(root, "home"),
                     "XDG_CONFIG_HOME": os.path.join(root, "config"),
                     "XDG_CACHE_HOME": os.path.join(root, "cache"),
                     "XDG_DATA_HOME": os.path.join(root, "share"),
                     "XDG_RUNTIME_DIR": os.path.join(root, "run")}
        for folder in self.dirs.values():
            os.makedirs(folder, mode=0o700, exist_ok=True)
        self.socket = os.path.join(root, "bus")
        self.address = "unix:path=" + self.socket
        self.bus = None

    def env(self, extra=None):
        env = self.desk.env({**self.dirs, "DBUS_SESSION_BUS_ADDRESS": self.address,
                             RUN_MARK: self.token, "NO_AT_BRIDGE": None, "QT_ACCESSIBILITY": None})
        env.update(extra or {})
        return {k: v for k, v in env.items() if v is not None}

    def __enter__(self):
        self.bus = spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                          "--address=" + self.address], env=self.env(),
                         log_path=os.path.join(self.desk.artifacts, "dbus.log"))
        wait_until(lambda: os.path.exists(self.socket) or self.bus.poll() is not None, 10.0,
                   "the session bus to listen")
        if self.bus.poll() is not None:
            raise HarnessError(f"dbus-daemon ended with {self.bus.returncode}; see dbus.log")
        return self

    def __exit__(self, *exc):
        if self.bus is not None:
            stop(self.bus)
        sweep(self.token)

    def a11y_status(self, prop, value=None):
        """Reads (or, given `value`, sets and reads back) a property of org.a11y.Status on the
        accessibility bus launcher, as a desktop's settings would."""
        def call(*argv):
            done = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                                   "/org/a11y/bus", *argv], env=self.env(), capture_output=True,
                                  text=True, timeout=30)
            if done.returncode != 0:
                raise HarnessError(f"{argv[0]} {prop} failed: {done.stderr.strip()}")
            return done.stdout

        if value is not None:
            call("org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status", f"string:{prop}",
                 f"variant:boolean:{str(value).lower()}")
        return "boolean true" in call("org.freedesktop.DBus.Properties.Get", "string:org.a11y.Status",
                                      f"string:{prop}")


# --- the scenario --------------------------------------------------------------------------

def start_orca(desk, session, speech, locpath, attempts=3):
    """Starts Orca and waits for its start-up message.  Orca ends at once when another Orca of
    this user runs (one may start between our look and our start): then it waits for that one
    to end and tries again."""
    prefs = os.path.join(desk.scratch, "orca-prefs")
    os.makedirs(prefs, exist_ok=True)
    shutil.copy(os.path.join(HERE, "orca-customizations.py"), prefs)
    env = session.env({"LANG": LOCALE, "LC_ALL": None, "LANGUAGE": None, "LOCPATH": locpath,
                       "PINDEL_ORCA_SPEECH": speech.path,
                       # No speech server and no sound: Orca still logs every text it would say.
                       "SPEECHD_CMD": "/nonexistent/speech-dispatcher",
                       "SPEECHD_ADDRESS": "unix_socket:" + os.path.join(desk.scratch, "no-speechd")})
    debug = ["--debug-file", os.path.join(desk.artifacts, "orca-debug.log")] \
        if os.environ.get("PINDEL_ORCA_DEBUG") == "1" else []  # Orca's own trace, for a failure
    for attempt in range(1, attempts + 1):
        if others := other_orcas():
            log(f"another Orca of this user runs ({others}); waiting for it to end")
            wait_until(lambda: not other_orcas(), 120.0,
                       f"the other Orca of uid {os.getuid()} ({others}) to end: only one can run")
        orca = spawn(["orca", "-u", prefs, *debug], env=env,
                     log_path=os.path.join(desk.artifacts, f"orca-{attempt}.log"))
        log(f"started Orca as pid {orca.pid}")
        try:
            said = speech.wait(r".", timeout=60.0, what="Orca's start-up message", processes=[orca])
        except HarnessError:
            if orca.poll() is None or attempt == attempts or not other_orcas():
                raise
            stop(orca)
            continue
        log(f"Orca is up: {said}")
        return orca
    raise AssertionError("not reached")


class Player:
    """Plays by keys, one key at a time: each waits until Orca has said what it should.  Qt
    hands every key to the screen reader first and waits a moment for its answer; keys sent
    faster than Orca answers reach the board out of order, as they would for a real player
    typing ahead of a busy screen reader."""

    def __init__(self, desk, speech, processes):
        self.desk, self.speech, self.processes = desk, speech, processes
        self.cursor, self.pegs, self.moves = CENTRE, set(START), 0

    def press(self, key, *patterns, what=None, timeout=20.0):
        self.speech.set_mark()
        self.desk.x(["xdotool", "key", key])
        return self.speech.wait(*patterns, timeout=timeout, what=what or f"Orca after {key}",
                                processes=self.processes)

    def holds(self, cell, taken=None):
        return "Cd-rom tomado" if cell == taken else "con Cd-rom" if cell in self.pegs else "vacío"

    def go(self, cell, taken=None):
        """Arrows to `cell`, each one waited for until Orca names the hole it reached."""
        for arrow in path(self.cursor, cell):
            self.cursor = step(self.cursor, arrow)
            self.press(arrow, re.escape(cell_name(self.cursor, self.holds(self.cursor, taken))))

    def take(self, cell):
        self.go(cell)
        self.press(TAKE, r"Cd-rom tomado", what=f"taking the disc at {cell}")

    def jump(self, move, *last_words):
        """One move of the solution; Orca must then say the new counters (or `last_words`)."""
        source, over, target = (cell_of(n) for n in move)
        self.take(source)
        self.go(target, taken=source)
        self.pegs = (self.pegs - {source, over}) | {target}
        self.moves += 1
        self.press(TAKE, *(last_words or (rf"Jugadas: {self.moves}\b", rf"Resto: {32 - self.moves}\b")),
                   what=f"move {self.moves} {move}", timeout=30.0)


def scenario(program, artifacts):
    if missing := [t for t in ORCA_TOOLS if shutil.which(t) is None]:
        raise HarnessError("missing tools (run scripts/install-deps): " + " ".join(missing))
    moves = solution()
    locpath = spanish_locale(os.path.join(os.path.dirname(artifacts), "orca-locale"))
    with Desktop(artifacts) as desk, Session(desk) as session:
        speech = Speech(os.path.join(artifacts, "speech.log"))
        orca = start_orca(desk, session, speech, locpath)
        try:
            play(desk, session, speech, orca, program, moves)
        finally:
            stop(orca)


def play(desk, session, speech, orca, program, moves):
    log(f"ScreenReaderEnabled with Orca running: {session.a11y_status('ScreenReaderEnabled')}")
    if not session.a11y_status("ScreenReaderEnabled", True):
        raise HarnessError("the accessibility bus did not take ScreenReaderEnabled = true")

    speech.set_mark()
    # As a desktop starts it: on the session bus, with nothing that forces accessibility on or
    # off; its winners file stays in the harness's scratch data folder.
    shared = session.env()
    env = {k: shared[k] for k in ("HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME",
                                  "DBUS_SESSION_BUS_ADDRESS")}
    env.update(NO_AT_BRIDGE=None, QT_ACCESSIBILITY=None, QT_LINUX_ACCESSIBILITY_ALWAYS_ON=None)
    # While a screen reader listens to keys, Qt's accessibility bridge (an application-wide
    # event filter) holds each key back, with a copy of it and the D-Bus call that asks the
    # screen reader about it, until the answer comes.  Keys still waiting when the program
    # leaves are never freed, so a sanitizer build reports them at exit when the last keys
    # outrun Orca's answers.  The program installs no application-wide filter of its own: a
    # leak of ours never has that frame in its stack and is still reported.
    env["LSAN_OPTIONS"] = desk.lsan_options("orca", ("QCoreApplicationPrivate::sendThroughApplicationEventFilters",))
    app = desk.launch(program, env=env)
    you = Player(desk, speech, [orca, app])
    presentation = desk.wait_window(PRESENTATION_TITLE, timeout=20.0)
    speech.wait(r"Pindel", timeout=30.0, what="the presentation's play button", processes=you.processes)
    desk.activate(presentation)
    # Its title, "Form1", is never shown (the window has no frame): it is named "Pindel".
    said = you.press(TITLE, r"^Pindel$", what="Orca's title command on the presentation")
    log(f"the presentation's title: {said}")

    said = you.press("Return", r"Pindel\.\s+Maberto", r"Huecos del tablero",
                     re.escape(cell_name(CENTRE, "vacío")), what="the board opening", timeout=30.0)
    log(f"the board opening: {said}")
    winners_file = desk.winners_file()
    with open(winners_file, "rb") as f:
        if (held := f.read()) != PLACEHOLDER:
            raise HarnessError(f"a new winners file holds {held!r}")

    first = moves[0]
    you.go(cell_of(first[1]))  # one arrow: the hole left of the centre, and its disc
    # After an arrow, not Return: Orca counts KP_Enter right after Return as a double press.
    said = you.press(TITLE, r"Pindel\.\s+Maberto", what="Orca's title command on the board")
    log(f"the board's title: {said}")
    you.jump(first)
    log("an arrow named the hole and its disc, taking and the first jump were spoken")

    you.take((2, 3))
    you.go(CENTRE, taken=(2, 3))
    you.press(TAKE, r"Movimiento no válido", what="a drop onto a full hole")
    log("a refused drop was spoken")

    for move in moves[1:-1]:
        you.jump(move)
    you.jump(moves[-1], r"Lo ha conseguido")
    log("Orca spoke the win prompt")
    desk.activate(desk.wait_window(WIN_TITLE))
    desk.key("ctrl+a")
    desk.type_text(WINNER)
    you.press("Return", re.escape(cell_name(CENTRE, "vacío")), what="the new board after the win",
              timeout=30.0)
    expected = WINNER.encode("cp1252") + b"\r\n"
    with open(winners_file, "rb") as f:
        if (held := f.read()) != expected:
            raise HarnessError(f"the winners file holds {held!r}, not {expected!r}")
    log("the name typed in the win prompt is in the winners file")

    # The third window, by the hidden gesture (two clicks on the board's corners).
    board = desk.wait_window(BOARD_TITLE)
    desk.click_in(board, GESTURE_ARM)
    speech.set_mark()
    desk.click_in(board, GESTURE_OPEN, button=3)
    solution = desk.wait_window(SOLUTION_TITLE)
    speech.wait(r"Soluci[oó]n al Pindel", what="the solution window opening", processes=you.processes)
    # Another key between Return and the title command (see above); Orca names the control
    # the Tab reached, the list of moves or the OK button.
    you.press("Tab", r"Lista de movimientos|OK", what="Tab in the solution window")
    said = you.press(TITLE, r"Soluci[oó]n al Pindel\.\s+Maberto", what="Orca's title command on the solution")
    log(f"the solution window's title: {said}")
    desk.request_close(solution)
    desk.wait_no_window(SOLUTION_TITLE)
    desk.activate(board)

    you.press("shift+Tab", r"Abandonar el juego", what="Shift+Tab from the board")
    desk.key("Return")
    desk.wait_no_window(BOARD_TITLE)
    desk.activate(desk.wait_window(PRESENTATION_TITLE))
    desk.key("Tab", "Return")
    wait_exit(app, 15.0)
    log("left the board and the program by keyboard: exit code 0")


if __name__ == "__main__":
    run_main(scenario, seconds=270)
