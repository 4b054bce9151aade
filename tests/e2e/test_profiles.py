"""Game profiles as a user meets them: made with the profile dialog, kept in
GameProfiles.ini across a restart and sent to the wheel, and selected by
themselves while their game runs."""
import shutil
import unittest

from pagetest import MAIN_GAIN, PROFILE_COMBO, PageTest
from wine import BIN, IDOK, wait_until

NEW = 2078
PROFILE_NAME, PROCESS_NAME = 1206, 1207
# What a profile sends, in order: MaxAngle, the game effects, WheelFlags, the user effects.
PROFILE_SEND_ORDER = [8, 17, 18, 19, 20, 21, 22, 23, 24, 34, 30, 31, 32, 33]


def profile_sends(frames):
    """The runs of write frames that carry a whole profile, as {number: value}."""
    writes, n = [f for f in frames if f.get("kind") == "write"], len(PROFILE_SEND_ORDER)
    return [{f["number"]: f["value"] for f in writes[i:i + n]} for i in range(len(writes) - n + 1)
            if [f["number"] for f in writes[i:i + n]] == PROFILE_SEND_ORDER]


class ProfilesTest(PageTest):
    def test_profile_made_in_the_dialog_keeps_its_gain_across_a_restart(self):
        run, sim = self.start_ready("--status", "8"), self.sim
        self.wine.driver("post-click", run.window, NEW)
        dialog = self.wine.driver("find", "Game Profile", 20000)
        self.wine.driver("set-text", dialog, PROFILE_NAME, "My Game")
        self.wine.driver("set-text", dialog, PROCESS_NAME, "mygame.exe")
        self.wine.screenshot(self.dir / "profile-dialog.png")
        self.wine.driver("click", dialog, IDOK)
        self.wine.driver("gone", dialog, 10000)
        self.assertEqual(self.selected(run, PROFILE_COMBO), ["My Game"])

        self.wine.driver("trackbar", run.window, MAIN_GAIN, 50)
        self.assertTrue(sim.wait_for_bytes("write", [ord("P"), 17, 1, 50]))
        self.escape(run)
        profiles = self.file("GameProfiles.ini")
        self.assertIn('\r\nPROFILE="My Game",mygame.exe,0,', profiles)
        line = next(l for l in profiles.split("\r\n") if l.startswith('PROFILE="My Game"'))
        self.assertEqual(line.split(",")[4], "50")
        self.assertIn("\r\nGAME_PROFILE_ID=1\r\n", self.config())

        sent_before = len(profile_sends(sim.frames()))
        run = self.start()
        self.assertReady(run)
        self.assertEqual(self.selected(run, PROFILE_COMBO), ["My Game"])
        self.assertEqual(self.position(run, MAIN_GAIN), 50)
        self.assertTrue(sim.wait_for(lambda frames: len(profile_sends(frames)) > sent_before))
        self.assertEqual(profile_sends(sim.frames())[sent_before][17], 50)
        self.escape(run)

    def test_running_game_selects_its_profile_and_sends_it(self):
        self.write("GameProfiles.ini", b"[GameProfiles]\r\n"
                   b"PROFILE=Default,NoLife.exe,0,900,127,127,127,127,127,127,127,127,0,0,0,0,16\r\n"
                   b"PROFILE=Rally,RallyGame.exe,0,540,77,10,11,12,13,14,15,16,1,2,3,4,16\r\n\r\n")
        run, sim = self.start_ready("--status", "8", config=b"FLAGS=2\r\nGAME_PROFILE_ID=0\r\n"), self.sim
        self.assertEqual(self.selected(run, PROFILE_COMBO), ["Default"])

        game = self.dir / "RallyGame.exe"
        shutil.copy(BIN / "dummygame.exe", game)
        sent_before = len(profile_sends(sim.frames()))
        process = self.wine.start(game, ["60"], cwd=self.dir)
        try:
            # Detection looks every two seconds; allow for a slow machine.
            self.assertTrue(wait_until(lambda: self.selected(run, PROFILE_COMBO) == ["Rally"], timeout=15))
            self.assertTrue(sim.wait_for(lambda frames: any(
                s[17] == 77 and s[8] == 540 for s in profile_sends(frames)[sent_before:])))
            self.assertEqual(self.position(run, MAIN_GAIN), 77)
        finally:
            process.kill()
            process.wait()
        self.escape(run)


if __name__ == "__main__":
    unittest.main()
