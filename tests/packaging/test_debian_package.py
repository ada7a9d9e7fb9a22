"""The Debian package, as a player's machine would get it.

Builds the package with CPack into a scratch folder (never the build tree's own output),
unpacks it with dpkg-deb into a scratch root, and checks what dpkg and the desktop see:
the declared dependencies, every installed file in its place, the desktop entry and the
metainfo pointing at files that exist, and the unpacked program starting.

Arguments (from CTest): <cpack> <CPackConfig.cmake>
"""

import configparser
import gzip
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import xml.etree.ElementTree as ET

CPACK, CPACK_CONFIG = sys.argv[1], sys.argv[2]
APP_ID = "com.example.pindel"
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def run(cmd, timeout=300, **kw):
    return subprocess.run(cmd, check=True, capture_output=True, text=True, timeout=timeout, **kw)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        raise AssertionError(f"{path} is not a PNG file")
    return struct.unpack(">II", head[16:24])


def parse_control(text):
    """The control fields of `dpkg-deb -I`, continuation lines folded in."""
    fields, key = {}, None
    for line in text.splitlines():
        m = re.match(r"^ ([A-Za-z0-9-]+): ?(.*)$", line)
        if m:
            key = m.group(1)
            fields[key] = m.group(2)
        elif key and line.startswith("  "):
            fields[key] += "\n" + line.strip()
    return fields


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.mkdtemp(prefix="pindel-deb-")
        out = os.path.join(cls.scratch, "out")
        run([CPACK, "-G", "DEB", "--config", CPACK_CONFIG, "-B", out], timeout=600)
        debs = [f for f in os.listdir(out) if f.endswith(".deb")]
        if len(debs) != 1:
            raise AssertionError(f"expected one .deb, CPack wrote {debs}")
        cls.deb = os.path.join(out, debs[0])
        cls.root = os.path.join(cls.scratch, "root")
        run(["dpkg-deb", "-x", cls.deb, cls.root])
        cls.control = parse_control(run(["dpkg-deb", "-I", cls.deb]).stdout)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.scratch, ignore_errors=True)

    def path(self, relative):
        return os.path.join(self.root, relative)

    def test_identity(self):
        c = self.control
        self.assertEqual(c.get("Package"), "pindel")
        self.assertEqual(c.get("Version"), "1.00")
        self.assertEqual(c.get("Section"), "games")
        self.assertIn("@", c.get("Maintainer", ""))
        self.assertTrue(os.path.basename(self.deb).startswith("pindel_1.00_"))
        self.assertIn("Pindel", c.get("Description", ""))

    def test_dependencies_come_from_the_linked_libraries(self):
        depends = {d.strip().split(" ")[0]: d.strip() for d in self.control.get("Depends", "").split(",") if d.strip()}
        for lib in ("libqt6widgets6", "libqt6gui6", "libqt6core6", "libqt6svg6", "libc6", "libstdc++6"):
            with self.subTest(lib=lib):
                self.assertIn(lib, depends, f"Depends: {self.control.get('Depends')}")
                # dpkg-shlibdeps states a minimum version; a hand-written list would not.
                self.assertRegex(depends[lib], r"\(>= [^)]+\)")
        # Only what the binary needs: no build or test tooling leaks in.
        for unwanted in ("libqt6test6", "qt6-base-dev", "cmake"):
            self.assertNotIn(unwanted, depends)

    def test_files_are_where_they_belong(self):
        expected = [
            "usr/bin/pindel",
            f"usr/share/applications/{APP_ID}.desktop",
            f"usr/share/metainfo/{APP_ID}.metainfo.xml",
            "usr/share/icons/hicolor/scalable/apps/pindel.svg",
            "usr/share/man/man6/pindel.6.gz",
            "usr/share/doc/pindel/copyright",
        ] + [f"usr/share/icons/hicolor/{s}x{s}/apps/pindel.png" for s in ICON_SIZES]
        for rel in expected:
            with self.subTest(file=rel):
                self.assertTrue(os.path.isfile(self.path(rel)), rel)
        self.assertTrue(os.access(self.path("usr/bin/pindel"), os.X_OK))
        # Nothing outside /usr, and no build tree or test program in the package.
        listing = run(["dpkg-deb", "-c", self.deb]).stdout
        for line in listing.splitlines():
            name = line.split()[-1]
            with self.subTest(entry=name):
                self.assertTrue(name == "./" or name.startswith("./usr/"), name)
                self.assertNotRegex(name, r"(test|CMake|\.a$)")

    def test_icons_are_square_at_their_size(self):
        for s in ICON_SIZES:
            with self.subTest(size=s):
                self.assertEqual(png_size(self.path(f"usr/share/icons/hicolor/{s}x{s}/apps/pindel.png")), (s, s))
        with open(self.path("usr/share/icons/hicolor/scalable/apps/pindel.svg"), encoding="utf-8") as f:
            self.assertEqual(ET.fromstring(f.read()).tag, "{http://www.w3.org/2000/svg}svg")

    def test_manual_page_is_section_6(self):
        with gzip.open(self.path("usr/share/man/man6/pindel.6.gz"), "rt", encoding="utf-8") as f:
            page = f.read()
        self.assertRegex(page, r'(?m)^\.TH PINDEL 6 ')
        self.assertIn("001MpTa.cms", page)

    def test_desktop_entry_and_metainfo_point_at_installed_files(self):
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(self.path(f"usr/share/applications/{APP_ID}.desktop"), encoding="utf-8")
        d = entry["Desktop Entry"]
        self.assertTrue(os.path.isfile(self.path("usr/bin/" + d["Exec"].split()[0])))
        self.assertTrue(os.path.isfile(self.path(f"usr/share/icons/hicolor/scalable/apps/{d['Icon']}.svg")))
        self.assertEqual(d["Categories"], "Game;BoardGame;")

        meta = ET.parse(self.path(f"usr/share/metainfo/{APP_ID}.metainfo.xml")).getroot()
        self.assertEqual(meta.findtext("id"), APP_ID)
        launchable = meta.find("launchable[@type='desktop-id']").text
        self.assertTrue(os.path.isfile(self.path("usr/share/applications/" + launchable)), launchable)
        self.assertEqual(meta.find("provides/binary").text, d["Exec"].split()[0])
        self.assertEqual(meta.find("releases/release").get("version"), self.control["Version"])

    def test_installed_tree_validates(self):
        # The whole tree as AppStream sees it: component, launchable desktop entry, icon.
        tree = subprocess.run(["appstreamcli", "validate-tree", "--no-net", self.root],
                              capture_output=True, text=True, timeout=120)
        self.assertEqual(tree.returncode, 0, tree.stdout + tree.stderr)
        entry = subprocess.run(["desktop-file-validate", self.path(f"usr/share/applications/{APP_ID}.desktop")],
                               capture_output=True, text=True, timeout=60)
        self.assertEqual(entry.returncode, 0, entry.stdout + entry.stderr)

    def test_binary_has_no_build_tree_search_path(self):
        dynamic = run(["readelf", "-d", self.path("usr/bin/pindel")]).stdout
        self.assertNotRegex(dynamic, r"R(UN)?PATH")

    def test_unpacked_program_starts_and_keeps_running(self):
        home = os.path.join(self.scratch, "home")
        os.makedirs(home, exist_ok=True)
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=home,
                   XDG_DATA_HOME=os.path.join(home, "data"), XDG_RUNTIME_DIR=home)
        env.pop("DISPLAY", None)
        env.pop("WAYLAND_DISPLAY", None)
        proc = subprocess.Popen([self.path("usr/bin/pindel")], env=env, cwd=home,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, start_new_session=True)
        try:
            deadline = time.monotonic() + 3
            while time.monotonic() < deadline and proc.poll() is None:
                time.sleep(0.1)
            still_running = proc.poll() is None
        finally:
            if proc.poll() is None:
                os.kill(proc.pid, signal.SIGKILL)
            output = proc.communicate(timeout=10)[0].decode(errors="replace")
        self.assertTrue(still_running, f"pindel ended with {proc.returncode}:\n{output}")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
