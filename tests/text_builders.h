// Builders for the large texts that the hostile-input tests feed in.
#pragma once

#include <initializer_list>
#include <string>

namespace rw::testing {

inline std::string repeat(const std::string& piece, size_t count) {
  std::string out;
  out.reserve(piece.size() * count);
  for (size_t i = 0; i < count; ++i) out += piece;
  return out;
}

// Appending rather than operator+, which trips a false -Wrestrict in GCC 12
// at -O3.
inline std::string join(std::initializer_list<std::string> pieces) {
  std::string out;
  for (const std::string& piece : pieces) out += piece;
  return out;
}

}  // namespace rw::testing
