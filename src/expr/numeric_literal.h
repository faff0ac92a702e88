// Conversion of numeric literal text to numbers.
#pragma once

#include <cstdint>
#include <string_view>

namespace rw {

// Optional leading white space and sign, then "0x" (base 16), "0b" (base 2),
// another leading "0" (base 8) or base 10. Digits are not checked against the
// base: every character up to the end or a U/u/L/l suffix counts, 0-9 as
// 0-9, a-z as 10-35 and anything else as its code minus 55. The value wraps
// at 64 bits.
uint64_t convertIntegerLiteral(std::string_view text);

// Decimal floating text, independent of the locale. Too large a magnitude
// gives infinity.
double convertFloatingLiteral(std::string_view text);

}  // namespace rw
