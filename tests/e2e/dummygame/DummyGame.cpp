// A stand-in for a game: a process that does nothing for the number of
// seconds given (60 by default), so that game detection can find it by the
// name it was copied to.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    const unsigned long seconds = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 60;
    Sleep(static_cast<DWORD>(seconds * 1000));
    return 0;
}
