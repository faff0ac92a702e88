#include "expr/c_style_lexer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "expr/parser_exception.h"

namespace rw {
namespace {

struct Scanned {
  int kind;
  std::string text;
  bool operator==(const Scanned&) const = default;
};

std::vector<Scanned> scanAll(Lexer& lexer, const std::string& text) {
  lexer.reset(text);
  std::vector<Scanned> tokens;
  Token token;
  for (lexer.next(token); token.kind != kEnd; lexer.next(token))
    if (token.kind != kSpace) tokens.push_back({token.kind, token.text});
  return tokens;
}

TEST(CStyleLexer, TakesTheFirstMatchInTableOrder) {
  struct Case {
    std::string text;
    std::vector<Scanned> expected;
  };
  const Case cases[] = {
      {"0x1fULL", {{kHexadecimal, "0x1fULL"}}},
      {"0x", {{kHexadecimal, "0x"}}},
      {"0X1", {{kDecimal, "0"}, {kIdentifier, "X1"}}},
      {"0b012", {{kBinary, "0b01"}, {kDecimal, "2"}}},
      {"1.5", {{kFloating, "1.5"}}},
      {"1.", {{kDecimal, "1"}, {kDot, "."}}},
      {".5", {{kDot, "."}, {kDecimal, "5"}}},
      {"10ULLull", {{kDecimal, "10ULLull"}}},
      {"10LU", {{kDecimal, "10L"}, {kIdentifier, "U"}}},
      {"$a_1 _", {{kIdentifier, "$a_1"}, {kIdentifier, "_"}}},
      {"@R_0 @", {{kRegister, "@R_0"}, {kRegister, "@"}}},
      {"\"a b\"\"\"", {{kString, "\"a b\""}, {kString, "\"\""}}},
      {"a::b:", {{kIdentifier, "a"}, {kScope, "::"}, {kIdentifier, "b"}, {kColon, ":"}}},
      {"a->b-->c", {{kIdentifier, "a"}, {kArrow, "->"}, {kIdentifier, "b"},
                    {kDecrement, "--"}, {kGreater, ">"}, {kIdentifier, "c"}}},
      {"<<= << <= < >>>= >>> >>= >> >= >",
       {{kLeftShiftAssign, "<<="}, {kLeftShift, "<<"}, {kLessEqual, "<="}, {kLess, "<"},
        {kUnsignedRightShiftAssign, ">>>="}, {kUnsignedRightShift, ">>>"},
        {kRightShiftAssign, ">>="}, {kRightShift, ">>"}, {kGreaterEqual, ">="}, {kGreater, ">"}}},
      {"&=&&& |=|||", {{kAmpersandAssign, "&="}, {kLogicalAnd, "&&"}, {kAmpersand, "&"},
                       {kBarAssign, "|="}, {kLogicalOr, "||"}, {kBar, "|"}}},
      {"!=!~==", {{kNotEqual, "!="}, {kExclamation, "!"}, {kTilde, "~"}, {kEqual, "=="}}},
      {"+++=", {{kIncrement, "++"}, {kPlusAssign, "+="}}},
      {"a\t\n\v\f\rb", {{kIdentifier, "a"}, {kIdentifier, "b"}}},
  };
  CStyleLexer lexer;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(scanAll(lexer, c.text), c.expected);
  }
}

TEST(CStyleLexer, GivesBinaryPrecedences) {
  struct Case {
    std::string text;
    int precedence;
  };
  const Case cases[] = {
      {",", -4}, {"*=", -3}, {">>>=", -3}, {"=", -2}, {"?", -1}, {"||", 0}, {"&&", 1},
      {"|", 2},  {"^", 3},   {"&", 4},     {"==", 5}, {"!=", 5}, {"<", 6},  {">=", 6},
      {"<<", 7}, {">>>", 7}, {"+", 8},     {"-", 8},  {"%", 9},  {"!", 10}, {"(", 10},
  };
  CStyleLexer lexer;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    lexer.reset(c.text);
    Token token;
    lexer.next(token);
    EXPECT_EQ(token.precedence, c.precedence);
  }
}

TEST(CStyleLexer, RefusesWhatNoRuleMatches) {
  struct Case {
    std::string text;
    std::string failure;
  };
  const Case cases[] = {
      {"1 #x", "unrecognised token: #x"},
      {"\"open", "unrecognised token: \"open"},
      {"\xC3\xA9", "unrecognised token: \xC3\xA9"},  // no letters beyond ASCII
  };
  CStyleLexer lexer;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      scanAll(lexer, c.text);
      ADD_FAILURE() << "no failure";
    } catch (const ParserException& e) {
      EXPECT_EQ(std::string(e.what()), c.failure);
    }
  }
}

// Replaces identifiers from a fixed list; anything else stays.
class ReplacingLexer : public CStyleLexer {
public:
  std::string expandIdentifier(std::string_view name) override {
    if (name == "TWO") return "1 + 1";
    if (name == "PAIR") return "TWO TWO";
    if (name == "LOOP") return "LOOP";
    return {};
  }
};

TEST(Lexer, TokenizesReplacementsBeforeTheRest) {
  ReplacingLexer lexer;
  const std::vector<Scanned> expected = {
      {kDecimal, "1"}, {kPlus, "+"},   {kDecimal, "1"}, {kDecimal, "1"},
      {kPlus, "+"},    {kDecimal, "1"}, {kStar, "*"},   {kIdentifier, "x"},
  };
  EXPECT_EQ(scanAll(lexer, "PAIR * x"), expected);
}

TEST(Lexer, StopsEndlessReplacement) {
  ReplacingLexer lexer;
  EXPECT_THROW(scanAll(lexer, "LOOP"), ParserException);
  // The lexer starts over cleanly afterwards.
  EXPECT_EQ(scanAll(lexer, "x"), (std::vector<Scanned>{{kIdentifier, "x"}}));
}

}  // namespace
}  // namespace rw
