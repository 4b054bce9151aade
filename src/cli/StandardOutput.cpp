// Standard output as a script relies on it: what the command printed has
// reached its file, or the run fails.
#include "cli/Cli.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

void HoldStandardStreams()
{
    // A closed 0, 1 or 2 would be the number of the next file opened (the
    // board's port, a profile file) and take what is meant for the stream.
    // A closed output is held open for reading only, so that what is
    // printed to it still fails.
    for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream) {
        if (fcntl(stream, F_GETFD) != -1 || errno != EBADF) continue;
        if (open("/dev/null", stream == STDERR_FILENO ? O_WRONLY : O_RDONLY) != stream) std::_Exit(ExitFile);
    }
}

int EndStandardOutput(int status)
{
    errno = 0;
    int error = std::fflush(stdout) != 0 || std::ferror(stdout) ? (errno ? errno : EIO) : 0;
    if (std::fclose(stdout) != 0 && error == 0) error = errno;
    if (error == 0 || status != ExitOk) return status;
    return Fail(ExitFile, "cannot write standard output: %s", std::strerror(error));
}
