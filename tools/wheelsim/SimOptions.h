#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// What the simulated wheel board is told on its command line.
struct SimOptions {
    std::string linkPath;                      // --link: symlink made to the pty
    std::string logPath;                       // --log: JSON lines of received frames
    std::vector<uint8_t> statusScript{1, 3, 4, 5, 6, 8}; // --status: answers to 'S', the last repeats
    uint32_t firmwareVersion = 0x15;           // --fw-version: 'V' answer while the flash carries no version
    std::map<int, int32_t> initialValues;      // --set N=V
    int32_t centerValue = 1234;                // --center: parameter 4 after 'c'
    bool silent = false;                       // --silent: answers nothing
    bool echo = false;                         // --echo: sends every byte back, answers nothing
    std::string debugText;                     // --debug-text: sent before the probe's answer
    int garbageBytes = 0;                      // --garbage: noise bytes before the probe's answer
    int splitBytes = 0;                        // --split: answers written in pieces of this size
    int splitPauseMs = 10;                     // --split-pause: pause between the pieces
    int slowMs = 0;                            // --slow: pause before every answer
    int disconnectAfter = -1;                  // --disconnect-after: frames answered before the pty goes
    int restartMs = 500;                       // --restart-ms: quiet time after the 1200-baud touch
    int traceMs = 50;                          // --trace-ms: trace frame period while DebugLevel > 0
    int traceSine = 0;                         // --trace-sine: the torque's period in ms, 0 = frame counts
    std::vector<uint8_t> traceFrame;           // --trace-frame: the 4 bytes of the first trace frame
    std::string bootLink;                      // --boot-link: where the boot loader's pty is linked
    bool bootSamePort = false;                 // --boot-same-port: the boot loader takes the board's link
    bool bootNeverReturn = false;              // --boot-never-return: no board after the boot loader
    int bootMs = 8000;                         // --boot-ms: the boot loader's time-out without a byte
    int bootStopAfter = -1;                    // --boot-stop-after: commands answered before it falls silent
    std::string flashIn;                       // --flash-in: raw flash image to start with
    std::string flashOut;                      // --flash-out: raw flash image written when the boot loader ends
    int chaosSeed = -1;                        // --chaos: faults on a seeded schedule (-1 = none)
    int chaosSpeed = 1;                        // --chaos-speed: the schedule's periods divided by this

    // The 1200-baud open and close starts the boot loader (else it only restarts the board).
    bool BootLoaderShown() const { return bootSamePort || !bootLink.empty(); }
};

// Parses the options after the program name; false with a message in
// error when one is not understood.
bool ParseSimOptions(int argc, char** argv, SimOptions& options, std::string& error);

// The usage text.
const char* SimUsage();
