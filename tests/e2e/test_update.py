"""The update check as a user meets it, with the stand-in update server on
the loopback (VANTOR_UPDATE_HOST) and the wheel on COM5: "Check now", the
automatic check at start, the new tool's download opened through the
prefix's handler of http, a firmware image that cannot be kept."""
import unittest

from pagetest import PageTest
from wine import UIDRIVER, wait_until, windows_path

CHECK_NOW = 2039
IDOK, IDYES = 1, 6
HANDLER = r"HKLM\Software\Classes\http\shell\open\command"  # Wine reads the machine's classes
WINE_BROWSER = r'"C:\windows\system32\winebrowser.exe" "%1"'
BOARD = ("--status", "1,3,8", "--fw-version", "0x0102")  # firmware 1.2
IMAGE = b":0400000001020304F2\r\n:00000001FF\r\n"
NOT_FLASHED = "Could not flash the firmware"


class UpdateTest(PageTest):
    def setUp(self):
        super().setUp()
        self.opened = self.dir / "opened.txt"
        command = f'"{windows_path(UIDRIVER)}" record "{windows_path(self.opened)}" "%1"'
        self.wine.reg("add", HANDLER, "/ve", "/d", command, "/f")

    def tearDown(self):
        self.wine.reg("add", HANDLER, "/ve", "/d", WINE_BROWSER, "/f")
        super().tearDown()

    def no_box(self, text):
        return self.wine.driver("find-box", text, 500, check=False) == ""

    def test_automatic_check_runs_once_and_shows_nothing_when_nothing_is_new(self):
        env = self.serve("[UPDATE]\r\nVERSION=0,0,0,21\r\nFW_VERSION=0,0,1,2\r\n")
        run = self.start_ready(*BOARD, config=b"FLAGS=1\r\n", env=env)
        self.assertTrue(wait_until(lambda: self.server.paths() == ["vt_servers.ini"], timeout=20))
        self.assertTrue(self.no_box("No update available"))
        self.assertFalse(wait_until(lambda: len(self.server.paths()) > 1, timeout=4), "checked once a run")
        self.escape(run)

    def test_yes_to_a_new_tool_opens_its_download_and_ends_the_program(self):
        run = self.start_ready(*BOARD, env=self.serve(
            "[UPDATE]\r\nVERSION=0,0,0,22\r\nUPDATE=0,0,0,0,\"http://HOST/dl/\",\"Vantor.zip\"\r\n"
            "FW_VERSION=0,0,9,9\r\nFW_UPDATE=0,0,0,0,\"HOST\",\"wheel.hex\"\r\n"))
        self.wine.driver("post-click", run.window, CHECK_NOW)
        self.wine.driver("answer", "New configuration tool available", IDYES, 20000)
        self.assertEqual(run.wait(), 0)
        self.assertTrue(wait_until(self.opened.exists, timeout=20))
        self.assertEqual(self.opened.read_text().split(), [f"http://{self.server.host}/dl/1033/Vantor.zip"])
        self.assertEqual(self.server.paths(), ["vt_servers.ini"], "no firmware question, no firmware download")

    def test_firmware_that_cannot_be_kept_never_reaches_the_board(self):
        (self.dir / "wheel.hex").mkdir()
        run = self.start_ready(*BOARD, env=self.serve(
            "[UPDATE]\r\nFW_VERSION=0,0,1,3\r\nFW_UPDATE=0,0,0,0,\"HOST\",\"wheel.hex\"\r\n", {"wheel.hex": IMAGE}))
        self.wine.driver("post-click", run.window, CHECK_NOW)
        self.wine.driver("answer", "New firmware available", IDYES, 20000)
        for box in ("Could not write the firmware to wheel.hex: a folder or device has that name", NOT_FLASHED):
            self.wine.driver("answer", box, IDOK, 20000)
        self.assertEqual(sorted(p.name for p in self.dir.glob("*.hex*")), ["wheel.hex"])
        self.assertFalse(any(f.get("event") == "restart" for f in self.sim.frames()), "no 1200-baud open")
        self.escape(run)


if __name__ == "__main__":
    unittest.main()
