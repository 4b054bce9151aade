#include "exec/OwnedText.h"

#include "exec/Memory.h"

#include <cstring>

char* CopyTextPart(const char* text, std::size_t length)
{
    auto* copy = static_cast<char*>(AllocMem(MemMainRam, length + 1));
    if (!copy) return nullptr;
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

char* CopyText(const char* text) { return text ? CopyTextPart(text, std::strlen(text)) : nullptr; }

void FreeText(char* text)
{
    if (text) FreeMem(text);
}
