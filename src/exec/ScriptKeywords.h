#pragma once

#include "exec/ScriptTable.h"

// The keyword tables of the program's files.
extern const ScriptKeyword AppSettingsKeywords[];
extern const ScriptKeyword ServerKeywords[];
extern const ScriptKeyword LanguageKeywords[];
extern const ScriptKeyword ProfileKeywords[];
