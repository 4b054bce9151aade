"""The user at random, seeded, and its own model of what the program must keep: the profiles, the settings of
config.ini, every value chosen for a board parameter and every drive write asked for."""
from checks import Broken

# Profile settings by the names vantorctl shows, with their parameter numbers.
FIELDS = {"MaxAngle": 8, "MainGain": 17, "GameFxSpring": 18, "GameFxFriction": 19, "GameFxDamper": 20,
          "GameFxInertia": 21, "GameFxConstant": 22, "GameFxSine": 23, "ForceTable": 24, "WheelFlags": 34,
          "Filter": 77, "UserFxSpring": 30, "UserFxFriction": 31, "UserFxDamper": 32, "UserFxInertia": 33}
# The fields in the order of a GameProfiles.ini line after the name and the process.
LINE_ORDER = (34, 8, 17, 18, 19, 20, 21, 22, 23, 24, 30, 31, 32, 33, 77)
NEW_PROFILE = (0, 900, 127, 127, 127, 127, 127, 127, 127, 127, 0, 0, 0, 0, 16)
START_PROFILES = (("Default", "NoLife.exe", NEW_PROFILE),
                  ("Rally", "rally.exe", (5, 540, 77, 10, 11, 12, 13, 14, 15, 16, 1, 2, 3, 4, 12)),
                  ("Drift", "drift.exe", (2, 1080, 90, 40, 41, 42, 43, 44, 45, 46, 5, 6, 7, 8, 20)))
# The main page's trackbars: parameter -> (control, lowest, highest).
TRACKBARS = {8: (2037, 180, 2160), 17: (2021, 0, 127), 18: (2031, 0, 127), 19: (2046, 0, 127),
             20: (2049, 0, 127), 21: (2063, 0, 127), 22: (2055, 0, 127), 23: (2059, 0, 127), 24: (2069, 0, 127),
             26: (2032, 0, 127), 27: (2058, 0, 127), 28: (2044, 0, 127), 29: (2072, 0, 127), 30: (2038, 0, 127),
             31: (2050, 0, 127), 32: (2062, 0, 127), 33: (2066, 0, 127), 77: (1077, 1, 31)}
CENTER, INVERT, MANUAL, DETECT_GAME, ADVANCED = 2019, 2121, 2126, 2128, 2123
PROFILES, NEW, EDIT, REMOVE = 1207, 2078, 2081, 2080
NAME_EDIT, PROCESS_EDIT, OK, YES, ESCAPE = 1206, 1207, 1, 6, 27
TORQUE_BW, WINDOW = 1079, 2110
TORQUE_BW_PARAM, DRIVE_PPR_PARAM, DRIVE_APPLY_PARAM = 490, 565, 554
PPR, BOARD_PPR = 2062, 2500  # the board's 10000 encoder counts are 2500 pulses
MOST_PROFILES = 8


class Model:
    """What the program holds by the user's doing."""

    def __init__(self, selected, torque_bw, window):
        self.profiles = [[name, process, dict(zip(LINE_ORDER, values))] for name, process, values in START_PROFILES]
        self.selected, self.flags, self.torque_bw, self.window = selected, 0, torque_bw, window
        self.current = dict(self.profiles[selected][2])
        self.values = {}
        for profile in self.profiles:
            self.choose(profile[2])
        self.drive_writes = set()

    def choose(self, values):
        for number, value in values.items():
            self.values.setdefault(number, set()).add(value)

    def chosen(self, number):
        return self.values.get(number, ())

    def set(self, number, value):
        """A setting changed on the page: the selected profile takes every setting the page shows."""
        self.choose({number: value})
        if number in self.current:
            self.current[number] = value
            self.profiles[self.selected][2] = dict(self.current)

    def select(self, index):
        self.selected = min(index, len(self.profiles) - 1)
        self.current = dict(self.profiles[self.selected][2])

    def config(self):
        return {"FLAGS": self.flags, "WINDOW_DURATION": self.window, "DEVICE_COM_PORT": 5, "SM_COM_PORT": 7,
                "TORQUE_BW": self.torque_bw, "GAME_PROFILE_ID": self.selected}

    def profile_file(self):
        return [{"Name": name, "Process": process, **{field: values[number] for field, number in FIELDS.items()}}
                for name, process, values in self.profiles]


def profiles_ini():
    lines = ["PROFILE=" + ",".join([name, process, *map(str, values)]) for name, process, values in START_PROFILES]
    return ("[GameProfiles]\r\n" + "".join(line + "\r\n" for line in lines) + "\r\n").encode()


