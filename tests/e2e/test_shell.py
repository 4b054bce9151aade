"""The program's spine as a user meets it: one window with the main page,
the title, the ways to quit with their exit codes, the end of the Windows
session, the keyboard, the single instance, the about box, the log."""
import re
import unittest

from pagetest import COM_COMBO, MAIN_GAIN
from wine import ESCAPE, IDOK, RETURN, TAB, Vantor, scratch, session, wait_until

# Every control of the main settings page, with its text after a start without a board where it has one.
MAIN_PAGE_CONTROLS = {
    2037: None, 2023: "900 \u00b0", 2021: None, 2029: None, 2031: None, 2035: None, 2046: None, 2048: None,
    2049: None, 2053: None, 2063: None, 2124: None, 2055: None, 2057: None, 2059: None, 2067: None,
    2069: None, 2074: None, 2032: None, 2036: None, 2058: None, 2061: None, 2044: None, 2070: None,
    2072: None, 2075: None, 2038: None, 2042: None, 2050: None, 2054: None, 2062: None, 2065: None,
    2066: None, 2125: None, 1077: None, 1078: None,
    2019: "Center Wheel", 2045: "Calibrate", 2121: "Invert", 2126: "Manual", 2088: "Disconnected",
    2043: "---", 2077: "0.0", 2095: "0.21", 2041: "Automaticaly check for updates", 2039: "Check now",
    1042: None, 1041: None, 2123: "Advanced Settings", 1207: None, 2078: "New", 2081: "Edit",
    2080: "Remove", 2128: "Detect Game",
}
TITLE = "Ostra Wheel Configuration (version 0.21)"
TRAY_CLASS = "VT_INTERFACE_TRAY"
TRAY_MESSAGE = "Server tray notification"
TRAY_ICON_ID = 131
WM_LBUTTONDBLCLK = 0x0203
ADVANCED_SETTINGS, DETECT_GAME = 2123, 2128


