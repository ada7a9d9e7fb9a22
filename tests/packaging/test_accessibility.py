#!/usr/bin/env python3
"""What a screen reader gets from the running program, read through AT-SPI on the session bus
of dbus-run-session: the presentation window (play is pressed through its AT-SPI action), the
board (buttons, list, counters, every hole and whether it holds a Cd-rom), the board again
after one real jump with the mouse between the holes' AT-SPI extents, and the solution window
opened by the hidden gesture.  Every window must be a frame named by its title (the presentation,
whose title is never shown, by the game's name); every button and list must have a Spanish name
and description.

Usage: dbus-run-session -- /usr/bin/python3 test_accessibility.py <pindel> [--artifacts DIR]"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "e2e"))

import gi  # noqa: E402

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

from pindel_e2e.constants import BOARD_TITLE, SOLUTION_TITLE  # noqa: E402
from pindel_e2e.desktop_x11 import Desktop  # noqa: E402
from pindel_e2e.processes import HarnessError, log, wait_until  # noqa: E402
from pindel_e2e.runner import run_main  # noqa: E402

# (role, name) -> description.  Names repeat the tips; descriptions say what the control does.
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


def centre(acc):
    e = acc.get_extents(Atspi.CoordType.SCREEN)
    return e.x + e.width // 2, e.y + e.height // 2


def walk(acc, depth=0):
    """(role, name, description, object) of everything under `acc`, read fresh (AT-SPI
    caches names otherwise)."""
    acc.clear_cache()
    yield acc.get_role_name(), acc.get_name() or "", acc.get_description() or "", acc
    for child in (acc.get_child_at_index(i) for i in range(acc.get_child_count()) if depth <= 8):
        if child is not None:
            yield from walk(child, depth + 1)


def wait_window(app, description):
    """The top-level object of the program's window described as `description`."""

    def find():
        app.clear_cache()
        for top in (app.get_child_at_index(i) for i in range(app.get_child_count())):
            if top is not None:
                top.clear_cache()
                if top.get_description() == description:
                    return top
        return None

    return wait_until(find, 15.0, f"the window described as \"{description}\" in the AT-SPI tree")


def check_window(top, name, where):
    """A top-level window reaches the reader as a frame with its name, never as a filler."""
    top.clear_cache()
    if (top.get_role_name(), top.get_name()) != ("frame", name):
        raise HarnessError(f"{where}: the window reads as {top.get_role_name()!r} named {top.get_name()!r}, "
                           f"expected a frame named {name!r}")


def check_controls(nodes, expected, where):
    """Each expected control is there with its description; every button and list has a name
    and a description."""
    got = {(role, name): description for role, name, description, _ in nodes}
    for key, description in expected.items():
        if got.get(key) != description:
            raise HarnessError(f"{where}: {key} describes itself as {got.get(key)!r}, expected "
                               f"{description!r}; seen {sorted(k for k in got if k[0] == key[0])}")
    for role, name, description, _ in nodes:
        if role in ("push button", "list") and not (name and description):
            raise HarnessError(f"{where}: a {role} without name or description: {name!r} / {description!r}")
    log(f"{where}: {len(expected)} controls read as expected")


def holes(nodes):
    """Hole number -> (description, object), from the objects named "Hueco N"; all 33 there."""
    found = {int(name[6:]): (description, acc) for _, name, description, acc in nodes
             if name.startswith("Hueco ") and name[6:].isdigit()}
    if sorted(found) != list(range(33)) or any(d not in (PEG, EMPTY) for d, _ in found.values()):
        raise HarnessError(f"holes read {sorted(found.items())}, expected Hueco 0 .. Hueco 32")
    return found


def pick_jump(found):
    """A legal first move from the holes' extents alone: the two holes in a line left of the
    empty centre (0), at one and two cells' distance."""
    cx, cy = centre(found[0][1])
    left = sorted((cx - x, n) for n, (_, acc) in found.items() for x, y in [centre(acc)]
                  if y == cy and 0 < cx - x < 120)
    if len(left) < 2 or abs(left[1][0] - 2 * left[0][0]) > 1:
        raise HarnessError(f"no two holes in a line left of the centre: {left}")
    return left[1][1], left[0][1], 0


