"""The release bundle as a wheel owner gets it (make dist): unpacked into a
fresh folder of the prefix, its Vantor.exe started from another working
directory flashes the wheel with the bundle's own port lister and avrdude;
the lister lists the prefix's COM ports; the archive's name, the title and
the version resource carry one version; the controls are common controls 6's."""
import re
import shutil
import struct
import unittest
import zipfile
from pathlib import Path

from flashtest import FlashTest
from pagetest import COM, COM_COMBO, DEVICE_COMBO
from wine import ROOT

ENTRIES = {"Vantor.exe", "README.txt", "Tools/listComPorts.exe", "Tools/avrdude.exe", "Tools/avrdude.conf",
           "Licenses/avrdude/COPYING.txt", "Licenses/avrdude/SOURCE.txt", "Licenses/mingw-w64.txt"}


def built_version():
    """The project's version as the Windows build was configured with it."""
    cache = (ROOT / "build" / "windows" / "CMakeCache.txt").read_text()
    return re.search(r"^CMAKE_PROJECT_VERSION:STATIC=(.*)$", cache, re.M).group(1)


def coff_header(program):
    """Link time, symbol table offset and symbol count from the program's COFF header."""
    data = program.read_bytes()
    (pe,) = struct.unpack_from("<I", data, 0x3C)
    return struct.unpack_from("<III", data, pe + 8)


class BundleTest(FlashTest):
    def setUp(self):
        super().setUp()
        self.version = built_version()
        archive = ROOT / "build" / "dist" / f"Vantor-{self.version}-win64.zip"
        self.assertTrue(archive.exists(), f"{archive} is missing: make dist builds it")
        # A folder with a blank in its path, as under a user's profile.
        self.folder = Path(self.wine.env["WINEPREFIX"]) / "drive_c" / "Wheel Tools" / "Vantor"
        shutil.rmtree(self.folder.parent, ignore_errors=True)
        with zipfile.ZipFile(archive) as bundle:
            self.entries = set(bundle.namelist())
            bundle.extractall(self.folder)

    def test_bundle_holds_stripped_programs_tools_and_licences_under_one_version(self):
        self.assertEqual(self.entries, ENTRIES)
        program = self.folder / "Vantor.exe"
        self.assertEqual(self.wine.driver("file-version", program), f"{self.version}.0.0 {self.version}")
        self.assertEqual(coff_header(program), (0, 0, 0))
        readme = (self.folder / "README.txt").read_bytes()
        self.assertTrue(readme.startswith(f"Ostra Wheel Configuration {self.version} (Vantor)\r\n".encode()))
        self.assertEqual(readme.count(b"\n"), readme.count(b"\r\n"))

    def test_bundled_port_lister_lists_the_prefix_com_ports(self):
        self.board()
        code, out, err = self.wine.run(self.folder / "Tools" / "listComPorts.exe")
        self.assertEqual(code, 0, err)
        for line in out.splitlines():
            self.assertRegex(line, r"^COM\d+( - .+)?$")
        numbers = [int(number) for number in re.findall(r"^COM(\d+)", out, re.M)]
        self.assertIn(COM, numbers)
        self.assertEqual(numbers, sorted(numbers))

    def test_bundled_program_flashes_the_wheel_with_its_own_tools_from_another_directory(self):
        run = self.offer_firmware("--boot-link", self.boot_link(), program=self.folder / "Vantor.exe")
        self.assertFlashed(run)
        self.assertFalse((self.dir / "Tools").exists())
        self.assertIn("\\Wheel Tools\\Vantor\\Tools\\avrdude -C", run.log())
        self.assertEqual(self.wine.driver("title", run.window), f"Ostra Wheel Configuration (version {self.version})")
        for combo in (COM_COMBO, DEVICE_COMBO):
            self.assertEqual(self.wine.driver("comctl6", run.window, combo), "1")
        self.wine.screenshot(self.dir / "main-window.png")
        self.escape(run)


if __name__ == "__main__":
    unittest.main()
