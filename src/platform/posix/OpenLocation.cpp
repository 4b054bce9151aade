#include "platform/OpenLocation.h"

#include <spawn.h>

extern char** environ;

void OpenSystemLocation(NativeHandle, const char* location)
{
    pid_t child;
    char program[] = "xdg-open";
    char* arguments[] = {program, const_cast<char*>(location), nullptr};
    posix_spawnp(&child, program, nullptr, nullptr, arguments, environ);
}
