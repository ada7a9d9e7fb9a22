"""The Windows installer as a player meets it, under Wine on a private Xvfb: CPack makes the
installer and the portable .zip into a scratch folder, and an earlier version's installer as
CMake's own template made it; into a fresh Wine prefix the earlier version is installed, then
this one over it, then this one again on a Spanish system: each time one install and one
Add/Remove entry are left, with this version's files and the player's winners as they were;
the Add/Remove entry names the install's size; the Start-menu entry starts the installed
program, whose presentation and board show; every DLL it loads on the way is one the install
folder holds, and the folder holds no other; the .zip holds the same files.  While the game
runs, the installer and the uninstaller ask, in the system's language, to close it, and a
silent run fails: none of them changes a file.  Then the uninstaller, started as Add/Remove
Programs starts it, goes on once the game is closed and removes the program and its entries,
and leaves the player's winners file as it was.
Usage (from CTest): test_windows_installer.py <cpack> <textos_ventanas.exe> <CPackConfig.cmake>
                    --artifacts DIR"""

import os
import re
import subprocess
import sys
import tempfile
import time
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "e2e"))
from pindel_e2e.constants import BOARD_TITLE, PLAY, PRESENTATION_TITLE, WINNERS_FILE  # noqa: E402
from pindel_e2e.desktop_wine import WineDesktop  # noqa: E402
from pindel_e2e.processes import HarnessError, log, stop, wait_exit, wait_until  # noqa: E402
from pindel_e2e.runner import run_main  # noqa: E402
from pindel_e2e.wine_prefix import UNINSTALL_KEY, WinePrefix, read_shortcut, system_language  # noqa: E402

CPACK = sys.argv.pop(1)
WINDOW_TEXTS = sys.argv.pop(1)


def cpack_value(config, name):
    """A value the build handed CPack (its CPackConfig.cmake)."""
    with open(config, encoding="utf-8") as f:
        found = re.search(rf'^set\({name} "([^"]*)"\)$', f.read(), re.M)
    if not found:
        raise HarnessError(f"{config} sets no {name}")
    return found.group(1)


VERSION = cpack_value(sys.argv[1], "CPACK_PACKAGE_VERSION")  # the build's, from CMake
LICENCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "LICENSE")
INSTALL_DIR = r"C:\Program Files\Pindel"
# Where the installer keeps the folder it installed into, for the next install.
VENDOR_KEY = r"HKLM\Software\Maberto\Pindel"
PROGRAM = INSTALL_DIR + r"\pindel.exe"
# What the program loads besides Windows's own DLLs, all from the install folder.
DLLS = {"qt6core.dll", "qt6gui.dll", "qt6widgets.dll", "qt6svg.dll", "libstdc++-6.dll",
        "libgcc_s_seh-1.dll", "libwinpthread-1.dll", "platforms/qwindows.dll",
        "styles/qwindowsvistastyle.dll"}
FILES = DLLS | {"pindel.exe", "licencia.txt", "terceros.txt", "liberationsans-ofl.txt", "z003-agpl.txt"}
WINNERS = b"Ana\r\nJos\xe9 Mar\xeda\r\n"
ENGLISH = {"LC_ALL": "C.UTF-8"}

# The earlier version: CMake's own template (CPACK_MODULE_PATH empty), version 0.90, the
# Add/Remove key the released versions have, and a file of its own that its uninstaller
# removes, as a real earlier version's would; packed faster than the real one.
EARLIER = """include("{config}")
set(CPACK_PACKAGE_VERSION 0.90)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Pindel)
set(CPACK_NSIS_COMPRESSOR zlib)
set(CPACK_PACKAGE_FILE_NAME Pindel-0.90-win64)
set(CPACK_MODULE_PATH "")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [[
  FileOpen $0 "$INSTDIR\\LEEME-0.90.txt" w
  FileClose $0]])
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS [[
  Delete "$INSTDIR\\LEEME-0.90.txt"]])
"""

# What the installer and the uninstaller ask while the game runs, by the system's language:
# the box's title, its question, its buttons (Windows's own words, in the system's language).
QUESTIONS = {
    ("installer", "es"): ["Instalación de Pindel",
                          r"Pindel está abierto. Ciérrelo y elija Reintentar.\n\nCancelar lo deja todo como está.",
                          "&Reintentar", "Cancelar"],
    # A French system: any language but Spanish gets English (the buttons: Wine's French).
    ("installer", "fr"): ["Pindel Setup", r"Pindel is running. Close it, then choose Retry.\n\nCancel leaves everything as it is.",
                          "Ré&péter", "Annuler"],
    ("uninstaller", "es"): ["Desinstalación de Pindel",
                            r"Pindel está abierto. Ciérrelo y elija Reintentar.\n\nCancelar lo deja todo como está.",
                            "&Reintentar", "Cancelar"],
}
# What the installer asks when the game is installed already, on a Spanish system.
ALREADY_INSTALLED = ["Instalación de Pindel",
                     r"Pindel ya está instalado.\n\nAntes de instalar esta versión se quitará la instalada. "
                     "La lista de ganadores se conserva.", "Aceptar", "Cancelar"]
