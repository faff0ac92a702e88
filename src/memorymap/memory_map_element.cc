#include "memorymap/memory_map_element.h"

#include <array>
#include <string_view>
#include <utility>


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

}  // namespace

ElementKind elementKindForTag(std::string_view tagName) {
  for (const KindTag& entry : kKindTags) {
    if (entry.tag == tagName) return entry.kind;
  }
  return ElementKind::Other;
}

MemoryMapElement::MemoryMapElement(std::string_view tagName, std::span<const XMLAttribute> attributes)
    : XMLElement(tagName, attributes), kind_(static_cast<uint8_t>(elementKindForTag(tagName))) {}

bool MemoryMapElement::hasStart() const {
  const std::optional<std::string_view> text = startText();
  return text && !text->empty();
}

bool MemoryMapElement::hasSize() const {
  const std::optional<std::string_view> text = getAttribute(attribute::kSize);
  return text && !text->empty();
}

}  // namespace rw
