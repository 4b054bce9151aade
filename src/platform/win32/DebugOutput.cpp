#include "platform/DebugOutput.h"

#include <windows.h>

void DebugOutput(const char* text) { OutputDebugStringA(text); }

bool DebuggerAttached() { return IsDebuggerPresent() != FALSE; }

void BreakIntoDebugger() { DebugBreak(); }