# Started while the game runs, each must leave everything as it was and end with exit code 2:
# (program, the system's language, silent).
WHILE_RUNNING = [("installer", "es", False), ("installer", "fr", False), ("installer", "en", True),
                 ("uninstaller", "es", False), ("uninstaller", "en", True)]


def packages(config, scratch):
    subprocess.run([CPACK, "-G", "NSIS;ZIP", "--config", config, "-B", scratch], check=True,
                   capture_output=True, timeout=400)
    earlier = os.path.join(scratch, "earlier.cmake")
    with open(earlier, "w") as f:
        f.write(EARLIER.format(config=config))
    subprocess.run([CPACK, "-G", "NSIS", "--config", earlier, "-B", scratch], check=True,
                   capture_output=True, timeout=400)
    return tuple(os.path.join(scratch, name) for name in
                 (f"Pindel-{VERSION}-win64.exe", f"Pindel-{VERSION}-win64.zip", "Pindel-0.90-win64.exe"))


def files_under(folder):
    return {os.path.relpath(os.path.join(d, f), folder) for d, _, names in os.walk(folder) for f in names}


def contents(path):
    if os.path.isfile(path):
        with open(path, "rb") as f:
            return f.read()
    return None


def expect(what, got, wanted):
    if got != wanted:
        raise HarnessError(f"{what}: {got!r}, expected {wanted!r}")


def state(wine):
    """What an install is made of: every file of the install folder with its bytes, by its
    name as Linux has it (two names Windows takes for one stay two here), the Pindel entries
    of Add/Remove Programs and the installer's own key with their values, the Start menu's
    entries."""
    folder = wine.unix_path(INSTALL_DIR)
    entries = [k for k in wine.registry_subkeys(UNINSTALL_KEY) if "pindel" in k.lower()]
    return ({name: contents(os.path.join(folder, name)) for name in files_under(folder)},
            {k: wine.registry(rf"{UNINSTALL_KEY}\{k}") for k in entries} | {VENDOR_KEY: wine.registry(VENDOR_KEY)},
            files_under(wine.start_menu))


