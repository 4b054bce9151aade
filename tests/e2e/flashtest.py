"""What the flashing tests share: the wheel on COM5 with a boot loader, a
stand-in update server offering a generated firmware image, and the offer
taken through "Check now"."""
import subprocess
from pathlib import Path

from pagetest import FIRMWARE, PageTest
from wine import ROOT, VANTOR, wait_until

CHECK_NOW = 2039
IDYES = 6
NOT_FLASHED = "Could not flash the firmware"
OFFERED_VERSION = 0x0167  # shows as 1.103


class FlashTest(PageTest):
    def boot_link(self):
        """COM9 of the prefix, where the boot loader shows."""
        return str(Path(self.wine.env["WINEPREFIX"]) / "dosdevices" / "com9")

    def offer_firmware(self, *boot_options, program=VANTOR):
        """The wheel (firmware 1.2) on COM5 with a boot loader and a server offering
        firmware 1.103; the program started and the offer taken."""
        env = self.serve('[UPDATE]\r\nFW_VERSION=0,0,1,0x67\r\nFW_UPDATE=0,0,0,0,"HOST","wheel.hex"\r\n')
        subprocess.run(["python3", str(ROOT / "tools" / "wheelsim" / "makehex.py"), "--version", str(OFFERED_VERSION),
                        "--size", "6000", "--out", str(self.dir / "server" / "wheel.hex")], check=True)
        run = self.start_ready("--status", "1,3,8", "--fw-version", "0x0102", "--flash-out", self.dir / "flash.bin",
                               "--boot-ms", "4000", *boot_options, env=env, program=program)
        self.wine.driver("post-click", run.window, CHECK_NOW)
        self.wine.driver("answer", "New firmware available", IDYES, 20000)
        return run

    def assertFlashed(self, run):
        """The boot loader was left after a write and the board shows the offered version."""
        self.assertTrue(self.sim.wait_for(lambda f: any(e.get("reason") == "exit" for e in f), timeout=60))
        self.assertTrue(wait_until(lambda: self.text(run, FIRMWARE) == "1.103", timeout=30))
        self.assertEqual(self.wine.driver("find-box", NOT_FLASHED, 500, check=False), "")
        self.assertTrue((self.dir / "wheel.hex").exists())
