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
#include <unistd.h>

extern char** environ;

// A child program, its standard output sent to the descriptor given (or
// /dev/null), its log read back, stopped with SIGTERM when the object goes.
class ChildProgram {
public:
    explicit ChildProgram(std::filesystem::path log) : log_(std::move(log)) {}
    ~ChildProgram() { Stop(); }
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    // Stopped, the program keeps its ports open and answers nothing.
    void Pause(bool paused)
    {
        if (pid_ > 0) kill(pid_, paused ? SIGSTOP : SIGCONT);
    }

    void Stop()
    {
        Pause(false);
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

protected:
    void Spawn(std::vector<std::string> words, int out = -1)
    {
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (out < 0) posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        else posix_spawn_file_actions_adddup2(&actions, out, 1);
        if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    std::filesystem::path log_;
    pid_t pid_ = -1;
};

// A simulator program (wheelsim, drivesim) whose pty is linked as com<n> in
// the given directory, its log written beside it.
class SimProcess : public ChildProgram {
public:
    SimProcess(const char* program, const std::filesystem::path& dir, int comNumber, std::vector<std::string> options)
        : ChildProgram(dir / (std::filesystem::path(program).filename().string() + std::to_string(comNumber) + ".jsonl")),
          link_(dir / ("com" + std::to_string(comNumber)))
    {
        std::vector<std::string> words = {program, "--link", link_.string(), "--log", log_.string()};
        words.insert(words.end(), options.begin(), options.end());
        Spawn(words); // what it prints, its pty's path, is dropped
        WaitUntil([this] { return pid_ <= 0 || Running(); }, std::chrono::seconds(5));
    }

    bool Running() const { return pid_ > 0 && std::filesystem::is_symlink(link_); }

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
    std::filesystem::path link_;
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
#ifdef UPDATESERVER_PATH
// The stand-in update server (tools/updateserver) serving a directory on a
// loopback port in one of its modes, a log line a request beside the files.
class UpdateServer : public ChildProgram {
public:
    UpdateServer(const std::filesystem::path& root, const std::string& mode) : ChildProgram(root / "requests.jsonl")
    {
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) return;
        Spawn({"python3", UPDATESERVER_PATH, "--root", root.string(), "--log", log_.string(), "--mode", mode}, out[1]);
        close(out[1]);
        char line[16] = {}; // the first line is the port it listens on
        for (std::size_t n = 0; n + 1 < sizeof line && read(out[0], line + n, 1) == 1 && line[n] != '\n'; ++n) {
        }
        close(out[0]);
        port_ = std::atoi(line);
    }
    std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    int port_ = 0;
};
#endif
