#include "platform/ProcessSnapshot.h"

#include <dirent.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

// The executable's file name: the target of /proc/<pid>/exe, else the
// kernel's (possibly shortened) command name for processes of other users.
bool ExecutableName(const char* pid, std::string& name)
{
    char path[64];
    char target[4096];
    std::snprintf(path, sizeof path, "/proc/%s/exe", pid);
    const ssize_t length = readlink(path, target, sizeof target - 1);
    if (length > 0) {
        target[length] = '\0';
        const char* slash = std::strrchr(target, '/');
        name = slash ? slash + 1 : target;
        return true;
    }
    std::snprintf(path, sizeof path, "/proc/%s/comm", pid);
    std::FILE* comm = std::fopen(path, "r");
    if (!comm) return false;
    const bool read = std::fgets(target, sizeof target, comm) != nullptr;
    std::fclose(comm);
    if (!read) return false;
    target[std::strcspn(target, "\n")] = '\0';
    name = target;
    return true;
}

} // namespace

bool SnapshotProcesses(std::vector<std::string>& names)
{
    DIR* proc = opendir("/proc");
    if (!proc) return false;
    while (const dirent* entry = readdir(proc)) {
        if (!std::isdigit(static_cast<unsigned char>(entry->d_name[0]))) continue;
        std::string name;
        if (ExecutableName(entry->d_name, name)) names.push_back(name);
    }
    closedir(proc);
    return true;
}
