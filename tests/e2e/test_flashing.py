"""Firmware flashing as a wheel owner meets it: the update check's firmware
offer flashes a generated image with the real Windows avrdude into
wheelsim's boot loader, which comes back with the image's version; a boot
loader that stops answering, one that keeps its port, and a missing port
lister are told; the board and the drive's adapter are found by their USB
ids at start; "Reset Board" restarts the board."""
import shutil
import subprocess
import unittest
from pathlib import Path

from pagetest import FIRMWARE, PageTest
from simulators import DriveSim, UpdateServer
from wine import BIN, ROOT, wait_until

CHECK_NOW = 2039
IDOK, IDYES = 1, 6
RESET_BOARD = 2050
DRIVE_COM_COMBO = 1043
NOT_FLASHED = "Could not flash the firmware"
AVRDUDE = ROOT / "build" / "avrdude-windows"


class FlashingTest(PageTest):
    def setUp(self):
        super().setUp()
        self.server = None
        self.drive_sim = None

    def tearDown(self):
        for process in (self.server, self.drive_sim):
            if process:
                process.stop()
        super().tearDown()

    def boot_link(self):
        return str(Path(self.wine.env["WINEPREFIX"]) / "dosdevices" / "com9")

    def offer_firmware(self, *boot_options):
        """The wheel on COM5 with a boot loader, avrdude in Tools, and a server offering firmware 1.103."""
        self.board("--status", "1,3,8", "--fw-version", "0x0102", "--flash-out", self.dir / "flash.bin",
                   "--boot-ms", "4000", *boot_options)
        tools = self.dir / "Tools"
        tools.mkdir()
        for name in ("avrdude.exe", "avrdude.conf"):
            shutil.copy(AVRDUDE / name, tools / name)
        root = self.dir / "server"
        root.mkdir()
        self.server = UpdateServer(root)
        subprocess.run(["python3", str(ROOT / "tools" / "wheelsim" / "makehex.py"), "--version", str(0x0167),
                        "--size", "6000", "--out", str(root / "wheel.hex")], check=True)
        (root / "vt_servers.ini").write_bytes(
            f'[UPDATE]\r\nFW_VERSION=0,0,1,0x67\r\nFW_UPDATE=0,0,0,0,"{self.server.host}","wheel.hex"\r\n'.encode())
        self.write("config.ini", b"[Config]\r\nDEVICE_COM_PORT=5\r\n\r\n")
        run = self.start(env={"VANTOR_UPDATE_HOST": self.server.host})
        self.assertReady(run)
        self.wine.driver("post-click", run.window, CHECK_NOW)
        self.wine.driver("answer", "New firmware available", IDYES, 20000)
        return run

    def test_firmware_offer_flashes_the_board_and_its_new_version_shows(self):
        run = self.offer_firmware("--boot-link", self.boot_link())
        self.assertTrue(self.sim.wait_for(lambda f: any(e.get("reason") == "exit" for e in f), timeout=60))
        self.assertTrue(wait_until(lambda: self.text(run, FIRMWARE) == "1.103", timeout=30))
        self.assertEqual(self.wine.driver("find-box", NOT_FLASHED, 500, check=False), "")
        self.assertIn("-PCOM9 -b57600 -D-Uflash:w:wheel.hex:i", run.log())
        self.assertTrue((self.dir / "wheel.hex").exists())
        self.escape(run)

    def test_boot_loader_that_stops_answering_or_keeps_its_port_is_told(self):
        for options, first in ((("--boot-link", self.boot_link(), "--boot-stop-after", "8"), None),
                               (("--boot-same-port",), "Could find any board with a bootloader")):
            with self.subTest(options=options):
                self.tearDown()
                self.setUp()
                run = self.offer_firmware(*options)
                if first:
                    self.wine.driver("answer", first, IDOK, 20000)
                self.wine.driver("answer", NOT_FLASHED, IDOK, 60000)
                self.escape(run)

    def test_ports_are_found_by_their_usb_ids_and_reset_board_restarts_the_board(self):
        self.board("--status", "1,3,8")
        self.drive_sim = DriveSim(self.wine, 7, self.dir / "drive.jsonl")
        tools = self.dir / "Tools"
        tools.mkdir()
        shutil.copy(BIN / "listerstandin.exe", tools / "listComPorts.exe")
        (tools / "listing.txt").write_bytes(b"COM3 - Other (COM3) - USB\\VID_2341&PID_8037\r\n"
                                            b"COM7 - FT232R (COM7) - FTDIBUS\\VID_0403+PID_6001+A1\r\n"
                                            b"COM5 - Wheel (COM5) - USB\\VID_2341&PID_8036&MI_00\r\n")
        run = self.start("-dev")
        self.assertReady(run)
        drive_page = self.wine.driver("page", run.window, DRIVE_COM_COMBO)
        self.assertEqual([text for _, text, _, selected in self.combo(run, DRIVE_COM_COMBO) if selected], ["COM7"])
        self.assertIn("FindComPortFromIds : VID_2341 / PID_8036", run.log())
        self.wine.driver("click", drive_page, RESET_BOARD)
        self.assertTrue(self.sim.wait_for(lambda f: any(e.get("event") == "restart" for e in f)))
        self.escape(run)
        self.assertIn("\r\nDEVICE_COM_PORT=5\r\n", self.config())
        self.assertIn("\r\nSM_COM_PORT=7\r\n", self.config())

    def test_a_missing_port_lister_is_told(self):
        alone = self.dir / "bin"
        alone.mkdir()
        shutil.copy(BIN / "Vantor.exe", alone / "Vantor.exe")
        run = self.start(find=False, program=alone / "Vantor.exe")
        self.wine.driver("answer", "Could not execute listComPorts.exe", IDOK, 30000)
        run.find_window()
        self.escape(run)


if __name__ == "__main__":
    unittest.main()
