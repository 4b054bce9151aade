"""The main settings page as a user meets it with the wheel on COM5: the
status reaches "Ready", its check boxes and buttons reach the board, and the
chosen port and options come back after a restart through config.ini."""
import unittest

from pagetest import COM_COMBO, DETECT_GAME, DEVICE_COMBO, STATUS, PageTest
from wine import wait_until

INVERT, CALIBRATE = 2121, 2045
WHEEL_FLAGS = 34


class MainPageTest(PageTest):
    def test_invert_and_calibrate_reach_the_board_and_the_status_walks_again(self):
        run, sim = self.start_ready("--status", "1,3,8"), self.sim
        self.wine.screenshot(self.dir / "main-page.png")
        flags_before = sim.writes(WHEEL_FLAGS)
        self.wine.driver("click", run.window, INVERT)
        self.wine.driver("click", run.window, INVERT)
        self.assertTrue(sim.wait_for(lambda frames: len(sim.writes(WHEEL_FLAGS)) == len(flags_before) + 2))
        first, second = [f["value"] for f in sim.writes(WHEEL_FLAGS)[-2:]]
        self.assertEqual(first, 5, "Invert sets bit 0 and flips bit 2")
        self.assertEqual(second, 0, "twice leaves WheelFlags as it was")

        self.wine.driver("click", run.window, CALIBRATE)
        self.assertTrue(sim.wait_for(lambda frames: any(f.get("kind") == "calibrate" for f in frames)))
        # The next status exchange (within a second) starts the walk again.
        self.assertTrue(wait_until(lambda: self.text(run, STATUS) != "Ready", timeout=10))
        walk = self.statuses_until(run, "Ready", 30)
        self.assertIn("Calibrating left", walk)
        self.assertEqual(walk[-1], "Ready")
        self.escape(run)

    def test_chosen_port_and_options_come_back_after_a_restart(self):
        self.board("--status", "8")
        run = self.start()
        entries = self.combo(run, COM_COMBO)
        self.assertEqual(entries[0][1:3], ("None", 0))
        self.assertTrue(entries[0][3], "no port stored: None is selected")
        self.choose_com5(run)
        self.assertReady(run, 20)
        self.wine.driver("click", run.window, DETECT_GAME)
        self.escape(run)
        self.assertIn("\r\nDEVICE_COM_PORT=5\r\n", self.config())
        self.assertIn("\r\nFLAGS=2\r\n", self.config())

        run = self.start()
        self.assertReady(run, 20)
        self.assertEqual(self.wine.driver("checked", run.window, DETECT_GAME), "1")
        self.assertEqual(self.selected(run, COM_COMBO), ["COM5"])

        self.wine.driver("combo", run.window, COM_COMBO, 0)
        self.escape(run)
        self.assertIn("\r\nDEVICE_COM_PORT=0\r\n", self.config())

    def test_without_a_joystick_the_device_list_is_empty_and_nothing_fails(self):
        for args in ((), ("/noxinput",)):
            run = self.start(*args)
            self.assertEqual(self.combo(run, DEVICE_COMBO), [])
            self.assertEqual(self.wine.driver("find-box", "Error Initializing DirectInput", 500, check=False), "")
            self.escape(run)
            self.assertIn("USED_DEVICE_GUID=0,0,0,0,0,0,0,0,0,0,0\r\n", self.config())


if __name__ == "__main__":
    unittest.main()
