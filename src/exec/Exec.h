#pragma once

struct ExecConfig;

// Brings the runtime up from the configuration record. Returns false on a
// fatal failure.
bool InitExec(const ExecConfig& config);

// Takes the runtime down; called once at program end.
void ExitExec();
