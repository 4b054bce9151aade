"""The advanced settings and the linearity editor with the wheel on COM5 (the drive on COM7 with "/dev"): its
controls, choices and "Ok" on the wire, a bad "Encoder PPR" refused, the curve's trackbar sent at once, "Reset to
default" read back (which pins each list offers is the native tests')."""
import unittest
from types import SimpleNamespace

from pagetest import PageTest
from simulators import DriveSim
from wine import ESCAPE

ADVANCED, OK, RESET, LINEARITY_X = 2123, 1, 3, 4
BUTTON_1, COMMAND_MODE, PWM_FREQUENCY, PPR = 3000, 1034, 2116, 2062
CURVE, CURVE_LABEL, P = 1198, 1199, ord("P")


class AdvancedTest(PageTest):
    def window(self, title):
        return SimpleNamespace(window=self.wine.driver("find", title))

    def choose(self, dialog, control, name):
        """Opens the list first, as a user does: a mapping box makes its list then."""
        self.wine.driver("drop", dialog.window, control)
        super().choose(dialog, control, name)

    def test_choices_go_out_and_ok_sends_the_drive_settings(self):
        sim = self.board("--status", "8")
        drive = DriveSim(self.wine, 7, self.dir / "drive.jsonl")
        self.addCleanup(drive.stop)
        self.write("config.ini", b"[Config]\r\nSM_COM_PORT=7\r\n\r\n")
        run = self.start("/dev")
        self.choose_com5(run)
        self.assertReady(run, 20)

        self.wine.driver("post-click", run.window, ADVANCED)
        dialog = self.window("Advanced Settings")
        children = self.wine.driver("children", dialog.window)
        for text in (" Digital Inputs ", "Button  1 :", "Button 32 :", " Analog Inputs ", "Rz Axis :", "Ext Gain :",
                     " Output Mapping ", "Send Sync :", " Drive Settings ", "Encoder PPR :", "Reset to default"):
            self.assertIn(f'"{text}"', children)
        self.choose(dialog, BUTTON_1, "D5")
        self.assertTrue(sim.wait_for_bytes("write", [P, 36, 1, 5]))
        self.choose(dialog, COMMAND_MODE, "VNH5019")
        self.wine.screenshot(self.dir / "advanced-settings.png")

        self.wine.driver("set-text", dialog.window, PPR, "")
        self.wine.driver("post-click", dialog.window, OK)
        self.wine.driver("answer", "Encoder PPR must be a whole number from 1 to 536870911.", OK)
        self.wine.driver("set-text", dialog.window, PPR, "2500")
        self.choose(dialog, PWM_FREQUENCY, "20 KHz")
        self.wine.driver("click", dialog.window, OK)
        self.wine.driver("gone", dialog.window)
        self.assertTrue(sim.wait_for(lambda _: sim.writes(12)))
        sent = [(f["number"], f["value"]) for f in sim.writes() if f["number"] in (35, 79, 12)]
        self.assertEqual(sent, [(35, 3), (79, 2), (12, 10000)], "the refused number sent nothing")
        self.assertTrue(drive.wait_for(lambda _: (565, 2500) in drive.writes() and (554, 1) in drive.writes()))
        self.escape(run)

    def test_linearity_editor_and_reset_to_default(self):
        run, sim = self.start_ready("--status", "8", "--set", "12=8000"), self.sim
        self.wine.driver("post-click", run.window, ADVANCED)
        dialog = self.window("Advanced Settings")
        self.assertEqual(self.text(dialog, PPR), "2000")

        # The button is disabled without a game controller; its command opens the editor all the same.
        self.wine.driver("command", dialog.window, LINEARITY_X)
        editor = self.window("Linearity Editor")
        self.assertEqual(self.text(editor, CURVE_LABEL), "1.00")
        self.wine.driver("trackbar", editor.window, CURVE, 8192)
        self.assertTrue(sim.wait_for_bytes("write", [P, 80, 2, 0x20, 0]))
        self.assertEqual(self.text(editor, CURVE_LABEL), "2.00")
        self.wine.screenshot(self.dir / "linearity-editor.png")
        self.wine.driver("click", editor.window, OK)
        self.wine.driver("gone", editor.window)

        self.choose(dialog, BUTTON_1, "D5")
        self.choose(dialog, COMMAND_MODE, "VNH5019")
        self.wine.driver("set-text", dialog.window, PPR, "1234")
        self.wine.driver("click", dialog.window, RESET)
        self.assertTrue(sim.wait_for(lambda frames: any(f.get("kind") == "defaults" for f in frames)))
        chosen = [self.selected(dialog, c) for c in (BUTTON_1, COMMAND_MODE)]
        self.assertEqual([chosen, self.text(dialog, PPR)], [[["None"], ["PWM+Dir"]], "2000"])
        self.wine.driver("key", dialog.window, ESCAPE)
        self.wine.driver("gone", dialog.window)
        self.escape(run)


if __name__ == "__main__":
    unittest.main()
