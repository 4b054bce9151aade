"""The drive page as a developer meets it with "/dev" and the servo drive on
COM7: the motor current statistics, the torque bandwidth and the buttons on
the wire, a port given up and taken again, a drive that stays silent, and
the page's settings after a restart; without "/dev" neither page nor traffic."""
import time
import unittest
from types import SimpleNamespace

from pagetest import STATUS, PageTest
from simulators import DriveSim
from wine import wait_until

COM = 7
AVERAGE, MAXIMUM = 2101, 2107
WINDOW, WINDOW_LABEL = 2110, 2114
TORQUE_BW, TORQUE_BW_LABEL = 1079, 1080
SM_COM_PORT = 1043
RESTART_DRIVE, CLEAR_FAULTS, RESET_MAX = 2082, 2083, 2044
DRIVE_CONTROLS = (RESTART_DRIVE, CLEAR_FAULTS, TORQUE_BW, RESET_MAX, WINDOW)
TORQUE_BW_PARAM, MOTOR_CURRENT, DRIVE_CONTROL_PARAM, CLEAR_FAULTS_PARAM = 490, 901, 554, 2533
CONFIG = b"[Config]\r\nSM_COM_PORT=7\r\n\r\n"


class DriveTest(PageTest):
    def drive(self, *options, log="drive.jsonl"):
        self.sim = DriveSim(self.wine, COM, self.dir / log, *options)
        return self.sim

    def start(self, *args):
        """A run whose pages are up: the window shows before they exist and gets its versioned title after."""
        run = super().start(*args)
        self.assertTrue(wait_until(lambda: "(version " in self.wine.driver("title", run.window)))
        return run

    def page(self, run, control):
        """The page holding the control, for the helpers that address a run's window."""
        return SimpleNamespace(window=self.wine.driver("page", run.window, control))

    def heights(self, window):
        """The window's outer and client heights."""
        _, height, _, client_height = map(int, self.wine.driver("size", window).split())
        return height, client_height

    def test_statistics_commands_port_and_settings_of_the_drive_page(self):
        sim = self.drive("--samples", "1000,-2000", "--torque-bw", "7")
        self.write("config.ini", CONFIG)
        run = self.start("/dev")
        page, main_page = self.page(run, AVERAGE), self.page(run, STATUS)
        self.assertGreaterEqual(self.heights(run.window)[1],
                                self.heights(main_page.window)[0] + self.heights(page.window)[0])
        # Ten samples of 100 ms alternate 1000 and -2000: |average| 1500, maximum 2000, 0.0018 A each.
        self.assertShows(page.window, {AVERAGE: "2.7 A", MAXIMUM: "3.6 A"})
        controls = self.wine.controls(page.window)
        self.assertEqual([controls[c][2] for c in DRIVE_CONTROLS], [True] * len(DRIVE_CONTROLS))

        self.assertEqual((self.position(page, TORQUE_BW), self.text(page, TORQUE_BW_LABEL)), (7, "1500 Hz"),
                         "the drive's bandwidth")
        self.wine.driver("trackbar", page.window, TORQUE_BW, 10)
        self.assertEqual(self.text(page, TORQUE_BW_LABEL), "4700 Hz")
        self.wine.driver("trackbar", page.window, WINDOW, 600)
        self.assertEqual(self.text(page, WINDOW_LABEL), "1.0 mn")
        self.wine.driver("click", page.window, RESTART_DRIVE)
        self.wine.driver("click", page.window, CLEAR_FAULTS)
        expected = {(TORQUE_BW_PARAM, 10), (DRIVE_CONTROL_PARAM, 2), (CLEAR_FAULTS_PARAM, 3)}
        self.assertTrue(sim.wait_for(lambda _: set(sim.writes()) == expected), sim.writes())
        self.wine.screenshot(self.dir / "drive-page.png")

        self.choose(page, SM_COM_PORT, "None")
        self.assertShows(page.window, {AVERAGE: "NA", MAXIMUM: "NA"})
        time.sleep(0.5)  # a read on its way when the port went
        reads = sim.reads(MOTOR_CURRENT)
        self.choose(page, SM_COM_PORT, f"COM{COM}")
        self.assertTrue(sim.wait_for(lambda _: sim.reads(MOTOR_CURRENT) > reads), "the port taken again is read")
        self.escape(run)
        for line in (f"SM_COM_PORT={COM}", "TORQUE_BW=10", "WINDOW_DURATION=600"):
            self.assertIn(f"\r\n{line}\r\n", self.config())

        sim.stop()
        self.drive("--silent", log="silent.jsonl")
        run = self.start("/dev")
        page = self.page(run, AVERAGE)
        self.assertTrue(wait_until(lambda: "\r\nError reading version : 0x29 ->- Comm - Length \r\n" in run.log()),
                        run.log())
        self.assertShows(page.window, {AVERAGE: "NA", MAXIMUM: "NA"})
        controls = self.wine.controls(page.window)
        self.assertEqual([controls[c][2] for c in DRIVE_CONTROLS], [False] * len(DRIVE_CONTROLS))
        # The silent drive gave no bandwidth: the sliders show what config.ini kept, the list the port.
        self.assertEqual([self.position(page, TORQUE_BW), controls[TORQUE_BW_LABEL][1],
                          self.position(page, WINDOW), controls[WINDOW_LABEL][1]], [10, "4700 Hz", 600, "1.0 mn"])
        self.assertEqual(self.selected(page, SM_COM_PORT), [f"COM{COM}"])
        self.escape(run)

    def test_without_dev_there_is_no_drive_page_and_no_drive_traffic(self):
        sim = self.drive("--samples", "1000")
        self.write("config.ini", CONFIG)
        run = self.start()
        self.assertEqual(self.wine.driver("exists", run.window, AVERAGE), "0")
        # The window holds the main page only.
        self.assertLess(self.heights(run.window)[1], self.heights(self.page(run, STATUS).window)[0] + 20)
        time.sleep(1.0)
        self.escape(run)
        self.assertEqual(sim.frames(), [])
        self.assertIn(f"\r\nSM_COM_PORT={COM}\r\n", self.config())


if __name__ == "__main__":
    unittest.main()
