"""The wheel's own inputs as a wheel owner meets them: Vantor.exe with the
stand-in DirectInput (tools/padsim) in a folder of its own, its scripted
controllers listed and chosen, their axes, sliders, hats and buttons shown
live on the drive page and in the wheel drawing, a controller that is lost
and comes back, and a DirectInput that fails to start; and the board's
trace frames in the log once a debug level is chosen."""
import re
import shutil
import subprocess
import time
import unittest

from pagetest import DEVICE_COMBO, PageTest
from wine import BIN, wait_until

G1 = "{c0ffee01-0001-0002-0304-050607080901}"
G2 = "{c0ffee01-0001-0002-0304-050607080902}"
STANDIN = {"WINEDLLOVERRIDES": "mscoree,mshtml=;dinput8=n"}
# The drive page's value and label of each bit of the object mask: X, Y, Z, Rx, Ry, Rz, two sliders, four hats.
INPUTS = ((1010, 1083), (1011, 1084), (1012, 1085), (1022, 1086), (1023, 1087), (1024, 1088),
          (1032, 1021), (1033, 1025), (1050, 1026), (1054, 1027), (1056, 1028), (1058, 1029))
X, SLIDER0, POV0, POV1 = 1010, 1032, 1050, 1054
DEBUG_LEVEL = 1044
# Where the main page draws the wheel: the arrow, the three bars and the 32 buttons.
DRAWING = (0, 120, 320, 230)
LOST = "0x8007001e"  # DIERR_INPUTLOST


def eleven(guid):
    """The GUID as config.ini holds it: Data1, Data2, Data3 and the eight bytes of Data4, signed decimals."""
    h = guid.strip("{}").replace("-", "")
    data1 = int(h[:8], 16)
    values = [data1 - (1 << 32) if data1 >= 1 << 31 else data1, int(h[8:12], 16), int(h[12:16], 16)]
    return ",".join(map(str, values + [int(h[16 + 2 * i:18 + 2 * i], 16) for i in range(8)]))


def section(number, **keys):
    return f"[Device{number}]\r\n" + "".join(f"{key}={value}\r\n" for key, value in keys.items())


class StandInTest(PageTest):
    """A test of Vantor.exe with the stand-in DirectInput, both copied into the test's folder."""

    def setUp(self):
        super().setUp()
        for name in ("Vantor.exe", "padsim/dinput8.dll"):
            shutil.copy(BIN / name, self.dir)
        shutil.copytree(BIN / "Tools", self.dir / "Tools")

    def pads(self, *sections):
        """padsim.ini anew, renamed into place so that the stand-in never reads half of it."""
        self.write("padsim.new", "".join(sections).encode())
        (self.dir / "padsim.new").replace(self.dir / "padsim.ini")

    def launch(self, *args):
        run = self.start(*args, env=STANDIN, program=self.dir / "Vantor.exe")
        self.assertTrue(wait_until(lambda: "(version " in self.wine.driver("title", run.window)))
        return run


