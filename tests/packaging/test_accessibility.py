#!/usr/bin/env python3
"""What a screen reader gets from the running program, read through AT-SPI.

The real program runs on a private X server with its accessibility bridge forced on; this
script is an AT-SPI client on the same session bus (run it under dbus-run-session).  It
  1. reads the presentation window and presses play through the button's AT-SPI action,
  2. reads the board: buttons, list, counters ("Resto: 32"), and every hole's name and
     whether it holds a Cd-rom,
  3. makes one real jump with the mouse, dragging between the holes' AT-SPI extents, and
     reads the counters and the three holes involved again: the screen reader must hear the
     new values,
  4. opens the solution window with the hidden gesture and reads it.
Every button, list and hole of the three windows must have a Spanish name and description.

Usage: dbus-run-session -- /usr/bin/python3 test_accessibility.py <pindel> [--artifacts DIR]
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

import gi  # noqa: E402

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

from harness import (BOARD_TITLE, Desktop, HarnessError, SOLUTION_TITLE, log,  # noqa: E402
                     run_main, wait_until)

APP_NAME = "Pindel"
HOLES = 33

# What the player's controls must say.  Names repeat the tips; descriptions say what the
# control does.  (window role name, control name) -> description.
PRESENTATION = {
    ("push button", "Pindel"): "Abre el tablero para jugar",
    ("push button", "Créditos"): "Muestra los datos del autor",
    ("push button", "Salir"): "Termina el programa",
}
BOARD = {
    ("push button", "Créditos y contacto"): "Muestra los datos del autor",
    ("push button", "Inicia un nuevo juego"): "Vuelve a colocar los Cd-rom en la posición de salida",
    ("push button", "Ayuda"): "Muestra las instrucciones del juego",
    ("push button", "Abandonar el juego"): "Cierra el tablero; la partida en curso se pierde",
    ("list", "Los que lo consiguieron"): "Lista de las personas que han conseguido completar el juego",
    ("label", "Resto: 32"): "Huecos que faltan para finalizar el juego",
    ("label", "Jugadas: 0"): "Movimientos realizados",
}
SOLUTION = {
    ("push button", "OK"): "Cierra la ventana de la solución",
    ("list", "Lista de movimientos"):
        "Los 31 movimientos que resuelven el juego, en orden: desde qué hueco, sobre cuál y a cuál",
    ("label", "Centro"): "Hueco central del tablero",
}
PEG, EMPTY = "Con un Cd-rom", "Vacío"
INTERACTIVE = {"push button", "list"}


class Node:
    """One accessible object as read at one moment."""

    def __init__(self, acc):
        self.acc = acc
        self.role = acc.get_role_name()
        self.name = acc.get_name() or ""
        self.description = acc.get_description() or ""

    def extents(self):
        e = self.acc.get_extents(Atspi.CoordType.SCREEN)
        return e.x, e.y, e.width, e.height

    def centre(self):
        x, y, w, h = self.extents()
        return x + w // 2, y + h // 2


def find_app():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == APP_NAME:
            return app
    return None


def walk(acc, depth=0):
    """Every object under `acc`, read fresh (AT-SPI caches names otherwise)."""
    acc.clear_cache()
    yield Node(acc)
    if depth > 8:
        return
    for i in range(acc.get_child_count()):
        child = acc.get_child_at_index(i)
        if child is not None:
            yield from walk(child, depth + 1)


def window(app, description):
    """The top-level object of the window whose description is `description`."""
    app.clear_cache()
    for i in range(app.get_child_count()):
        top = app.get_child_at_index(i)
        if top is not None:
            top.clear_cache()
            if top.get_description() == description:
                return top
    return None


def wait_window(app, description, timeout=15.0):
    found = {}

    def present():
        found["w"] = window(app, description)
        return found["w"] is not None

    wait_until(present, timeout, f"the window described as \"{description}\" in the AT-SPI tree")
    return found["w"]


def check_controls(nodes, expected, where):
    """Each expected control is there with its description, and every control the player
    can use has a name and a description."""
    by_key = {(n.role, n.name): n for n in nodes}
    for key, description in expected.items():
        node = by_key.get(key)
        if node is None:
            seen = sorted(k for k in by_key if k[0] == key[0])
            raise HarnessError(f"{where}: no {key[0]} named \"{key[1]}\"; seen {seen}")
        if node.description != description:
            raise HarnessError(f"{where}: {key} describes itself as \"{node.description}\", "
                               f"expected \"{description}\"")
    for n in nodes:
        if n.role in INTERACTIVE and n.role != "list item" and (not n.name or not n.description):
            raise HarnessError(f"{where}: a {n.role} without name or description: "
                               f"\"{n.name}\" / \"{n.description}\"")
    log(f"{where}: {len(expected)} controls read as expected")


def holes(nodes):
    """Hole number -> node, from the objects named "Hueco N"."""
    found = {}
    for n in nodes:
        if n.name.startswith("Hueco ") and n.name[6:].isdigit():
            found[int(n.name[6:])] = n
    return found


def check_holes(found, where):
    if sorted(found) != list(range(HOLES)):
        raise HarnessError(f"{where}: holes named {sorted(found)}, expected Hueco 0 .. Hueco 32")
    for number, n in found.items():
        if n.description not in (PEG, EMPTY):
            raise HarnessError(f"{where}: Hueco {number} says \"{n.description}\"")


def pick_jump(found):
    """A legal first move read from the holes' extents alone: a peg two cells from the
    empty centre, in a straight line, with a peg between them."""
    cx, cy = found[0].centre()
    step = None
    for number, n in found.items():
        x, y = n.centre()
        if number and y == cy and 0 < cx - x < 60:
            step = cx - x
    if not step:
        raise HarnessError("no hole found right beside the centre hole")
    source = over = None
    for number, n in found.items():
        x, y = n.centre()
        if y == cy and abs(cx - 2 * step - x) <= 1:
            source = number
        if y == cy and abs(cx - step - x) <= 1:
            over = number
    if source is None or over is None:
        raise HarnessError("no hole two cells left of the centre")
    return source, over, 0


def scenario(program, artifacts):
    bus = os.environ.get("DBUS_SESSION_BUS_ADDRESS")
    if not bus:
        raise HarnessError("no session bus: run this under dbus-run-session")
    with Desktop(artifacts) as desk:
        desk.launch(program, env={"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "QT_ACCESSIBILITY": "1",
                                  "NO_AT_BRIDGE": "0", "DBUS_SESSION_BUS_ADDRESS": bus})
        apps = {}

        def registered():
            apps["a"] = find_app()
            return apps["a"] is not None

        wait_until(registered, 20, "the program to register with the AT-SPI registry", interval=0.2)
        app = apps["a"]

        # 1. The presentation window; play through AT-SPI, as a screen reader user would.
        presentacion = wait_window(app, "Presentación del juego")
        nodes = list(walk(presentacion))
        check_controls(nodes, PRESENTATION, "presentation")
        play = next(n for n in nodes if (n.role, n.name) == ("push button", "Pindel"))
        if Atspi.Action.get_n_actions(play.acc) < 1:
            raise HarnessError("the play button offers no AT-SPI action")
        Atspi.Action.do_action(play.acc, 0)
        log("pressed play through AT-SPI")

        # 2. The board as designed.
        desk.wait_window(BOARD_TITLE)
        tablero = wait_window(app, "Tablero del juego: 33 huecos en cruz")
        nodes = list(walk(tablero))
        check_controls(nodes, BOARD, "board")
        found = holes(nodes)
        check_holes(found, "board")
        empty = sorted(k for k, n in found.items() if n.description == EMPTY)
        if empty != [0]:
            raise HarnessError(f"a fresh board should have only Hueco 0 empty, AT-SPI says {empty}")

        # 3. One real jump with the mouse; the screen reader hears the new state.
        source, over, target = pick_jump(found)
        log(f"dragging Hueco {source} over Hueco {over} onto Hueco {target}")
        desk.drag(found[source].centre(), found[target].centre())
        after = {}

        def moved():
            nodes_now = list(walk(tablero))
            after["nodes"] = nodes_now
            names = {n.name for n in nodes_now}
            return "Resto: 31" in names and "Jugadas: 1" in names

        try:
            wait_until(moved, 10, "the counters to read \"Resto: 31\" and \"Jugadas: 1\"", interval=0.2)
        except HarnessError:
            labels = sorted(n.name for n in after.get("nodes", []) if n.role == "label")
            raise HarnessError(f"after the jump the labels read {labels}")
        now = holes(after["nodes"])
        says = {k: now[k].description for k in (source, over, target)}
        if says != {source: EMPTY, over: EMPTY, target: PEG}:
            raise HarnessError(f"after the jump the holes say {says}")
        log("counters and holes read the new position")

        # 4. The solution window, opened by the hidden gesture on the board's corners.
        bx, by, bw, bh = Node(tablero).extents()
        desk.click(bx + 5, by + bh - 8)
        desk.right_click(bx + bw - 8, by + 5)
        desk.wait_window(SOLUTION_TITLE)
        solucion = wait_window(app, "Solución del juego")
        nodes = list(walk(solucion))
        check_controls(nodes, SOLUTION, "solution")
        numbers = [n for n in nodes if n.description == "Número de hueco que usa la lista de movimientos"]
        if sorted(n.name for n in numbers) != sorted(str(i) for i in range(1, 33)):
            raise HarnessError(f"the solution's numbered holes read {sorted(n.name for n in numbers)}")
        log("solution window read as expected")


if __name__ == "__main__":
    run_main(scenario, 120)
