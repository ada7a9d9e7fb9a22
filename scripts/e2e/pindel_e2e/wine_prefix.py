"""A Wine prefix, as a player's machine gets it: made fresh, the installer run silently into
it, the uninstaller found in the registry, the Start-menu entry found and its shortcut (.lnk)
read back.  Every step is bounded in time, and the prefix's Wine server ends with the prefix.
It needs no display: the Wine desktop (desktop_wine) shows what runs in it.  Imports only the
process helpers.

    with WinePrefix() as wine:
        wine.install(installer)
        entry = wine.start_menu_entry("Pindel")

Wine keeps a Windows program's files inside the prefix: C: is <prefix>/drive_c, and the
Linux file system is Z:."""

import os
import re
import shutil
import struct
import subprocess
import tempfile

from .processes import HarnessError, child_setup, log

# No Mono or Gecko download, and no Linux menu entries for the Windows shortcuts: the
# installer's Start-menu entry must not turn up in the desktop's own menu.
DLL_OVERRIDES = "winemenubuilder.exe=d;mscoree=d;mshtml=d"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"


class WinePrefix:
    """A Wine prefix private to one scenario, for the Windows user `user`.  `create` makes it;
    `close` ends its Wine server and removes it, unless it was given by `path`."""

    def __init__(self, path=None, user="jugador", timeout=120.0):
        self.own = path is None
        self.path = os.path.abspath(path or tempfile.mkdtemp(prefix="pindel-wine-"))
        self.user, self.timeout = user, timeout

    def __enter__(self):
        try:
            self.create()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, kind, value, tb):
        self.close()

    def env(self, extra=None):
        """The environment of a Wine command in this prefix: the caller's, minus what Wine
        would take from a Linux session (its display too: `extra` names the one to use)."""
        env = {k: v for k, v in os.environ.items() if not k.startswith(("WINE", "QT_", "QTEST_"))
               and k not in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY")}
        env.update(WINEPREFIX=self.path, WINEARCH="win64", WINEDEBUG="-all", WINEDLLOVERRIDES=DLL_OVERRIDES,
                   USER=self.user, LOGNAME=self.user)
        env.update(extra or {})
        return {k: v for k, v in env.items() if v is not None}

    def _run(self, argv, timeout, env=None, what=None):
        try:
            return subprocess.run(argv, env=self.env(env), stdin=subprocess.DEVNULL, capture_output=True,
                                  timeout=timeout, preexec_fn=child_setup)
        except subprocess.TimeoutExpired:
            self.kill()
            raise HarnessError(f"{what or argv[0]} did not finish in {timeout} s")

    def create(self):
        """Makes the prefix (wineboot: the Windows folders and the registry), about 15 s."""
        os.makedirs(self.path, exist_ok=True)
        if not os.path.isfile(os.path.join(self.path, "system.reg")):
            # Wine names a prefix's server by the folder's inode, which a prefix just removed
            # may hand on: wineboot then meets that server ending and fails at once (seen once
            # in some hundred prefixes).  One more try, once it has gone.
            for attempt in (1, 2):
                done = self._run(["wineboot", "-i"], self.timeout, what="wineboot")
                if done.returncode == 0:
                    break
                why = done.stderr.decode(errors="replace").strip()[-500:]
                log(f"wineboot failed ({done.returncode}), try {attempt}: {why}")
                self.kill()
                self.wait_idle()
            else:
                raise HarnessError(f"wineboot failed ({done.returncode}) in {self.path}")
        self.wait_idle()
        log(f"Wine prefix {self.path}")

    def wait_idle(self, timeout=None):
        """Waits until no program runs in the prefix and its Wine server has ended."""
        self._run(["wineserver", "-w"], timeout or self.timeout, what="the prefix's programs")

    def kill(self):
        subprocess.run(["wineserver", "-k"], env=self.env(), stdin=subprocess.DEVNULL,
                       capture_output=True, timeout=30)

    def close(self):
        try:
            self.kill()
            # Gone before its folder is: a new prefix may get the same inode, and so this server.
            self.wait_idle(30)
        finally:
            if self.own:
                shutil.rmtree(self.path, ignore_errors=True)

    def run(self, argv, timeout=None, env=None, what=None):
        """Runs one Windows program (`argv[0]` a Windows or Linux path) to its end and waits
        until the prefix is idle; returns the CompletedProcess."""
        done = self._run(["wine", *argv], timeout or self.timeout, env, what or argv[0])
        self.wait_idle(timeout)
        return done

    # --- paths ---------------------------------------------------------------------------

    def unix_path(self, windows_path):
        """The Linux path of a Windows path on C: or Z: (no other drive exists here)."""
        drive, rest = windows_path[:2].upper(), windows_path[2:].replace("\\", "/").lstrip("/")
        if drive == "C:":
            return os.path.join(self.path, "drive_c", rest)
        if drive == "Z:":
            return "/" + rest
        raise HarnessError(f"not a path on C: or Z:: {windows_path}")

    @staticmethod
    def windows_path(unix_path):
        return "Z:" + os.path.abspath(unix_path).replace("/", "\\")

    @property
    def program_files(self):
        return os.path.join(self.path, "drive_c", "Program Files")

    @property
    def start_menu(self):
        """The Start menu's programs for every user, where an installer run as administrator
        puts its entries."""
        return os.path.join(self.path, "drive_c", "ProgramData", "Microsoft", "Windows", "Start Menu", "Programs")

    @property
    def local_appdata(self):
        """%LOCALAPPDATA% of the prefix's user: the player's data (the winners file)."""
        return os.path.join(self.path, "drive_c", "users", self.user, "AppData", "Local")

    # --- installing ----------------------------------------------------------------------

    def install(self, installer, timeout=None, env=None):
        """Runs an NSIS installer silently (/S) into its default folder; `env` adds to its
        environment (LC_ALL: the system's language, as Wine takes it from the locale)."""
        done = self.run([installer, "/S"], timeout, env, what="the installer")
        if done.returncode != 0:
            raise HarnessError(f"the installer ended with exit code {done.returncode}")
        log(f"installed {os.path.basename(installer)}")

    def uninstall(self, name, timeout=None):
        """Runs the uninstaller registered under `name` in Add/Remove Programs, silently.  It
        hands over to a copy of itself and returns at once; run() waits for the copy too."""
        command = self.registry(rf"{UNINSTALL_KEY}\{name}").get("UninstallString")
        if not command:
            raise HarnessError(f"no uninstaller registered for {name}")
        done = self.run([command.strip('"'), "/S"], timeout, what="the uninstaller")
        if done.returncode != 0:
            raise HarnessError(f"the uninstaller ended with exit code {done.returncode}")
        log(f"uninstalled {name}")

    def registry(self, key):
        """The values of one registry key as {name: text}; {} when the key does not exist."""
        done = self._run(["wine", "reg", "query", key], 60, what="reg query")
        values = {}
        for line in done.stdout.decode("utf-8", "replace").splitlines():
            if m := re.match(r"^\s{4}(.*?)\s{4}(REG_\w+)\s{4}(.*)$", line):
                values[m.group(1)] = m.group(3)
        return values

    def registry_subkeys(self, key):
        """The names of the keys right under `key`; [] when it does not exist."""
        done = self._run(["wine", "reg", "query", key], 60, what="reg query")
        prefix = key.split("\\", 1)[1].lower() + "\\"
        names = []
        for line in done.stdout.decode("utf-8", "replace").splitlines():
            path = line.strip().split("\\", 1)[-1]
            if line.startswith("HKEY_") and path.lower().startswith(prefix):
                names.append(path[len(prefix):])
        return names

    def start_menu_entry(self, name):
        """The Linux path of the Start-menu shortcut `name` (.lnk), searched in the folders
        of the Start menu for every user; raises when there is none."""
        found = [os.path.join(folder, f) for folder, _, files in os.walk(self.start_menu)
                 for f in files if f.lower() == name.lower() + ".lnk"]
        if len(found) != 1:
            raise HarnessError(f"expected one Start-menu entry {name!r}, found {found}")
        return found[0]


def system_language(locale, folder):
    """The environment in which Wine gives its programs the system language of `locale`
    ("es_ES.UTF-8"): Wine takes the user's locale and user-interface language from the Unix
    locale, which glibc must have compiled; it is compiled here into `folder` (LOCPATH) from
    Debian's locales package, so the machine needs no locale generated for it."""
    name, _, charset = locale.partition(".")
    target = os.path.join(folder, locale)
    if not os.path.isfile(os.path.join(target, "LC_MESSAGES", "SYS_LC_MESSAGES")):
        os.makedirs(folder, exist_ok=True)
        # Exit code 1: compiled, with warnings about the source.
        done = subprocess.run(["localedef", "-i", name, "-f", charset or "UTF-8", target], capture_output=True,
                              timeout=120)
        if done.returncode not in (0, 1) or not os.path.isdir(target):
            raise HarnessError(f"localedef could not compile {locale} (Debian's locales package): "
                               f"{done.stderr.decode(errors='replace').strip()[-300:]}")
    return {"LC_ALL": locale, "LOCPATH": folder}


# --- shortcuts (.lnk, the Shell Link binary format) ---------------------------------------

_HAS_ID_LIST, _HAS_LINK_INFO, _UNICODE = 0x1, 0x2, 0x80
_STRINGS = ((0x4, "name"), (0x8, "relative_path"), (0x10, "working_dir"), (0x20, "arguments"),
            (0x40, "icon_location"))


def read_shortcut(path):
    """What a Windows shortcut starts: {"target", "working_dir", "arguments", "icon_location",
    "icon_index", ...}, each string present when the shortcut holds it."""
    data = open(path, "rb").read()
    if data[:4] != b"\x4c\0\0\0" or len(data) < 0x4C:
        raise HarnessError(f"{path} is not a shortcut")
    flags, = struct.unpack_from("<I", data, 0x14)
    info = {"icon_index": struct.unpack_from("<i", data, 0x38)[0]}
    at = 0x4C
    if flags & _HAS_ID_LIST:
        at += 2 + struct.unpack_from("<H", data, at)[0]
    if flags & _HAS_LINK_INFO:
        size, header, _, _, base = struct.unpack_from("<5I", data, at)
        if header >= 0x24:  # a Unicode copy of the path follows the ANSI one
            unicode_base, = struct.unpack_from("<I", data, at + 0x1C)
            end = data.index(b"\0\0", at + unicode_base)
            end += (end - at - unicode_base) % 2
            info["target"] = data[at + unicode_base:end].decode("utf-16-le")
        else:
            info["target"] = data[at + base:data.index(b"\0", at + base)].decode("cp1252")
        at += size
    for bit, key in _STRINGS:
        if flags & bit:
            count, = struct.unpack_from("<H", data, at)
            width = 2 if flags & _UNICODE else 1
            raw = data[at + 2:at + 2 + count * width]
            info[key] = raw.decode("utf-16-le" if width == 2 else "cp1252").rstrip("\0")
            at += 2 + count * width
    return info
