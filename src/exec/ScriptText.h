#pragma once

#include "exec/ScriptTable.h"

// Shared between the script reader, writer and handler.

// Finds the section's header; returns its '[' with the cursor after its ']',
// or null.
const char* FindSectionHeader(ScriptTable* table, const char* name);

// Where the section whose header ends at `from` ends: at the next token
// that the reader reads as beginning with '[' (a quoted one too) where a
// key could stand (not after an = , < > | ( or
// ) that follows a key or value on its line), together with the blanks
// that indent it; or at the end of the text. Comments and quoted texts are
// passed as the reader passes them.
const char* SectionEnd(const ScriptTable* table, const char* from);

// True when the section name has at most 127 characters; else a line at
// level 0 says that `who` refused it.
bool SectionNameFits(const char* who, const char* name);

// True when, from the cursor, only tabs, blanks, '=' and parentheses come
// before the end of the line (or of the buffer, or a line comment).
bool LineComplete(const ScriptTable* table);

// Frees the table's text unless another open table shares it.
void ReleaseScriptText(ScriptTable* table);
// Frees the lines waiting to be written and the section name.
void FreeScriptLines(ScriptTable* table);
