// Byte classes for the XML reader. ASCII only and independent of any locale:
// a byte of 0x80 or above is neither white space, nor a letter, nor a digit.
#pragma once

#include <array>
#include <cstdint>

namespace rw::xmlchar {

enum : uint8_t {
  kSpace = 1,   // space, \t, \n, \v, \f, \r
  kLetter = 2,  // A-Z a-z
  kDigit = 4,   // 0-9
  kNamePunct = 8,  // - : _
  kValueStop = 16,  // " & $ : what ends an attribute value or asks for a second look at it
};

constexpr std::array<uint8_t, 256> makeTable() {
  std::array<uint8_t, 256> table{};
  for (int c : {' ', '\t', '\n', '\v', '\f', '\r'}) table[c] |= kSpace;
  for (int c = 'A'; c <= 'Z'; ++c) table[c] |= kLetter;
  for (int c = 'a'; c <= 'z'; ++c) table[c] |= kLetter;
  for (int c = '0'; c <= '9'; ++c) table[c] |= kDigit;
  for (int c : {'-', ':', '_'}) table[c] |= kNamePunct;
  for (int c : {'"', '&', '$'}) table[c] |= kValueStop;
  return table;
}

inline constexpr std::array<uint8_t, 256> kTable = makeTable();

inline bool is(char c, uint8_t classes) {
  return (kTable[static_cast<unsigned char>(c)] & classes) != 0;
}
inline bool isSpace(char c) { return is(c, kSpace); }
// Letters, digits and - : _ ; a full stop is deliberately not one of them.
inline bool isNameChar(char c) { return is(c, kLetter | kDigit | kNamePunct); }
// What may begin an attribute name: a name character other than a digit.
inline bool isAttributeStart(char c) { return is(c, kLetter | kNamePunct); }

}  // namespace rw::xmlchar
