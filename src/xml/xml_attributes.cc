#include "xml/xml_attributes.h"

#include <cstring>
#include <unordered_map>
#include <vector>

#include "xml/node_memory.h"

namespace rw {

namespace {

using elementtext::readLength;

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

bool hasRepeatedNames(std::span<const XMLAttribute> attributes) {
  // The common case (a reader's tag, a copy) has none: checked without
  // building anything for short lists.
  if (attributes.size() > kLinearAttributeLimit) return true;
  for (size_t i = 1; i < attributes.size(); ++i) {
    for (size_t j = 0; j < i; ++j) {
      if (attributes[i].name == attributes[j].name) return true;
    }
  }
  return false;
}

size_t blockSize(const unsigned char* block) {
  const unsigned char* p = block;
  return readLength(p);
}

const unsigned char* buildBlock(std::string_view tagName, std::span<const XMLAttribute> attributes) {
  size_t body = lengthSize(tagName.size()) + tagName.size() + lengthSize(attributes.size());
  for (const XMLAttribute& attribute : attributes) {
    const size_t valueField = attribute.hasValue ? attribute.value.size() + 1 : 0;
    body += lengthSize(attribute.name.size()) + attribute.name.size() + lengthSize(valueField);
    if (attribute.hasValue) body += attribute.value.size();
  }
  // The leading size counts itself.
  size_t total = body + 1;
  while (body + lengthSize(total) != total) total = body + lengthSize(total);

  auto* block = static_cast<unsigned char*>(allocateNodeMemory(total));
  unsigned char* p = writeLength(block, total);
  p = writeLength(p, tagName.size());
  p = writeBytes(p, tagName);
  p = writeLength(p, attributes.size());
  for (const XMLAttribute& attribute : attributes) {
    p = writeLength(p, attribute.name.size());
    p = writeBytes(p, attribute.name);
    if (!attribute.hasValue) {
      p = writeLength(p, 0);
      continue;
    }
    p = writeLength(p, attribute.value.size() + 1);
    p = writeBytes(p, attribute.value);
  }
  return block;
}

void freeBlock(const unsigned char* block) {
  if (block != nullptr) freeNodeMemory(const_cast<unsigned char*>(block), blockSize(block));
}

}  // namespace

void XMLAttributes::iterator::read() {
  if (remaining_ == 0) return;
  const unsigned char* p = position_;
  const size_t nameLength = readLength(p);
  current_.name = std::string_view(reinterpret_cast<const char*>(p), nameLength);
  p += nameLength;
  const size_t valueField = readLength(p);
  current_.hasValue = valueField != 0;
  const size_t valueLength = valueField != 0 ? valueField - 1 : 0;
  current_.value = std::string_view(reinterpret_cast<const char*>(p), valueLength);
  position_ = p + valueLength;
}

ElementText::ElementText(std::string_view tagName) : block_(buildBlock(tagName, {})) {}

ElementText::ElementText(const ElementText& other) {
  const size_t size = blockSize(other.block_);
  auto* block = static_cast<unsigned char*>(allocateNodeMemory(size));
  std::memcpy(block, other.block_, size);
  block_ = block;
}

ElementText::~ElementText() { freeBlock(block_); }

std::string_view ElementText::tagName() const {
  const unsigned char* p = block_;
  readLength(p);
  const size_t length = readLength(p);
  return std::string_view(reinterpret_cast<const char*>(p), length);
}

XMLAttributes ElementText::attributes() const {
  const unsigned char* p = block_;
  readLength(p);
  p += readLength(p);
  const size_t count = readLength(p);
  return XMLAttributes(p, count);
}

std::optional<XMLAttribute> ElementText::find(std::string_view name) const {
  const unsigned char* p = block_;
  readLength(p);
  p += readLength(p);
  for (size_t count = readLength(p); count > 0; --count) {
    const size_t nameLength = readLength(p);
    const unsigned char* nameBytes = p;
    p += nameLength;
    const size_t valueField = readLength(p);
    const size_t valueLength = valueField != 0 ? valueField - 1 : 0;
    if (nameLength == name.size() && (nameLength == 0 || std::memcmp(nameBytes, name.data(), nameLength) == 0)) {
      return XMLAttribute{name, std::string_view(reinterpret_cast<const char*>(p), valueLength), valueField != 0};
    }
    p += valueLength;
  }
  return std::nullopt;
}

bool ElementText::mayHold(char byte) const {
  const size_t size = blockSize(block_);
  return std::memchr(block_, byte, size) != nullptr;
}

void ElementText::assign(std::string_view tagName, std::span<const XMLAttribute> attributes) {
  // The views may point into the current block: it goes only once the new
  // one is written.
  const unsigned char* old = block_;
  if (hasRepeatedNames(attributes)) {
    const std::vector<XMLAttribute> kept = withoutRepeatedNames(attributes);
    block_ = buildBlock(tagName, kept);
  } else {
    block_ = buildBlock(tagName, attributes);
  }
  freeBlock(old);
}

}  // namespace rw
