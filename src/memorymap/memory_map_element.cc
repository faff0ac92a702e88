#include "memorymap/memory_map_element.h"

#include <array>
#include <string_view>
#include <utility>


namespace rw {

namespace {

// Every tag with a kind of its own is a word the element's block stores as
// an index: the kind is found through that index, as the block finds it,
// and no tag is compared with nine others.
constexpr std::array<ElementKind, elementtext::kWordCount> makeKindOfWord() {
  std::array<ElementKind, elementtext::kWordCount> kinds{};
  for (ElementKind& kind : kinds) kind = ElementKind::Other;
  constexpr std::pair<std::string_view, ElementKind> kKindTags[] = {
      {"MemorySegment", ElementKind::MemorySegment},
      {"Register", ElementKind::Register},
      {"ProgramSection", ElementKind::ProgramSection},
      {"Root", ElementKind::Root},
      {"RegisterGroup", ElementKind::RegisterGroup},
      {"BitField", ElementKind::BitField},
      {"Enum", ElementKind::Enum},
      {"Processor", ElementKind::Processor},
      {"Vector", ElementKind::Vector},
  };
  for (const auto& [tag, kind] : kKindTags) kinds[elementtext::wordIndex(tag)] = kind;
  return kinds;
}

constexpr std::array<ElementKind, elementtext::kWordCount> kKindOfWord = makeKindOfWord();

ElementKind kindOfWord(size_t word) { return word < elementtext::kWordCount ? kKindOfWord[word] : ElementKind::Other; }

}  // namespace

ElementKind elementKindForTag(std::string_view tagName) { return kindOfWord(elementtext::wordIndex(tagName)); }

// The block found the tag's word already.
MemoryMapElement::MemoryMapElement(std::string_view tagName, std::span<const XMLAttribute> attributes)
    : XMLElement(tagName, attributes), kind_(static_cast<uint8_t>(kindOfWord(tagWord()))) {}

bool MemoryMapElement::hasStart() const {
  const std::optional<std::string_view> text = startText();
  return text && !text->empty();
}

bool MemoryMapElement::hasSize() const {
  const std::optional<std::string_view> text = getAttribute(attribute::kSize);
  return text && !text->empty();
}

}  // namespace rw
