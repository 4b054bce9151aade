#pragma once

#include <cstddef>

// Texts owned by runtime records, stored in the main pool.

// A copy of text (null stays null); null when no memory could be had.
char* CopyText(const char* text);
// A copy of the first length bytes of text, terminated.
char* CopyTextPart(const char* text, std::size_t length);
void FreeText(char* text);