class ShellTest(unittest.TestCase):
    def setUp(self):
        self.wine = session()
        self.dir = scratch(self.id().split(".")[-1])
        self.runs = []

    def tearDown(self):
        for run in self.runs:
            run.kill()

    def start(self, *args):
        run = Vantor(self.wine, self.dir, args)
        self.runs.append(run)
        run.find_window()
        return run

    def test_window_title_page_controls_and_escape_exit_code(self):
        run = self.start()
        self.assertEqual(self.wine.driver("title", run.window), TITLE)
        controls = self.wine.controls(run.window)
        for control, text in MAIN_PAGE_CONTROLS.items():
            self.assertIn(control, controls)
            if text is not None:
                self.assertEqual(controls[control][1], text, f"control {control}")
        self.assertEqual(controls[2037][0], "msctls_trackbar32")
        self.assertEqual(controls[1041][0], "ComboBox")
        # The force table travels with profiles but cannot be changed here.
        for control in (2069, 2074):
            self.assertFalse(controls[control][2], f"control {control}")
        self.assertTrue(controls[2021][2])
        # The window is sized to hold the page.
        width, height, client_width, client_height = map(int, self.wine.driver("size", run.window).split())
        self.assertGreaterEqual(client_width, width - 10)
        self.assertGreater(client_height, 300)
        self.wine.screenshot(self.dir / "main-window.png")

        self.wine.driver("key", run.window, ESCAPE)
        self.assertEqual(run.wait(), 1)

    def test_closing_the_window_exits_with_1_and_logs_it(self):
        run = self.start()
        self.wine.driver("close", run.window)
        self.assertEqual(run.wait(), 1)
        log = run.log()
        self.assertRegex(log, re.compile(r"\ALog Create\r\nExec Log Init \d{1,2} "
                                         r"(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) \d{4} "
                                         r"at \d\d:\d\d:\d\d\r\n"))
        self.assertIn("received WM_CLOSE, closing\r\n", log)

    def test_logoff_keeps_a_change_in_both_files(self):
        run = self.start()
        self.wine.driver("trackbar", run.window, MAIN_GAIN, 50)
        self.wine.driver("click", run.window, DETECT_GAME)
        self.wine.log_off()
        self.assertEqual(run.wait(), 0)
        self.assertIn("\r\nFLAGS=2\r\n", (self.dir / "config.ini").read_bytes().decode("latin-1"))
        profiles = (self.dir / "GameProfiles.ini").read_bytes().decode("latin-1")
        line = next(l for l in profiles.split("\r\n") if l.startswith("PROFILE=Default,"))
        self.assertEqual(line.split(",")[4], "50", "Main Gain of the selected profile")
        self.assertIn("received WM_ENDSESSION, saving\r\n", run.log())

    def test_escape_closes_an_open_list_and_only_then_quits(self):
        run = self.start()
        self.wine.driver("drop", run.window, COM_COMBO)
        self.wine.driver("key", run.window, ESCAPE)
        self.assertTrue(wait_until(lambda: self.wine.driver("dropped", run.window, COM_COMBO) == "0"))
        self.assertIsNone(run.process.poll())
        self.wine.driver("key", run.window, ESCAPE)
        self.assertEqual(run.wait(), 1)

    def test_tab_walks_the_controls_and_return_presses_a_button(self):
        run = self.start()
        walked = [self.wine.driver("focus", run.window)]
        while not walked[-1].startswith(f"{ADVANCED_SETTINGS} "):
            self.assertLess(len(walked), 30, walked)
            self.wine.driver("key", run.window, TAB)
            self.assertTrue(wait_until(lambda: self.wine.driver("focus", run.window) != walked[-1]), walked)
            walked.append(self.wine.driver("focus", run.window))
        self.wine.driver("key", run.window, RETURN)
        self.wine.driver("answer", "Could find the wheel device", IDOK, 20000)
        self.wine.driver("key", run.window, ESCAPE)
        self.assertEqual(run.wait(), 1)

    def test_exit_command_gives_0(self):
        run = self.start()
        self.assertEqual(self.wine.driver("command-exit", run.window, 32772, 20000), "0")
        self.assertEqual(run.wait(), 0)

    def test_second_copy_shows_the_box_and_leaves_the_first_running(self):
        first = self.start()
        second = Vantor(self.wine, self.dir)
        self.runs.append(second)
        self.wine.driver("answer", "Another instance of Vantor is running", IDOK, 30000)
        self.assertEqual(second.wait(), 0)
        self.assertIsNone(first.process.poll())
        self.assertEqual(self.wine.driver("title", first.window), TITLE)
        self.wine.driver("key", first.window, ESCAPE)
        self.assertEqual(first.wait(), 1)

    def test_dev_switch_starts_without_a_drive_page(self):
        run = self.start("-DEV")
        self.assertEqual(self.wine.driver("title", run.window), TITLE)
        self.assertEqual(self.wine.driver("exists", run.window, 2088), "1")
        self.assertEqual(self.wine.driver("exists", run.window, 1079), "0")
        self.wine.driver("key", run.window, ESCAPE)
        self.assertEqual(run.wait(), 1)

    def test_about_box_closes_with_ok_escape_and_close_button(self):
        run = self.start()
        for close in ("ok", "escape", "close"):
            self.wine.driver("command", run.window, 32779)
            box = self.wine.driver("find-box", "Arvo Device Configuration Tool", 20000)
            if close == "ok":
                self.wine.screenshot(self.dir / "about-box.png")
                self.wine.driver("click", box, IDOK)
            elif close == "escape":
                self.wine.driver("key", box, ESCAPE)
            else:
                self.wine.driver("close", box)
            self.wine.driver("gone", box, 10000)
        # The program goes on after the box.
        self.assertIsNone(run.process.poll())
        self.wine.driver("key", run.window, ESCAPE)
        self.assertEqual(run.wait(), 1)

    def test_minimising_hides_the_window_until_restore(self):
        run = self.start()
        self.wine.driver("minimize", run.window)
        self.assertTrue(wait_until(lambda: self.wine.driver("visible", run.window) == "0"))
        self.wine.screenshot(self.dir / "minimised.png")
        self.wine.driver("command", run.window, 32771)
        self.assertTrue(wait_until(lambda: self.wine.driver("visible", run.window) == "1"))
        self.wine.driver("key", run.window, ESCAPE)
        self.assertEqual(run.wait(), 1)

    def test_tray_icon_double_click_restores_and_exit_gives_0(self):
        run = self.start()
        self.wine.driver("minimize", run.window)
        self.assertTrue(wait_until(lambda: self.wine.driver("visible", run.window) == "0"))
        # The icon's invisible window exists only while minimised.
        tray = self.wine.driver("find-class", TRAY_CLASS, 10000)
        self.wine.driver("post-registered", tray, TRAY_MESSAGE, TRAY_ICON_ID, WM_LBUTTONDBLCLK)
        self.assertTrue(wait_until(lambda: self.wine.driver("visible", run.window) == "1"))
        self.wine.driver("gone", tray, 10000)
        # Minimised again, the tray menu's "Exit" ends the program with 0.
        self.wine.driver("minimize", run.window)
        self.wine.driver("find-class", TRAY_CLASS, 10000)
        self.assertEqual(self.wine.driver("command-exit", run.window, 32772, 20000), "0")


if __name__ == "__main__":
    unittest.main()
