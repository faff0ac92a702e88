// The tag name and attributes of one element, packed into a single block of
// memory. A map holds hundreds of thousands of elements with a handful of
// short attributes each; a string object per name and value would make the
// tree several times the size of the file it came from.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace rw {

// One attribute, as a view into the element's block: valid until the element
// or its attributes change.
struct XMLAttribute {
  std::string_view name;
  std::string_view value;
  // An attribute copied from an element that lacked it carries no value;
  // getAttribute then answers as if it were absent.
  bool hasValue = true;
};

namespace elementtext {

// The block is a sequence of lengths (7 bits per byte, low bits first, so a
// length under 128 takes one byte) and bytes:
//   block size, tag, attribute count,
//   then per attribute: name, value length + 1 (0: no value), value.
// A tag or a name is one length: twice the byte count, followed by the bytes,
// or, odd, the index of a word of kWords (2 * index + 1), which the tags and
// attribute names of memory maps nearly always are. A map spells the same
// few names a million times; the block keeps one byte for each.
// Lookups walk it from the start, as a list of attributes would be walked.
inline size_t readLength(const unsigned char*& p) {
  if (*p < 0x80) return *p++;
  size_t value = 0;
  for (unsigned shift = 0;; shift += 7) {
    const unsigned char byte = *p++;
    value |= static_cast<size_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) return value;
  }
}

// The tags and attribute names a block stores as an index.
inline constexpr std::string_view kWords[] = {
    "name", "start", "size", "access", "description", "reset_value", "aka", "prepend_group_name",
    "Root", "MemorySegment", "ProgramSection", "RegisterGroup", "Register", "BitField", "Enum", "Processor",
    "Vector", "Import", "filename", "macros", "index", "end", "incr", "mul",
    "add", "sub", "value", "expression", "hex_expression", "is_default", "no_root", "if",
    "ifnot", "ifex", "ifdef", "ifndef", "switch", "case", "default", "define",
    "include", "xmldef", "xmlput", "for", "foreach", "envelope",
};
inline constexpr size_t kWordCount = std::size(kWords);

// Open addressing over a table several times the word count, keyed by length
// and the first and last byte: words are looked up for every element made.
inline constexpr size_t kWordSlots = 256;
inline constexpr uint8_t kNoWord = 0xFF;

constexpr size_t wordSlot(std::string_view text) {
  return (text.size() * 31 + static_cast<unsigned char>(text.front()) * 7 + static_cast<unsigned char>(text.back())) %
         kWordSlots;
}

constexpr std::array<uint8_t, kWordSlots> makeWordSlots() {
  std::array<uint8_t, kWordSlots> slots{};
  for (uint8_t& slot : slots) slot = kNoWord;
  for (size_t i = 0; i < kWordCount; ++i) {
    size_t slot = wordSlot(kWords[i]);
    while (slots[slot] != kNoWord) slot = (slot + 1) % kWordSlots;
    slots[slot] = static_cast<uint8_t>(i);
  }
  return slots;
}

inline constexpr std::array<uint8_t, kWordSlots> kWordSlotTable = makeWordSlots();

// A text of 1 to 24 bytes as three numbers that are equal for two texts of
// the same length exactly when the texts are: up to three overlapping loads
// of eight, four or one bytes, the first and last always among them. Every
// word is read so once, at compile time; a name at run time costs a few
// loads and compares instead of a loop over its bytes.
struct WordKey {
  uint64_t head = 0;
  uint64_t middle = 0;
  uint64_t tail = 0;
};

// `bytes` bytes at `p` as a load in the machine's byte order gives them.
constexpr uint64_t loadBytes(const char* p, size_t bytes) {
  uint64_t value = 0;
  if (std::is_constant_evaluated()) {
    for (size_t i = 0; i < bytes; ++i) {
      const size_t shift = std::endian::native == std::endian::little ? i : bytes - 1 - i;
      value |= uint64_t{static_cast<unsigned char>(p[i])} << (8 * shift);
    }
    return value;
  }
  if (bytes == 8) {
    std::memcpy(&value, p, 8);
  } else if (bytes == 4) {
    uint32_t four = 0;
    std::memcpy(&four, p, 4);
    value = four;
  } else {
    value = static_cast<unsigned char>(p[0]);
  }
  return value;
}

// Texts longer than the longest word have no key (and are no word).
inline constexpr size_t kLongestKeyed = 24;

constexpr WordKey wordKey(std::string_view text) {
  const char* p = text.data();
  const size_t n = text.size();
  WordKey key;
  if (n >= 8) {
    key.head = loadBytes(p, 8);
    key.tail = loadBytes(p + n - 8, 8);
    if (n > 16) key.middle = loadBytes(p + 8, 8);
  } else if (n >= 4) {
    key.head = loadBytes(p, 4);
    key.tail = loadBytes(p + n - 4, 4);
  } else if (n > 0) {
    key.head = loadBytes(p, 1);
    key.middle = loadBytes(p + n / 2, 1);
    key.tail = loadBytes(p + n - 1, 1);
  }
  return key;
}

constexpr std::array<WordKey, kWordCount> makeWordKeys() {
  std::array<WordKey, kWordCount> keys{};
  for (size_t i = 0; i < kWordCount; ++i) keys[i] = wordKey(kWords[i]);
  return keys;
}

inline constexpr std::array<WordKey, kWordCount> kWordKeys = makeWordKeys();

constexpr bool everyWordKeyed() {
  for (const std::string_view word : kWords) {
    if (word.size() > kLongestKeyed) return false;
  }
  return true;
}
static_assert(everyWordKeyed(), "a word longer than a key covers would never be found");

