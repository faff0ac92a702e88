#include "xml/xml_attributes.h"

#include <array>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "xml/node_memory.h"

namespace rw {

namespace {

using elementtext::readLength;
using elementtext::wordIndex;

size_t lengthSize(size_t value) {
  size_t bytes = 1;
  while (value >= 0x80) {
    value >>= 7;
    ++bytes;
  }
  return bytes;
}

unsigned char* writeLength(unsigned char* p, size_t value) {
  while (value >= 0x80) {
    *p++ = static_cast<unsigned char>(value | 0x80);
    value >>= 7;
  }
  *p++ = static_cast<unsigned char>(value);
  return p;
}

unsigned char* writeBytes(unsigned char* p, std::string_view text) {
  if (!text.empty()) std::memcpy(p, text.data(), text.size());
  return p + text.size();
}

// A tag or name as the block stores it: its field, and the bytes that
// follow the field (none for a word of kWords).
struct Word {
  size_t field;
  std::string_view bytes;
};

Word wordOf(std::string_view text) {
  const size_t index = wordIndex(text);
  if (index < elementtext::kWordCount) return {2 * index + 1, {}};
  return {2 * text.size(), text};
}

// Up to this many attributes a name is looked for among the ones kept so far;
// beyond, an index keeps a tag with thousands of attributes linear.
constexpr size_t kLinearAttributeLimit = 64;

// First position, last value for every name.
std::vector<XMLAttribute> withoutRepeatedNames(std::span<const XMLAttribute> attributes) {
  std::vector<XMLAttribute> kept;
  kept.reserve(attributes.size());
  if (attributes.size() <= kLinearAttributeLimit) {
    for (const XMLAttribute& attribute : attributes) {
      bool found = false;
      for (XMLAttribute& earlier : kept) {
        if (earlier.name == attribute.name) {
          earlier.value = attribute.value;
          earlier.hasValue = attribute.hasValue;
          found = true;
          break;
        }
      }
      if (!found) kept.push_back(attribute);
    }
    return kept;
  }
  std::unordered_map<std::string_view, size_t> index;
  index.reserve(attributes.size());
  for (const XMLAttribute& attribute : attributes) {
    const auto [it, inserted] = index.emplace(attribute.name, kept.size());
    if (inserted) {
      kept.push_back(attribute);
    } else {
      kept[it->second].value = attribute.value;
      kept[it->second].hasValue = attribute.hasValue;
    }
  }
  return kept;
}

size_t blockSize(const unsigned char* block) {
  const unsigned char* p = block;
  return readLength(p);
}

// An element has a handful of attributes: their fields are worked out once,
// on the stack, for the check for repeats, the size and the writing.
constexpr size_t kFieldsOnStack = 16;

// Whether two names are the same, by their fields: a word of kWords only
// ever has its index, so words compare as numbers.
bool sameName(const Word& a, const Word& b) {
  return a.field == b.field && ((a.field & 1) != 0 || a.bytes == b.bytes);
}

bool hasRepeatedNames(const Word* names, size_t count) {
  for (size_t i = 1; i < count; ++i) {
    for (size_t j = 0; j < i; ++j) {
      if (sameName(names[i], names[j])) return true;
    }
  }
  return false;
}

// `names` holds the field of each attribute's name.
const unsigned char* buildBlock(std::string_view tagName, std::span<const XMLAttribute> attributes,
                                const Word* names) {
  const Word tag = wordOf(tagName);
  size_t body = lengthSize(tag.field) + tag.bytes.size() + lengthSize(attributes.size());
  for (size_t i = 0; i < attributes.size(); ++i) {
    const XMLAttribute& attribute = attributes[i];
    const size_t valueField = attribute.hasValue ? attribute.value.size() + 1 : 0;
    body += lengthSize(names[i].field) + names[i].bytes.size() + lengthSize(valueField);
    if (attribute.hasValue) body += attribute.value.size();
  }
  // The leading size counts itself.
  size_t total = body + 1;
  while (body + lengthSize(total) != total) total = body + lengthSize(total);

  auto* block = static_cast<unsigned char*>(allocateBlockMemory(total));
  unsigned char* p = writeLength(block, total);
  p = writeLength(p, tag.field);
  p = writeBytes(p, tag.bytes);
  p = writeLength(p, attributes.size());
  for (size_t i = 0; i < attributes.size(); ++i) {
    const XMLAttribute& attribute = attributes[i];
    p = writeLength(p, names[i].field);
    p = writeBytes(p, names[i].bytes);
    if (!attribute.hasValue) {
      p = writeLength(p, 0);
      continue;
    }
    p = writeLength(p, attribute.value.size() + 1);
    p = writeBytes(p, attribute.value);
  }
  return block;
}

const unsigned char* buildUniqueBlock(std::string_view tagName, std::span<const XMLAttribute> attributes) {
  // The common case (a reader's tag, a copy) has a few attributes and no
  // repeats: checked on the names' fields, without building anything.
  if (attributes.size() > kLinearAttributeLimit) {
    const std::vector<XMLAttribute> kept = withoutRepeatedNames(attributes);
    std::vector<Word> names(kept.size());
    for (size_t i = 0; i < kept.size(); ++i) names[i] = wordOf(kept[i].name);
    return buildBlock(tagName, kept, names.data());
  }
  std::array<Word, kFieldsOnStack> stackNames;
  std::vector<Word> heapNames;
  Word* names = stackNames.data();
  if (attributes.size() > kFieldsOnStack) {
    heapNames.resize(attributes.size());
    names = heapNames.data();
  }
  for (size_t i = 0; i < attributes.size(); ++i) names[i] = wordOf(attributes[i].name);
  if (!hasRepeatedNames(names, attributes.size())) return buildBlock(tagName, attributes, names);
  const std::vector<XMLAttribute> kept = withoutRepeatedNames(attributes);
  for (size_t i = 0; i < kept.size(); ++i) names[i] = wordOf(kept[i].name);
  return buildBlock(tagName, kept, names);
}

// The first attribute after the tag, and the count before it.
const unsigned char* firstAttribute(const unsigned char* block, size_t& count) {
  const unsigned char* p = block;
  readLength(p);
  elementtext::readWord(p);
  count = readLength(p);
  return p;
}

// `source` with some values changed, field by field: tags and names are
// copied as they are stored. One walk finds where the changed values lie
// (kept on the stack for the usual handful of changes), then the bytes
// between them are copied in runs.
const unsigned char* buildChangedBlock(const unsigned char* source, std::span<const ValueChange> changes) {
  struct Span {
    const unsigned char* begin;
    const unsigned char* end;
  };
  std::array<Span, kFieldsOnStack> stackSpans;
  std::vector<Span> heapSpans;
  Span* spans = stackSpans.data();
  if (changes.size() > kFieldsOnStack) {
    heapSpans.resize(changes.size());
    spans = heapSpans.data();
  }
  const unsigned char* p = source;
  const size_t sourceSize = readLength(p);
  const unsigned char* const body = p;
  size_t count = 0;
  const unsigned char* const first = firstAttribute(source, count);
  size_t size = sourceSize - static_cast<size_t>(body - source);
  p = first;
  size_t found = 0;
  // The walk stops at the last change: what follows it is copied as it is.
  for (size_t i = 0; i < count && found < changes.size(); ++i) {
    elementtext::readWord(p);
    const unsigned char* valueStart = p;
    const size_t valueField = readLength(p);
    p += valueField != 0 ? valueField - 1 : 0;
    if (changes[found].index == i) {
      spans[found] = {valueStart, p};
      size -= static_cast<size_t>(p - valueStart);
      size += lengthSize(changes[found].value.size() + 1) + changes[found].value.size();
      ++found;
    }
  }
  size_t total = size + 1;
  while (size + lengthSize(total) != total) total = size + lengthSize(total);

  auto* block = static_cast<unsigned char*>(allocateBlockMemory(total));
  unsigned char* out = writeLength(block, total);
  const unsigned char* unchanged = body;
  for (size_t c = 0; c < found; ++c) {
    std::memcpy(out, unchanged, static_cast<size_t>(spans[c].begin - unchanged));
    out += spans[c].begin - unchanged;
    out = writeLength(out, changes[c].value.size() + 1);
    out = writeBytes(out, changes[c].value);
    unchanged = spans[c].end;
  }
  std::memcpy(out, unchanged, static_cast<size_t>(source + sourceSize - unchanged));
  return block;
}

void freeBlock(const unsigned char* block) {
  if (block != nullptr) freeBlockMemory(const_cast<unsigned char*>(block), blockSize(block));
}

}  // namespace

void XMLAttributes::iterator::read() {
  if (remaining_ == 0) return;
  const unsigned char* p = position_;
  current_.name = elementtext::readWord(p);
  const size_t valueField = readLength(p);
  current_.hasValue = valueField != 0;
  const size_t valueLength = valueField != 0 ? valueField - 1 : 0;
  current_.value = std::string_view(reinterpret_cast<const char*>(p), valueLength);
  position_ = p + valueLength;
}

ElementText::ElementText(std::string_view tagName, std::span<const XMLAttribute> attributes)
    : block_(buildUniqueBlock(tagName, attributes)) {}

namespace {

const unsigned char* copiedBlock(const unsigned char* source) {
  const size_t size = blockSize(source);
  auto* block = static_cast<unsigned char*>(allocateBlockMemory(size));
  std::memcpy(block, source, size);
  return block;
}

}  // namespace

ElementText::ElementText(const ElementText& other) : block_(copiedBlock(other.block_)) {}

ElementText::ElementText(const ElementText& source, std::span<const ValueChange> changes)
    : block_(changes.empty() ? copiedBlock(source.block_) : buildChangedBlock(source.block_, changes)) {}

ElementText::~ElementText() { freeBlock(block_); }

std::string_view ElementText::tagName() const {
  const unsigned char* p = block_;
  readLength(p);
  return elementtext::readWord(p);
}

XMLAttributes ElementText::attributes() const {
  size_t count = 0;
  const unsigned char* first = firstAttribute(block_, count);
  return XMLAttributes(first, count);
}

std::optional<XMLAttribute> ElementText::find(const AttributeName& attributeName) const {
  // A word of kWords is only ever stored as its index, any other name only
  // as its bytes: one comparison of fields decides for the words.
  const std::string_view name = attributeName.name();
  const size_t wanted = attributeName.field();
  size_t count = 0;
  const unsigned char* p = firstAttribute(block_, count);
  for (; count > 0; --count) {
    const size_t field = readLength(p);
    const unsigned char* nameBytes = p;
    if ((field & 1) == 0) p += field >> 1;
    const size_t valueField = readLength(p);
    const size_t valueLength = valueField != 0 ? valueField - 1 : 0;
    if (field == wanted && ((field & 1) != 0 || name.empty() || std::memcmp(nameBytes, name.data(), name.size()) == 0)) {
      return XMLAttribute{name, std::string_view(reinterpret_cast<const char*>(p), valueLength), valueField != 0};
    }
    p += valueLength;
  }
  return std::nullopt;
}

namespace {

bool isNamed(const AttributeName& name, size_t field, const unsigned char* bytes) {
  return field == name.field() &&
         ((field & 1) != 0 || name.name().empty() || std::memcmp(bytes, name.name().data(), name.name().size()) == 0);
}

}  // namespace

std::pair<std::optional<XMLAttribute>, std::optional<XMLAttribute>> ElementText::find(
    const AttributeName& first, const AttributeName& second) const {
  std::pair<std::optional<XMLAttribute>, std::optional<XMLAttribute>> found;
  size_t count = 0;
  const unsigned char* p = firstAttribute(block_, count);
  for (; count > 0 && !(found.first && found.second); --count) {
    const size_t field = readLength(p);
    const unsigned char* nameBytes = p;
    if ((field & 1) == 0) p += field >> 1;
    const size_t valueField = readLength(p);
    const size_t valueLength = valueField != 0 ? valueField - 1 : 0;
    const std::string_view value(reinterpret_cast<const char*>(p), valueLength);
    if (!found.first && isNamed(first, field, nameBytes)) {
      found.first = XMLAttribute{first.name(), value, valueField != 0};
    } else if (!found.second && isNamed(second, field, nameBytes)) {
      found.second = XMLAttribute{second.name(), value, valueField != 0};
    }
    p += valueLength;
  }
  return found;
}

bool ElementText::mayHold(char byte) const {
  const size_t size = blockSize(block_);
  return std::memchr(block_, byte, size) != nullptr;
}

void ElementText::change(std::span<const ValueChange> changes) {
  const unsigned char* old = block_;
  block_ = buildChangedBlock(old, changes);
  freeBlock(old);
}

void ElementText::assign(std::string_view tagName, std::span<const XMLAttribute> attributes) {
  // The views may point into the current block: it goes only once the new
  // one is written.
  const unsigned char* old = block_;
  block_ = buildUniqueBlock(tagName, attributes);
  freeBlock(old);
}

}  // namespace rw