def scenario(program, artifacts):
    bus = os.environ.get("DBUS_SESSION_BUS_ADDRESS")
    if not bus:
        raise HarnessError("no session bus: run this under dbus-run-session")
    with Desktop(artifacts) as desk:
        desk.launch(program, env={"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "QT_ACCESSIBILITY": "1",
                                  "NO_AT_BRIDGE": "0", "DBUS_SESSION_BUS_ADDRESS": bus})
        desktop = Atspi.get_desktop(0)
        app = wait_until(lambda: next((a for a in (desktop.get_child_at_index(i) for i in
                                                   range(desktop.get_child_count()))
                                       if a is not None and a.get_name() == "Pindel"), None),
                         20, "the program to register with the AT-SPI registry", interval=0.2)

        # Play through AT-SPI, as a screen reader user would.
        presentacion = wait_window(app, "Presentación del juego")
        check_window(presentacion, "Pindel", "presentation")
        nodes = list(walk(presentacion))
        check_controls(nodes, PRESENTATION, "presentation")
        play = next(acc for role, name, _, acc in nodes if (role, name) == ("push button", "Pindel"))
        if Atspi.Action.get_n_actions(play) < 1:
            raise HarnessError("the play button offers no AT-SPI action")
        Atspi.Action.do_action(play, 0)

        desk.wait_window(BOARD_TITLE)
        tablero = wait_window(app, "Tablero del juego: 33 huecos en cruz")
        check_window(tablero, BOARD_TITLE, "board")
        nodes = list(walk(tablero))
        check_controls(nodes, BOARD, "board")
        found = holes(nodes)
        if [n for n, (d, _) in found.items() if d == EMPTY] != [0]:
            raise HarnessError("a fresh board should have only Hueco 0 empty")

        # One real jump with the mouse; the screen reader hears the new state.
        source, over, target = pick_jump(found)
        log(f"dragging Hueco {source} over Hueco {over} onto Hueco {target}")
        desk.drag(centre(found[source][1]), centre(found[target][1]))
        after = {}

        def moved():
            after["nodes"] = list(walk(tablero))
            names = {name for _, name, _, _ in after["nodes"]}
            return "Resto: 31" in names and "Jugadas: 1" in names

        try:
            wait_until(moved, 10, "the counters to read \"Resto: 31\" and \"Jugadas: 1\"", interval=0.2)
        except HarnessError:
            raise HarnessError(f"after the jump the labels read "
                               f"{sorted(n for r, n, _, _ in after.get('nodes', []) if r == 'label')}")
        now = holes(after["nodes"])
        says = {k: now[k][0] for k in (source, over, target)}
        if says != {source: EMPTY, over: EMPTY, target: PEG}:
            raise HarnessError(f"after the jump the holes say {says}")
        log("counters and holes read the new position")

        # The solution window, opened by the hidden gesture on the board's corners.
        e = tablero.get_extents(Atspi.CoordType.SCREEN)
        desk.click(e.x + 5, e.y + e.height - 8)
        desk.click(e.x + e.width - 8, e.y + 5, button=3)
        desk.wait_window(SOLUTION_TITLE)
        solucion = wait_window(app, "Solución del juego")
        check_window(solucion, SOLUTION_TITLE, "solution")
        nodes = list(walk(solucion))
        check_controls(nodes, SOLUTION, "solution")
        numbers = sorted(n for _, n, d, _ in nodes if d == "Número de hueco que usa la lista de movimientos")
        if numbers != sorted(str(i) for i in range(1, 33)):
            raise HarnessError(f"the solution's numbered holes read {numbers}")
        log("solution window read as expected")


if __name__ == "__main__":
    run_main(scenario, 120)
