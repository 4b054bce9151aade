#!/usr/bin/env python3
"""The soak: the real Vantor.exe -dev under Wine for minutes against a wheel and a drive that misbehave on a
seeded schedule, with a user acting at random, while the invariants are checked as it runs and at the end.
Usage: soak.py [--minutes M] [--seed S]; exit code 0 when every invariant held."""
import argparse
import json
import random
import subprocess
import sys
import threading
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))

from checks import Broken, Checks, LogTail  # noqa: E402
from simulators import DriveSim, WheelSim  # noqa: E402
from user import TRACKBARS, Model, User, profiles_ini  # noqa: E402
from wine import ROOT, UIDRIVER, Vantor, end_session, scratch, session  # noqa: E402

STATUS, AVERAGE = 2088, 2101
FIRST_MINUTE = 60.0
GROWTH = 1.05  # resident memory and handles, from the first minute to the end
LOG_PER_FAULT = 4096  # bytes Log.txt may take for each fault
START_TORQUE_BW, START_WINDOW = 7, 100
SETTLE = 6.0  # the last fault's recovery has its time before the end is measured


class Served:
    """uidriver answering commands on a pipe: a command costs a message, not a start of Wine."""

    def __init__(self, wine):
        self.process = subprocess.Popen(["wine", str(UIDRIVER), "serve"], env=wine.env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)

    def __call__(self, *args, check=True):
        self.process.stdin.write(("\t".join(map(str, args)) + "\n").encode("cp1252"))
        self.process.stdin.flush()
        lines = []
        while not (line := self.process.stdout.readline().decode("cp1252").rstrip("\r\n")).startswith("\x04"):
            if not line and self.process.poll() is not None:
                raise Broken("uidriver ended")
            lines.append(line)
        output = "\n".join(lines)
        if check and line != "\x040":
            raise Broken(f"uidriver {' '.join(map(str, args))}: {output}")
        return output

    def close(self):
        self.process.stdin.close()
        self.process.wait(timeout=30)


class Prober(threading.Thread):
    """Reads the status and the drive's average current twice a second, timing the window's answer."""

    def __init__(self, ui, main_page, drive_page, checks, lock):
        super().__init__(daemon=True)
        self.ui, self.pages, self.checks, self.lock = ui, (main_page, drive_page), checks, lock
        self.halt, self.broken = threading.Event(), None

    def run(self):
        try:
            while not self.halt.wait(0.5):
                began = time.monotonic()
                status = self.ui("text", self.pages[0], STATUS)
                took = time.monotonic() - began
                average = self.ui("text", self.pages[1], AVERAGE)
                with self.lock:
                    self.checks.probe(began + took, took, status, average)
        except Broken as broken:
            self.broken = broken


def usage(run, ui):
    """Resident memory in KiB (of the Wine process that is Vantor.exe), its handles and its windows."""
    with open(f"/proc/{run.process.pid}/status") as status:
        rss = next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))
    return rss, *map(int, ui("handles", run.window).split())


