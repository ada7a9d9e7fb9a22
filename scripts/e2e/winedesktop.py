"""The Windows build as one more target of the real-desktop harness: the program runs under
Wine on the same private Xvfb display managed by openbox, in a Wine prefix of its own (a
fresh Windows installation, made for each desktop and removed with it), and is driven by the
same real input.  Wine's X11 driver gives every Windows window an X window of its own, with
the window's title, so the scenarios find, grab and click the windows as they do on Linux.

What differs for a scenario, and is answered here:
  * the program is put where a player's copy would be (see `install`) and started from there;
  * Wine hands a Windows program no QT_* variable of the Linux side: a QT_* variable a
    scenario sets reaches the program as WINEQT_*, which Wine passes on without the prefix;
  * the winners file is in the Windows user's %LOCALAPPDATA% inside the prefix;
  * Wine does not pick up the keys xdotool maps for the moment to type a letter missing from
    the keymap: accented letters reach the program through the X clipboard and Ctrl+V, the
    way a player pastes a name."""

import os
import re
import shutil
import subprocess
import time

from harness import Desktop, HarnessError, _child_setup, log, spawn, stop, wait_until

USER = "jugador"  # the Windows user the prefix is made for (Wine names it after USER)
# Wine's helpers a scenario has no use for: the Linux menu entries Wine would write for a
# program that installs shortcuts, the .NET and HTML engines it would offer to download.
DLL_OVERRIDES = "winemenubuilder.exe=d;mscoree=d;mshtml=d"
# How long an idle prefix keeps its server and services: between two starts of the program,
# and no longer than that after a scenario that could not stop them itself.
LINGER = 30


class WineDesktop(Desktop):
    """Xvfb, openbox and a Wine prefix of its own.  `dpi` is the Windows display setting
    (LogPixels): 96 is 100 %, 192 is 200 %."""

    def __init__(self, artifacts, screen="1024x768x24", step_timeout=10.0, dpi=96):
        super().__init__(artifacts, screen=screen, step_timeout=step_timeout)
        self.dpi = dpi
        self.prefix = None
        self._installed = {}
        self._clipboard = None

    def __enter__(self):
        super().__enter__()
        try:
            self._make_prefix()
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
        if self.prefix and os.path.isdir(self.prefix):
            # Every process of this prefix, the services Wine started for it included; no other
            # prefix is touched.
            subprocess.run(["wineserver", "-k"], env=self.wine_env(), stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=15,
                           preexec_fn=_child_setup, check=False)
        super().close()

    # the prefix

    def wine_env(self, extra=None):
        env = self.env({"WINEPREFIX": self.prefix, "WINEDEBUG": "-all", "WINEDLLOVERRIDES": DLL_OVERRIDES,
                        "USER": USER, "LOGNAME": USER})
        for key in [k for k in env if k.startswith(("QT_", "WINEQT_", "WINEPATH"))]:
            del env[key]
        env.update(extra or {})
        return {k: v for k, v in env.items() if v is not None}

    def run_wine(self, argv, timeout=60, display=True):
        """Runs one Wine command (wine, wineboot...) to completion in the prefix.  Its output goes to wine.log in
        the artifacts, not to a pipe: the services Wine starts with the command keep the
        descriptors they inherit open for as long as the prefix lives."""
        path = os.path.join(self.artifacts, "wine.log")
        with open(path, "ab") as out:
            out.write(f"$ {' '.join(argv)}\n".encode())
            out.flush()
            try:
                done = subprocess.run(argv, env=self.wine_env(None if display else {"DISPLAY": None}),
                                      stdin=subprocess.DEVNULL, stdout=out, stderr=out,
                                      timeout=timeout, preexec_fn=_child_setup)
            except subprocess.TimeoutExpired:
                raise HarnessError(f"{argv} did not finish in {timeout} s")
        if done.returncode != 0:
            raise HarnessError(f"{argv} failed ({done.returncode}); see {path}")

    def _make_prefix(self):
        self.prefix = os.path.join(self.scratch, "wine")
        os.makedirs(self.prefix)
        started = time.monotonic()
        # wineboot needs no display; what it would show there (nothing, with these overrides)
        # is better not shown on the scenario's screen.
        self.run_wine(["wineboot", "-i"], timeout=120, display=False)
        if not os.path.isdir(self.profile()):
            raise HarnessError(f"wineboot made no profile at {self.profile()}")
        if self.dpi != 96:
            for key in (r"HKCU\Control Panel\Desktop", r"HKCC\Software\Fonts"):
                self.run_wine(["wine", "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD",
                               "/d", str(self.dpi), "/f"], display=False)
        # Until everything wineboot started has gone: Wine's own services (the desktop process
        # with its clipboard among them) then start again with the program, on the display.
        self.run_wine(["wineserver", "-w"], timeout=60)
        # From now on the server stays between two starts of the program.
        self.run_wine(["wineserver", f"-p{LINGER}"], timeout=30)
        log(f"Wine prefix made in {time.monotonic() - started:.1f} s (LogPixels {self.dpi})")

    def drive_c(self, *parts):
        return os.path.join(self.prefix, "drive_c", *parts)

    def profile(self):
        """The Windows user's profile folder, C:\\users\\<user>, as a Linux path."""
        return self.drive_c("users", USER)

    def winners_file(self):
        return os.path.join(self.profile(), "AppData", "Local", "pindel", "001MpTa.cms")

    def legacy_winners_file(self):
        """Where the program's first versions kept the winners: the system directory."""
        return self.drive_c("windows", "system32", "001MpTa.cms")

    def windows_path(self, path):
        """The Windows name of a Linux path: on the prefix's drive C, or else on Z:, Wine's
        drive for the whole Linux file system."""
        path = os.path.abspath(path)
        rel = os.path.relpath(path, self.drive_c())
        if rel.startswith(".."):
            return "Z:" + path.replace("/", "\\")
        return "C:\\" + rel.replace("/", "\\")

    # the program

    def installed(self, program):
        """The Linux path of the player's copy of `program`, installed on first use."""
        if program not in self._installed:
            self._installed[program] = install(self, program)
        return self._installed[program]

    def launch(self, program, env=None, name="app", args=()):
        """Starts the Windows program `program` (its copy in the prefix, for a program of the
        build) under Wine; a QT_* variable of `env` reaches it under its own name.  Wine's
        exit status is the program's."""
        exe = self.installed(program) if program.lower().endswith(".exe") else program
        extra = {}
        for key, value in (env or {}).items():
            extra["WINE" + key if key.startswith("QT_") else key] = value
        full = self.wine_env(extra)
        argv = ["wine", self.windows_path(exe), *args]
        proc = spawn(argv, env=full, log_path=os.path.join(self.artifacts, f"{name}.log"),
                     cwd=os.path.dirname(exe))
        self._apps.append(proc)
        log(f"started {' '.join(argv)} under Wine as pid {proc.pid}")
        return proc

    def start_tool(self, exe, args=(), name="tool"):
        """Starts a Windows program of the build's tests as it is, from the build folder."""
        argv = ["wine", exe, *args]
        proc = spawn(argv, env=self.wine_env(), log_path=os.path.join(self.artifacts, f"{name}.log"),
                     cwd=os.path.dirname(exe))
        self._apps.append(proc)
        log(f"started {' '.join(argv)} under Wine as pid {proc.pid}")
        return proc

    def minimise_witness(self, program):
        return SentKeys(self, program)

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
        """Offers `text` as the X clipboard (xclip stays its owner until the next paste or the
        end: Wine asks for the text only when the program reads the clipboard), waits until
        the clipboard holds it, then presses Ctrl+V."""
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


