#pragma once

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

// The stand-in update server (tools/updateserver) serving a directory on a
// loopback port in one of its modes, its requests logged beside the files.
// Stopped with SIGTERM when the object goes.
class UpdateServer {
public:
    UpdateServer(const std::filesystem::path& root, const std::string& mode) : log_(root / "requests.jsonl")
    {
        std::vector<std::string> words = {"python3", UPDATESERVER_PATH, "--root", root.string(), "--log", log_.string(),
                                          "--mode", mode};
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        int out[2];
        if (pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        if (posix_spawnp(&pid_, "python3", &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        // The first line is the port it listens on.
        char line[16] = {};
        for (std::size_t n = 0; n + 1 < sizeof line && read(out[0], line + n, 1) == 1 && line[n] != '\n'; ++n) {
        }
        close(out[0]);
        port_ = std::atoi(line);
    }
    ~UpdateServer()
    {
        if (pid_ > 0 && kill(pid_, SIGTERM) == 0) waitpid(pid_, nullptr, 0);
    }
    UpdateServer(const UpdateServer&) = delete;
    UpdateServer& operator=(const UpdateServer&) = delete;

    std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
    // The server's log lines, one a request.
    std::vector<std::string> Requests() const
    {
        std::vector<std::string> lines;
        std::ifstream in(log_);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

private:
    std::filesystem::path log_;
    pid_t pid_ = -1;
    int port_ = 0;
};
