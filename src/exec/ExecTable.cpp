#include "exec/ExecTable.h"

#include "exec/Log.h"
#include "exec/Memory.h"
#include "exec/SizeText.h"

namespace {
constexpr const char* Source = "Exec\\Table";
}

bool AddTable(ExecTable* table, uint32_t entrySize, uint32_t capacity)
{
    const uint64_t bytes = static_cast<uint64_t>(entrySize) * capacity;
    void* data = bytes <= UINT32_MAX ? AllocMem(MemMainRam, static_cast<std::size_t>(bytes)) : nullptr;
    if (!data) {
        char size[64];
        FormatSize(bytes, size, sizeof size);
        ExecFailure(Source, __LINE__, FormatTemp("AddTable error: No table (could not allocate %s)", size));
        *table = ExecTable{};
        return false;
    }
    table->data = static_cast<unsigned char*>(data);
    table->cursor = table->data;
    table->capacity = capacity;
    table->count = 0;
    table->byteSize = static_cast<uint32_t>(bytes);
    table->entrySize = entrySize;
    return true;
}

bool ResizeTable(ExecTable* table, uint32_t entries)
{
    const uint64_t capacity = static_cast<uint64_t>(table->capacity) + entries;
    const uint64_t bytes = capacity * table->entrySize;
    void* data = bytes <= UINT32_MAX ? AllocMem(MemMainRam, static_cast<std::size_t>(bytes)) : nullptr;
    if (!data) {
        char size[64];
        FormatSize(bytes, size, sizeof size);
        ExecFailure(Source, __LINE__, FormatTemp("ResizeTable: Could not allocate %s", size));
        return false;
    }
    auto* bytesNew = static_cast<unsigned char*>(data);
    const uint32_t used = static_cast<uint32_t>(table->cursor - table->data);
    if (used) CopyMem(table->data, bytesNew, used);
    if (table->data) FreeMem(table->data);
    table->data = bytesNew;
    table->cursor = bytesNew + used;
    table->capacity = static_cast<uint32_t>(capacity);
    table->byteSize = static_cast<uint32_t>(bytes);
    return true;
}

bool AppendTableEntry(ExecTable* table, const void* entry, uint32_t growStep)
{
    if (!table->data) return false;
    ++table->count;
    if (table->count >= table->capacity) {
        table->count = table->capacity ? table->capacity - 1 : 0;
        if (growStep == 0 || !ResizeTable(table, growStep)) return false;
        ++table->count;
    }
    CopyMem(entry, table->cursor, table->entrySize);
    table->cursor += table->entrySize;
    return true;
}

void* TableEntry(const ExecTable* table, uint32_t index)
{
    return table->data + static_cast<std::size_t>(index) * table->entrySize;
}

void RewindTable(ExecTable* table)
{
    table->count = 0;
    table->cursor = table->data;
}

void FreeTable(ExecTable* table)
{
    if (table->data) FreeMem(table->data);
    *table = ExecTable{};
}
