"""What the soak holds against the simulators' logs and the window's answers: every wheel write in range and
chosen, every drive write asked for, each fault followed by a recovery in time."""
import json
import re

# The board's parameters the window may write, with their ranges.
RANGES = {8: (180, 2160), 17: (0, 127), 77: (1, 31), 34: (0, 7), 35: (0, 3), 79: (0, 2), 12: (1, 2**31 - 1),
          16: (0, 3), **{n: (0, 127) for n in (*range(18, 25), *range(26, 34))},
          **{n: (512, 32767) for n in (80, 82, 84, 86)}}
# The board's values when it starts: chosen by the board, not by a shifted read.
BOARD_START = {8: 900, 16: 0, 17: 127, 34: 0, 35: 1, 77: 16, 79: 0, 12: 10000,
               **{n: 64 for n in range(18, 25)}, **{n: 32 for n in range(26, 34)}}
WHEEL_RECOVERY_S, DRIVE_RECOVERY_S = 5.0, 2.0
MOTOR_CURRENT = 901
CURRENT = re.compile(r"-?\d+\.\d A")


class Broken(Exception):
    """An invariant that no longer holds."""


class LogTail:
    """The complete JSON lines a simulator added to its log since the last look."""

    def __init__(self, path):
        self.path, self.offset, self.partial = path, 0, b""

    def lines(self):
        try:
            with open(self.path, "rb") as log:
                log.seek(self.offset)
                data = log.read()
        except FileNotFoundError:
            return []
        self.offset += len(data)
        *complete, self.partial = (self.partial + data).split(b"\n")
        return [json.loads(line) for line in complete if line.strip()]


class Faults:
    """The fault periods of one simulator, on the soak's clock."""

    def __init__(self, name, started):
        self.name, self.started = name, started
        self.active, self.ended, self.counts = None, [], {}

    def event(self, frame):
        at = self.started + frame["t_ms"] / 1000
        if frame.get("event") != "fault":
            return None
        if frame["phase"] == "start":
            self.active = (frame["kind"], at)
            self.counts[frame["kind"]] = self.counts.get(frame["kind"], 0) + 1
            return None
        kind, began = self.active or (frame["kind"], at)
        self.active = None
        self.ended.append((kind, began, at))
        return kind, at

    def began_since(self, moment):
        return self.active is not None and self.active[1] >= moment or any(b >= moment for _, b, _ in self.ended)


class Checks:
    """The invariants, fed with the simulators' frames and the window's answers as they come."""

    def __init__(self, model, wheel_started, drive_started):
        self.model = model
        self.wheel, self.drive = Faults("wheel", wheel_started), Faults("drive", drive_started)
        self.frames = 0
        self.pending = []  # (simulator, kind, end, deadline)
        self.recoveries, self.cut_short, self.slowest = 0, 0, (0.0, "")
        self.probes = []  # (time, status, average current)
        self.drive_reads = []  # times of answered motor current reads
        self.longest_silence = (0.0, 0.0)  # how long, from when
        self.slow_answers = []  # the window's answers over 0.6 s

    def wheel_frame(self, frame):
        if "event" in frame:
            ended = self.wheel.event(frame)
            if ended:
                self.pending.append(("wheel", ended[0], ended[1], ended[1] + WHEEL_RECOVERY_S))
            return
        self.frames += 1
        kind = frame.get("kind")
        if kind in ("read", "status", "version", "probe", "center"):
            return
        if kind != "write":
            raise Broken(f"the wheel got a {kind} frame {frame.get('bytes')} nobody asked for")
        number, value = frame["number"], frame["value"]
        low, high = RANGES.get(number, (1, 0))
        if not low <= value <= high:
            raise Broken(f"the wheel got parameter {number} = {value}, outside {low}..{high}")
        if value not in self.model.chosen(number) and value != BOARD_START.get(number):
            raise Broken(f"the wheel got parameter {number} = {value}, a value never chosen")

    def drive_frame(self, frame):
        if "event" in frame:
            ended = self.drive.event(frame)
            if ended:
                self.pending.append(("drive", ended[0], ended[1], ended[1] + DRIVE_RECOVERY_S))
            return
        self.frames += 1
        if "write" in frame:
            asked = (frame["write"]["param"], frame["write"]["value"])
            if asked not in self.model.drive_writes:
                raise Broken(f"the drive got parameter {asked[0]} = {asked[1]}, which the user never asked for")
        if frame.get("read") == MOTOR_CURRENT and self.drive.active is None:
            self.drive_reads.append(self.drive.started + frame["t_ms"] / 1000)

    def probe(self, at, took, status, average):
        self.probes.append((at, status, average))
        self.longest_silence = max(self.longest_silence, (took, at - took - self.wheel.started))
        if took > 0.6:
            self.slow_answers.append(f"{took:.2f} s at {at - took - self.wheel.started:.0f} s")
        if took > 1.0:
            raise Broken(f"the window took {took:.1f} s to answer a text read at {at - took - self.wheel.started:.1f} s")

    def recovered(self, simulator, end, deadline):
        if simulator == "wheel":
            return next((at for at, status, _ in self.probes if end <= at <= deadline and status == "Ready"), None)
        shown = [at for at, _, average in self.probes if end <= at <= deadline and CURRENT.fullmatch(average)]
        read = any(end <= at <= deadline for at in self.drive_reads)
        return shown[0] if shown and read else None

    def settle(self, now):
        """Judges every recovery whose time is up or that has shown; true when the wheel's did."""
        still, wheel_back = [], False
        for simulator, kind, end, deadline in self.pending:
            at = self.recovered(simulator, end, deadline)
            if at is not None:
                self.recoveries += 1
                self.slowest = max(self.slowest, (at - end, f"{simulator} after {kind}"))
                wheel_back |= simulator == "wheel"
            elif now <= deadline + 0.5:  # a probe still due may show it
                still.append((simulator, kind, end, deadline))
            elif (self.wheel if simulator == "wheel" else self.drive).began_since(end):
                self.cut_short += 1  # the next fault came before the window could show it back
            else:
                what = '"Ready"' if simulator == "wheel" else "live drive statistics"
                raise Broken(f"{deadline - end:.0f} s after the {simulator}'s {kind} fault ended, no {what}")
        self.pending = still
        horizon = now - 30
        self.probes = [p for p in self.probes if p[0] >= horizon]
        self.drive_reads = [t for t in self.drive_reads if t >= horizon]
        return wheel_back

    def shown(self, number, value):
        """A value the window shows for a board parameter once the wheel is back: the board's, as chosen."""
        if value not in self.model.chosen(number) and value != BOARD_START.get(number):
            raise Broken(f"the window shows parameter {number} = {value}, a value never chosen")