def window_texts(desk):
    """What each visible window says, as Windows has it: [X window, title, control texts...]
    per window."""
    listing = os.path.join(desk.scratch, "textos.txt")
    # Not captured: a Wine server it may start would hold the pipe open.
    done = subprocess.run(["wine", WINDOW_TEXTS, WinePrefix.windows_path(listing)], timeout=60,
                          env=desk.prefix.env({"DISPLAY": desk.display}), stdin=subprocess.DEVNULL,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if done.returncode != 0:
        raise HarnessError(f"textos_ventanas ended with exit code {done.returncode}")
    with open(listing, encoding="utf-8") as f:
        return [(int(fields[0]), fields[1].strip(), fields[2:]) for fields in (line.rstrip("\n").split("\t") for line in f)]


def wait_window_saying(desk, title, text, what):
    """Waits for the window titled `title` (its last blank aside) that holds a control saying
    `text`; returns its X window and all it says."""
    def found():
        return next(((x, said) for x, t, said in window_texts(desk) if t == title and text in said), None)

    return wait_until(found, 60, what)


def wait_question(desk, wanted, what):
    """Waits for the box titled wanted[0] and saying wanted[1]; checks that it says exactly the
    rest too (its buttons); returns its X window."""
    window, said = wait_window_saying(desk, wanted[0], wanted[1], f"{what}'s question")
    # The controls in any order: Wine's box lists its buttons first, Windows's its text.
    expect(f"what {what} asks", sorted(said), sorted(wanted[1:]))
    return window


def over_install(wine, installer, language, link):
    """Installs over whatever is installed; checks that one install of this version is left."""
    wine.install(installer, env=language)
    files, entries, start_menu = state(wine)
    expect("the install folder", sorted(name.lower() for name in files), sorted(FILES | {"uninstall.exe"}))
    expect("the licence", files["LICENCIA.txt"], contents(LICENCE))
    expect("the Add/Remove entries", {k: v.get("DisplayVersion") for k, v in entries.items()},
           {"Pindel": VERSION, VENDOR_KEY: None})
    expect("the installer's own key", entries[VENDOR_KEY].get("(Default)"), INSTALL_DIR)
    expect("the Start menu", start_menu, {os.path.join("Pindel", link), os.path.join("Pindel", "Pindel.lnk")})


def cancel_after_agreeing(wine, desk, spanish, installer):
    """The installer agreed to replace the install, then cancelled on its first page: the
    install is left as it was, since nothing is removed before the installing starts."""
    before = state(wine)
    proc = desk.launch(installer, env=spanish, name="installer-cancelled")
    desk.activate(wait_question(desk, ALREADY_INSTALLED, "the installer"))
    desk.key("Return")  # Aceptar
    desk.activate(wait_window_saying(desk, ALREADY_INSTALLED[0], "&Siguiente >", "the first page")[0])
    desk.key("Escape")  # Cancelar, and then Sí to leave the installer
    desk.activate(wait_question(desk, ALREADY_INSTALLED[:1] + [
        "¿Está seguro de que desea salir de la instalación de Pindel?", "&Sí", "&No"], "the installer"))
    desk.key("Return")
    wait_exit(proc, 30, "the cancelled installer", code=1)
    desk.forget(proc)
    expect("the install after a cancelled installer", state(wine), before)
    log("the installer agreed to replace the install, then was cancelled: nothing changed")


def check_entry(wine, folder):
    entry = wine.registry(rf"{UNINSTALL_KEY}\Pindel")
    expect("Add/Remove Programs", {k: entry.get(k) for k in ("DisplayName", "DisplayVersion", "Publisher",
                                                           "DisplayIcon", "InstallLocation", "NoModify",
                                                           "NoRepair", "QuietUninstallString")},
           {"DisplayName": "Pindel", "DisplayVersion": VERSION, "Publisher": "Maberto", "DisplayIcon": PROGRAM,
            "InstallLocation": INSTALL_DIR, "NoModify": "0x1", "NoRepair": "0x1",
            "QuietUninstallString": rf'"{INSTALL_DIR}\Uninstall.exe" /S'})
    # KiB, as Windows counts it; within a few KiB of what the files hold.
    size = sum(os.path.getsize(os.path.join(d, f)) for d, _, names in os.walk(folder) for f in names) / 1024
    shown = int(entry.get("EstimatedSize", "0"), 16)
    if not size - 16 <= shown <= size + 16:
        raise HarnessError(f"Add/Remove Programs gives the size as {shown} KiB; the files take {size:.0f} KiB")


def start_uninstaller(desk, silent, env, name):
    """Starts the installed uninstaller in place (_?=), as one installer runs another, so that
    its exit code is its own.  Through a batch file: Wine would quote the folder's name, and
    the uninstaller reads _?= only unquoted."""
    batch = os.path.join(desk.scratch, f"{name}.bat")
    with open(batch, "w", newline="\r\n") as f:
        f.write(f'@"{INSTALL_DIR}\\Uninstall.exe"{" /S" if silent else ""} _?={INSTALL_DIR}\n@exit /b %ERRORLEVEL%\n')
    return desk.launch("cmd.exe", env=env, name=name, args=["/c", WinePrefix.windows_path(batch)])


def refused_while_running(wine, desk, systems, installer):
    """Each program of WHILE_RUNNING, started while the game runs on the system `systems`
    names, changes nothing."""
    before = state(wine)
    for program, language, silent in WHILE_RUNNING:
        what = f"the {'silent ' if silent else ''}{program} ({language})"
        env, name = systems[language], f"{program}-{language}{'-silent' if silent else ''}"
        if program == "uninstaller":
            proc = start_uninstaller(desk, silent, env, name)
        else:
            proc = desk.launch(installer, env=env, name=name, args=["/S"] if silent else [])
        if not silent:
            box = wait_question(desk, QUESTIONS[(program, language)], what)
            desk.screenshot(f"{program}-{language}-asks")
            desk.activate(box)
            desk.key("Escape")
        wait_exit(proc, 60, what, code=2)
        desk.forget(proc)
        expect(f"the install after {what}", state(wine), before)
        desk.expect_running(f"while {what} ran")
        log(f"{what}: refused while the game runs, nothing changed")


def uninstall_after_closing(wine, desk, spanish, app):
    """The uninstaller as Add/Remove Programs starts it, on a Spanish system, while the game
    runs: it asks; the game is closed and Retry chosen; its pages go on to the end."""
    command = wine.registry(rf"{UNINSTALL_KEY}\Pindel")["UninstallString"].strip('"')
    # It hands over to a copy of itself, outside the folder it removes, and ends.
    outer = desk.launch(wine.unix_path(command), env=spanish, name="uninstaller")
    wait_exit(outer, 30, "the registered uninstaller")
    desk.forget(outer)
    box = wait_question(desk, QUESTIONS[("uninstaller", "es")], "the uninstaller")
    stop(app)
    desk.forget(app)
    desk.activate(box)
    desk.key("Return")  # Reintentar, the box's default button
    title = QUESTIONS[("uninstaller", "es")][0]
    desk.activate(wait_window_saying(desk, title, "&Desinstalar", "the confirming page")[0])
    desk.screenshot("uninstaller-confirms")
    desk.key("Return")
    # Its last page's button, Cerrar, works once the Start-menu entries, the last thing it
    # removes, are gone.
    wait_until(lambda: not os.path.exists(os.path.join(wine.start_menu, "Pindel")), 60, "the uninstall to end")
    desk.screenshot("uninstaller-done")

    def closed():
        page = next((x for x, t, said in window_texts(desk) if t == title and "&Cerrar" in said), None)
        if page is None:
            return True
        desk.activate(page)
        desk.key("Return")
        time.sleep(1)
        return False

    wait_until(closed, 30, "the uninstaller to close on Cerrar")
    wine.wait_idle(60)


def scenario(config, artifacts):
    with tempfile.TemporaryDirectory(prefix="pindel-nsis-") as scratch, \
            WinePrefix() as wine, WineDesktop(artifacts, wine, step_timeout=30.0) as desk:
        installer, portable, earlier = packages(config, scratch)
        spanish = system_language("es_ES.UTF-8", os.path.join(scratch, "locale"))
        french = system_language("fr_FR.UTF-8", os.path.join(scratch, "locale"))
        folder = wine.unix_path(INSTALL_DIR)
        winners = os.path.join(wine.local_appdata, "pindel", WINNERS_FILE)

        # The earlier version, its own licence text, and the player's winners.
        wine.install(earlier, env=ENGLISH)
        expect("the earlier version's entry", wine.registry(rf"{UNINSTALL_KEY}\Pindel").get("DisplayVersion"), "0.90")
        expect("the earlier version's own file", os.path.isfile(os.path.join(folder, "LEEME-0.90.txt")), True)
        with open(os.path.join(folder, "LICENCIA.txt"), "wb") as f:
            f.write(b"0.90\r\n")
        os.makedirs(os.path.dirname(winners))
        with open(winners, "wb") as f:
            f.write(WINNERS)
        over_install(wine, installer, ENGLISH, "Uninstall Pindel.lnk")
        over_install(wine, installer, spanish, "Desinstalar Pindel.lnk")
        expect("the winners file after installing over", contents(winners), WINNERS)
        cancel_after_agreeing(wine, desk, spanish, installer)
        log("installed over an earlier version, then over itself: one install, this version's files")

        with zipfile.ZipFile(portable) as z:
            names = {n.split("/", 1)[1].lower() for n in z.namelist() if not n.endswith("/")}
        expect("the .zip", names, FILES)
        # Stripped, the compiler's runtime is 2.1 MB; with its debugging information, 24.7 MB.
        runtime = sum(os.path.getsize(os.path.join(folder, dll))
                      for dll in ("libstdc++-6.dll", "libgcc_s_seh-1.dll", "libwinpthread-1.dll"))
        if runtime > 3 * 1024 * 1024:
            raise HarnessError(f"the compiler's runtime takes {runtime} bytes: not stripped")
        check_entry(wine, folder)
        shortcut = wine.start_menu_entry("Pindel")
        link = read_shortcut(shortcut)
        expect("the Start-menu entry", (link["target"], link.get("icon_location")), (PROGRAM, PROGRAM))

        app = desk.launch(shortcut, wine_debug="-all,+loaddll")
        desk.click_in(desk.wait_window(PRESENTATION_TITLE), PLAY)
        desk.wait_window(BOARD_TITLE)
        desk.screenshot("board")
        refused_while_running(wine, desk, {"es": spanish, "en": ENGLISH, "fr": french}, installer)
        uninstall_after_closing(wine, desk, spanish, app)

        with open(os.path.join(artifacts, "app.log"), errors="replace") as f:
            loaded = set(re.findall(r'Loaded L"(.+?)" at \w+: native', f.read()))
        prefix = INSTALL_DIR.replace("\\", "\\\\") + "\\\\"
        outside = {p for p in loaded if not p.startswith(prefix)}
        expect("native DLLs loaded from outside the install folder", outside, set())
        inside = {p[len(prefix):].replace("\\\\", "/").lower() for p in loaded}
        expect("the DLLs the program loaded", inside - {"pindel.exe"}, DLLS)

        expect("the install folder after uninstalling", os.path.exists(folder), False)
        expect("the Start-menu folder after uninstalling", os.path.exists(os.path.dirname(shortcut)), False)
        expect("Add/Remove Programs after uninstalling", wine.registry(rf"{UNINSTALL_KEY}\Pindel"), {})
        expect("the installer's own key after uninstalling", wine.registry(VENDOR_KEY), {})
        expect("the winners file after uninstalling", contents(winners), WINNERS)
        log("installed over itself, refused while the game ran, uninstalled once it was closed; the winners stayed")


if __name__ == "__main__":
    run_main(scenario, 540)
