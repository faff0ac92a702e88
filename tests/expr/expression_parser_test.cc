#include "expr/expression_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "expr/parser_exception.h"
#include "expr/simple_expression_parser.h"

namespace rw {
namespace {

// The failure text of evaluating `text`, or "" when it succeeds.
std::string failureOf(SimpleExpressionParser& parser, const std::string& text) {
  try {
    parser.evaluate(text);
    return "";
  } catch (const ParserException& e) {
    return e.what();
  }
}

TEST(SimpleExpressionParser, ReportsWhyAnExpressionFails) {
  struct Case {
    std::string text;
    std::string failure;
  };
  const Case cases[] = {
      {"FOO + 1", "FOO symbol not found"},
      {"a::b::c", "a::b::c symbol not found"},
      {"::a", "::a symbol not found"},
      {"a::", "identifier expected after '::'"},
      {"@R0", "R0unknown register"},
      {"(int)3", "cannot cast"},
      {"(const unsigned long * [2])3", "cannot cast"},
      {"(struct { int a; char b : 3; })3", "cannot cast"},
      {"(register 4 { EN 0 1; MODE 1 2; })3", "cannot cast"},
      {"(struct s)3", "struct type not found"},
      {"(struct 1)3", "'{' expected"},
      {"(struct { a; })3", "struct parse error"},
      {"(struct { int ; })3", "fieldname expected"},
      {"(struct { int a : b; })3", "integer must follow ':'"},
      {"(struct { int a })3", "';' expected"},
      {"(register { })3", "size expected"},
      {"(register 4 x)3", "'{' expected"},
      {"(register 4 { 1 })3", "fieldname expected"},
      {"(register 4 { EN })3", "bitoffset expected"},
      {"(register 4 { EN 0 })3", "bitsize expected"},
      {"(register 4 { EN 0 1 })3", "';' expected"},
      {"(int[2)3", "']' expected"},
      {"(int 3", "')' expected"},
      {"2[0]", "cannot dereference"},
      {"*3", "cannot dereference"},
      {"2[0", "expected ']'"},
      {"(2).x", "cannot dereference"},
      {"2->x", "cannot dereference"},
      {"2.", "identifier expected"},
      {"&3", "addressof not implemented"},
      {"addressof(\"main.c\", 12)", "addressof not implemented"},
      {"addressof \"main.c\"", "'(' expected"},
      {"addressof(12)", "string expected"},
      {"addressof(\"main.c\" 12)", "',' expected"},
      {"addressof(\"main.c\", x)", "int expected"},
      {"addressof(\"main.c\", 12", "')' expected"},
      {"sizeof(int)", "sizeof(typename) not implemented"},
      {"sizeof 3", "sizeof expression not implemented"},
      {"sizeof(3)", "sizeof expression not implemented"},
      {"2 (3)", "function calling not implemented"},
      {"f(1, 2)", "function calling not implemented"},
      {"f(1, 2 = 3)", "bad expression type"},  // arguments before the call
      {"2(3", "')' expected"},
      {"1 = 2", "bad expression type"},
      {"2++", "bad expression type"},
      {"++2", "bad expression type"},
      {"2 *= 3", "bad expression type"},
      {"x = 2", "x symbol not found"},
      {"1 ? 2 : 3", "operator not supported"},
      {"1, 2", "operator not supported"},
      {"8 >>> 1", "operator not supported"},
      {"8 >>>= 1", "operator not supported"},
      {"(12", "')' expected"},
      {")", "expression expected"},
      {"   ", "expression expected"},
      {"12 #", "unrecognised token: #"},
      {"1 + \"ab", "unrecognised token: \"ab"},
      {"5 / 0", "divide by zero"},
      {"5 % 0", "divide by zero"},
      {"5.0 / 0", "divide by zero"},
      {"\"a\" + 1", "unsupported binary numeric operation"},
      {"1.5 & 1", "unsupported binary numeric operation"},
      {"1.5 && 1", "unsupported binary numeric operation"},
      {"1.5 == 1", "unsupported comparison operation"},
      {"1.0 << 1", "can only shift numeric values"},
      {"1 << 1.0", "integer shift value expected"},
      {"~(1 == 1)", "unsupported unary num operation"},
      {"!\"a\"", "unsupported unary num operation"},
      {"0 && FOO", "FOO symbol not found"},
      {"FOO && BAR", "FOO symbol not found"},  // left first
  };
  SimpleExpressionParser parser;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(failureOf(parser, c.text), c.failure);
  }
}

TEST(SimpleExpressionParser, EmptyTextGivesNoTreeAndNoValue) {
  SimpleExpressionParser parser;
  EXPECT_EQ(parser.parse(""), nullptr);
  EXPECT_EQ(parser.evaluate("").kind(), Value::Kind::None);
}

TEST(SimpleExpressionParser, CompoundAssignmentKeepsItsOperator) {
  SimpleExpressionParser parser;
  const ExpressionPtr tree = parser.parse("x <<= 2");
  const auto* assign = dynamic_cast<const AssignExpression*>(tree.get());
  ASSERT_NE(assign, nullptr);
  EXPECT_EQ(assign->combiningOperator(), BinaryOperator::Lshift);
}

TEST(SimpleExpressionParser, LiteralKinds) {
  struct Case {
    std::string text;
    Value::Kind kind;
    uint32_t size;
  };
  const Case cases[] = {
      {"12", Value::Kind::Signed, 8},
      {"0xFFFFFFFFFFFFFFFF", Value::Kind::Signed, 8},
      {"10UL", Value::Kind::Signed, 8},
      {"0b1", Value::Kind::Signed, 8},
      {"1.25", Value::Kind::Floating, 8},
      {"\"text\"", Value::Kind::String, 0},
      {"1 == 1", Value::Kind::Boolean, 1},
      {"-(1 == 1)", Value::Kind::Signed, 8},
  };
  SimpleExpressionParser parser;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Value v = parser.evaluate(c.text);
    EXPECT_EQ(v.kind(), c.kind);
    EXPECT_EQ(v.size(), c.size);
  }
  EXPECT_EQ(parser.evaluate("\"a b\"").text(), "a b");
}

