"""What the tests of the program share: a run in a scratch directory, the
wheel on COM5 and reading the main page's controls."""
import time
import unittest

from simulators import UpdateServer, WheelSim
from wine import ESCAPE, VANTOR, Vantor, scratch, session, wait_until

COM = 5
STATUS = 2088
FIRMWARE = 2077
MAIN_GAIN = 2021
COM_COMBO = 1041
DEVICE_COMBO = 1042
PROFILE_COMBO = 1207
DETECT_GAME = 2128


class PageTest(unittest.TestCase):
    """A test of the program in a scratch directory, with the wheel simulator on COM5 when asked for."""

    def setUp(self):
        self.wine = session()
        self.dir = scratch(self.id().split(".")[-1])
        self.runs = []
        self.sim = None

    def tearDown(self):
        for run in self.runs:
            run.kill()
        if self.sim:
            self.sim.stop()

    def board(self, *options, log="frames.jsonl"):
        self.sim = WheelSim(self.wine, COM, self.dir / log, *options)
        return self.sim

    def start(self, *args, find=True, env=None, program=VANTOR):
        run = Vantor(self.wine, self.dir, args, env, program)
        self.runs.append(run)
        if find:
            run.find_window()
        return run

    def start_ready(self, *board_options, config=b"", env=None, program=VANTOR):
        """The wheel on COM5 with the options, stored as the board's port, and a run that shows it ready."""
        self.board(*board_options)
        self.write("config.ini", b"[Config]\r\nDEVICE_COM_PORT=5\r\n" + config + b"\r\n")
        run = self.start(env=env, program=program)
        self.assertReady(run)
        return run

    def serve(self, script, files=None):
        """The stand-in update server serving the online script ("HOST" stands for its address) and the files;
        the environment that points the program at it."""
        root = self.dir / "server"
        root.mkdir()
        self.server = UpdateServer(root)
        self.addCleanup(self.server.stop)
        files = {"vt_servers.ini": script.replace("HOST", self.server.host).encode(), **(files or {})}
        for name, data in files.items():
            (root / name).write_bytes(data)
        return {"VANTOR_UPDATE_HOST": self.server.host}

    def escape(self, run):
        """Escape in the main window: the program ends with exit code 1."""
        self.wine.driver("key", run.window, ESCAPE)
        self.assertEqual(run.wait(), 1)

    def text(self, run, control):
        return self.wine.driver("text", run.window, control)

    def position(self, run, control):
        return int(self.wine.driver("trackpos", run.window, control).split()[0])

    def combo(self, run, control):
        """(index, text, data, selected) of every entry."""
        entries = []
        for line in self.wine.driver("combo-items", run.window, control).splitlines():
            fields = line.split("\t")
            entries.append((int(fields[0]), fields[1], int(fields[2]), len(fields) > 3))
        return entries

    def selected(self, run, control):
        """The texts of the combo's selected entries."""
        return [text for _, text, _, selected in self.combo(run, control) if selected]

    def choose(self, run, control, text):
        """Selects the combo's entry of that text as a user does."""
        self.wine.driver("combo", run.window, control, [entry[1] for entry in self.combo(run, control)].index(text))

    def choose_com5(self, run):
        self.choose(run, COM_COMBO, f"COM{COM}")

    def assertShows(self, window, texts, timeout=10):
        """The window's controls come to show the texts."""
        seen = {}
        wait_until(lambda: seen.update({c: self.wine.driver("text", window, c) for c in texts}) or seen == texts,
                   timeout)
        self.assertEqual(seen, texts)

    def file(self, name):
        return (self.dir / name).read_bytes().decode("latin-1")

    def write(self, name, data):
        (self.dir / name).write_bytes(data)

    def config(self):
        return self.file("config.ini")

    def statuses_until(self, run, last, timeout):
        """The status texts in the order they showed, until `last` shows."""
        seen = []
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            status = self.text(run, STATUS)
            if not seen or seen[-1] != status:
                seen.append(status)
            if status == last:
                break
            time.sleep(0.1)
        return seen

    def assertReady(self, run, timeout=30):
        self.assertEqual(self.statuses_until(run, "Ready", timeout)[-1], "Ready")
