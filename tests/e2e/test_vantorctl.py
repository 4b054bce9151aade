"""The native vantorctl on the GameProfiles.ini a run of Vantor.exe left: every profile exported and
imported into an empty folder gives back the very bytes Vantor.exe wrote; and on a drive that answers late."""
import subprocess
import unittest

from pagetest import MAIN_GAIN, PageTest
from simulators import DriveSim
from wine import ROOT

VANTORCTL = ROOT / "build" / "linux" / "bin" / "vantorctl"


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

    def test_drive_stats_never_show_a_late_reply_as_the_answer_to_another_request(self):
        self.sim = DriveSim(self.wine, 7, self.dir / "drive.jsonl", "--late", "490,300", "--samples", "300")
        done = subprocess.run([str(VANTORCTL), "--drive-port", self.sim.pty, "drive", "stats"], capture_output=True)
        if done.returncode != 2:
            self.assertEqual((done.returncode, done.stdout.decode("latin-1")),
                             (0, "Version=0x201\nTorqueBandwidth=4\nBandwidth=470 Hz\nAverageCurrent=0.5 A\n"
                                 "MaximumCurrent=0.5 A\n"), done.stderr)


if __name__ == "__main__":
    unittest.main()
