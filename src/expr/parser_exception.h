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

}  // namespace rw
