#pragma once

#include <string>
#include <vector>

// The start switches of the command line, process-wide, both false at start.
struct StartSwitches {
    bool noxinput = false; // leave XInput devices out of controller discovery
    bool dev = false;      // drive features on
};

extern StartSwitches g_switches;

// Reads the switches from the words of the command line (the first word is
// the program name and is skipped). A switch is '/' or '-' followed by
// "noxinput" or "dev" in any letter case with nothing after it; other words
// are ignored.
StartSwitches ParseStartSwitches(const std::vector<std::string>& words);
