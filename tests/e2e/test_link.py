"""The link as a tray tool lives it: a start without a port, the wheel
chosen later, unplugged while ready and plugged in again."""
import unittest

from pagetest import MAIN_GAIN, STATUS, PageTest
from wine import wait_until

MAX_ANGLE_NUMBER = 8
GAIN_NUMBERS = range(17, 25)  # main gain, the game effects and the force table
DEFAULT_PROFILE = b"PROFILE=Default,NoLife.exe,0,900,127,127,127,127,127,127,127,127,0,0,0,0,16\r\n"


class LinkTest(PageTest):
    def test_a_wheel_that_comes_late_or_comes_back_gets_the_profile_and_never_a_zero(self):
        sim = self.board("--status", "8", "--set", "8=540", "--set", "17=20")
        run = self.start()
        self.assertEqual(self.text(run, STATUS), "Disconnected", "no port chosen yet")
        self.assertEqual(self.text(run, 2043), "---", "no board, no external gain to show")
        self.choose_com5(run)
        self.assertReady(run, 20)
        self.assertTrue(sim.wait_for(lambda _: [f["value"] for f in sim.writes(MAX_ANGLE_NUMBER)] == [900]))
        self.assertEqual(self.position(run, MAIN_GAIN), 127, "the profile's gain, not the board's 20")
        self.assertNoZeros(sim)

        sim.stop()
        self.assertTrue(wait_until(lambda: self.text(run, STATUS) != "Ready", timeout=8),
                        "an unplugged wheel does not stay ready")
        again = self.board("--status", "8", "--set", "17=20", log="frames-again.jsonl")
        self.assertReady(run, 20)
        self.assertTrue(again.wait_for(lambda frames: any(f.get("kind") == "read" and f["number"] == 36
                                                          for f in frames)), "the set is read again")
        self.assertTrue(again.wait_for(lambda _: [f["value"] for f in again.writes(17)] == [127]),
                        "the selected profile goes to the board that came back")
        self.assertNoZeros(again)
        self.escape(run)
        self.assertIn(DEFAULT_PROFILE, (self.dir / "GameProfiles.ini").read_bytes())

    def assertNoZeros(self, sim):
        for frame in sim.writes():
            if frame["number"] == MAX_ANGLE_NUMBER or frame["number"] in GAIN_NUMBERS:
                self.assertNotEqual(frame["value"], 0, frame)


if __name__ == "__main__":
    unittest.main()
