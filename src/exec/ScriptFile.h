#pragma once

#include "exec/ScriptTable.h"

// A script table file of the base directory, by its bare name ("config.ini");
// `mode` may add ModeAsNamed (no ".ini" added to a name without an extension).

// Loaded for reading; null when the file cannot be opened.
ScriptTable* OpenScriptFile(const char* name, uint32_t mode = 0);

// True when the file is there: after a failed load, one that could not be
// read.
bool ScriptFileExists(const char* name, uint32_t mode = 0);

// Loaded for rewriting when it exists, else created empty; null when it can
// be neither opened nor created, and when it exists but cannot be read (it
// is then left as it is, with a line at level 0).
ScriptTable* OpenScriptFileForWriting(const char* name, uint32_t mode = 0);
