#include "expr/evaluate.h"

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
