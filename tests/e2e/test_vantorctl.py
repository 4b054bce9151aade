"""The native vantorctl on the GameProfiles.ini a run of Vantor.exe left: every profile exported and
imported into an empty folder gives back the very bytes Vantor.exe wrote; profile files shared from the
window go both ways with vantorctl; and on a drive that answers late."""
import subprocess
import unittest

from pagetest import MAIN_GAIN, PageTest
from simulators import DriveSim
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
        return done.stdout.decode("latin-1")

    def test_profiles_written_by_vantor_exe_survive_export_and_import_byte_for_byte(self):
        sim = self.board("--status", "8")
        self.write("config.ini", b"[Config]\r\nDEVICE_COM_PORT=5\r\nGAME_PROFILE_ID=1\r\n\r\n")
        self.write("GameProfiles.ini", b"[GameProfiles]\r\n"
                   b"PROFILE=Default,NoLife.exe,0,900,127,127,127,127,127,127,127,127,0,0,0,0,16\r\n"
                   b"PROFILE=\"Rally Cross\",rx.exe,1,540,77,10,11,12,13,14,15,16,1,2,3,4,20\r\n\r\n")
        run = self.start()
        self.assertReady(run)
        self.wine.driver("trackbar", run.window, MAIN_GAIN, 50)
        self.assertTrue(sim.wait_for_bytes("write", [ord("P"), 17, 1, 50]))
        self.escape(run)
        written = (self.dir / "GameProfiles.ini").read_bytes()
        self.assertIn(b'PROFILE="Rally Cross",rx.exe,1,540,50,', written)

        listed = [line.split("\t") for line in self.vantorctl(self.dir, "profile", "list").splitlines()]
        self.assertEqual(listed, [["Default", "NoLife.exe"], ["Rally Cross", "rx.exe"]])
        for number, (name, _) in enumerate(listed):
            self.vantorctl(self.dir, "profile", "export", name, self.dir / f"export{number}.ini")
            self.vantorctl(self.dir / "copy", "profile", "import", self.dir / f"export{number}.ini")
        self.assertEqual((self.dir / "copy" / "GameProfiles.ini").read_bytes(), written)

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

    def test_drive_stats_never_show_a_late_reply_as_the_answer_to_another_request(self):
        self.sim = DriveSim(self.wine, 7, self.dir / "drive.jsonl", "--late", "490,300", "--samples", "300")
        done = subprocess.run([str(VANTORCTL), "--drive-port", self.sim.pty, "drive", "stats"], capture_output=True)
        if done.returncode != 2:
            self.assertEqual((done.returncode, done.stdout.decode("latin-1")),
                             (0, "Version=0x201\nTorqueBandwidth=4\nBandwidth=470 Hz\nAverageCurrent=0.5 A\n"
                                 "MaximumCurrent=0.5 A\n"), done.stderr)


if __name__ == "__main__":
    unittest.main()
