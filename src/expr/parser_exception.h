// The one failure type of the expression module. It never leaves the module:
// the checked evaluations turn it into a cleared success flag.
#pragma once

#include <stdexcept>
#include <string>

namespace rw {

class ParserException : public std::runtime_error {
public:
  explicit ParserException(const std::string& text) : std::runtime_error(text) {}
};

// A failure because an input went past one of the module's bounds (nesting,
// tree height), not because it is wrong: the checked evaluations say so on
// standard error.
class LimitException : public ParserException {
public:
  using ParserException::ParserException;
};

}  // namespace rw
