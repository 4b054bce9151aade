"""The native device simulators (wheelsim, drivesim), each linked as a COM port of the Wine prefix,
and the stand-in update server on the loopback."""
import json
import os
import subprocess
from pathlib import Path

from wine import ROOT, wait_until

TOOLS = ROOT / "build" / "linux" / "tools"


class Simulator:
    """A simulator on a pty linked as com<n> in the prefix; its JSON lines log beside the test."""

    def __init__(self, program, wine, com_number, log_path, *options):
        self.link = Path(wine.env["WINEPREFIX"]) / "dosdevices" / f"com{com_number}"
        self.log_path = Path(log_path)
        if self.link.is_symlink() or self.link.exists():
            self.link.unlink()
        self.process = subprocess.Popen(
            [str(TOOLS / program / program), "--link", str(self.link), "--log", str(self.log_path),
             *map(str, options)], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.pty = self.process.stdout.readline().strip()
        if not self.pty:
            raise RuntimeError(f"{program} did not start")

    def frames(self):
        """Every line it logged so far."""
        if not self.log_path.exists():
            return []
        return [json.loads(line) for line in self.log_path.read_text().splitlines() if line.strip()]

    def wait_for(self, predicate, timeout=10.0):
        return wait_until(lambda: predicate(self.frames()), timeout)

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=10)
        if self.link.is_symlink():
            os.unlink(self.link)


class WheelSim(Simulator):
    """The wheel board: its log holds frames of a kind ("read", "write", ...) with their bytes."""

    def __init__(self, wine, com_number, log_path, *options):
        super().__init__("wheelsim", wine, com_number, log_path, *options)

    def writes(self, number=None):
        return [f for f in self.frames() if f.get("kind") == "write" and (number is None or f["number"] == number)]

    def wait_for_bytes(self, kind, frame_bytes):
        """Waits for a frame of the kind with these bytes."""
        return self.wait_for(lambda frames: any(f.get("kind") == kind and f["bytes"] == frame_bytes for f in frames))


class DriveSim(Simulator):
    """The servo drive: its log holds SimpleMotion requests with the parameter written or read."""

    def __init__(self, wine, com_number, log_path, *options):
        super().__init__("drivesim", wine, com_number, log_path, *options)

    def writes(self):
        """(parameter, value) of every write so far."""
        return [(f["write"]["param"], f["write"]["value"]) for f in self.frames() if "write" in f]

    def reads(self, parameter):
        return sum(1 for f in self.frames() if f.get("read") == parameter)


class UpdateServer:
    """tools/updateserver serving a directory on a loopback port; its log holds one line a request."""

    def __init__(self, root, mode="normal"):
        self.log_path = Path(root) / "requests.jsonl"
        self.process = subprocess.Popen(
            ["python3", str(ROOT / "tools" / "updateserver" / "updateserver.py"), "--root", str(root),
             "--log", str(self.log_path), "--mode", mode], stdout=subprocess.PIPE, text=True)
        self.host = "127.0.0.1:" + self.process.stdout.readline().strip()

    def paths(self):
        """The paths asked for so far, in order."""
        if not self.log_path.exists():
            return []
        return [json.loads(line)["path"] for line in self.log_path.read_text().splitlines() if line.strip()]

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=10)
