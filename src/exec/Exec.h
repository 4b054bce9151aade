#pragma once

struct ExecConfig;

// Brings the runtime up from the configuration record. Returns false on a
// fatal failure.
bool InitExec(const ExecConfig& config);

// Takes the runtime down; called once at program end.
void ExitExec();

// Two texts of the runtime that the application reads: the application
// name and the message box caption (64 bytes each). Both are empty from
// program load and nothing in this program fills them.
const char* ExecApplicationName();
const char* ExecCaption();
