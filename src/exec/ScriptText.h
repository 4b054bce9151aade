#pragma once

#include "exec/ScriptTable.h"

// Shared between the script reader, writer and handler.

// Finds the section's header; returns its '[' with the cursor after its ']',
// or null.
const char* FindSectionHeader(ScriptTable* table, const char* name);

// True when, from the cursor, only tabs, blanks, '=' and parentheses come
// before the end of the line (or of the buffer, or a line comment).
bool LineComplete(const ScriptTable* table);

// Frees the table's text unless another open table shares it.
void ReleaseScriptText(ScriptTable* table);
// Frees the lines waiting to be written and the section name.
void FreeScriptLines(ScriptTable* table);
