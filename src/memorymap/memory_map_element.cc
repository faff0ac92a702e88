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
  start_ = static_cast<uint32_t>(evaluateUnsigned(*text).value);
  // The evaluator reads the "+" as a unary plus; the offset meaning is ours.
  if ((*text)[0] == '+') start_ += base;
}

}  // namespace rw