class ControllerTest(StandInTest):
    def calls(self, device=""):
        """The stand-in's log lines but its readings of padsim.ini and the polls (those of one device when named)."""
        polls = re.compile(r"padsim\.ini|Device\d+ (Poll|GetDeviceState|Acquire|Unacquire)")
        return [line for line in self.file("padsim.log").splitlines() if line.startswith(device) and not polls.match(line)]

    def enabled(self, drive_page):
        controls = self.wine.controls(drive_page)
        return [bit for bit, (value, label) in enumerate(INPUTS) if controls[value][2] and controls[label][2]]

    def drawing_changes(self, run, before, after):
        """The box around the pixels of the main page that differ between two screenshots, page coordinates."""
        page = self.wine.driver("page", run.window, DEVICE_COMBO)
        x, y = map(int, self.wine.driver("origin", page).split())
        _, _, width, height = map(int, self.wine.driver("size", page).split())
        box = subprocess.run(["convert", before, after, "-crop", f"{width}x{height}+{x}+{y}", "+repage", "-compose",
                              "difference", "-composite", "-threshold", "0", "-format", "%@", "info:"],
                             capture_output=True, text=True, check=True).stdout
        w, h, left, top = map(int, box.replace("x", "+").split("+"))
        return left, top, left + w, top + h

    def test_two_identical_wheels_live_inputs_a_lost_wheel_and_the_choice_saved(self):
        first = section(1, NAME="Ostra Wheel", GUID=G1, AXES="X,Y", X=20000, Y=700)
        second = dict(NAME="Ostra Wheel", GUID=G2, AXES="X,Z,Ry", SLIDERS=3, POVS=5, X=1000)
        pads = lambda **changes: self.pads(first, section(2, **{**second, **changes}), section(3, NAME="Pad", FF=0))
        pads()
        self.write("config.ini", f"[Config]\r\nUSED_DEVICE_GUID={eleven(G2)}\r\n\r\n".encode())
        run = self.launch("/dev", "/noxinput")
        self.assertEqual(self.combo(run, DEVICE_COMBO), [(0, "Ostra Wheel", 0, False), (1, "Ostra Wheel", 1, True)],
                         "no force feedback, not listed")
        drive_page = self.wine.driver("page", run.window, X)
        self.assertEqual(self.enabled(drive_page), [0, 2, 4, 6, 7, 8, 9, 10, 11])
        self.assertShows(drive_page, {X: "1000", SLIDER0: "0", POV0: "ffffffff"})
        # Each device is made and prepared; the chosen one's axes and sliders get 0..65535 by id.
        prepared = ["{0} SetDataFormat size=32 objsize=24 flags=0x1 datasize=272 objects=164 -> 0",
                    "{0} SetCooperativeLevel window=valid flags=10 -> 0"]
        chosen = ["Device2 EnumObjects flags=0x0"] + [
            f"Device2 SetProperty RANGE how=id obj={axis} min=0 max=65535 -> 0"
            for axis in ("0x2", "0x102", "0x202", "0x302", "0x402", "0x502")] + ["Device2 GetDeviceInfo size=580 -> 0"]
        self.assertEqual(self.calls()[:19], [
            "DirectInput8Create version=0x800 iid=IDirectInput8A -> 0",
            "DirectInput QueryInterface IDirectInputJoyConfig8 -> 0",
            "JoyConfig GetConfig joystick=0 size=1176 flags=0x1 -> 0", "JoyConfig Release -> 0",
            "DirectInput EnumDevices class=4 flags=0x101",
            f"DirectInput CreateDevice {G1} -> 0 Device1", *[p.format("Device1") for p in prepared],
            f"DirectInput CreateDevice {G2} -> 0 Device2", *[p.format("Device2") for p in prepared]] + chosen)
        self.assertEqual(self.calls("Device2")[2:], chosen * 2, "at start and again by the page")

        self.wine.screenshot(self.dir / "before.png")
        pads(X=40000, S0=123, POV0=9000, PRESSED="0,3")
        self.assertShows(drive_page, {X: "40000", SLIDER0: "123", POV0: "2328", POV1: "ffffffff"})
        self.wine.screenshot(self.dir / "after.png")
        left, top, right, bottom = self.drawing_changes(run, self.dir / "before.png", self.dir / "after.png")
        self.assertTrue(DRAWING[0] <= left < right <= DRAWING[2] and DRAWING[1] <= top < bottom <= DRAWING[3],
                        (left, top, right, bottom))

        pads(X=40000, STATE="lost")
        self.assertTrue(wait_until(lambda: f"Device2 Poll -> {LOST}" in self.file("padsim.log")))
        log_size = len(run.log())
        time.sleep(1.0)
        started = time.monotonic()
        self.assertEqual(self.wine.driver("text", drive_page, X), "40000")
        self.assertLess(time.monotonic() - started, 3.0, "the window answers while the wheel is lost")
        self.assertEqual(len(run.log()), log_size, "nothing logged per tick")
        polls = self.file("padsim.log").count(f"Device2 Poll -> {LOST}")
        self.assertLessEqual(self.file("padsim.log").count(f"Device2 Acquire -> {LOST}"), 8 * polls)
        pads(X=5000)
        self.assertShows(drive_page, {X: "5000"})

        self.wine.driver("combo", run.window, DEVICE_COMBO, 0)
        self.assertEqual(self.enabled(drive_page), [0, 1])
        self.assertEqual(self.calls("Device1")[2:], ["Device1 EnumObjects flags=0x0"] + [
            f"Device1 SetProperty RANGE how=id obj={axis} min=0 max=65535 -> 0" for axis in ("0x2", "0x102")] + [
            "Device1 GetDeviceInfo size=580 -> 0"])
        self.assertShows(drive_page, {X: "20000", 1011: "700"})
        self.escape(run)
        self.assertIn(f"\r\nUSED_DEVICE_GUID={eleven(G1)}\r\n", self.config())

    def test_a_stored_guid_that_matches_nothing_a_range_that_fails_and_a_board_trace_frame(self):
        self.pads(section(1, NAME="Wheel", GUID=G1, AXES="X,Y,Z", RANGE_FAILS="Y"), section(2, NAME="Pedals", GUID=G2))
        self.write("config.ini", b"[Config]\r\nDEVICE_COM_PORT=5\r\nUSED_DEVICE_GUID=1,2,3,4,5,6,7,8,9,10,11\r\n\r\n")
        self.board("--status", "8", "--trace-frame", "7,3,0xFF,0xFE")
        run = self.launch("/dev")
        self.assertReady(run)
        self.wine.driver("combo", self.wine.driver("page", run.window, DEBUG_LEVEL), DEBUG_LEVEL, 1)  # "Error"
        self.assertTrue(wait_until(lambda: "\r\nError : 3 : -2\r\n" in run.log()), run.log())
        self.assertEqual([e[3] for e in self.combo(run, DEVICE_COMBO)], [True, False])
        self.assertEqual(self.enabled(self.wine.driver("page", run.window, X)), [0], "X came before the failing Y")
        self.assertEqual(self.calls("Device1")[2:6], [
            "Device1 EnumObjects flags=0x0", "Device1 SetProperty RANGE how=id obj=0x2 min=0 max=65535 -> 0",
            "Device1 SetProperty RANGE how=id obj=0x102 min=0 max=65535 -> 0x80004005",
            "Device1 GetDeviceInfo size=580 -> 0"])
        self.escape(run)
        self.assertIn(f"\r\nUSED_DEVICE_GUID={eleven(G1)}\r\n", self.config())

    def test_directinput_that_does_not_start_is_told_and_the_program_goes_on_without_controllers(self):
        for failure in ("CREATE_FAILS", "JOYCONFIG_FAILS"):
            self.pads(f"[DirectInput]\r\n{failure}=0x80004005\r\n", section(1, NAME="Wheel"))
            run = self.start(find=False, env=STANDIN, program=self.dir / "Vantor.exe")
            self.wine.driver("answer", "Error Initializing DirectInput", 1, 20000)
            run.find_window()
            self.assertEqual(self.combo(run, DEVICE_COMBO), [], failure)
            self.escape(run)


if __name__ == "__main__":
    unittest.main()
