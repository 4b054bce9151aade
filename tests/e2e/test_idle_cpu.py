"""What Vantor.exe costs while it waits for a device that never answers: a silent device on the board's port,
or with "/dev" a silent drive on the drive's port, costs at most twice the processor time of a ready board (and
drive) over the same 20 seconds of the same test run, and under 1 % of a core."""
import os
import time
import unittest

from pagetest import STATUS, PageTest
from simulators import DriveSim
from wine import wait_until

SECONDS = 20
TICK = 1 / os.sysconf("SC_CLK_TCK")
BOARD = b"[Config]\r\nDEVICE_COM_PORT=5\r\n\r\n"
BOARD_AND_DRIVE = b"[Config]\r\nDEVICE_COM_PORT=5\r\nSM_COM_PORT=7\r\n\r\n"


class IdleCpuTest(PageTest):
    def cpu_seconds(self, run):
        """User and system time of the Wine process that is Vantor.exe (fields 14 and 15 of its stat)."""
        with open(f"/proc/{run.process.pid}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) * TICK

    def measure(self, config, status, *args, settled=lambda run: True):
        """Processor seconds of a run over SECONDS, from when it shows the status and settled(run) holds."""
        self.write("config.ini", config)
        run = self.start(*args)
        self.assertTrue(wait_until(lambda: self.text(run, STATUS) == status and settled(run), 40), run.log())
        before = self.cpu_seconds(run)
        time.sleep(SECONDS)
        used = self.cpu_seconds(run) - before
        self.escape(run)
        self.sim.stop()
        return used

    def assertCheap(self, silent, ready, what):
        print(f"\n{what}: {silent:.2f} s of processor time in {SECONDS} s, {ready:.2f} s when ready", end=" ")
        # A tick of the kernel's accounting either way is no difference.
        self.assertLessEqual(silent, 2 * ready + TICK, what)
        self.assertLess(silent, 0.01 * SECONDS, what)

    def test_a_silent_board_or_drive_costs_no_more_than_a_ready_one(self):
        # Replies 60 ms late are still taken: each wait lasts the time it has left.
        self.board("--status", "8", "--slow", "60", log="ready.jsonl")
        ready = self.measure(BOARD, "Ready")
        sim = self.board("--silent", log="silent.jsonl")
        silent = self.measure(BOARD, "Connected")
        self.assertGreaterEqual(len([f for f in sim.frames() if f.get("kind") == "probe"]), SECONDS - 2,
                                "the silent device is asked once a second all along")
        self.assertCheap(silent, ready, "silent board")

        ready = self.measure_drive("--samples", "500", settled=lambda run, drive: drive.reads(901) > 0)
        silent = self.measure_drive("--silent", settled=lambda run, drive: "Error reading version" in run.log())
        self.assertCheap(silent, ready, "silent drive")

    def measure_drive(self, *options, settled):
        """A run with "/dev", the board ready and drivesim with the options on COM7."""
        drive = DriveSim(self.wine, 7, self.dir / f"drive{options[0]}.jsonl", *options)
        self.addCleanup(drive.stop)
        self.board("--status", "8", log=f"board{options[0]}.jsonl")
        return self.measure(BOARD_AND_DRIVE, "Ready", "/dev", settled=lambda run: settled(run, drive))

if __name__ == "__main__":
    unittest.main()
