#pragma once

#include <string>
#include <vector>

// The executable file names (without a path) of the running processes, in
// the order the system lists them. Tool Help on Windows, /proc elsewhere.
// False, with no names, when no snapshot could be taken.
using ProcessSnapshotter = bool (*)(std::vector<std::string>& names);

bool SnapshotProcesses(std::vector<std::string>& names);

// The snapshot in use: the system's unless another was put in place (tests).
// Returns the one it replaces; nullptr puts the system's back.
ProcessSnapshotter UseProcessSnapshot(ProcessSnapshotter snapshotter);
bool TakeProcessSnapshot(std::vector<std::string>& names);
