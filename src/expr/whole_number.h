// Values that a map keeps as text and other formats hold as numbers: a
// register's reset value, an enumerated value, a vector's number. The
// evaluator reads an expression up to the first token that cannot continue
// it, so "12abc" is 12 there; a value written into an SVD file or a page
// must be the whole text or nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace rw {

// The value of an SVD number (see below) when the whole of `text` is one;
// nothing otherwise.
std::optional<uint64_t> svdNumber(std::string_view text);

// The value of `text` when the whole of it is a number; nothing otherwise.
// A number is either
// - an SVD number: blanks around it, an optional "+", then decimal, "0x"/"0X"
//   hexadecimal or "#"/"0b"/"0B" binary digits, then an optional scale letter
//   k, M, G or T (either case) for 2^10, 2^20, 2^30 or 2^40, within 64 bits;
//   tried first, so "010" is ten; or
// - a C constant expression that is one expression to its end and gives an
//   integer, every integer literal in it wholly valid for its base (decimal;
//   octal after a leading 0; "0x" hexadecimal; "0b" binary; at least one
//   digit; then u, U, l or L suffixes as C writes them) and within 64 bits,
//   and no floating literal in it. A negative value is its 64-bit two's
//   complement, as the evaluator gives it.
// So "12abc", "0x1z", "0x12junk", "0b1x1x", "08 + 1", "0x", "1.5" and
// "(1" are no numbers; "0x1F", "1k", "#101", "1 << 4" and "(2 + 3) * 4U" are.
std::optional<uint64_t> wholeNumber(std::string_view text);

// Whether `text` is binary digits with don't-care bits, as SVD writes an
// enumerated value that stands for several: blanks around it, "#", "0b" or
// "0B", then at least one of 0, 1, x and X ("#1x0", "0b1x1x").
bool isDontCarePattern(std::string_view text);

}  // namespace rw
