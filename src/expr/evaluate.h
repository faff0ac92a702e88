// The three checked evaluations of a C-style constant expression. None of them
// lets an exception out: failure is only a false success flag and a 0 result.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace rw {

struct UnsignedResult {
  uint64_t value = 0;
  bool ok = false;
};
struct SignedResult {
  int64_t value = 0;
  bool ok = false;
};
struct ConditionResult {
  bool value = false;
  bool ok = false;
};

// Each is ok only when the text gives a value of the kind asked for: an
// integer or a double for the first two (a double read unsigned gives its bit
// pattern), a boolean for a condition (comparisons and `!` give booleans, so
// does `&&` on a boolean, but not on an integer). An expression nested too
// deeply also makes them print a warning to standard error.
UnsignedResult evaluateUnsigned(std::string_view text);
// The value of a literal as nearly every start in a real map is written (an
// optional "+", then "0x" and 1 to 8 hexadecimal digits, or a decimal number
// of 1 to 9 digits without a leading zero), the value evaluateUnsigned gives
// it; nothing for any other text.
std::optional<uint64_t> plainLiteralValue(std::string_view text);
SignedResult evaluateSigned(std::string_view text);
ConditionResult evaluateCondition(std::string_view text);

}  // namespace rw
