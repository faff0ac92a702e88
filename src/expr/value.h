// The typed result of evaluating an expression.
#pragma once

#include <cstdint>
#include <string>

namespace rw {

class Value {
public:
  enum class Kind : uint32_t {
    Boolean = 0,
    Signed = 1,
    Unsigned = 2,
    String = 3,
    Marker = 4,  // a reference to another value; nothing here produces one
    Floating = 5,
    None = 6,
  };

  Value() = default;

  static Value boolean(bool b);
  static Value signedInteger(int64_t v, uint32_t size = 8);
  static Value unsignedInteger(uint64_t v, uint32_t size = 8);
  // `bits` is the raw payload: integer bits, masked to `bitWidth` bits on
  // reading when `bitWidth` is not 0.
  static Value integerBits(Kind kind, uint64_t bits, uint32_t size, uint32_t bitWidth = 0);
  static Value floating(double d);
  static Value singleFloating(float f);
  static Value string(std::string text);

  Kind kind() const { return kind_; }
  uint64_t payload() const { return payload_; }
  uint32_t size() const { return size_; }
  uint32_t bitWidth() const { return bitWidth_; }
  const std::string& text() const { return text_; }

  bool isInteger() const { return kind_ == Kind::Signed || kind_ == Kind::Unsigned; }
  bool isNumber() const { return isInteger() || kind_ == Kind::Floating; }

  // The readings. Kinds without a numeric meaning (string, marker, none)
  // read as 0 and false.
  int64_t toSigned() const;
  uint64_t toUnsigned() const;
  bool toBoolean() const;
  // The numeric value as a double: booleans 0 or 1, integers converted,
  // floating values as they are.
  double toDouble() const;
  // Text for comparing against a string value.
  std::string toText() const;

private:
  Kind kind_ = Kind::None;
  uint64_t payload_ = 0;
  uint32_t size_ = 0;
  uint32_t bitWidth_ = 0;
  std::string text_;
};

}  // namespace rw
