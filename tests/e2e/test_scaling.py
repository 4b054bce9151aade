"""The program at 100 %, 150 % and 200 % scaling (the prefix's LogPixels 96, 144 and 192): the main window with
the drive page, the advanced settings and the linearity editor lay out with no control cut off by the window's
edge, none on another and every text in its control, and the wheel drawing (a controller of the stand-in
DirectInput, every button pressed) is 1.5 and 2 times its size at 100 %, within two pixels; screenshots of each are kept."""
import itertools
import unittest

from pagetest import DEVICE_COMBO
from test_controllers import StandInTest, section
from wine import pixels

ADVANCED, LINEARITY_X = 2123, 4
DESKTOP = r"HKCU\Control Panel\Desktop"
RED = (255, 0, 0)


class ScalingTest(StandInTest):
    def set_dpi(self, dpi):
        self.wine.reg("add", DESKTOP, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")

    def layout_faults(self, window, dpi):
        """What a user would see wrong in the window's layout, one line each."""
        # A last control without a text loses its tab to the driver's output being stripped.
        rows = [(line + "\t").split("\t")[:9] for line in self.wine.driver("layout", window).splitlines()]
        left, top, right, bottom = map(int, rows[0][2:6])
        width, height = right - left, bottom - top
        controls = [(kind, int(l), int(t), int(r), int(b), int(text_width), int(text_height), text or f"#{id_}")
                    for id_, kind, l, t, r, b, text_width, text_height, text in rows[1:]]
        faults = []
        for kind, left, top, right, bottom, text_width, text_height, name in controls:
            if left < 0 or top < 0 or right > width or bottom > height:
                faults.append(f"{name} is cut off by the window's edge")
            # A check box's square and the gap after it; a push button's frame.
            room = right - left - {"check": 16 * dpi // 96, "button": 6 * dpi // 96}.get(kind, 0)
            if kind in ("text", "check", "button") and text_width > room:
                lines = -(-text_width // max(room, 1))
                if kind != "text" or lines * text_height > bottom - top:
                    faults.append(f"{name} needs {text_width} pixels and has {room}")
        # Controls that meet in dialog units may share a pixel once rounded.
        boxes = [c for c in controls if c[0] != "group"]
        for a, b in itertools.combinations(boxes, 2):
            if min(a[3], b[3]) - max(a[1], b[1]) > 1 and min(a[4], b[4]) - max(a[2], b[2]) > 1:
                faults.append(f"{a[7]} and {b[7]} overlap")
        return faults

    def red_extent(self, shot, run, dpi):
        """The box around the red of the wheel drawing's pressed buttons, page coordinates. (The arrow is
        left out: its area is erased before each drawing, so a screenshot may catch it blank.)"""
        page = self.wine.driver("page", run.window, DEVICE_COMBO)
        x, y = map(int, self.wine.driver("origin", page).split())
        _, _, width, height = map(int, self.wine.driver("size", page).split())
        red = [(i, j) for j, row in enumerate(pixels(shot, x, y, x + width, y + height))
               for i, colour in enumerate(row) if colour == RED and i > 80 * dpi // 96]
        self.assertTrue(red, "no wheel drawing")
        xs, ys = zip(*red)
        return min(xs), min(ys), max(xs) + 1, max(ys) + 1

    def test_every_window_lays_out_at_each_scaling(self):
        self.board("--status", "8")
        self.write("config.ini", b"[Config]\r\nDEVICE_COM_PORT=5\r\n\r\n")
        self.pads(section(1, NAME="Ostra Wheel", AXES="X,Y,Z", X=32767, PRESSED=",".join(map(str, range(32)))))
        self.addCleanup(self.set_dpi, 96)
        drawings = {}
        for dpi in (96, 144, 192):
            with self.subTest(dpi=dpi):
                self.set_dpi(dpi)
                run = self.launch("/dev")
                try:
                    drawings[dpi] = self.check_windows(run, dpi)
                finally:
                    run.kill()  # the next scaling starts a program of its own
        for dpi in (144, 192):
            for side, at96 in zip(drawings[dpi], drawings[96]):
                self.assertLessEqual(abs(side - at96 * dpi / 96), 2, f"{drawings[dpi]} at {dpi} against {drawings[96]}")

    def check_windows(self, run, dpi):
        """Checks the layouts; the wheel drawing's red extent."""
        self.assertReady(run)
        self.assertEqual(self.layout_faults(run.window, dpi), [], "main window")
        shot = self.dir / f"main-window-{dpi}.png"
        self.wine.screenshot(shot)
        drawing = self.red_extent(shot, run, dpi)
        self.wine.driver("post-click", run.window, ADVANCED)
        advanced = self.wine.driver("find", "Advanced Settings")
        self.assertEqual(self.layout_faults(advanced, dpi), [], "advanced settings")
        self.wine.screenshot(self.dir / f"advanced-settings-{dpi}.png")
        self.wine.driver("command", advanced, LINEARITY_X)
        editor = self.wine.driver("find", "Linearity Editor")
        self.assertEqual(self.layout_faults(editor, dpi), [], "linearity editor")
        self.wine.screenshot(self.dir / f"linearity-editor-{dpi}.png")
        return drawing

if __name__ == "__main__":
    unittest.main()
