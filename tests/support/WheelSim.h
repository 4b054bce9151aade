#pragma once

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

// The wheelsim program run as a child: its pty is linked as com<n> in the
// given directory, its frame log written beside it. Stopped with SIGTERM
// when the object goes.
class WheelSim {
public:
    WheelSim(const std::filesystem::path& dir, int comNumber, std::vector<std::string> options = {})
        : link_(dir / ("com" + std::to_string(comNumber))), log_(dir / ("wheelsim" + std::to_string(comNumber) + ".jsonl"))
    {
        std::vector<std::string> words = {WHEELSIM_PATH, "--link", link_.string(), "--log", log_.string()};
        words.insert(words.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);

        int out[2];
        if (pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        // The first line is the pty's path, written once the link exists.
        char c = 0;
        pollfd p{out[0], POLLIN, 0};
        while (pid_ > 0 && poll(&p, 1, 5000) > 0 && read(out[0], &c, 1) == 1 && c != '\n') ptyPath_ += c;
        close(out[0]);
    }

    ~WheelSim() { Stop(); }
    WheelSim(const WheelSim&) = delete;
    WheelSim& operator=(const WheelSim&) = delete;

    bool Running() const { return pid_ > 0 && !ptyPath_.empty(); }
    const std::string& PtyPath() const { return ptyPath_; }

    // SIGTERM and wait; the exit status (0 for a clean end), -1 when not running.
    int Stop()
    {
        if (pid_ <= 0) return status_;
        kill(pid_, SIGTERM);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return status_;
    }

    const std::filesystem::path& LinkPath() const { return link_; }

    std::vector<std::string> LogLines() const
    {
        std::vector<std::string> lines;
        std::ifstream in(log_);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    // The log lines that contain the text.
    std::vector<std::string> LogLinesWith(const std::string& text) const
    {
        std::vector<std::string> found;
        for (const std::string& line : LogLines()) {
            if (line.find(text) != std::string::npos) found.push_back(line);
        }
        return found;
    }

    // Waits (up to the limit) until a log line contains the text.
    bool WaitForLog(const std::string& text, std::chrono::milliseconds limit = std::chrono::seconds(3)) const
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (!LogLinesWith(text).empty()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

private:
    std::filesystem::path link_;
    std::filesystem::path log_;
    std::string ptyPath_;
    pid_t pid_ = -1;
    int status_ = -1;
};