class User:
    """Acts on the window at random; each action keeps the model in step."""

    def __init__(self, ui, rng, main_page, drive_page, model):
        self.ui, self.rng, self.main, self.drive, self.model = ui, rng, main_page, drive_page, model
        self.made = 0
        self.actions = [(self.slide, 6), (self.tick_flag, 1), (self.tick_detect_game, 1), (self.pick, 2),
                        (self.new_profile, 1), (self.edit_profile, 1), (self.remove_profile, 1),
                        (self.advanced, 1), (self.bandwidth, 2), (self.window, 1), (self.center, 1)]

    def act(self):
        action = self.rng.choices([a for a, _ in self.actions], [w for _, w in self.actions])[0]
        action()
        return action.__name__

    def usable(self, page, control):
        """A user cannot move a control the window has disabled."""
        return self.ui("enabled", page, control) == "1"

    def slide(self):
        number = self.rng.choice(sorted(TRACKBARS))
        control, low, high = TRACKBARS[number]
        position = self.rng.randint(low, high)
        if not self.usable(self.main, control):
            return
        self.model.set(number, position)
        self.ui("trackbar", self.main, control, position)

    def tick_flag(self):
        control, bit = self.rng.choice(((INVERT, 1), (MANUAL, 2)))
        if not self.usable(self.main, control):
            return
        self.ui("click", self.main, control)
        flags = self.model.current[34]
        flags = flags | bit if self.ui("checked", self.main, control) == "1" else flags & ~bit
        self.model.set(34, flags ^ 4 if bit == 1 else flags)

    def tick_detect_game(self):
        if not self.usable(self.main, DETECT_GAME):
            return
        self.ui("click", self.main, DETECT_GAME)
        on = self.ui("checked", self.main, DETECT_GAME) == "1"
        self.model.flags = self.model.flags | 2 if on else self.model.flags & ~2

    def pick(self):
        index = self.rng.randrange(len(self.model.profiles))
        if not self.usable(self.main, PROFILES):
            return
        self.model.select(index)
        self.ui("combo", self.main, PROFILES, index)

    def dialog(self, button, title):
        self.ui("post-click", self.main, button)
        return self.ui("find", title, 20000)

    def new_profile(self):
        if len(self.model.profiles) >= MOST_PROFILES or not self.usable(self.main, NEW):
            return
        self.made += 1
        name, process = f"Soak {self.made}", f"soak{self.made}.exe"
        dialog = self.dialog(NEW, "Game Profile")
        self.ui("set-text", dialog, NAME_EDIT, name)
        self.ui("set-text", dialog, PROCESS_EDIT, process)
        self.model.profiles.append([name, process, dict(zip(LINE_ORDER, NEW_PROFILE))])
        self.model.select(len(self.model.profiles) - 1)
        self.ui("click", dialog, OK)
        self.ui("gone", dialog, 20000)

    def edit_profile(self):
        if self.model.selected == 0 or not self.usable(self.main, EDIT):
            return
        dialog = self.dialog(EDIT, "Game Profile")
        process = f"edited{self.rng.randrange(1000)}.exe"
        self.model.profiles[self.model.selected][1] = process
        self.model.select(self.model.selected)
        self.ui("set-text", dialog, PROCESS_EDIT, process)
        self.ui("click", dialog, OK)
        self.ui("gone", dialog, 20000)

    def remove_profile(self):
        if self.model.selected == 0 or not self.usable(self.main, REMOVE):
            return
        self.ui("post-click", self.main, REMOVE)
        index = self.model.selected
        del self.model.profiles[index]
        self.model.select(max(index - 1, 0))
        self.ui("answer", "Are you sure ?", YES, 20000)

    def advanced(self):
        """Opens the advanced settings and leaves them with Escape or "Ok", which sends the drive settings the board
        holds (what the board started with: nobody changes them); without a wheel the program says so."""
        if not self.usable(self.main, ADVANCED):
            return
        self.ui("post-click", self.main, ADVANCED)
        for _ in range(100):
            dialog = self.ui("find", "Advanced Settings", 100, check=False)
            if dialog.startswith("uidriver") and self.ui("find-box", "Could find the wheel", 100, check=False) \
                    .startswith("uidriver"):
                continue
            if dialog.startswith("uidriver"):
                self.ui("answer", "Could find the wheel", OK)
                return
            if self.rng.random() < 0.5:
                self.ui("key", dialog, ESCAPE)
            else:
                self.model.drive_writes |= {(DRIVE_PPR_PARAM, BOARD_PPR), (DRIVE_APPLY_PARAM, 1)}
                self.ui("post-click", dialog, OK)
            if self.ui("gone", dialog, 20000, check=False):
                raise Broken(f"the advanced settings stayed open showing Encoder PPR {self.ui('text', dialog, PPR)}")
            return
        raise Broken("neither the advanced settings nor a word on the wheel came in 20 s")

    def bandwidth(self):
        position = self.rng.randint(0, 11)
        if not self.usable(self.drive, TORQUE_BW):
            return
        self.model.torque_bw = position
        self.model.drive_writes.add((TORQUE_BW_PARAM, position))
        self.ui("trackbar", self.drive, TORQUE_BW, position)

    def window(self):
        position = self.rng.randint(1, 3000)
        if not self.usable(self.drive, WINDOW):
            return
        self.model.window = position
        self.ui("trackbar", self.drive, WINDOW, position)

    def center(self):
        if self.usable(self.main, CENTER):
            self.ui("click", self.main, CENTER)