class SentKeys:
    """The request to minimise every window as the Windows build makes it: the desktop's own
    shortcut, the left Windows key down, M down, the left Windows key up, sent as key events.
    Wine has no shell that acts on it, so the keys themselves are watched: the build's
    tests/e2e/registro_teclas.exe, started before the program, writes down every key event a
    low-level keyboard hook sees."""

    EXPECTED = ["abajo 91", "abajo 77", "arriba 91"]  # VK_LWIN = 91, 'M' = 77

    def __init__(self, desk, program):
        self.desk = desk
        exe = os.path.join(os.path.dirname(os.path.abspath(program)), "tests", "e2e", "registro_teclas.exe")
        if not os.path.isfile(exe):
            raise HarnessError(f"no key recorder at {exe}: build the Windows build's tests")
        self.path = os.path.join(desk.scratch, "teclas.txt")
        desk.start_tool(exe, [desk.windows_path(self.path), "600"], name="registro_teclas")
        wait_until(lambda: self._lines()[:1] == ["listo"], 15.0, "the key recorder to hook the keyboard")

    def _lines(self):
        try:
            with open(self.path, encoding="ascii") as f:
                return f.read().splitlines()
        except OSError:
            return []

    def sent(self):
        """The key events the programs sent, in order; the keys of xdotool are the X server's
        and reach the hook as real ones."""
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


def install(desk, program):
    """Puts the program built at `program` where a player's copy would be, in the prefix:
    C:\\Program Files\\Pindel, with the Qt and compiler runtime DLLs beside it and Qt's
    plugins in their folders, as the installer lays them out.  Returns the Linux path of the
    copy's pindel.exe."""
    build = os.path.dirname(os.path.abspath(program))
    folders = runtime_folders(build)
    target = desk.drive_c("Program Files", "Pindel")
    os.makedirs(target, exist_ok=True)
    shutil.copy2(program, target)
    wanted = ["Qt6Core.dll", "Qt6Gui.dll", "Qt6Widgets.dll", "Qt6Svg.dll",
              "libstdc++-6.dll", "libgcc_s_seh-1.dll", "libwinpthread-1.dll"]
    for dll in wanted:
        found = [os.path.join(f, dll) for f in folders if os.path.isfile(os.path.join(f, dll))]
        if not found:
            raise HarnessError(f"{dll} is in none of {folders}")
        shutil.copy2(found[0], target)
    plugins = os.path.join(os.path.dirname(folders[0]), "plugins")
    for plugin in ("platforms/qwindows.dll", "imageformats/qsvg.dll", "iconengines/qsvgicon.dll",
                   "styles/qwindowsvistastyle.dll"):
        os.makedirs(os.path.join(target, os.path.dirname(plugin)), exist_ok=True)
        shutil.copy2(os.path.join(plugins, plugin), os.path.join(target, plugin))
    log(f"staged {os.path.basename(program)} with its DLLs in {desk.windows_path(target)}")
    return os.path.join(target, os.path.basename(program))


def runtime_folders(build):
    """The folders of the DLLs the build's programs need (Qt's bin first), as the build told
    its own tests: the --path arguments of its CMAKE_CROSSCOMPILING_EMULATOR."""
    cache = os.path.join(build, "CMakeCache.txt")
    try:
        with open(cache, encoding="utf-8", errors="replace") as f:
            m = re.search(r"^CMAKE_CROSSCOMPILING_EMULATOR:\w+=(.*)$", f.read(), re.M)
    except OSError:
        m = None
    if not m:
        raise HarnessError(f"{cache} names no emulator: is {build} a Windows build made here?")
    args = m.group(1).split(";")
    return [args[i + 1] for i, a in enumerate(args[:-1]) if a == "--path"]
