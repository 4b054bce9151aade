#pragma once

#include "TempDir.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

// A pseudo-terminal linked as com<n> in a private COM port directory; the
// test plays the board on its master side.
class PtyBoard {
public:
    explicit PtyBoard(int comNumber = 3)
    {
        setenv("VANTOR_DOSDEVICES", dir_.path().c_str(), 1);
        int slave = -1;
        char name[128];
        if (openpty(&master_, &slave, name, nullptr, nullptr) != 0) return;
        close(slave);
        fcntl(master_, F_SETFL, O_NONBLOCK);
        std::filesystem::create_symlink(name, dir_.path() / ("com" + std::to_string(comNumber)));
    }
    ~PtyBoard()
    {
        if (master_ >= 0) close(master_);
        unsetenv("VANTOR_DOSDEVICES");
    }
    PtyBoard(const PtyBoard&) = delete;
    PtyBoard& operator=(const PtyBoard&) = delete;

    // Bytes from the board to the program.
    void Send(const std::vector<uint8_t>& bytes) const
    {
        if (write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) std::abort();
    }

    // As Send, but gives up on a full line; true when all went.
    bool TrySend(const std::vector<uint8_t>& bytes) const
    {
        return write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // What the program has sent so far (waits briefly for the first byte).
    std::vector<uint8_t> Received() const
    {
        std::vector<uint8_t> bytes;
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, 200) <= 0) return bytes;
        uint8_t buffer[256];
        for (ssize_t n; (n = read(master_, buffer, sizeof buffer)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
        return bytes;
    }

    const std::filesystem::path& Dir() const { return dir_.path(); }

private:
    TempDir dir_;
    int master_ = -1;
};
