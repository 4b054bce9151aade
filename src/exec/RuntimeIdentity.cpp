#include "exec/RuntimeIdentity.h"

#include <cstdio>
#include <cstring>

namespace {
char g_identity[16] = {};
}

uint32_t Crc32(const void* data, std::size_t length)
{
    uint32_t crc = 0xFFFFFFFFu;
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < length; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void SetRuntimeIdentity(const char* baseDirectory)
{
    std::snprintf(g_identity, sizeof g_identity, "%x", Crc32(baseDirectory, std::strlen(baseDirectory)));
}

const char* RuntimeIdentity() { return g_identity; }
