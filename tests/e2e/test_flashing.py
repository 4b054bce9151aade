"""Firmware flashing as a wheel owner meets it: the update check's firmware
offer runs the real Windows avrdude from Tools of the working directory (the
bundle's test flashes the wheel whole); a boot loader that stops answering
and a missing port lister are told; the board and the drive's adapter are
found by their USB ids at start; "Reset Board" restarts the board."""
import shutil
import unittest

from flashtest import NOT_FLASHED, FlashTest
from simulators import DriveSim
from wine import BIN, ROOT

IDOK = 1
RESET_BOARD = 2050
DRIVE_COM_COMBO = 1043
AVRDUDE = ROOT / "build" / "avrdude-windows"


class FlashingTest(FlashTest):
    def setUp(self):
        super().setUp()
        self.drive_sim = None

    def tearDown(self):
        if self.drive_sim:
            self.drive_sim.stop()
        super().tearDown()

    def test_boot_loader_that_stops_answering_is_told_and_avrdude_ran_from_the_working_directory(self):
        (self.dir / "Tools").mkdir()
        for name in ("avrdude.exe", "avrdude.conf"):
            shutil.copy(AVRDUDE / name, self.dir / "Tools" / name)
        run = self.offer_firmware("--boot-link", self.boot_link(), "--boot-stop-after", "8")
        self.wine.driver("answer", NOT_FLASHED, IDOK, 60000)
        # avrdude ran from Tools of the working directory on the boot loader's COM9, and its failure was read.
        for text in ("Tools\\avrdude -CTools\\avrdude.conf", "-PCOM9 -b57600 -D-Uflash:w:wheel.hex:i",
                     "FlashFirmware: avrdude failed (exit status "):
            self.assertIn(text, run.log())
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
        self.assertEqual(self.selected(run, DRIVE_COM_COMBO), ["COM7"])
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
