#pragma once

#include <string>
#include <string_view>

// The Windows tool keeps its texts (profile and process names) in code page
// 1252; a terminal speaks UTF-8. Texts are converted where they cross.

// The file's text in UTF-8. The five bytes the code page leaves undefined
// become the control characters of their value, as on Windows.
std::string Utf8FromCodePage(std::string_view text);

// The UTF-8 text in the code page; false when it cannot be, with `refused`
// telling why ("holds 日, which code page 1252 cannot hold", "is not UTF-8").
bool CodePageFromUtf8(std::string_view text, std::string& converted, std::string& refused);

// The length of the UTF-8 character at `at`; 0 for bytes that are no UTF-8
// (a stray or missing continuation, an overlong form, a surrogate).
int Utf8Length(std::string_view text, std::size_t at);
