#include "expr/evaluate.h"

#include <cstdio>
#include <optional>
#include <string>

#include "expr/expression_parser.h"
#include "expr/value.h"

namespace rw {

namespace {

// The value of `text`, or None when anything fails; callers only learn
// success or failure. Running out of memory is no failure of the text and is
// left to the caller's caller.
Value checkedValue(std::string_view text) {
  try {
    return evaluateExpression(text);
  } catch (const NestedTooDeeply&) {
    // Nothing else would tell the user why the value came out as 0. The start
    // of the text is enough to find it in the map.
    constexpr size_t kExcerpt = 16;
    const std::string excerpt(text.substr(0, kExcerpt));
    std::fprintf(stderr, "warning: expression nested too deeply; not evaluated: %s%s\n",
                 excerpt.c_str(), text.size() > kExcerpt ? "..." : "");
    return {};
  }
}

}  // namespace

// The expression gives the same value; reading it directly spares the parser
// on a map's hundreds of thousands of starts.
std::optional<uint64_t> plainLiteralValue(std::string_view text) {
  if (text.starts_with('+')) text.remove_prefix(1);
  const bool hex = text.starts_with("0x");
  if (hex) text.remove_prefix(2);
  if (text.empty() || text.size() > (hex ? 8u : 9u) || (!hex && text[0] == '0' && text.size() > 1)) {
    return std::nullopt;
  }
  uint64_t value = 0;
  for (const char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
  }
  return value;
}

UnsignedResult evaluateUnsigned(std::string_view text) {
  if (const std::optional<uint64_t> plain = plainLiteralValue(text)) return {*plain, true};
  const Value value = checkedValue(text);
  if (value.kind != Value::Kind::Integer && value.kind != Value::Kind::Floating) return {};
  return {value.bits, true};  // a double gives its bit pattern
}

SignedResult evaluateSigned(std::string_view text) {
  const Value value = checkedValue(text);
  if (value.kind != Value::Kind::Integer && value.kind != Value::Kind::Floating) return {};
  return {value.toSigned(), true};
}

ConditionResult evaluateCondition(std::string_view text) {
  const Value value = checkedValue(text);
  if (value.kind != Value::Kind::Boolean) return {};
  return {value.toBoolean(), true};
}

}  // namespace rw
