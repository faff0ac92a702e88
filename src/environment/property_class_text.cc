#include "environment/property_class_text.h"

#include <cstring>
#include <ostream>

namespace rw {

PropertyText PropertyText::fromStatic(std::string_view text) {
  PropertyText t;
  t.data_ = text.data();
  t.size_ = static_cast<uint32_t>(text.size());
  return t;
}

void PropertyText::assign(std::string_view text) {
  if (text.empty()) return;
  char* copy = new char[text.size()];
  std::memcpy(copy, text.data(), text.size());
  data_ = copy;
  size_ = static_cast<uint32_t>(text.size());
  owned_ = true;
}

void PropertyText::release() {
  if (owned_) delete[] data_;
  data_ = "";
  size_ = 0;
  owned_ = false;
}

PropertyText::PropertyText(const PropertyText& other) {
  if (other.owned_) {
    assign(other.view());
  } else {
    data_ = other.data_;
    size_ = other.size_;
  }
}

PropertyText::PropertyText(PropertyText&& other) noexcept
    : data_(other.data_), size_(other.size_), owned_(other.owned_) {
  other.data_ = "";
  other.size_ = 0;
  other.owned_ = false;
}

PropertyText& PropertyText::operator=(const PropertyText& other) {
  if (this != &other) *this = PropertyText(other);
  return *this;
}

PropertyText& PropertyText::operator=(PropertyText&& other) noexcept {
  if (this != &other) {
    release();
    data_ = other.data_;
    size_ = other.size_;
    owned_ = other.owned_;
    other.data_ = "";
    other.size_ = 0;
    other.owned_ = false;
  }
  return *this;
}

PropertyText& PropertyText::operator=(std::string_view text) {
  // The new text may be part of the old one.
  PropertyText copy(text);
  return *this = std::move(copy);
}

PropertyText PropertyText::substr(size_t pos, size_t count) const {
  const std::string_view part = view().substr(pos, count);
  return owned_ ? PropertyText(part) : fromStatic(part);
}

void PropertyText::clear() { release(); }

std::ostream& operator<<(std::ostream& out, const PropertyText& text) { return out << text.view(); }

}  // namespace rw
