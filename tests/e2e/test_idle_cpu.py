"""What Vantor.exe costs while it waits for a device that never answers: a silent device on the board's port,
or with "/dev" a silent drive on the drive's port, costs at most twice the processor time of a ready board (and
drive) over the same 20 seconds of the same test run, and under 1 % of a core. The drive page's force graph
shows the board's trace for at most twice the processor time of the page without it."""
import os
import time
import unittest

from pagetest import STATUS, PageTest
from simulators import DriveSim
from wine import pixels, wait_until

SECONDS = 20
TICK = 1 / os.sysconf("SC_CLK_TCK")
BOARD = b"[Config]\r\nDEVICE_COM_PORT=5\r\n\r\n"
BOARD_AND_DRIVE = b"[Config]\r\nDEVICE_COM_PORT=5\r\nSM_COM_PORT=7\r\n\r\n"
FORCE_GRAPH, DEBUG_LEVEL = 2302, 1044
BLUE, GREEN, RED = (0, 0, 255), (0, 160, 0), (255, 0, 0)


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

    def traced_seconds(self, run):
        """Processor seconds of a run over SECONDS, once the board's trace reaches its log."""
        self.assertTrue(wait_until(lambda: "Torque : " in run.log(), 20), run.log())
        time.sleep(8)  # effects and an error in the graph's ten seconds
        before = self.cpu_seconds(run)
        time.sleep(SECONDS)
        return self.cpu_seconds(run) - before

    def test_the_force_graph_shows_the_trace_and_costs_little(self):
        # A driven wheel's trace: a sine of torque, an effect created every 3 s, an error every 7 s.
        self.board("--status", "8", "--trace-sine", "2000", "--trace-ms", "40")
        self.write("config.ini", BOARD)
        run = self.start("/dev")
        self.assertReady(run)
        self.wine.driver("combo", run.window, DEBUG_LEVEL, 1)
        drawn = self.traced_seconds(run)
        self.wine.screenshot(self.dir / "force-graph.png")
        (left, top, _, _), controls = self.wine.layout(run.window)
        _, *box = controls[FORCE_GRAPH]
        graph = pixels(self.dir / "force-graph.png", left + box[0], top + box[1], left + box[2], top + box[3])
        self.escape(run)
        columns = {colour: [x for x in range(len(graph[0])) if any(row[x] == colour for row in graph)]
                   for colour in (BLUE, GREEN, RED)}
        rows = [y for y, row in enumerate(graph) if BLUE in row]
        self.assertGreater(len(columns[BLUE]), 0.9 * len(graph[0]), "the torque along the whole ten seconds")
        self.assertGreater(rows[-1] - rows[0], 0.5 * len(graph), "the sine's swing")
        self.assertGreaterEqual(len(columns[GREEN]), 2, "effects created")
        self.assertGreaterEqual(len(columns[RED]), 1, "an error")

        # The board keeps tracing; without "/dev" the same trace is logged and nothing drawn.
        run = self.start()
        logged = self.traced_seconds(run)
        self.escape(run)
        print(f"\nforce graph: {drawn:.2f} s of processor time in {SECONDS} s, {logged:.2f} s without it", end=" ")
        self.assertLessEqual(drawn, 2 * logged + TICK, "the force graph")

if __name__ == "__main__":
    unittest.main()
