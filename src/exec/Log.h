#pragma once

#include <cstddef>

struct ExecConfig;

// Log modes of ExecConfig::logMode.
constexpr unsigned LogModeOff = 0;
constexpr unsigned LogModeAppend = 1;
constexpr unsigned LogModeNew = 2;

// Longest text of one log message; longer messages are cut.
constexpr std::size_t LogLineMax = 511;
// Size of the shared formatting buffer behind FormatTemp.
constexpr std::size_t FormatTempSize = 64 * 1024;

// Takes the log directory and mode from the record and writes the opening
// lines ("Log Create" for a new file, then the init line with the date).
void LogInit(const ExecConfig& config);

// Switches the file log on (append mode) in the current directory; used
// when the runtime start fails before the log settings were taken.
void LogSwitchOn();

// Messages whose level is above the threshold are dropped.
void SetLogThreshold(int threshold);

// Formats with printf rules and writes one line when the log is on and the
// level passes. Returns the number of characters written, 0 when dropped.
int LogPrintf(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Writes one line to the debugger output and the log file, with no level test.
void LogWrite(const char* text);

// Formats into the shared 64 KiB buffer and returns it; valid until the next use.
char* FormatTemp(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The shared 64 KiB buffer itself (also the script reader's token workspace).
char* FormatTempBuffer();

// Puts the shared buffer in a block of FormatTempSize bytes (the runtime
// start takes it from the main pool); null returns to the fixed buffer.
void UseFormatTempBlock(char* block);

// Whether AssertBox shows its box (the default) or shows nothing, for a
// program that tells its failures in its own words.
void ShowAssertBoxes(bool shown);

// Shows the runtime's assertion box. Returns true only when the user asked
// to break and a debugger is attached to take the break, so a caller that
// breaks on true never ends the program on its own.
bool AssertBox(const char* source, int line, const char* condition, const char* message);

// The runtime's failure report: the assertion box with condition "FALSE",
// then the same message in the log at level 0.
void ExecFailure(const char* source, int line, const char* message);
