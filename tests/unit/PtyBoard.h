#pragma once

#include "TempDir.h"
#include <gtest/gtest.h>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

// A pseudo-terminal linked as com<n>, in a private COM port directory (the
// program's while the object lives) or in the directory given; the test
// plays the board on its master side.
class PtyBoard {
public:
    explicit PtyBoard(int comNumber = 3) : own_(std::in_place)
    {
        setenv("VANTOR_DOSDEVICES", own_->path().c_str(), 1);
        Link(own_->path(), comNumber);
    }
    PtyBoard(const std::filesystem::path& dir, int comNumber) { Link(dir, comNumber); }
    ~PtyBoard()
    {
        close(master_);
        if (own_) unsetenv("VANTOR_DOSDEVICES");
    }
    PtyBoard(const PtyBoard&) = delete;
    PtyBoard& operator=(const PtyBoard&) = delete;

    // Bytes from the board to the program.
    void Send(const std::vector<uint8_t>& bytes) const
    {
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // What the program has sent so far (waits up to waitMs for the first byte).
    std::vector<uint8_t> Received(int waitMs = 200) const
    {
        std::vector<uint8_t> bytes;
        pollfd p{master_, POLLIN, 0};
        uint8_t buffer[256];
        if (poll(&p, 1, waitMs) <= 0) return bytes;
        for (ssize_t n; (n = read(master_, buffer, sizeof buffer)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
        return bytes;
    }

    const std::filesystem::path& Dir() const { return own_->path(); }

private:
    void Link(const std::filesystem::path& dir, int comNumber)
    {
        int slave = -1;
        char name[128];
        if (openpty(&master_, &slave, name, nullptr, nullptr) != 0) return;
        close(slave);
        fcntl(master_, F_SETFL, O_NONBLOCK);
        std::filesystem::create_symlink(name, dir / ("com" + std::to_string(comNumber)));
    }

    std::optional<TempDir> own_;
    int master_ = -1;
};
