// The small value forms of CMSIS-SVD files: scaled numbers, the index names
// of `dim` arrays, and names made into C identifiers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rw {

// The most elements one `dim` array may have. Real arrays are a few
// thousand at most (a RAM window of words); beyond this a `dim` is a typo or
// an attack, and would only multiply the elements of a single register.
inline constexpr uint64_t kMaxSvdDimension = 65536;

// A number as SVD writes it: an optional "+", then decimal, "0x"/"0X"
// hexadecimal, or "#"/"0b"/"0B" binary digits, then an optional scale letter
// k, M, G or T (either case) for 2^10, 2^20, 2^30 or 2^40. Blanks around it
// are ignored. Nothing when the text is no such number or does not fit in
// 64 bits.
std::optional<uint64_t> parseSvdNumber(std::string_view text);

// The names of the elements of a `dim` array, from its `dimIndex` text: a
// list "a,b,c" (blanks around items dropped), a range "0-7" or "A-D", or,
// when the text is empty, the numbers 0, 1, ... . Where the text gives fewer
// names than the array has elements, element k is named by the number k.
// Each name is made when asked for: an array of 65,536 elements costs
// nothing until its elements are spelled out. The text must outlive it.
class DimIndex {
public:
  explicit DimIndex(std::string_view text);
  std::string name(uint64_t k) const;
  // How many names the text gives; nothing when there is no text, which
  // names any number of elements.
  std::optional<uint64_t> size() const;

private:
  enum class Form { Numbers, List, NumberRange, LetterRange };
  Form form_ = Form::Numbers;
  std::vector<std::string_view> items_;
  uint64_t first_ = 0;
  uint64_t last_ = 0;
};

// `name` with every "[%s]", then every "%s", replaced by `index`.
std::string substituteIndex(std::string_view name, std::string_view index);
// The size substituteIndex(name, index) has, found without making it: a
// name of many "%s" and a long index name would make a text far larger
// than the file.
size_t substitutedSize(std::string_view name, std::string_view index);

// `name` with every character outside [A-Za-z0-9_] turned into "_".
std::string cIdentifier(std::string_view name);

// `text` without leading and trailing white space, each inner run of white
// space and control characters made one space: vendors wrap descriptions
// over several indented lines.
std::string collapseWhitespace(std::string_view text);

// `text` without leading and trailing blanks, tabs and line ends.
std::string_view trimmed(std::string_view text);

}  // namespace rw
