#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The outside programs (the port lister, the firmware programmer): started
// by path, their output read or their end awaited.
class ChildProcesses {
public:
    // Starts the program through the system's pipe-open facility (popen
    // "rt") and collects the lines of its standard output, without their
    // line ends; false when it could not be started. The output is closed
    // in every case.
    virtual bool ReadOutput(const std::string& program, std::vector<std::string>& lines) = 0;
    // Runs the program with the arguments (the first is its own name) and
    // waits until it ends: its exit status, or -1 when it could not start.
    virtual int Run(const std::string& program, const std::vector<std::string>& arguments) = 0;

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

// Appends the lines of the open file to lines, without their line ends (a
// last line without one included).
void ReadLines(std::FILE* file, std::vector<std::string>& lines);
