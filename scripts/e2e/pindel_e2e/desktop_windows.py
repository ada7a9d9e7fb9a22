"""The Windows-program desktop: the Windows build as one more target of the real-desktop
scenarios.  The program runs under Wine on the Wine desktop (the same private Xvfb display
managed by openbox) and is driven by the same real input.

Each desktop is a player's machine of its own: a fresh Wine prefix (wine_prefix.WinePrefix, in
the desktop's scratch folder, gone with it), the build's installer run silently into it, and the
program started from its Start-menu entry.  What else differs for a scenario is answered here:
  * Wine hands a Windows program no QT_* variable of the Linux side: a QT_* variable a
    scenario sets reaches the program as WINEQT_*, which Wine passes on without the prefix;
  * the winners file is in the Windows user's %LOCALAPPDATA% inside the prefix;
  * Wine does not pick up the keys xdotool maps for the moment to type a letter missing from
    the keymap: accented letters reach the program through the X clipboard and Ctrl+V, the
    way a player pastes a name;
  * no shell acts on the desktop's minimise-all shortcut: the keys themselves are watched.
Builds on the Wine desktop and the Wine prefix."""

import glob
import os
import re
import subprocess
import time

from .constants import WINNERS_FILE
from .desktop_wine import WineDesktop
from .desktop_x11 import Desktop
from .processes import HarnessError, child_setup, log, spawn, stop, wait_until
from .wine_prefix import WinePrefix

# Names another installer than the one CPack made in the build folder (scripts/windows, or
# CTest before the scenarios: tests/e2e/windows-installer.cmake).
INSTALLER_VARIABLE = "PINDEL_WINDOWS_INSTALLER"


