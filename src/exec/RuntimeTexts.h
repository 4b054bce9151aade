#pragma once

#include "exec/MText.h"

// The runtime's own text tables, from <base>System\Resources\Scripts\Exec.xml.
enum class RuntimeTextId { TimeUnits, MemUnits, NominalUnits, Date };

void MakeRuntimeTexts();
// Loads the four tables for the current language (a table already loaded
// for it stays unchanged).
void LoadRuntimeTexts();
void FreeRuntimeTexts();
const MText* RuntimeText(RuntimeTextId id);
