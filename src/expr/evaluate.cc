#include "expr/evaluate.h"

#include <cstdio>
#include <string>

#include "expr/expression_parser.h"
#include "expr/value.h"

namespace rw {

namespace {

// The value of `text`, or None when anything fails. No exception leaves:
// callers only learn success or failure.
Value checkedValue(std::string_view text) noexcept {
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
  } catch (...) {
    return {};
  }
}

}  // namespace

UnsignedResult evaluateUnsigned(std::string_view text) {
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
