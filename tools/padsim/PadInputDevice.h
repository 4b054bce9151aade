#pragma once

#include "PadConfig.h"

// An IDirectInputDevice8A over the scripted device of a section of
// padsim.ini. It follows the section as the file changes; a section that
// went away is an unplugged device.
IDirectInputDevice8A* NewInputDevice(const std::string& section);
