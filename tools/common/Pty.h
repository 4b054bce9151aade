#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <termios.h>

// A pseudo-terminal standing in for a serial port: the simulator keeps the
// master, the program opens the slave by its path.
class Pty {
public:
    Pty() = default;
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    ~Pty() { Close(); }

    // Opens a new pty whose line starts raw at speed.
    bool Create(speed_t speed);
    void Close();

    bool Open() const { return master_ >= 0; }
    int Master() const { return master_; }
    const std::string& Path() const { return path_; }
    // The line speed the program last set.
    speed_t Speed() const;
    // Writes the bytes, in one write() when the line takes them all.
    void Send(const uint8_t* bytes, std::size_t count) const;
    // Lets go of the simulator's own hold on the line: once the program
    // closes it too, the master sees the hang-up (POLLHUP).
    void ReleaseLine();
    // True once that hang-up has come.
    bool HungUp() const;

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};
