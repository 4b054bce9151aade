"""The update check as a user meets it, with the stand-in update server on
the loopback (VANTOR_UPDATE_HOST) and the wheel on COM5: "Check now", the
automatic check at start, the new tool's download opened through the
prefix's handler of http, the firmware downloaded, a server that is down."""
import unittest

from pagetest import PageTest
from simulators import UpdateServer
from wine import UIDRIVER, wait_until, windows_path

CHECK_NOW = 2039
IDOK, IDYES = 1, 6
HANDLER = r"HKLM\Software\Classes\http\shell\open\command"  # Wine reads the machine's classes
WINE_BROWSER = r'"C:\windows\system32\winebrowser.exe" "%1"'
BOARD = ("--status", "1,3,8", "--fw-version", "0x0102")  # firmware 1.2
IMAGE = b":0400000001020304F2\r\n:00000001FF\r\n"
NOT_FLASHED = "Could not flash the firmware"
# A linear base of 0xFFFF0000 and a byte at 0xFFFF: past 4 GiB, not at 0.
WRAPPING_IMAGE = b":02000004FFFFFC\r\n:01FFFF000001\r\n:00000001FF\r\n"


class UpdateTest(PageTest):
    def setUp(self):
        super().setUp()
        self.server = None
        self.opened = self.dir / "opened.txt"
        command = f'"{windows_path(UIDRIVER)}" record "{windows_path(self.opened)}" "%1"'
        self.wine.reg("add", HANDLER, "/ve", "/d", command, "/f")

    def tearDown(self):
        self.wine.reg("add", HANDLER, "/ve", "/d", WINE_BROWSER, "/f")
        if self.server:
            self.server.stop()
        super().tearDown()

    def serve(self, script):
        """Serves the online script and a firmware image; the environment that points the program at them."""
        root = self.dir / "server"
        root.mkdir()
        self.server = UpdateServer(root)
        (root / "vt_servers.ini").write_bytes(script.replace("HOST", self.server.host).encode("latin-1"))
        (root / "wheel.hex").write_bytes(IMAGE)
        return {"VANTOR_UPDATE_HOST": self.server.host}

    def start_ready(self, env, flags=0):
        self.board(*BOARD)
        self.write("config.ini", f"[Config]\r\nDEVICE_COM_PORT=5\r\nFLAGS={flags}\r\n\r\n".encode())
        run = self.start(env=env)
        self.assertReady(run)
        return run

    def no_box(self, text):
        return self.wine.driver("find-box", text, 500, check=False) == ""

    def test_check_now_with_the_boards_version_says_there_is_nothing_new(self):
        run = self.start_ready(self.serve("[SERVER]\r\nVERSION=0,0,0,21\r\n[UPDATE]\r\nFW_VERSION=0,0,1,2\r\n"))
        self.wine.driver("post-click", run.window, CHECK_NOW)
        self.wine.driver("answer", "No update available", IDOK, 20000)
        self.assertEqual(self.server.paths(), ["vt_servers.ini"])
        self.escape(run)

    def test_automatic_check_runs_once_and_shows_nothing_when_nothing_is_new(self):
        run = self.start_ready(self.serve("[UPDATE]\r\nVERSION=0,0,0,21\r\nFW_VERSION=0,0,1,2\r\n"), flags=1)
        self.assertTrue(wait_until(lambda: self.server.paths() == ["vt_servers.ini"], timeout=20))
        self.assertTrue(self.no_box("No update available"))
        self.assertFalse(wait_until(lambda: len(self.server.paths()) > 1, timeout=4), "checked once a run")
        self.escape(run)

    def test_yes_to_a_new_tool_opens_its_download_and_ends_the_program(self):
        run = self.start_ready(self.serve(
            "[UPDATE]\r\nVERSION=0,0,0,22\r\nUPDATE=0,0,0,0,\"http://HOST/dl/\",\"Vantor.zip\"\r\n"
            "FW_VERSION=0,0,9,9\r\nFW_UPDATE=0,0,0,0,\"HOST\",\"wheel.hex\"\r\n"))
        self.wine.driver("post-click", run.window, CHECK_NOW)
        self.wine.driver("answer", "New configuration tool available", IDYES, 20000)
        self.assertEqual(run.wait(), 0)
        self.assertTrue(wait_until(self.opened.exists, timeout=20))
        self.assertEqual(self.opened.read_text().split(), [f"http://{self.server.host}/dl/1033/Vantor.zip"])
        self.assertEqual(self.server.paths(), ["vt_servers.ini"], "no firmware question, no firmware download")

    def test_a_server_that_is_down_leaves_a_log_line_and_no_box(self):
        run = self.start_ready({"VANTOR_UPDATE_HOST": "127.0.0.1:1"})
        self.wine.driver("post-click", run.window, CHECK_NOW)
        self.assertTrue(wait_until(lambda: "Could not read Online script" in run.log(), timeout=20))
        self.assertTrue(self.no_box("No update available"))
        self.escape(run)

    def test_firmware_from_a_hostile_server_never_reaches_the_board_or_the_users_files(self):
        env = self.serve("")
        root = self.dir / "server"
        (root / "GameProfiles.ini").write_bytes(b"[GameProfiles]\r\nPROFILE=Evil,e.exe,0,2160\r\n")
        (root / "wrap.hex").write_bytes(WRAPPING_IMAGE)
        (self.dir / "wheel.hex").mkdir()
        profiles = "[GameProfiles]\r\nPROFILE=Default,NoLife.exe,0,900,1,1,1,1,1,1,1,1,0,0,0,0,16\r\n\r\n"
        self.write("GameProfiles.ini", profiles.encode())
        run = self.start_ready(env)
        refused = "CheckForUpdates: firmware file name refused: "
        cases = (  # the file offered; the boxes after Yes (none: its name is refused)
            ('x" -e -lLog.txt "y.hex', ()),
            ("GameProfiles.ini", ()),
            ('"wheel.hex"', ("Could not write the firmware to wheel.hex: a folder or device has that name", NOT_FLASHED)),
            ('"wrap.hex"', ("The firmware wrap.hex is no valid firmware image (line 2 writes 0xFFFFFFFF", NOT_FLASHED)),
        )
        for offered, boxes in cases:
            with self.subTest(offered=offered):
                (root / "vt_servers.ini").write_bytes(
                    f"[UPDATE]\r\nFW_VERSION=0,0,1,3\r\nFW_UPDATE=0,0,0,0,\"{self.server.host}\",{offered}\r\n".encode())
                asked, refusals = len(self.server.paths()), run.log().count(refused)
                self.wine.driver("post-click", run.window, CHECK_NOW)
                self.wine.driver("answer", "New firmware available", IDYES, 20000)
                for box in boxes:
                    self.wine.driver("answer", box, IDOK, 20000)
                if not boxes:
                    self.assertTrue(wait_until(lambda: run.log().count(refused) > refusals, timeout=20))
                    self.assertEqual(self.server.paths()[asked:], ["vt_servers.ini"], "nothing downloaded")
        self.assertEqual(self.file("GameProfiles.ini"), profiles, "byte for byte as it was")
        self.assertEqual(sorted(p.name for p in self.dir.glob("*.hex*")), ["wheel.hex"])
        self.assertFalse(any(f.get("event") == "restart" for f in self.sim.frames()), "no 1200-baud open")
        self.escape(run)


if __name__ == "__main__":
    unittest.main()
