// Map text is bytes that may be anything. Every writer that needs its
// characters reads them the same way: valid UTF-8 as it stands, and a byte
// that does not begin a valid sequence as the Latin-1 character of that
// value, which is what such a byte most likely meant in an older 8-bit map.
#pragma once

#include <string>
#include <string_view>

namespace rw {

// The character at `at`, read as above; `at` moves past it. `at` must be
// inside `text`.
char32_t nextCharacter(std::string_view text, size_t& at);

// Appends `c` (a Unicode scalar value) as UTF-8.
void appendUtf8(std::string& out, char32_t c);

// Whether `c` is what Unicode classes as a number (decimal digits, letter
// numbers such as Roman numerals, other numbers such as fractions).
bool isUnicodeNumber(char32_t c);

}  // namespace rw
