#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Run's result for a program that was ended because it ran past its limit.
constexpr int ChildStopped = -2;

// The outside programs (the port lister, the firmware programmer): started
// by path, never through a shell, their output read or their end awaited.
class ChildProcesses {
public:
    // Starts the program with its standard output on a pipe read in text
    // mode and collects the lines, without their line ends; false when it
    // could not be started. The output is closed in every case.
    virtual bool ReadOutput(const std::string& program, std::vector<std::string>& lines) = 0;
    // Runs the program with the arguments (the first is its own name) and
    // waits until it ends, at most `limitMs`: its exit status, -1 when it
    // could not start, ChildStopped when it was ended at the limit.
    virtual int Run(const std::string& program, const std::vector<std::string>& arguments, uint32_t limitMs) = 0;

protected:
    ~ChildProcesses() = default;
};

ChildProcesses& SystemChildProcesses();

// The child processes in use: the system's unless others were put in place.
ChildProcesses& ActiveChildProcesses();
// Puts others in place (nullptr = the system's again); returns the ones replaced.
ChildProcesses* UseChildProcesses(ChildProcesses* processes);

// The separator of the system's paths: '\\' on Windows, '/' elsewhere.
char PathSeparator();

// The file name of a program of the system: base + ".exe" on Windows.
std::string ProgramFileName(const char* base);

// Whether a file of this path exists (a program the system could start).
bool FileExists(const std::string& path);

// The folder of the running program, ending with the separator; "" when
// the system does not tell.
std::string ProgramFolder();

// The command line that hands these arguments to a Windows program as they
// are: each quoted and escaped by the C runtime's rules for splitting it.
std::string WindowsCommandLine(const std::vector<std::string>& arguments);

// Appends the lines of the open file to lines, without their line ends (a
// last line without one included).
void ReadLines(std::FILE* file, std::vector<std::string>& lines);
