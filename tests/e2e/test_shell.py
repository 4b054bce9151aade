"""The program's spine as a user meets it: one window with the main page,
the title, the ways to quit with their exit codes, the end of the Windows
session, the keyboard, the single instance, the about box, the log."""
import re
import unittest

from pagetest import COM_COMBO, DETECT_GAME, MAIN_GAIN, PageTest
from wine import ESCAPE, IDOK, RETURN, TAB, wait_until

# Every control of the main settings page: those without a text, then the texts of the others after a start
# without a board.
MAIN_PAGE_CONTROLS = [
    2037, 2021, 2029, 2031, 2035, 2046, 2048, 2049, 2053, 2063, 2124, 2055, 2057, 2059, 2067, 2069, 2074, 2032, 2036,
    2058, 2061, 2044, 2070, 2072, 2075, 2038, 2042, 2050, 2054, 2062, 2065, 2066, 2125, 1077, 1078, 1042, 1041, 1207]
MAIN_PAGE_TEXTS = {
    2023: "900 \u00b0", 2019: "Center Wheel", 2045: "Calibrate", 2121: "Invert", 2126: "Manual", 2088: "Disconnected",
    2043: "---", 2077: "0.0", 2095: "0.21", 2041: "Automaticaly check for updates", 2039: "Check now",
    2123: "Advanced Settings", 2078: "New", 2081: "Edit", 2080: "Remove", 2128: "Detect Game"}
TITLE = "Ostra Wheel Configuration (version 0.21)"
TRAY_CLASS = "VT_INTERFACE_TRAY"
TRAY_MESSAGE = "Server tray notification"
TRAY_ICON_ID = 131
WM_LBUTTONDBLCLK = 0x0203
ADVANCED_SETTINGS = 2123
EXIT, RESTORE, ABOUT = 32772, 32771, 32779


class ShellTest(PageTest):
    def visible(self, run, shown):
        return wait_until(lambda: self.wine.driver("visible", run.window) == shown)

    def test_window_title_page_controls_and_escape_exit_code(self):
        run = self.start()
        self.assertEqual(self.wine.driver("title", run.window), TITLE)
        controls = self.wine.controls(run.window)
        self.assertLessEqual(set(MAIN_PAGE_CONTROLS) | set(MAIN_PAGE_TEXTS), set(controls))
        self.assertEqual({control: controls[control][1] for control in MAIN_PAGE_TEXTS}, MAIN_PAGE_TEXTS)
        self.assertEqual((controls[2037][0], controls[1041][0]), ("msctls_trackbar32", "ComboBox"))
        # The force table travels with profiles but cannot be changed here.
        self.assertEqual([controls[control][2] for control in (2069, 2074, 2021)], [False, False, True])
        # The window is sized to hold the page.
        width, height, client_width, client_height = map(int, self.wine.driver("size", run.window).split())
        self.assertGreaterEqual(client_width, width - 10)
        self.assertGreater(client_height, 300)
        self.wine.screenshot(self.dir / "main-window.png")
        self.escape(run)

    def test_closing_the_window_exits_with_1_and_logs_it(self):
        run = self.start()
        self.wine.driver("close", run.window)
        self.assertEqual(run.wait(), 1)
        self.assertRegex(run.log(), re.compile(r"\ALog Create\r\nExec Log Init \d{1,2} "
                                               r"(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) \d{4} "
                                               r"at \d\d:\d\d:\d\d\r\n"))
        self.assertIn("received WM_CLOSE, closing\r\n", run.log())

    def test_logoff_keeps_a_change_in_both_files(self):
        run = self.start()
        self.wine.driver("trackbar", run.window, MAIN_GAIN, 50)
        self.wine.driver("click", run.window, DETECT_GAME)
        self.wine.log_off()
        self.assertEqual(run.wait(), 0)
        self.assertIn("\r\nFLAGS=2\r\n", self.config())
        line = next(l for l in self.file("GameProfiles.ini").split("\r\n") if l.startswith("PROFILE=Default,"))
        self.assertEqual(line.split(",")[4], "50", "Main Gain of the selected profile")
        self.assertIn("received WM_ENDSESSION, saving\r\n", run.log())

    def test_escape_closes_an_open_list_and_only_then_quits(self):
        run = self.start()
        self.wine.driver("drop", run.window, COM_COMBO)
        self.wine.driver("key", run.window, ESCAPE)
        self.assertTrue(wait_until(lambda: self.wine.driver("dropped", run.window, COM_COMBO) == "0"))
        self.assertIsNone(run.process.poll())
        self.escape(run)

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
        self.escape(run)

    def test_second_copy_shows_the_box_and_leaves_the_first_running(self):
        first = self.start()
        second = self.start(find=False)
        self.wine.driver("answer", "Another instance of Vantor is running", IDOK, 30000)
        self.assertEqual(second.wait(), 0)
        self.assertIsNone(first.process.poll())
        self.assertEqual(self.wine.driver("title", first.window), TITLE)
        self.escape(first)

    def test_about_box_closes_with_ok_escape_and_close_button(self):
        run = self.start()
        for close in ("ok", "escape", "close"):
            self.wine.driver("command", run.window, ABOUT)
            box = self.wine.driver("find-box", "Arvo Device Configuration Tool", 20000)
            if close == "ok":
                self.wine.screenshot(self.dir / "about-box.png")
                self.wine.driver("click", box, IDOK)
            else:
                self.wine.driver(*(("key", box, ESCAPE) if close == "escape" else ("close", box)))
            self.wine.driver("gone", box, 10000)
        # The program goes on after the box.
        self.assertIsNone(run.process.poll())
        self.escape(run)

    def test_minimising_hides_the_window_until_restore_or_the_tray_icon_and_tray_exit_gives_0(self):
        run = self.start()
        self.wine.driver("minimize", run.window)
        self.assertTrue(self.visible(run, "0"))
        self.wine.screenshot(self.dir / "minimised.png")
        self.wine.driver("command", run.window, RESTORE)
        self.assertTrue(self.visible(run, "1"))
        self.wine.driver("minimize", run.window)
        self.assertTrue(self.visible(run, "0"))
        # The icon's invisible window exists only while minimised.
        tray = self.wine.driver("find-class", TRAY_CLASS, 10000)
        self.wine.driver("post-registered", tray, TRAY_MESSAGE, TRAY_ICON_ID, WM_LBUTTONDBLCLK)
        self.assertTrue(self.visible(run, "1"))
        self.wine.driver("gone", tray, 10000)
        # Minimised again, the tray menu's "Exit" ends the program with 0.
        self.wine.driver("minimize", run.window)
        self.wine.driver("find-class", TRAY_CLASS, 10000)
        self.assertEqual(self.wine.driver("command-exit", run.window, EXIT, 20000), "0")


if __name__ == "__main__":
    unittest.main()
