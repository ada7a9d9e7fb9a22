"""pindel.exe as Windows reads it: a 64-bit desktop program (no console window), its version
record in Spanish (Spain), and the sun as its icon at every size Windows asks for.
Argument (from CTest): <pindel.exe>"""

import os
import struct
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ET

import pefile

EXE = sys.argv.pop(1)
VERSION = os.environ["PINDEL_VERSION"]  # the build's, from CMake's project(): "1.00"
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
SPANISH_SPAIN = 0x0C0A
ICON_SIDES = [16, 20, 24, 32, 40, 48, 64, 256]


def rgba(png, side):
    """The pixels of a PNG as RGBA bytes, decoded by ImageMagick."""
    out = subprocess.run(["convert", "png:-", "-depth", "8", "rgba:-"], input=png, capture_output=True,
                         check=True, timeout=60).stdout
    assert len(out) == side * side * 4, f"a {side} px icon decodes to {len(out)} bytes"
    return out


class WindowsExe(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pe = pefile.PE(EXE)
        cls.resources = {}  # (type, name) -> (language, data)
        for kind in cls.pe.DIRECTORY_ENTRY_RESOURCE.entries:
            for name in kind.directory.entries:
                for lang in name.directory.entries:
                    data = cls.pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
                    key = str(name.name) if name.name is not None else name.id
                    cls.resources[(kind.id, key)] = (lang.id, data)

    def test_a_64_bit_desktop_program(self):
        self.assertEqual(self.pe.FILE_HEADER.Machine, 0x8664)
        self.assertEqual(self.pe.OPTIONAL_HEADER.Subsystem, 2, "not the GUI subsystem: a console opens")

    def test_manifest(self):
        """What Windows reads before the program runs: the player's own rights, Windows 10 and
        11, the themed Common Controls 6 for the boxes shown before Qt starts, and per-monitor
        DPI awareness, so those boxes are crisp at 150 %."""
        _, data = self.resources[(RT_MANIFEST, 1)]
        root = ET.fromstring(data)
        ns = {"v1": "urn:schemas-microsoft-com:asm.v1", "v3": "urn:schemas-microsoft-com:asm.v3",
              "c": "urn:schemas-microsoft-com:compatibility.v1",
              "w5": "http://schemas.microsoft.com/SMI/2005/WindowsSettings",
              "w16": "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}
        self.assertEqual(root.find(".//v3:requestedExecutionLevel", ns).get("level"), "asInvoker")
        self.assertIn("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
                      [os_.get("Id") for os_ in root.findall(".//c:supportedOS", ns)])
        controls = [a for a in root.findall(".//v1:dependentAssembly/v1:assemblyIdentity", ns)
                    if a.get("name") == "Microsoft.Windows.Common-Controls"]
        self.assertEqual([a.get("version") for a in controls], ["6.0.0.0"])
        self.assertEqual(root.find(".//w16:dpiAwareness", ns).text, "PerMonitorV2")
        self.assertEqual(root.find(".//w5:dpiAware", ns).text, "true/pm")

    def test_version_record(self):
        fixed = self.pe.VS_FIXEDFILEINFO[0]
        major, minor = (int(part) for part in VERSION.split("."))
        self.assertEqual((fixed.FileVersionMS, fixed.FileVersionLS, fixed.ProductVersionMS,
                          fixed.ProductVersionLS), (major << 16 | minor, 0, major << 16 | minor, 0))
        strings = {table.LangID: table.entries for info in self.pe.FileInfo[0]
                   if info.Key == b"StringFileInfo" for table in info.StringTable}
        self.assertEqual(strings, {b"0C0A04E4": {
            b"ProductName": b"PINDEL", b"InternalName": b"Pindel", b"OriginalFilename": b"pindel.exe",
            b"FileVersion": VERSION.encode(), b"ProductVersion": VERSION.encode(),
            b"FileDescription": b"Juego para una persona."}})
        translation = [var.entry for info in self.pe.FileInfo[0] if info.Key == b"VarFileInfo"
                       for var in info.Var]
        self.assertEqual(translation, [{b"Translation": "0x0c0a 0x04e4"}])  # code page 1252
        self.assertEqual(self.resources[(RT_VERSION, 1)][0], SPANISH_SPAIN)

    def test_the_sun_is_the_icon(self):
        groups = [(key, value) for key, value in self.resources.items() if key[0] == RT_GROUP_ICON]
        self.assertEqual(len(groups), 1, "one icon, the program's")
        language, group = groups[0][1]
        self.assertEqual(language, SPANISH_SPAIN)
        count, = struct.unpack_from("<H", group, 4)
        entries = [struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i) for i in range(count)]
        self.assertEqual([e[0] or 256 for e in entries], ICON_SIDES)
        for width, height, _, _, _, bits, _, ident in entries:
            side = width or 256
            with self.subTest(side=side):
                png = self.resources[(RT_ICON, ident)][1]
                self.assertEqual(png[:8], b"\x89PNG\r\n\x1a\n")
                self.assertEqual(struct.unpack(">II", png[16:24]), (side, side))
                self.assertEqual(bits, 32)
                pixels = rgba(png, side)
                at = lambda x, y: pixels[(y * side + x) * 4:(y * side + x) * 4 + 4]
                self.assertEqual(at(0, 0)[3], 0, "a transparent corner")
                r, g, b, a = at(side // 2, side // 2)
                self.assertTrue(r > 200 and g > 150 and b < 120 and a == 255, f"a yellow face: {r, g, b, a}")


if __name__ == "__main__":
    unittest.main(verbosity=2)
