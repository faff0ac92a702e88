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
  explicit MemoryMapElement(std::string_view tagName, std::span<const XMLAttribute> attributes = {});
  // As XMLElement's copying constructor; the kind is the source's.
  MemoryMapElement(const MemoryMapElement& source, std::span<const ValueChange> changes)
      : XMLElement(source, changes), kind_(source.kind_) {}

  ElementKind kind() const { return static_cast<ElementKind>(kind_); }
  // The "name" attribute, or nothing when absent.
  std::optional<std::string_view> name() const { return getAttribute(attribute::kName); }
  bool hasStart() const;
  std::optional<std::string_view> startText() const { return getAttribute(attribute::kStart); }
  bool hasSize() const;
  uint32_t start() const { return start_; }
  uint32_t size() const { return size_; }

  // Set by the loader (see placement.h).
  void setStart(uint32_t value) { start_ = value; }
  void setSize(uint32_t value) { size_ = value; }
  // Whether the start the map means lies past 32 bits, so that start() is
  // what is left of it: addresses wrap as they always have, and the map
  // checks say so.
  bool startWrapped() const { return startWrapped_; }
  void setStartWrapped(bool wrapped) { startWrapped_ = wrapped; }

  // The loader's bookkeeping while it places elements as they are read: the
  // base this element's children are placed against, and whether they are
  // placed at all.
  uint32_t childBase = 0;
  bool placesChildren = false;

private:
  // One byte each: with the fields above, an element stays within 72 bytes.
  uint8_t kind_;
  bool startWrapped_ = false;
  uint32_t start_ = 0;
  uint32_t size_ = 0;
};


// Every element of a loaded map is made by the map's factory; anything else
// in its tree is a CDATA section, for which these give null.
inline MemoryMapElement* asMemoryMapElement(XMLNode* node) {
  return node != nullptr && node->isElement() ? static_cast<MemoryMapElement*>(node) : nullptr;
}
inline const MemoryMapElement* asMemoryMapElement(const XMLNode* node) {
  return node != nullptr && node->isElement() ? static_cast<const MemoryMapElement*>(node) : nullptr;
}

}  // namespace rw
