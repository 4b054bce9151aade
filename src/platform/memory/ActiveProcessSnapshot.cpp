#include "platform/ProcessSnapshot.h"

namespace {
ProcessSnapshotter g_snapshotter = nullptr;
}

ProcessSnapshotter UseProcessSnapshot(ProcessSnapshotter snapshotter)
{
    ProcessSnapshotter previous = g_snapshotter;
    g_snapshotter = snapshotter;
    return previous;
}

bool TakeProcessSnapshot(std::vector<std::string>& names)
{
    names.clear();
    return (g_snapshotter ? g_snapshotter : SnapshotProcesses)(names);
}
