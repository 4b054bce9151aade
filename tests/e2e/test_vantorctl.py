"""Profile files shared between the window of Vantor.exe and the native vantorctl, both ways: the window's
export has the bytes vantorctl's export has, vantorctl takes it in, and the window takes in vantorctl's."""
import subprocess
import unittest

from pagetest import PageTest
from wine import IDOK, ROOT, wait_until, windows_path

VANTORCTL = ROOT / "build" / "linux" / "bin" / "vantorctl"
IMPORT, EXPORT = 2300, 2301
IDCANCEL, IDYES, IDNO = 2, 6, 7
VK_TAB = 9
FILE_NAME = 0x47C  # the file dialog's name box
HEADER = b"[GameProfiles]\r\n"
DEFAULT = b"PROFILE=Default,NoLife.exe,0,900,127,127,127,127,127,127,127,127,0,0,0,0,16\r\n"
RALLY = b"PROFILE=\"Rally Cross\",rx.exe,1,540,77,10,11,12,13,14,15,16,1,2,3,4,20\r\n"
DIRT = b"PROFILE=Dirt,dirt.exe,0,720,5,6,7,8,9,10,11,12,0,0,0,0,16\r\n"


class VantorctlTest(PageTest):
    def vantorctl(self, folder, *words):
        done = subprocess.run([str(VANTORCTL), "--dir", str(folder), *map(str, words)], capture_output=True)
        self.assertEqual(done.returncode, 0, done.stderr)

    def choose_file(self, title, path):
        dialog = self.wine.driver("find", title, 20000)
        self.wine.driver("set-text", dialog, FILE_NAME, windows_path(path))
        self.wine.driver("command", dialog, IDOK)  # the dialog's own Save or Open (its list view has id 1 too)
        self.wine.driver("gone", dialog, 10000)

    def test_profile_files_go_both_ways_between_the_window_and_vantorctl(self):
        self.board("--status", "8")
        self.write("config.ini", b"[Config]\r\nDEVICE_COM_PORT=5\r\nGAME_PROFILE_ID=1\r\n\r\n")
        self.write("GameProfiles.ini", HEADER + DEFAULT + RALLY + b"\r\n")
        other = self.dir / "other"
        other.mkdir()
        (other / "GameProfiles.ini").write_bytes(HEADER + DIRT + b"\r\n")
        self.vantorctl(other, "profile", "export", "Dirt", self.dir / "dirt.ini")
        self.write("bad.ini", HEADER + b"PROFILE=Bad,b.exe,0,900,300,1,1,1,1,1,1,1,0,0,0,0,16\r\n\r\n")
        self.write("rally2.ini", HEADER + RALLY.replace(b",540,", b",360,") + b"\r\n")
        run = self.start()
        self.assertReady(run)

        # The profile in use, from the window to vantorctl: the bytes vantorctl itself exports.
        self.wine.driver("post-click", run.window, EXPORT)
        self.wine.driver("answer", "Export all 2 game profiles?", IDNO)
        self.choose_file("Export Game Profiles", self.dir / "rally.ini")
        self.assertTrue(wait_until(lambda: (self.dir / "rally.ini").exists()))
        self.vantorctl(self.dir, "profile", "export", "Rally Cross", self.dir / "by-vantorctl.ini")
        self.assertEqual((self.dir / "rally.ini").read_bytes(), (self.dir / "by-vantorctl.ini").read_bytes())
        self.vantorctl(other, "profile", "import", self.dir / "rally.ini")
        self.assertEqual((other / "GameProfiles.ini").read_bytes(), HEADER + DIRT + RALLY + b"\r\n")

        # A damaged file is refused with its line named; the list stays.
        self.wine.driver("post-click", run.window, IMPORT)
        self.choose_file("Import Game Profiles", self.dir / "bad.ini")
        self.wine.driver("find-box", "was not imported:\nBad: main gain 300 is outside 0..127")
        self.wine.driver("answer", "was not imported", IDOK)
        # vantorctl's export comes in; a profile of the same name is replaced once the user says so.
        for name, answer in (("dirt.ini", None), ("rally2.ini", IDYES)):
            self.wine.driver("post-click", run.window, IMPORT)
            self.choose_file("Import Game Profiles", self.dir / name)
            if answer:
                self.wine.driver("answer", "There is a profile named Rally Cross already", answer)
        self.assertTrue(wait_until(lambda: [t for _, t, _, _ in self.combo(run, 1207)] == ["Default", "Rally Cross", "Dirt"]))
        # From the keyboard: Tab reaches both, Alt+I and Alt+X press them.
        self.assertTrue(wait_until(lambda: self.wine.driver("key", run.window, VK_TAB) or
                                   self.wine.driver("focus", run.window).split()[0] == str(EXPORT), 30, 0.2))
        for letter, title in (("i", "Import Game Profiles"), ("x", "Export Game Profiles")):  # none selected: all
            self.wine.driver("alt", run.window, letter)
            dialog = self.wine.driver("find", title)
            self.wine.driver("command", dialog, IDCANCEL)
            self.wine.driver("gone", dialog)
        self.escape(run)
        self.assertEqual(self.file("GameProfiles.ini").encode("latin-1"),
                         HEADER + DEFAULT + RALLY.replace(b",540,", b",360,") + DIRT + b"\r\n")


if __name__ == "__main__":
    unittest.main()
