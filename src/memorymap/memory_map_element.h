// One element of a loaded memory map: its kind, from the tag name, and the
// start and size that the loader computes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "xml/xml_node.h"

namespace rw {

enum class ElementKind : int32_t {
  MemorySegment = 0,
  Register = 1,
  ProgramSection = 2,
  Root = 3,
  RegisterGroup = 4,
  BitField = 5,
  Enum = 6,
  Processor = 7,
  Vector = 8,
  Other = 9,
};

// Exact, case-sensitive comparison of the whole tag name.
ElementKind elementKindForTag(std::string_view tagName);

class MemoryMapElement : public XMLElement {
public:
  explicit MemoryMapElement(std::string_view tagName);

  ElementKind kind() const { return kind_; }
  // The "name" attribute, or nothing when absent.
  std::optional<std::string_view> name() const { return getAttribute("name"); }
  bool hasStart() const;
  std::optional<std::string_view> startText() const { return getAttribute("start"); }
  bool hasSize() const;
  uint32_t start() const { return start_; }
  uint32_t size() const { return size_; }

  // start := the checked unsigned value of the "start" text (0 when it does
  // not evaluate), plus `base` when the text begins with "+".
  void setStart(uint32_t base);
  void setSize(uint32_t value) { size_ = value; }


private:
  ElementKind kind_;
  uint32_t start_ = 0;
  uint32_t size_ = 0;
};

// The value of a start written as a plain literal, the way nearly every start
// in a real map is: an optional "+", then "0x" and 1 to 8 hexadecimal digits,
// or a decimal number of 1 to 9 digits without a leading zero. Nothing for any
// other text. The expression evaluator gives the same value for these texts;
// reading them directly spares it on the common case.
std::optional<uint32_t> plainStartLiteral(std::string_view text);

// A C-style integer literal as register, bit-field and enumeration sizes are
// written: optional sign, "0x" / "0b" / "0" prefixes (lower case only), digits
// up to the end or an L/l/U/u suffix, 64-bit wrapping arithmetic. Callers keep
// the low 32 bits.
uint64_t parseNumberLiteral(std::string_view text);

// Every element of a loaded map is made by the map's factory; anything else
// in its tree is a CDATA section, for which these give null.
inline MemoryMapElement* asMemoryMapElement(XMLNode* node) {
  return node != nullptr && node->isElement() ? static_cast<MemoryMapElement*>(node) : nullptr;
}
inline const MemoryMapElement* asMemoryMapElement(const XMLNode* node) {
  return node != nullptr && node->isElement() ? static_cast<const MemoryMapElement*>(node) : nullptr;
}

}  // namespace rw
