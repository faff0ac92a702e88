#include "formats/svd_values.h"

namespace rw {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The value of `c` as a digit in `base`, or -1.
int digitValue(char c, unsigned base) {
  int value = -1;
  if (isAsciiDigit(c)) value = c - '0';
  else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value >= 0 && static_cast<unsigned>(value) < base ? value : -1;
}

// The power of two a scale letter stands for, or 0 when `c` is none.
unsigned scaleShift(char c) {
  switch (c) {
    case 'k': case 'K': return 10;
    case 'm': case 'M': return 20;
    case 'g': case 'G': return 30;
    case 't': case 'T': return 40;
    default: return 0;
  }
}

}  // namespace

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<uint64_t> parseSvdNumber(std::string_view text) {
  text = trimmed(text);
  if (text.starts_with('+')) text.remove_prefix(1);
  unsigned base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  } else if (text.starts_with("0b") || text.starts_with("0B")) {
    base = 2;
    text.remove_prefix(2);
  } else if (text.starts_with('#')) {
    base = 2;
    text.remove_prefix(1);
  }
  unsigned shift = 0;
  if (!text.empty() && scaleShift(text.back()) != 0) {
    shift = scaleShift(text.back());
    text.remove_suffix(1);
  }
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (const char c : text) {
    const int digit = digitValue(c, base);
    if (digit < 0 || value > (UINT64_MAX - static_cast<uint64_t>(digit)) / base) return std::nullopt;
    value = value * base + static_cast<uint64_t>(digit);
  }
  if (shift != 0 && value > (UINT64_MAX >> shift)) return std::nullopt;
  return value << shift;
}

std::vector<std::string> dimIndexNames(std::string_view dimIndex, uint64_t count) {
  std::vector<std::string> names;
  dimIndex = trimmed(dimIndex);
  const size_t dash = dimIndex.find('-');
  if (dimIndex.find(',') == std::string_view::npos && dash != std::string_view::npos) {
    const std::string_view first = trimmed(dimIndex.substr(0, dash));
    const std::string_view last = trimmed(dimIndex.substr(dash + 1));
    if (first.size() == 1 && last.size() == 1 && isAsciiLetter(first[0]) && isAsciiLetter(last[0])) {
      for (char c = first[0]; c <= last[0] && names.size() < count; ++c) names.emplace_back(1, c);
    } else {
      const std::optional<uint64_t> from = parseSvdNumber(first);
      const std::optional<uint64_t> to = parseSvdNumber(last);
      if (from && to) {
        // Counted by `names.size()`, not by the range: "0-4000000000" costs
        // no more than `count` names.
        for (uint64_t k = *from; k <= *to && names.size() < count; ++k) names.push_back(std::to_string(k));
      }
    }
  } else if (!dimIndex.empty()) {
    size_t begin = 0;
    while (begin <= dimIndex.size() && names.size() < count) {
      const size_t comma = std::min(dimIndex.find(',', begin), dimIndex.size());
      names.emplace_back(trimmed(dimIndex.substr(begin, comma - begin)));
      begin = comma + 1;
    }
  }
  while (names.size() < count) names.push_back(std::to_string(names.size()));
  return names;
}

std::string substituteIndex(std::string_view name, std::string_view index) {
  std::string out;
  out.reserve(name.size() + index.size());
  for (size_t i = 0; i < name.size();) {
    if (name.substr(i).starts_with("[%s]")) {
      out += index;
      i += 4;
    } else if (name.substr(i).starts_with("%s")) {
      out += index;
      i += 2;
    } else {
      out += name[i++];
    }
  }
  return out;
}

std::string cIdentifier(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '_') c = '_';
  }
  return out;
}

std::string collapseWhitespace(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool pendingSpace = false;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) <= ' ') {
      pendingSpace = !out.empty();
      continue;
    }
    if (pendingSpace) out += ' ';
    pendingSpace = false;
    out += c;
  }
  return out;
}

}  // namespace rw
