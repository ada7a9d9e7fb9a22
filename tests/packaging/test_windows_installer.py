"""The Windows installer as a player meets it, under Wine on a private Xvfb: CPack makes the
installer and the portable .zip into a scratch folder; the installer runs silently into a
fresh Wine prefix; the Start-menu entry starts the installed program, whose presentation and
board show; every DLL it loads on the way is one the install folder holds, and the folder holds
no other; the .zip holds the same files; the silent uninstaller removes the program and its
entry and leaves the player's winners file as it was.
Usage (from CTest): test_windows_installer.py <cpack> <CPackConfig.cmake> --artifacts DIR"""

import os
import re
import subprocess
import sys
import tempfile
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "e2e"))
from pindel_e2e.constants import BOARD_TITLE, PLACEHOLDER, PLAY, PRESENTATION_TITLE, WINNERS_FILE  # noqa: E402
from pindel_e2e.desktop_wine import WineDesktop  # noqa: E402
from pindel_e2e.processes import HarnessError, log, stop  # noqa: E402
from pindel_e2e.runner import run_main  # noqa: E402
from pindel_e2e.wine_prefix import UNINSTALL_KEY, WinePrefix, read_shortcut  # noqa: E402

CPACK = sys.argv.pop(1)
VERSION = os.environ["PINDEL_VERSION"]  # the build's, from CMake's project()
INSTALL_DIR = r"C:\Program Files\Pindel"
PROGRAM = INSTALL_DIR + r"\pindel.exe"
# What the program loads besides Windows's own DLLs, all from the install folder.
DLLS = {"qt6core.dll", "qt6gui.dll", "qt6widgets.dll", "qt6svg.dll", "libstdc++-6.dll",
        "libgcc_s_seh-1.dll", "libwinpthread-1.dll", "platforms/qwindows.dll",
        "styles/qwindowsvistastyle.dll"}
FILES = DLLS | {"pindel.exe", "licencia.txt", "terceros.txt", "liberationsans-ofl.txt", "z003-agpl.txt"}
WINNERS = b"Ana\r\nJos\xe9 Mar\xeda\r\n"


def packages(config, scratch):
    subprocess.run([CPACK, "-G", "NSIS;ZIP", "--config", config, "-B", scratch], check=True,
                   capture_output=True, timeout=400)
    return tuple(os.path.join(scratch, f"Pindel-{VERSION}-win64{ext}") for ext in (".exe", ".zip"))


def files_under(folder):
    return {os.path.relpath(os.path.join(d, f), folder).lower() for d, _, names in os.walk(folder) for f in names}


def contents(path):
    if os.path.isfile(path):
        with open(path, "rb") as f:
            return f.read()
    return None


def expect(what, got, wanted):
    if got != wanted:
        raise HarnessError(f"{what}: {got!r}, expected {wanted!r}")


def scenario(config, artifacts):
    with tempfile.TemporaryDirectory(prefix="pindel-nsis-") as scratch, \
            WinePrefix() as wine, WineDesktop(artifacts, wine, step_timeout=30.0) as desk:
        installer, portable = packages(config, scratch)
        wine.install(installer)
        folder = wine.unix_path(INSTALL_DIR)
        expect("the install folder", files_under(folder), FILES | {"uninstall.exe"})
        with zipfile.ZipFile(portable) as z:
            names = {n.split("/", 1)[1].lower() for n in z.namelist() if not n.endswith("/")}
        expect("the .zip", names, FILES)
        # Stripped, the compiler's runtime is 2.1 MB; with its debugging information, 24.7 MB.
        runtime = sum(os.path.getsize(os.path.join(folder, dll))
                      for dll in ("libstdc++-6.dll", "libgcc_s_seh-1.dll", "libwinpthread-1.dll"))
        if runtime > 3 * 1024 * 1024:
            raise HarnessError(f"the compiler's runtime takes {runtime} bytes: not stripped")

        entry = wine.registry(rf"{UNINSTALL_KEY}\Pindel")
        expect("Add/Remove Programs", {k: entry.get(k) for k in ("DisplayName", "DisplayVersion", "Publisher",
                                                               "DisplayIcon")},
               {"DisplayName": "Pindel", "DisplayVersion": VERSION, "Publisher": "Maberto", "DisplayIcon": PROGRAM})
        shortcut = wine.start_menu_entry("Pindel")
        link = read_shortcut(shortcut)
        expect("the Start-menu entry", (link["target"], link.get("icon_location")), (PROGRAM, PROGRAM))

        app = desk.launch(shortcut, wine_debug="-all,+loaddll")
        desk.click_in(desk.wait_window(PRESENTATION_TITLE), PLAY)
        desk.wait_window(BOARD_TITLE)
        desk.screenshot("board")
        stop(app)
        with open(os.path.join(artifacts, "app.log"), errors="replace") as f:
            loaded = set(re.findall(r'Loaded L"(.+?)" at \w+: native', f.read()))
        prefix = INSTALL_DIR.replace("\\", "\\\\") + "\\\\"
        outside = {p for p in loaded if not p.startswith(prefix)}
        expect("native DLLs loaded from outside the install folder", outside, set())
        inside = {p[len(prefix):].replace("\\\\", "/").lower() for p in loaded}
        expect("the DLLs the program loaded", inside - {"pindel.exe"}, DLLS)

        winners = os.path.join(wine.local_appdata, "pindel", WINNERS_FILE)
        expect("the winners file the board made", contents(winners), PLACEHOLDER)
        with open(winners, "wb") as f:
            f.write(WINNERS)
        wine.uninstall("Pindel")
        expect("the install folder after uninstalling", os.path.exists(folder), False)
        expect("the Start-menu folder after uninstalling", os.path.exists(os.path.dirname(shortcut)), False)
        expect("Add/Remove Programs after uninstalling", wine.registry(rf"{UNINSTALL_KEY}\Pindel"), {})
        expect("the winners file after uninstalling", contents(winners), WINNERS)
        log("installed, played from the Start menu, uninstalled; the winners stayed")


if __name__ == "__main__":
    run_main(scenario, 420)
