// The checked evaluations must answer every text with a flag, never a crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "expr/evaluate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  rw::evaluateUnsigned(text);
  rw::evaluateSigned(text);
  rw::evaluateCondition(text);
  return 0;
}