// The index of `text` in kWords, or kWordCount.
constexpr size_t wordIndex(std::string_view text) {
  if (text.empty() || text.size() > kLongestKeyed) return kWordCount;
  const WordKey key = wordKey(text);
  for (size_t slot = wordSlot(text); kWordSlotTable[slot] != kNoWord; slot = (slot + 1) % kWordSlots) {
    const size_t index = kWordSlotTable[slot];
    const WordKey& word = kWordKeys[index];
    if (kWords[index].size() == text.size() && word.head == key.head && word.tail == key.tail &&
        word.middle == key.middle) {
      return index;
    }
  }
  return kWordCount;
}

// The field a block stores for a tag or name: 2 * index + 1 for a word of
// kWords, else twice the byte count (the bytes follow it).
constexpr size_t wordField(std::string_view text) {
  const size_t index = wordIndex(text);
  return index < kWordCount ? 2 * index + 1 : 2 * text.size();
}

// A tag or name field at `p`, read and stepped over.
inline std::string_view readWord(const unsigned char*& p) {
  const size_t field = readLength(p);
  if ((field & 1) != 0) return kWords[field >> 1];
  const auto* bytes = reinterpret_cast<const char*>(p);
  p += field >> 1;
  return std::string_view(bytes, field >> 1);
}

}  // namespace elementtext

// An attribute name with its block field worked out: a lookup by a name
// made once, as the loader's and the writers' constant names are, compares
// one number per attribute instead of bytes.
class AttributeName {
public:
  constexpr AttributeName(std::string_view name) : name_(name), field_(elementtext::wordField(name)) {}
  constexpr AttributeName(const char* name) : AttributeName(std::string_view(name)) {}
  AttributeName(const std::string& name) : AttributeName(std::string_view(name)) {}
  std::string_view name() const { return name_; }
  size_t field() const { return field_; }

private:
  std::string_view name_;
  size_t field_;
};

// The names the loader and the header writer look up for every element.
namespace attribute {
inline constexpr AttributeName kName{"name"};
inline constexpr AttributeName kStart{"start"};
inline constexpr AttributeName kSize{"size"};
inline constexpr AttributeName kAka{"aka"};
inline constexpr AttributeName kPrependGroupName{"prepend_group_name"};
}  // namespace attribute

// A value that takes the place of the value of the attribute at `index` (in
// the order of the attributes).
struct ValueChange {
  size_t index;
  std::string_view value;
};

// The attributes of an element in order, read from its block.
class XMLAttributes {
public:
  class iterator {
  public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = XMLAttribute;
    using difference_type = std::ptrdiff_t;
    using pointer = const XMLAttribute*;
    using reference = XMLAttribute;

    iterator() = default;
    iterator(const unsigned char* position, size_t remaining) : position_(position), remaining_(remaining) {
      read();
    }
    XMLAttribute operator*() const { return current_; }
    const XMLAttribute* operator->() const { return &current_; }
    iterator& operator++() {
      --remaining_;
      read();
      return *this;
    }
    iterator operator++(int) {
      iterator before = *this;
      ++*this;
      return before;
    }
    bool operator==(const iterator& other) const { return remaining_ == other.remaining_; }

  private:
    void read();

    const unsigned char* position_ = nullptr;
    size_t remaining_ = 0;
    XMLAttribute current_;
  };

  XMLAttributes(const unsigned char* first, size_t count) : first_(first), count_(count) {}

  iterator begin() const { return iterator(first_, count_); }
  iterator end() const { return iterator(); }
  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  XMLAttribute front() const { return *begin(); }

private:
  const unsigned char* first_;
  size_t count_;
};

// Owns one block. Every change builds a new block: elements are written once
// by the reader or a copy and rarely changed afterwards.
class ElementText {
public:
  // A name given twice keeps its first position and takes its last value,
  // as setting them one by one would.
  explicit ElementText(std::string_view tagName, std::span<const XMLAttribute> attributes = {});
  ElementText(const ElementText& other);
  // `source`'s tag and attributes with some values changed; `changes` in
  // increasing order of index. The rest is copied as it is stored.
  ElementText(const ElementText& source, std::span<const ValueChange> changes);
  ElementText& operator=(const ElementText&) = delete;
  ~ElementText();

  std::string_view tagName() const;
  // The tag's index in elementtext::kWords, or kWordCount.
  size_t tagWord() const {
    const unsigned char* p = block_;
    elementtext::readLength(p);
    const size_t field = elementtext::readLength(p);
    return (field & 1) != 0 ? field >> 1 : elementtext::kWordCount;
  }
  XMLAttributes attributes() const;
  // The first attribute named `name`, or nothing.
  std::optional<XMLAttribute> find(const AttributeName& name) const;
  // The first attributes named `first` and `second` (two different names),
  // found in one walk.
  std::pair<std::optional<XMLAttribute>, std::optional<XMLAttribute>> find(const AttributeName& first,
                                                                           const AttributeName& second) const;
  // False when no attribute value holds `byte`; true when one may (the tag
  // and the names are looked through too).
  bool mayHold(char byte) const;

  // Replaces tag and attributes, as the constructor sets them.
  void assign(std::string_view tagName, std::span<const XMLAttribute> attributes);
  // Changes values in place, as the copying constructor changes them.
  void change(std::span<const ValueChange> changes);

  void swap(ElementText& other) noexcept {
    const unsigned char* block = block_;
    block_ = other.block_;
    other.block_ = block;
  }

private:
  const unsigned char* block_ = nullptr;
};

}  // namespace rw
