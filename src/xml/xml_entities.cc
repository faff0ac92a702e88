#include "xml/xml_entities.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace rw {
namespace {

// Digit value inside a numeric reference. Nothing is rejected: a character
// that is neither a digit nor a lower-case letter counts as its code minus 55,
// the rule that makes `A`-`F` worth 10-15; the arithmetic wraps in 32 bits.
uint32_t digitValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10u;
  return static_cast<uint32_t>(c) - 55u;
}

// The byte a reference body (the text between `&` and `;`) stands for, or -1
// when the body is not a reference.
int referenceByte(std::string_view body) {
  if (body.empty()) return -1;
  if (body[0] == '#') {
    uint32_t base = 10;
    size_t first = 1;
    if (body.size() > 1 && body[1] == 'x') {
      base = 16;
      first = 2;
    }
    uint32_t value = 0;
    for (size_t i = first; i < body.size(); ++i) {
      value = value * base + digitValue(static_cast<unsigned char>(body[i]));
    }
    return static_cast<int>(value & 0xFFu);
  }
  if (body == "lt") return '<';
  if (body == "gt") return '>';
  if (body == "amp") return '&';
  if (body == "apos") return '\'';
  if (body == "quot") return '"';
  return -1;
}

}  // namespace

void decodeEntities(const char* begin, const char* end, std::string& out) {
  out.clear();
  out.reserve(static_cast<size_t>(end - begin));
  // The next `;` at or after the current `&` (or `end`). Searching once and
  // reusing the result keeps a text full of unterminated `&` linear.
  const char* semicolon = nullptr;
  const char* p = begin;
  while (p < end) {
    const char* run = p;
    while (p < end && *p != '&') ++p;
    out.append(run, static_cast<size_t>(p - run));
    if (p == end) break;
    if (semicolon == nullptr || semicolon < p) {
      const void* found = std::memchr(p + 1, ';', static_cast<size_t>(end - (p + 1)));
      semicolon = found != nullptr ? static_cast<const char*>(found) : end;
    }
    const int byte = semicolon == end
                         ? -1
                         : referenceByte(std::string_view(p + 1, static_cast<size_t>(semicolon - (p + 1))));
    if (byte < 0) {
      out.push_back('&');
      ++p;
      continue;
    }
    if (byte == 0) return;
    out.push_back(static_cast<char>(byte));
    p = semicolon + 1;
  }
}

}  // namespace rw
