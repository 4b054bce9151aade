#pragma once

#include "cli/TerminalControls.h"

#include <cstdint>
#include <string>
#include <vector>

struct AppContext;
class Report;

// Exit statuses.
constexpr int ExitOk = 0;
constexpr int ExitUsage = 1;   // the command line asks for something there is not
constexpr int ExitDevice = 2;  // the board or the drive cannot be reached or does not answer
constexpr int ExitRefused = 3; // a value is refused (out of range, read-only, a profile kept)
constexpr int ExitFile = 4;    // a file cannot be read or written

// The command line: the options, wherever they stand, and the other words.
struct Invocation {
    std::string port, com, drivePort, driveCom, dir, process, avrdude, avrdudeConf;
    bool json = false, help = false, version = false, replace = false, repaired = false;
    bool quiet = false, verbose = false; // -q: no notes, only errors; -v: avrdude's detail as it runs
    std::vector<std::string> words;          // the command, a sub-command, the arguments
    std::vector<std::string> commandOptions; // the options given that only some commands take
};

// False, with the reason, for an option the program does not know or one
// without its value.
bool ParseInvocation(int argc, char** argv, Invocation& invocation, std::string& error);

// One run of a command.
struct Cli {
    const Invocation& invocation;
    AppContext& app;
    TerminalControls& controls;
    std::string dir;                    // where GameProfiles.ini is
    std::string board;                  // the board's port as it was found: "COM<n> (<device>)"
    std::vector<std::string> arguments; // the words after the command's name
};

// "vantorctl: <text>" on standard error; returns the status.
int Fail(int status, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The same for a note that is no error (a wait, a value repaired), which
// -q keeps to itself.
void Note(const Cli& cli, const char* format, ...) __attribute__((format(printf, 2, 3)));

// At start: a standard stream that is closed is held by /dev/null, so that
// no file the command opens takes its number.
void HoldStandardStreams();
// At the end: the command's status, or ExitFile with its line when what it
// printed could not all be written (a full disk, a closed output).
int EndStandardOutput(int status);

// A whole number in decimal, with an optional sign and nothing after it.
bool ParseNumber(const std::string& text, long long& value);

// Finds the board's port (--port, --com, else by its USB ids) and
// identifies the board there: ExitOk, or the status after its line.
// The port is named in every line about the board from then on.
int ConnectBoard(Cli& cli);
// ExitOk while every reply of the board came in time.
int BoardAnswered(Cli& cli);
// Reads the records back into the report; ExitOk when the board holds
// every value it was sent, else the status after a line for each it does
// not. A board that stops answering on the way is ExitDevice, with a line
// that names the values read back as sent and those not known to have
// reached it.
int ReadBack(Cli& cli, const std::vector<int>& records, Report& report);
// The same for the drive's port, whose bus is then configured.
int ConnectDrive(Cli& cli);

// The commands; each returns its exit status.
int RunStatus(Cli& cli);
int RunGet(Cli& cli);
int RunSet(Cli& cli);
int RunCalibrate(Cli& cli);
int RunCenter(Cli& cli);
int RunDefaults(Cli& cli);
int RunFlash(Cli& cli);
int RunProfileList(Cli& cli);
int RunProfileShow(Cli& cli);
int RunProfileApply(Cli& cli);
int RunProfileSave(Cli& cli);
int RunProfileRemove(Cli& cli);
int RunProfileExport(Cli& cli);
int RunProfileImport(Cli& cli);
int RunDriveStats(Cli& cli);
int RunDriveBandwidth(Cli& cli);
int RunDriveRestart(Cli& cli);
int RunDriveClearFaults(Cli& cli);

// The names of the board parameters with the values `set` takes, one a
// line, for the help of get and set.
std::string ParameterList();
