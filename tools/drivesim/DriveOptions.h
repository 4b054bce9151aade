#pragma once

#include <cstdint>
#include <string>
#include <vector>

// How a reply misbehaves (--fault).
enum class DriveFault { None, BadCrc, Reserved, Overlong, Short, Chatter };

// lateParam standing for every request.
constexpr int EveryParam = -2;

// What the simulated servo drive is told on its command line.
struct DriveOptions {
    std::string linkPath;                // --link: symlink made to the pty
    std::string logPath;                 // --log: JSON lines of received requests
    int node = 2;                        // --node: the address it answers to
    int32_t version = 0x0201;            // --version (hex): parameter 3
    int32_t torqueBandwidth = 4;         // --torque-bw: parameter 490 at start
    std::vector<int32_t> samples{0};     // --samples: motor current reads, cycling
    int32_t waveAmplitude = 0;           // --wave AMP,PERIOD: a sine instead of the samples
    int wavePeriod = 0;                  //   (reads per period; 0 = no wave)
    bool silent = false;                 // --silent: answers nothing
    DriveFault fault = DriveFault::None; // --fault
    int faults = -1;                     // --faults: replies that misbehave (-1 = all)
    int splitPauseMs = -1;               // --split-pause: reply written byte by byte (-1 = one write)
    bool paced = false;                  // --paced: reply takes the time of 460800 baud
    int lateParam = -1;                  // --late / --late-every PARAM,MS: requests on PARAM
    int lateMs = 0;                      //   answered MS late
    bool lateEvery = false;              //   every time (--late-every), else the first time only
    int chaosSeed = -1;                  // --chaos: faults on a seeded schedule (-1 = none)
    int chaosSpeed = 1;                  // --chaos-speed: the schedule's periods divided by this
};

// Parses the options after the program name; false with a message in
// error when one is not understood.
bool ParseDriveOptions(int argc, char** argv, DriveOptions& options, std::string& error);

// The usage text.
const char* DriveUsage();
