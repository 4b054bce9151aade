#pragma once

#include "Doubles.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

// A simulator program (wheelsim, drivesim) run as a child: its pty is
// linked as com<n> in the given directory, its log written beside it.
// Stopped with SIGTERM when the object goes.
class SimProcess {
public:
    SimProcess(const char* program, const std::filesystem::path& dir, int comNumber, std::vector<std::string> options)
        : link_(dir / ("com" + std::to_string(comNumber))),
          log_(dir / (std::filesystem::path(program).filename().string() + std::to_string(comNumber) + ".jsonl"))
    {
        std::vector<std::string> words = {program, "--link", link_.string(), "--log", log_.string()};
        words.insert(words.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0); // it prints its pty's path
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        WaitUntil([this] { return pid_ <= 0 || Running(); }, std::chrono::seconds(5));
    }
    ~SimProcess() { Stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Running() const { return pid_ > 0 && std::filesystem::is_symlink(link_); }

    void Stop()
    {
        while (pid_ > 0 && kill(pid_, SIGTERM) == 0 && waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }

    std::vector<std::string> LogLinesWith(const std::string& text) const
    {
        std::vector<std::string> found;
        std::ifstream in(log_);
        for (std::string line; std::getline(in, line);)
            if (line.find(text) != std::string::npos) found.push_back(line);
        return found;
    }

    // The bytes of every frame of a kind ("read", "write", ...), as text: "80,8,4,0,0,3,132".
    std::vector<std::string> Frames(const std::string& kind) const
    {
        std::vector<std::string> frames;
        for (const std::string& line : LogLinesWith("\"kind\":\"" + kind + "\"")) {
            const std::size_t from = line.find("\"bytes\":[") + 9;
            frames.push_back(line.substr(from, line.find(']', from) - from));
        }
        return frames;
    }

    // The parameter number (second byte) of every frame of a kind.
    std::vector<long> Numbers(const std::string& kind) const
    {
        std::vector<long> numbers;
        for (const std::string& f : Frames(kind)) numbers.push_back(std::strtol(f.c_str() + f.find(',') + 1, nullptr, 10));
        return numbers;
    }

    // Waits up to 3 s for a log line with the text.
    bool WaitForLog(const std::string& text) const
    {
        return WaitUntil([&] { return !LogLinesWith(text).empty(); }, std::chrono::seconds(3));
    }

private:
    std::filesystem::path link_, log_;
    pid_t pid_ = -1;
};

#ifdef WHEELSIM_PATH
struct WheelSim : SimProcess {
    WheelSim(const std::filesystem::path& dir, int com, std::vector<std::string> options = {})
        : SimProcess(WHEELSIM_PATH, dir, com, std::move(options)) {}
};
#endif
#ifdef DRIVESIM_PATH
struct DriveSim : SimProcess {
    DriveSim(const std::filesystem::path& dir, int com, std::vector<std::string> options = {})
        : SimProcess(DRIVESIM_PATH, dir, com, std::move(options)) {}
};
#endif