class WindowsDesktop(WineDesktop):
    """Xvfb, openbox and a Wine prefix of its own with `program`, the build's pindel.exe,
    installed by the build's installer.  `dpi` is the Windows display setting (LogPixels): 96
    is 100 %, 192 is 200 %."""

    def __init__(self, artifacts, program, screen="1024x768x24", step_timeout=10.0, dpi=96):
        super().__init__(artifacts, None, screen=screen, step_timeout=step_timeout)
        self.program, self.dpi = os.path.abspath(program), dpi
        self.start_menu_entry = None
        self.tools = os.path.join(os.path.dirname(self.program), "tests", "e2e")  # the build's helpers
        self._clipboard = None
        self._insets = {}

    def __enter__(self):
        super().__enter__()
        try:
            started = time.monotonic()
            self.prefix = WinePrefix(os.path.join(self.scratch, "wine"))
            self.prefix.create()
            if self.dpi != 96:
                for key in (r"HKCU\Control Panel\Desktop", r"HKCC\Software\Fonts"):
                    self.prefix.run(["reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD",
                                     "/d", str(self.dpi), "/f"], what="reg add")
            log(f"Wine prefix made in {time.monotonic() - started:.1f} s (LogPixels {self.dpi})")
            # Installed while nothing runs in the prefix yet: the install waits for it to be idle.
            started = time.monotonic()
            self.prefix.install(installer_for(self.program))
            self.start_menu_entry = self.prefix.start_menu_entry("Pindel")
            log(f"installed in {time.monotonic() - started:.1f} s")
        except BaseException:
            self.close()
            raise
        return self

    def close(self):
        if self._clipboard is not None:
            stop(self._clipboard)
            self._clipboard = None
        for proc in reversed(self._apps):
            stop(proc)
        self._apps = []
        try:
            if self.prefix is not None:
                # Every process of this prefix, the services Wine started for it included.
                self.prefix.kill()
        finally:
            super().close()

    def launch(self, program, env=None, name="app", args=(), wine_debug="-all"):
        """Starts the build's pindel.exe as a player does, from its Start-menu entry; any other
        program (the build's tools, xlogo) as it is."""
        if os.path.abspath(program) == self.program:
            program = self.start_menu_entry
        elif not program.lower().endswith((".exe", ".lnk")):
            return Desktop.launch(self, program, env, name, args)
        return super().launch(program, env, name, args, wine_debug)

    def frame_geometry(self, window):
        """The window's rectangle as Windows draws it, frame included: what a Windows player
        sees.  (openbox frames the window too, in its own way; that frame is the test
        desktop's.)  How far the frame reaches round the client area is asked of Windows once
        per window: the build's tests/e2e/marcos_ventanas.exe lists every window's rectangles."""
        x, y, w, h = self.geometry(window)
        if window not in self._insets:
            self._insets[window] = self._windows_insets((x, y, w, h))
        left, top, right, bottom = self._insets[window]
        return x - left, y - top, w + left + right, h + top + bottom

    def shown_frame(self, window):
        """What the screen shows is openbox's frame round the window."""
        return Desktop.frame_geometry(self, window)

    def _windows_insets(self, client):
        exe = os.path.join(self.tools, "marcos_ventanas.exe")
        listing = os.path.join(self.scratch, "marcos.txt")
        try:
            done = subprocess.run(["wine", exe, WinePrefix.windows_path(listing)], timeout=self.step_timeout * 3,
                                  env=self.prefix.env({"DISPLAY": self.display}), stdin=subprocess.DEVNULL,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, preexec_fn=child_setup)
        except subprocess.TimeoutExpired:
            raise HarnessError(f"{exe} did not finish in time")
        if done.returncode != 0:
            raise HarnessError(f"{exe} ended with exit code {done.returncode}")
        with open(listing, encoding="utf-8", errors="replace") as f:
            for line in f:
                n = [int(v) for v in line.split()[:8]]
                if tuple(n[4:8]) == client:
                    return n[4] - n[0], n[5] - n[1], n[2] - n[4] - n[6], n[3] - n[5] - n[7]
        raise HarnessError(f"Windows lists no window whose client area is {client}")

    def uia_window(self, title):
        """What Windows' UI Automation gives a screen reader in another process for the
        top-level window titled `title`, read by the build's tests/e2e/ventana_uia.exe: its
        element's control type id, name, automation id, whether it has the keyboard focus and
        whether it is a dialog, and what the system answers a reader's subscription to events
        and its client object (clients-listening, add-event, notification-call, com-client;
        Wine's FIXME lines about them go to ventana_uia.log)."""
        exe = os.path.join(self.tools, "ventana_uia.exe")
        listing = os.path.join(self.scratch, "uia.txt")
        if os.path.exists(listing):
            os.remove(listing)
        with open(os.path.join(self.artifacts, "ventana_uia.log"), "ab") as err:
            try:
                done = subprocess.run(["wine", exe, title, WinePrefix.windows_path(listing)],
                                      timeout=self.step_timeout * 3, stdin=subprocess.DEVNULL,
                                      stdout=subprocess.DEVNULL, stderr=err, preexec_fn=child_setup,
                                      env=self.prefix.env({"DISPLAY": self.display, "WINEDEBUG": "fixme+uiautomation"}))
            except subprocess.TimeoutExpired:
                raise HarnessError(f"{exe} did not finish in time reading {title!r}")
        if done.returncode != 0:
            raise HarnessError(f"{exe} ended with exit code {done.returncode} for {title!r}; see ventana_uia.log")
        answers = {}
        with open(listing, encoding="utf-8") as f:
            for line in f.read().splitlines():
                key, _, value = line.partition(" ")
                answers[key] = value
        kind, name, automation_id, focused, dialog = answers["element"].split("|")
        answers.update(control_type=int(kind), name=name, automation_id=automation_id,
                       focused=focused == "1", dialog=dialog == "1")
        return answers

    def winners_file(self):
        return os.path.join(self.prefix.local_appdata, "pindel", WINNERS_FILE)

    def legacy_winners_file(self):
        """Where the program's first versions kept the winners: the system directory."""
        return os.path.join(self.prefix.path, "drive_c", "windows", "system32", WINNERS_FILE)

    def minimise_witness(self):
        return SentKeys(self)

    # input

    def type_text(self, text, delay_ms=40):
        """Types the plain letters with the keyboard and pastes each run of other letters from
        the X clipboard with Ctrl+V."""
        for run in re.findall(r"[\x20-\x7e]+|[^\x20-\x7e]+", text):
            if run.isascii():
                self.x(["xdotool", "type", "--delay", str(delay_ms), "--", run],
                       timeout=self.step_timeout + len(run) * delay_ms / 1000.0)
            else:
                self.paste(run)

    def paste(self, text):
        """Offers `text` as the X clipboard, waits until the clipboard holds it, then presses
        Ctrl+V.  xclip stays its owner until the next paste or the end: Wine asks for the text
        only when the program reads the clipboard."""
        if self._clipboard is not None:
            stop(self._clipboard)
        source = os.path.join(self.scratch, "clipboard.txt")
        with open(source, "w", encoding="utf-8") as f:
            f.write(text)
        self._clipboard = spawn(["xclip", "-quiet", "-selection", "clipboard", "-in", source],
                                env=self.env(), log_path=os.path.join(self.artifacts, "xclip.log"))
        wait_until(lambda: self.x(["xclip", "-o", "-selection", "clipboard"], check=False) == text,
                   self.step_timeout, f"the X clipboard to hold {text!r}", interval=0.1)
        self.key("ctrl+v")


