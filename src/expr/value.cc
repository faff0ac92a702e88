#include "expr/value.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

namespace rw {

namespace {

uint64_t lowBits(uint64_t bits, uint32_t count) {
  return count >= 64 ? bits : bits & ((uint64_t{1} << count) - 1);
}

int64_t signExtend(uint64_t bits, uint32_t count) {
  if (count == 0 || count >= 64) return static_cast<int64_t>(bits);
  const uint64_t sign = uint64_t{1} << (count - 1);
  const uint64_t low = lowBits(bits, count);
  // (low ^ sign) - sign sign-extends without shifting a negative number.
  return static_cast<int64_t>((low ^ sign) - sign);
}

// Truncation toward zero. A double outside the 64-bit range has no integer
// reading in C++ (the conversion would be undefined), so it saturates, and
// NaN reads as 0.
int64_t truncateToSigned(double d) {
  if (std::isnan(d)) return 0;
  if (d >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
  if (d < -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(d);
}

}  // namespace

Value Value::boolean(bool b) {
  Value v;
  v.kind_ = Kind::Boolean;
  v.payload_ = b ? 1 : 0;
  v.size_ = 1;
  return v;
}

Value Value::signedInteger(int64_t value, uint32_t size) {
  return integerBits(Kind::Signed, static_cast<uint64_t>(value), size);
}

Value Value::unsignedInteger(uint64_t value, uint32_t size) {
  return integerBits(Kind::Unsigned, value, size);
}

Value Value::integerBits(Kind kind, uint64_t bits, uint32_t size, uint32_t bitWidth) {
  Value v;
  v.kind_ = kind;
  v.payload_ = bits;
  v.size_ = size;
  v.bitWidth_ = bitWidth;
  return v;
}

Value Value::floating(double d) {
  Value v;
  v.kind_ = Kind::Floating;
  v.payload_ = std::bit_cast<uint64_t>(d);
  v.size_ = 8;
  return v;
}

Value Value::singleFloating(float f) {
  Value v;
  v.kind_ = Kind::Floating;
  v.payload_ = std::bit_cast<uint32_t>(f);
  v.size_ = 4;
  return v;
}

Value Value::string(std::string text) {
  Value v;
  v.kind_ = Kind::String;
  v.text_ = std::move(text);
  return v;
}

int64_t Value::toSigned() const {
  switch (kind_) {
    case Kind::Boolean:
      return payload_ & 0xFF ? 1 : 0;
    case Kind::Signed:
    case Kind::Unsigned:
      if (bitWidth_ != 0) return signExtend(payload_, bitWidth_);
      switch (size_) {
        case 1: return signExtend(payload_, 8);
        case 2: return signExtend(payload_, 16);
        // A 4-byte value reads zero-extended, unlike the other sizes.
        case 4: return static_cast<int64_t>(payload_ & 0xFFFFFFFFu);
        default: return static_cast<int64_t>(payload_);
      }
    case Kind::Floating:
      return truncateToSigned(toDouble());
    default:
      return 0;
  }
}

uint64_t Value::toUnsigned() const {
  switch (kind_) {
    case Kind::Boolean:
      return payload_ & 0xFF ? 1 : 0;
    case Kind::Signed:
    case Kind::Unsigned:
      if (bitWidth_ != 0) return lowBits(payload_, bitWidth_);
      return size_ >= 1 && size_ < 8 ? lowBits(payload_, size_ * 8) : payload_;
    case Kind::Floating:
      // The bit pattern, not a converted number.
      return size_ == 4 ? (payload_ & 0xFFFFFFFFu) : payload_;
    default:
      return 0;
  }
}

bool Value::toBoolean() const { return (payload_ & 0xFF) != 0; }

double Value::toDouble() const {
  switch (kind_) {
    case Kind::Boolean:
      return toBoolean() ? 1.0 : 0.0;
    case Kind::Signed:
      return static_cast<double>(toSigned());
    case Kind::Unsigned:
      return static_cast<double>(toUnsigned());
    case Kind::Floating:
      if (size_ == 4) return std::bit_cast<float>(static_cast<uint32_t>(payload_));
      return std::bit_cast<double>(payload_);
    default:
      return 0.0;
  }
}

std::string Value::toText() const {
  char buffer[64];
  std::to_chars_result r{buffer, std::errc{}};
  switch (kind_) {
    case Kind::String:
      return text_;
    case Kind::Boolean:
      return toBoolean() ? "true" : "false";
    case Kind::Signed:
      r = std::to_chars(buffer, buffer + sizeof buffer, toSigned());
      break;
    case Kind::Unsigned:
      r = std::to_chars(buffer, buffer + sizeof buffer, toUnsigned());
      break;
    case Kind::Floating:
      // Shortest round-trip form, independent of the locale.
      r = std::to_chars(buffer, buffer + sizeof buffer, toDouble());
      break;
    default:
      return {};
  }
  return std::string(buffer, r.ptr);
}

}  // namespace rw