class Soak:
    def __init__(self, minutes, seed):
        self.minutes, self.seed = minutes, seed
        self.wine, self.dir = session(), scratch("soak")
        self.lock, self.started = threading.Lock(), time.monotonic()
        self.report = {"minutes": minutes, "seed": seed}
        self.actions = []

    def elapsed(self):
        return time.monotonic() - self.started

    def run(self):
        (self.dir / "GameProfiles.ini").write_bytes(profiles_ini())
        (self.dir / "config.ini").write_bytes(
            f"[Config]\r\nFLAGS=0\r\nDEVICE_COM_PORT=5\r\nSM_COM_PORT=7\r\nTORQUE_BW={START_TORQUE_BW}\r\n"
            f"WINDOW_DURATION={START_WINDOW}\r\nGAME_PROFILE_ID=1\r\n\r\n".encode())
        self.wheel = WheelSim(self.wine, 5, self.dir / "wheel.jsonl", "--status", "8", "--chaos", self.seed)
        wheel_started = self.started = time.monotonic()
        self.drive = DriveSim(self.wine, 7, self.dir / "drive.jsonl", "--samples", "1000,-2000,1500",
                              "--torque-bw", START_TORQUE_BW, "--chaos", self.seed + 1)
        model = Model(1, START_TORQUE_BW, START_WINDOW)
        self.checks = Checks(model, wheel_started, time.monotonic())
        self.program = Vantor(self.wine, self.dir, ["/dev"])
        try:
            self.act(model)
            self.check_files(model)
        finally:
            self.program.kill()
            self.wheel.stop()
            self.drive.stop()

    def act(self, model):
        ui, probes = Served(self.wine), Served(self.wine)
        window = self.program.find_window()
        # The window shows before its pages are made, and takes its versioned title after.
        while "(version " not in ui("title", window):
            time.sleep(0.2)
        main_page, drive_page = ui("page", window, STATUS), ui("page", window, AVERAGE)
        self.ui, self.main_page = ui, main_page
        prober = Prober(probes, main_page, drive_page, self.checks, self.lock)
        prober.start()
        user, pauses = User(ui, random.Random(self.seed), main_page, drive_page, model), random.Random(self.seed + 2)
        tails = LogTail(self.wheel.log_path), LogTail(self.drive.log_path)
        first = None
        try:
            while self.elapsed() < self.minutes * 60:
                began = self.elapsed()
                self.actions = (self.actions + [f"{user.act()} at {began:.1f} s"])[-5:]
                for _ in range(pauses.randint(2, 10)):
                    self.look(tails, prober)
                    time.sleep(0.2)
                if first is None and self.elapsed() >= FIRST_MINUTE:
                    first = usage(self.program, ui), self.log_size(), self.faults()
            self.look(tails, prober)
            time.sleep(SETTLE)
            self.look(tails, prober)
            last = usage(self.program, ui), self.log_size(), self.faults()
        finally:
            prober.halt.set()
            prober.join(10)
            ui.close()
            probes.close()
        if first:
            self.check_growth(first, last)

    def look(self, tails, prober):
        if self.program.process.poll() is not None:
            raise Broken(f"Vantor.exe ended with exit code {self.program.process.returncode}")
        if prober.broken:
            raise prober.broken
        with self.lock:
            for frame in tails[0].lines():
                self.checks.wheel_frame(frame)
            for frame in tails[1].lines():
                self.checks.drive_frame(frame)
            wheel_back = self.checks.settle(time.monotonic())
        if wheel_back:
            for number, (control, _, _) in TRACKBARS.items():
                self.checks.shown(number, int(self.ui("trackpos", self.main_page, control).split()[0]))

    def log_size(self):
        return (self.dir / "Log.txt").stat().st_size

    def faults(self):
        return sum(self.checks.wheel.counts.values()) + sum(self.checks.drive.counts.values())

    def check_growth(self, first, last):
        (rss, *handles), log, faults = first
        self.report["memory"] = f"{rss} KiB at the first minute, {last[0][0]} KiB at the end"
        self.report["handles and windows"] = f"{handles} at the first minute, {list(last[0][1:])} at the end"
        self.report["Log.txt"] = f"{log} bytes at the first minute, {last[1]} at the end"
        for what, before, after in zip(("resident memory", "handles", "windows"),
                                       first[0], last[0]):
            if after > before * GROWTH + 1:
                raise Broken(f"{what} grew from {before} at the first minute to {after}")
        allowed = LOG_PER_FAULT * (last[2] - faults + 1)
        if last[1] - log > allowed:
            raise Broken(f"Log.txt grew by {last[1] - log} bytes for {last[2] - faults} faults")

    def check_files(self, model):
        """After a logoff the files hold what the user last set, as the project's own reader reads them."""
        self.wine.log_off()
        code = self.program.wait(60)
        if code != 0:
            raise Broken(f"Vantor.exe ended the logoff with exit code {code}")
        config = dict(line.split("=", 1) for line in (self.dir / "config.ini").read_text().split("\n")
                      if "=" in line)
        kept = {key: int(config.get(key, "-1")) for key in model.config()}
        if kept != model.config():
            raise Broken(f"config.ini holds {kept}, the user set {model.config()}")
        profiles = [self.vantorctl("profile", "show", entry["Name"]) for entry in self.vantorctl("profile", "list")]
        if profiles != model.profile_file():
            raise Broken(f"GameProfiles.ini holds {profiles}, the user made {model.profile_file()}")
        self.report["profiles at the end"] = len(profiles)

    def vantorctl(self, *args):
        ran = subprocess.run([str(ROOT / "build" / "linux" / "bin" / "vantorctl"), "--dir", str(self.dir),
                              "--json", *args], capture_output=True, text=True)
        if ran.returncode != 0:
            raise Broken(f"vantorctl {' '.join(args)}: {ran.stderr.strip()}")
        return json.loads(ran.stdout)

    def print_report(self, broken):
        checks = self.checks
        self.report.update({
            "minutes run": f"{self.elapsed() / 60:.1f}",
            "wheel faults": checks.wheel.counts, "drive faults": checks.drive.counts,
            "recoveries": checks.recoveries,
            "faults followed by another before a recovery could show": checks.cut_short,
            "slowest recovery": f"{checks.slowest[0]:.1f} s ({checks.slowest[1]})",
            "longest time the window did not answer": "{:.2f} s, at {:.1f} s".format(*checks.longest_silence),
            "answers over 0.6 s": f"{len(checks.slow_answers)} ({', '.join(checks.slow_answers[-8:])})",
            "frames checked": checks.frames,
            "result": "PASS" if broken is None else f"FAIL at {self.elapsed() / 60:.1f} min: {broken}",
        })
        text = "".join(f"{key}: {value}\n" for key, value in self.report.items())
        if broken is not None:
            text += f"the user's last actions: {', '.join(self.actions)}\n"
            text += f"replay: make soak SOAK_SEED={self.seed} SOAK_MINUTES={self.minutes}\n"
        (self.dir / "report.txt").write_text(text)
        print(text, end="")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--minutes", type=float, default=10)
    parser.add_argument("--seed", type=int, default=1)
    arguments = parser.parse_args()
    soak, broken = Soak(arguments.minutes, arguments.seed), None
    try:
        soak.run()
    except Broken as failure:
        broken = failure
    finally:
        end_session()
    soak.print_report(broken)
    return 0 if broken is None else 1


if __name__ == "__main__":
    sys.exit(main())