def installer_for(program):
    """The installer of the build that made `program`: the one the environment names, or else
    the one in the build folder; it must not be older than the program, or the scenario would
    play an old copy."""
    installer = os.environ.get(INSTALLER_VARIABLE)
    if not installer:
        found = sorted(glob.glob(os.path.join(os.path.dirname(os.path.abspath(program)), "Pindel-*-win64.exe")))
        if not found:
            raise HarnessError(f"no installer beside {program} and no {INSTALLER_VARIABLE}: make one "
                               "(make windows, or cpack -G NSIS in the build folder)")
        installer = found[-1]
    if os.path.getmtime(installer) < os.path.getmtime(program):
        raise HarnessError(f"{installer} is older than {program}: make the installer again "
                           "(make windows, or cpack -G NSIS in the build folder)")
    return os.path.abspath(installer)


class SentKeys:
    """The request to minimise every window as the Windows build makes it: the desktop's own
    shortcut, the left Windows key down, M down, the left Windows key up, sent as key events.
    Wine has no shell that acts on it, so the keys themselves are watched: the build's
    tests/e2e/registro_teclas.exe, started before the program, writes down every key event a
    low-level keyboard hook sees."""

    EXPECTED = ["abajo 91", "abajo 77", "arriba 91"]  # VK_LWIN = 91, 'M' = 77

    def __init__(self, desk):
        self.desk = desk
        exe = os.path.join(desk.tools, "registro_teclas.exe")
        if not os.path.isfile(exe):
            raise HarnessError(f"no key recorder at {exe}: build the Windows build's tests")
        self.path = os.path.join(desk.scratch, "teclas.txt")
        desk.launch(exe, name="registro_teclas", args=[WinePrefix.windows_path(self.path), "600"])
        wait_until(lambda: self._lines()[:1] == ["listo"], 15.0, "the key recorder to hook the keyboard")

    def _lines(self):
        try:
            with open(self.path, encoding="ascii") as f:
                return f.read().splitlines()
        except OSError:
            return []

    def sent(self):
        """The key events programs sent, in order (xdotool's keys come from the X server and
        reach the hook as real ones)."""
        return [line.rsplit(" ", 1)[0] for line in self._lines()[1:] if line.endswith(" inyectada")]

    def wait(self, timeout=5.0):
        try:
            wait_until(lambda: self.sent() == self.EXPECTED, timeout, f"the keys {self.EXPECTED}")
        except HarnessError as e:
            raise HarnessError(f"{e}; the keys sent: {self.sent()}")
        log("the program sent the left Windows key down, M down, the left Windows key up")

    def check_still(self):
        if self.sent() != self.EXPECTED:
            raise HarnessError(f"the program sent other keys afterwards: {self.sent()}")
