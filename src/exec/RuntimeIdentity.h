#pragma once

#include <cstddef>
#include <cstdint>

// CRC-32 (IEEE 802.3, reflected polynomial 0xEDB88320, start all ones,
// result complemented).
uint32_t Crc32(const void* data, std::size_t length);

// Derives the runtime identity from the base directory: its CRC-32 in
// lower-case hexadecimal. Copies started from different directories get
// different identities and so never share a named semaphore.
void SetRuntimeIdentity(const char* baseDirectory);
const char* RuntimeIdentity();
