#include "memorymap/memory_map_element.h"

#include <array>
#include <string_view>
#include <utility>

#include "expr/evaluate.h"

namespace rw {

namespace {

struct KindTag {
  std::string_view tag;
  ElementKind kind;
};

constexpr std::array<KindTag, 9> kKindTags{{
    {"MemorySegment", ElementKind::MemorySegment},
    {"Register", ElementKind::Register},
    {"ProgramSection", ElementKind::ProgramSection},
    {"Root", ElementKind::Root},
    {"RegisterGroup", ElementKind::RegisterGroup},
    {"BitField", ElementKind::BitField},
    {"Enum", ElementKind::Enum},
    {"Processor", ElementKind::Processor},
    {"Vector", ElementKind::Vector},
}};

// Character classes of the C locale, whatever the process locale is.
bool isAsciiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The value of a digit character: 0-9, then a-z and A-Z both as 10-35; -1 for
// anything else.
int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return -1;
}

}  // namespace

ElementKind elementKindForTag(std::string_view tagName) {
  for (const KindTag& entry : kKindTags) {
    if (entry.tag == tagName) return entry.kind;
  }
  return ElementKind::Other;
}

MemoryMapElement::MemoryMapElement(std::string_view tagName)
    : XMLElement(tagName), kind_(elementKindForTag(tagName)) {}

bool MemoryMapElement::hasStart() const {
  const std::optional<std::string_view> text = startText();
  return text && !text->empty();
}

bool MemoryMapElement::hasSize() const {
  const std::optional<std::string_view> text = getAttribute("size");
  return text && !text->empty();
}

void MemoryMapElement::setStart(uint32_t base) {
  start_ = 0;
  const std::optional<std::string_view> text = startText();
  if (!text || text->empty()) return;
  // A text that does not evaluate still leaves the value 0.
  const std::optional<uint32_t> plain = plainStartLiteral(*text);
  start_ = plain ? *plain : static_cast<uint32_t>(evaluateUnsigned(*text).value);
  // The evaluator reads the "+" as a unary plus; the offset meaning is ours.
  if ((*text)[0] == '+') start_ += base;
}

std::optional<uint32_t> plainStartLiteral(std::string_view text) {
  if (text.starts_with('+')) text.remove_prefix(1);
  uint32_t value = 0;
  if (text.starts_with("0x")) {
    text.remove_prefix(2);
    if (text.empty() || text.size() > 8) return std::nullopt;
    for (const char c : text) {
      const int digit = digitValue(c);
      if (digit < 0 || digit > 15) return std::nullopt;
      value = value * 16 + static_cast<uint32_t>(digit);
    }
    return value;
  }
  if (text.empty() || text.size() > 9 || (text[0] == '0' && text.size() > 1)) return std::nullopt;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  return value;
}

uint64_t parseNumberLiteral(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && isAsciiSpace(text[i])) ++i;
  if (i == text.size()) return 0;

  bool negative = false;
  if (text[i] == '-') {
    negative = true;
    ++i;
  } else if (text[i] == '+') {
    ++i;
  }

  uint64_t base = 10;
  if (text.substr(i, 2) == "0x") {
    base = 16;
    i += 2;
  } else if (text.substr(i, 2) == "0b") {
    base = 2;
    i += 2;
  } else if (i < text.size() && text[i] == '0') {
    base = 8;
    ++i;
  }
  if (i == text.size() || text[i] == 'U' || text[i] == 'u') return 0;

  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == 'L' || c == 'l' || c == 'U' || c == 'u') break;
    // Digits are not checked against the base, so "0X20" reads X as 33 in
    // base 8. A character that is no digit in any base (a blank, a dot, a
    // byte above 0x7F) ends the literal, as the suffixes do: a trailing blank
    // after the number then changes nothing.
    const int digit = digitValue(c);
    if (digit < 0) break;
    value = value * base + static_cast<uint64_t>(digit);
  }
  return negative ? 0 - value : value;
}

}  // namespace rw
