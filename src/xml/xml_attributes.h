// The tag name and attributes of one element, packed into a single block of
// memory. A map holds hundreds of thousands of elements with a handful of
// short attributes each; a string object per name and value would make the
// tree several times the size of the file it came from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <span>
#include <string_view>

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
//   block size, tag length, tag, attribute count,
//   then per attribute: name length, name, value length + 1 (0: no value), value.
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

}  // namespace elementtext

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
  explicit ElementText(std::string_view tagName);
  ElementText(const ElementText& other);
  ElementText& operator=(const ElementText&) = delete;
  ~ElementText();

  std::string_view tagName() const;
  XMLAttributes attributes() const;
  // The first attribute named `name`, or nothing.
  std::optional<XMLAttribute> find(std::string_view name) const;
  // False when no attribute value holds `byte`; true when one may (the tag
  // and the names are looked through too).
  bool mayHold(char byte) const;

  // Replaces tag and attributes. A name given twice keeps its first position
  // and takes its last value, as setting them one by one would.
  void assign(std::string_view tagName, std::span<const XMLAttribute> attributes);

  void swap(ElementText& other) noexcept {
    const unsigned char* block = block_;
    block_ = other.block_;
    other.block_ = block;
  }

private:
  const unsigned char* block_ = nullptr;
};

}  // namespace rw
