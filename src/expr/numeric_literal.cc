#include "expr/numeric_literal.h"

#include <charconv>
#include <limits>
#include <system_error>

namespace rw {

uint64_t convertIntegerLiteral(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  uint64_t base = 10;
  const std::string_view rest = text.substr(i);
  if (rest.starts_with("0x")) {
    base = 16;
    i += 2;
  } else if (rest.starts_with("0b")) {
    base = 2;
    i += 2;
  } else if (rest.starts_with("0")) {
    base = 8;
    i += 1;
  }

  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == 'U' || c == 'u' || c == 'L' || c == 'l') break;
    const auto code = static_cast<unsigned char>(c);
    uint64_t digit;
    if (c >= '0' && c <= '9')
      digit = code - '0';
    else if (c >= 'a' && c <= 'z')
      digit = code - 'a' + 10;
    else
      digit = static_cast<uint64_t>(code) - 55;  // wraps for codes below 55
    value = value * base + digit;
  }
  return negative ? 0 - value : value;
}

double convertFloatingLiteral(std::string_view text) {
  double value = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone then. Without an exponent, a whole
    // part other than zeros means too large, else too small.
    const std::string_view whole = text.substr(0, text.find('.'));
    return whole.find_first_not_of('0') != std::string_view::npos
               ? std::numeric_limits<double>::infinity()
               : 0.0;
  }
  return value;
}

}  // namespace rw
