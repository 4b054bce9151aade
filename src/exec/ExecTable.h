#pragma once

#include <cstdint>

// The runtime's growable array of fixed-size entries, stored in the main pool.
struct ExecTable {
    unsigned char* data = nullptr;
    unsigned char* cursor = nullptr; // where the next entry goes
    uint32_t capacity = 0;           // in entries
    uint32_t count = 0;
    uint32_t byteSize = 0;
    uint32_t entrySize = 0;
};

// Takes storage for capacity entries and empties the table. On failure
// reports "AddTable error: No table (could not allocate %s)".
bool AddTable(ExecTable* table, uint32_t entrySize, uint32_t capacity);

// Grows the capacity by entries, keeping the entries in use. On failure
// reports "ResizeTable: Could not allocate %s" and leaves the table as it was.
bool ResizeTable(ExecTable* table, uint32_t entries);

// Appends a copy of entry. The count is raised first, so a table of
// capacity N holds N - 1 entries before it must grow; it then grows by
// growStep entries, or the append fails when growStep is 0.
bool AppendTableEntry(ExecTable* table, const void* entry, uint32_t growStep);

// The entry at index (no bounds check: callers stay below count).
void* TableEntry(const ExecTable* table, uint32_t index);

// Count 0, cursor at the start.
void RewindTable(ExecTable* table);

// Frees the storage.
void FreeTable(ExecTable* table);
