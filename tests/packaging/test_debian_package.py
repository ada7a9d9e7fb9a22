"""The Debian package as a player's machine gets it: built by CPack into a scratch folder,
unpacked with dpkg-deb into a scratch root, then its control fields, files, desktop entry,
metainfo and the unpacked program are checked.  Arguments (from CTest): <cpack> <CPackConfig.cmake>"""

import configparser
import gzip
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

CPACK, CPACK_CONFIG = sys.argv[1], sys.argv[2]
VERSION = os.environ["PINDEL_VERSION"]  # the build's, from CMake's project()
APP_ID = "com.example.pindel"
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
ENTRY = f"usr/share/applications/{APP_ID}.desktop"
SVG_ICON = "usr/share/icons/hicolor/scalable/apps/pindel.svg"


def run(cmd, timeout=300):
    return subprocess.run(cmd, check=True, capture_output=True, text=True, timeout=timeout)


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
        cls.control = {}  # the control fields, continuation lines folded in
        for line in run(["dpkg-deb", "-I", cls.deb]).stdout.splitlines():
            if m := re.match(r"^ ([A-Za-z0-9-]+): ?(.*)$", line):
                key = m.group(1)
                cls.control[key] = m.group(2)
            elif line.startswith("  ") and cls.control:
                cls.control[key] += "\n" + line.strip()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.scratch, ignore_errors=True)

    def path(self, relative):
        return os.path.join(self.root, relative)

    def test_identity(self):
        c = self.control
        self.assertEqual((c.get("Package"), c.get("Version"), c.get("Section")), ("pindel", VERSION, "games"))
        self.assertIn("@", c.get("Maintainer", ""))
        self.assertIn("Pindel", c.get("Description", ""))
        self.assertTrue(os.path.basename(self.deb).startswith(f"pindel_{VERSION}_"))

    def test_dependencies_come_from_the_linked_libraries(self):
        depends = {d.split()[0]: d for d in map(str.strip, self.control.get("Depends", "").split(",")) if d}
        for lib in ("libqt6widgets6", "libqt6gui6", "libqt6core6", "libqt6svg6", "libc6", "libstdc++6"):
            with self.subTest(lib=lib):
                # dpkg-shlibdeps states a minimum version; a hand-written list would not.
                self.assertRegex(depends.get(lib, ""), r"\(>= [^)]+\)", f"Depends: {depends}")
        self.assertFalse({"libqt6test6", "qt6-base-dev", "cmake"} & set(depends))

    def test_files_are_where_they_belong(self):
        for rel in ["usr/bin/pindel", ENTRY, f"usr/share/metainfo/{APP_ID}.metainfo.xml", SVG_ICON,
                    "usr/share/man/man6/pindel.6.gz", "usr/share/doc/pindel/copyright"]:
            self.assertTrue(os.path.isfile(self.path(rel)), rel)
        self.assertTrue(os.access(self.path("usr/bin/pindel"), os.X_OK))
        # Nothing outside /usr, and no build tree or test program in the package.
        for line in run(["dpkg-deb", "-c", self.deb]).stdout.splitlines():
            name = line.split()[-1]
            self.assertTrue(name == "./" or name.startswith("./usr/"), name)
            self.assertNotRegex(name, r"(test|CMake|\.a$)")

    def test_icons_are_square_at_their_size(self):
        for s in ICON_SIZES:
            with open(self.path(f"usr/share/icons/hicolor/{s}x{s}/apps/pindel.png"), "rb") as f:
                head = f.read(24)
            self.assertEqual((head[:8], head[12:16]), (b"\x89PNG\r\n\x1a\n", b"IHDR"), s)
            self.assertEqual(struct.unpack(">II", head[16:24]), (s, s))
        self.assertEqual(ET.parse(self.path(SVG_ICON)).getroot().tag, "{http://www.w3.org/2000/svg}svg")

    def test_manual_page_is_section_6(self):
        with gzip.open(self.path("usr/share/man/man6/pindel.6.gz"), "rt", encoding="utf-8") as f:
            page = f.read()
        self.assertRegex(page, r"(?m)^\.TH PINDEL 6 ")
        self.assertIn("001MpTa.cms", page)

    def test_desktop_entry_and_metainfo_point_at_installed_files(self):
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(self.path(ENTRY), encoding="utf-8")
        d = entry["Desktop Entry"]
        binary = d["Exec"].split()[0]
        self.assertTrue(os.path.isfile(self.path("usr/bin/" + binary)))
        self.assertTrue(os.path.isfile(self.path(f"usr/share/icons/hicolor/scalable/apps/{d['Icon']}.svg")))
        self.assertEqual(d["Categories"], "Game;BoardGame;")
        meta = ET.parse(self.path(f"usr/share/metainfo/{APP_ID}.metainfo.xml")).getroot()
        self.assertEqual(meta.findtext("id"), APP_ID)
        self.assertTrue(os.path.isfile(self.path("usr/share/applications/" + meta.findtext("launchable"))))
        self.assertEqual(meta.findtext("provides/binary"), binary)
        self.assertEqual(meta.find("releases/release").get("version"), self.control["Version"])

    def test_installed_tree_validates(self):
        for cmd in (["appstreamcli", "validate-tree", "--no-net", self.root],
                    ["desktop-file-validate", self.path(ENTRY)]):
            done = subprocess.run(cmd, capture_output=True, text=True, timeout=120)
            self.assertEqual(done.returncode, 0, done.stdout + done.stderr)

    def test_binary_has_no_build_tree_search_path(self):
        self.assertNotRegex(run(["readelf", "-d", self.path("usr/bin/pindel")]).stdout, r"R(UN)?PATH")

    def test_unpacked_program_starts_and_keeps_running(self):
        home = os.path.join(self.scratch, "home")
        os.makedirs(home, exist_ok=True)
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        env.update(QT_QPA_PLATFORM="offscreen", HOME=home, XDG_DATA_HOME=os.path.join(home, "data"),
                   XDG_RUNTIME_DIR=home)
        proc = subprocess.Popen([self.path("usr/bin/pindel")], env=env, cwd=home, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, start_new_session=True)
        try:
            proc.wait(timeout=3)
        except subprocess.TimeoutExpired:
            pass
        finally:
            still_running = proc.poll() is None
            if still_running:
                proc.kill()
            output = proc.communicate(timeout=10)[0].decode(errors="replace")
        self.assertTrue(still_running, f"pindel ended with {proc.returncode}:\n{output}")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
