#pragma once

#include "Pty.h"

#include <ctime>
#include <functional>
#include <string>

// Milliseconds of the monotonic clock.
double NowMs();
// Sleeps; a stop request cuts it short.
void SleepMs(double ms);
// A time span for the system's waits (0 for a negative one).
timespec ToTimespec(double ms);

// Runs a simulator: SIGTERM and SIGINT ask it to stop (SIGPIPE is
// ignored), its pty is created at speed, linked at linkPath (unless empty)
// and its path printed as the first line of standard output; run gets the
// pty, and the link goes when it returns. 0, or 1 after a message on
// standard error that names tool.
int RunOnPty(const char* tool, speed_t speed, const std::string& linkPath, const std::function<void(Pty&)>& run);
bool StopRequested();
// Ends the run as SIGTERM does (a simulator that cannot go on).
void RequestStop();
// Links the pty's path at linkPath, in place of whatever was there; true
// when linked or when linkPath is empty.
bool LinkPty(const Pty& pty, const std::string& linkPath);
