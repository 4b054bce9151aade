#pragma once

// The system's debugger output: OutputDebugStringA on Windows, the
// standard error stream elsewhere.
void DebugOutput(const char* text);

// True while a debugger is attached to this process.
bool DebuggerAttached();

// Stops in the attached debugger; callers check DebuggerAttached() first.
void BreakIntoDebugger();
