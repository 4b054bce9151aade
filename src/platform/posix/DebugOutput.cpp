#include "platform/DebugOutput.h"

#include <csignal>
#include <cstdio>
#include <cstring>

void DebugOutput(const char* text) { std::fputs(text, stderr); }

bool DebuggerAttached()
{
    // A traced process has a non-zero TracerPid in its status file.
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return false;
    char line[256];
    bool traced = false;
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "TracerPid:", 10) == 0) {
            int pid = 0;
            traced = std::sscanf(line + 10, "%d", &pid) == 1 && pid != 0;
            break;
        }
    }
    std::fclose(status);
    return traced;
}

void BreakIntoDebugger() { std::raise(SIGTRAP); }
