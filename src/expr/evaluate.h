// The three checked evaluations of a C-style constant expression. None of them
// lets an exception out: failure is only a false success flag and a 0 result.
#pragma once

#include <cstdint>
#include <string_view>

namespace rw {

class SimpleExpressionParser;

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

// On the process-wide evaluator (created on first use, never destroyed):
// creating a parser per evaluation would dominate the cost of large maps.
UnsignedResult evaluateUnsigned(std::string_view text);
SignedResult evaluateSigned(std::string_view text);
ConditionResult evaluateCondition(std::string_view text);

}  // namespace rw
