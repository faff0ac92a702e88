// The text of a property definition. Most definitions come from the settings
// catalogue, whose texts are string literals: those are referred to, not
// copied, so building the catalogue on every run allocates no text at all.
// Any other text is copied and owned.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace rw {

class PropertyText {
public:
  PropertyText() = default;
  PropertyText(std::string_view text) { assign(text); }
  PropertyText(const std::string& text) { assign(text); }
  PropertyText(const char* text) { assign(text); }
  // Refers to `text` without copying: it must outlive this value and every
  // copy of it (string literals and other static data do).
  static PropertyText fromStatic(std::string_view text);

  PropertyText(const PropertyText& other);
  PropertyText(PropertyText&& other) noexcept;
  PropertyText& operator=(const PropertyText& other);
  PropertyText& operator=(PropertyText&& other) noexcept;
  PropertyText& operator=(std::string_view text);
  PropertyText& operator=(const std::string& text) { return *this = std::string_view(text); }
  PropertyText& operator=(const char* text) { return *this = std::string_view(text); }
  ~PropertyText() { release(); }

  std::string_view view() const { return {data_, size_}; }
  operator std::string_view() const { return view(); }
  std::string str() const { return std::string(view()); }
  const char* data() const { return data_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  // False for text referred to through fromStatic.
  bool owned() const { return owned_; }
  // Part of this text, referred to like this text is (copied when owned).
  PropertyText substr(size_t pos, size_t count = std::string_view::npos) const;
  void clear();

  friend bool operator==(const PropertyText& a, const PropertyText& b) { return a.view() == b.view(); }
  friend bool operator==(const PropertyText& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const PropertyText& a, const std::string& b) { return a.view() == b; }
  friend bool operator==(const PropertyText& a, const char* b) { return a.view() == b; }

private:
  void assign(std::string_view text);
  void release();

  const char* data_ = "";
  uint32_t size_ = 0;
  bool owned_ = false;
};

std::ostream& operator<<(std::ostream& out, const PropertyText& text);

}  // namespace rw
