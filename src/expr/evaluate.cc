#include "expr/evaluate.h"

#include <cstdio>
#include <string>

#include "expr/parser_exception.h"
#include "expr/simple_expression_parser.h"

namespace rw {

namespace {

SimpleExpressionParser& processParser() {
  // Never destroyed: it lives for the whole run like the other process-wide
  // objects.
  static SimpleExpressionParser* const parser = new SimpleExpressionParser();
  return *parser;
}

// The value of `text`, or kind None when anything fails. No exception leaves:
// callers only learn success or failure.
Value checkedValue(std::string_view text) noexcept {
  try {
    return processParser().evaluate(text);
  } catch (const LimitException& limit) {
    // The start of the text is enough to find it in the map.
    constexpr size_t kExcerpt = 16;
    const std::string excerpt(text.substr(0, kExcerpt));
    std::fprintf(stderr, "warning: %s; not evaluated: %s%s\n", limit.what(), excerpt.c_str(),
                 text.size() > kExcerpt ? "..." : "");
    return Value();
  } catch (...) {
    return Value();
  }
}

}  // namespace

UnsignedResult evaluateUnsigned(std::string_view text) {
  const Value value = checkedValue(text);
  if (!value.isNumber()) return {};
  return {value.toUnsigned(), true};
}

SignedResult evaluateSigned(std::string_view text) {
  const Value value = checkedValue(text);
  if (!value.isNumber()) return {};
  return {value.toSigned(), true};
}

ConditionResult evaluateCondition(std::string_view text) {
  const Value value = checkedValue(text);
  if (value.kind() != Value::Kind::Boolean) return {};
  return {value.toBoolean(), true};
}

}  // namespace rw