TEST(SimpleExpressionParser, BoundsTheNestingDepth) {
  struct Case {
    std::string name;
    std::string lead;
    std::string prefix;  // repeated
    std::string core;
    std::string suffix;  // repeated
  };
  const Case cases[] = {
      {"parentheses", "", "(", "1", ")"},
      {"negations", "", "-", "1", ""},
      {"nots", "", "~", "1", ""},
      {"indices", "", "", "a", "[0]"},
      {"right operands", "", "1+(", "1", ")"},
      {"sums", "", "", "1", "+1"},
      {"array lengths", "", "(int[", "1", "])1"},
      {"struct fields", "(", "struct{", "", ""},
  };
  SimpleExpressionParser parser;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int count : {100, 100000}) {
      std::string text = c.lead;
      for (int i = 0; i < count; ++i) text += c.prefix;
      text += c.core;
      for (int i = 0; i < count; ++i) text += c.suffix;
      const std::string failure = failureOf(parser, text);
      if (count == 100000)
        EXPECT_EQ(failure, "expression nested too deeply");
      else
        EXPECT_NE(failure, "expression nested too deeply");
    }
  }
}

TEST(SimpleExpressionParser, DeepButBoundedExpressionsStillEvaluate) {
  struct Case {
    std::string name;
    std::string text;
    uint64_t expected;
  };
  // Appending keeps clear of a false -Wrestrict in GCC 12's operator+.
  auto nest = [](const std::string& open, const std::string& core, const std::string& close,
                 int n) {
    std::string r;
    for (int i = 0; i < n; ++i) r += open;
    r += core;
    for (int i = 0; i < n; ++i) r += close;
    return r;
  };
  const Case cases[] = {
      {"nesting", nest("(1+", "1", ")", 250), 251},
      {"flat chain", nest("", "1", "+1", 1000), 1001},
  };
  SimpleExpressionParser parser;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(parser.evaluate(c.text).toUnsigned(), c.expected);
  }
}

}  // namespace
}  // namespace rw
