// Tokens of the C-style expression language. The numbers are the kinds the
// parser dispatches on; precedence 10 marks a token that is no binary operator.
#pragma once

#include <string>

namespace rw {

enum TokenKind : int {
  kEnd = 0,
  kSpace = 2,
  kDecimal = 3,
  kHexadecimal = 4,
  kBinary = 5,
  kFloating = 6,
  kString = 7,
  kIdentifier = 8,
  kRegister = 9,
  kSemicolon = 10,
  kColon = 11,
  kScope = 12,
  kLeftParen = 13,
  kRightParen = 14,
  kLeftBracket = 15,
  kRightBracket = 16,
  kLeftBrace = 17,
  kRightBrace = 18,
  kDot = 19,
  kArrow = 20,
  kIncrement = 21,
  kDecrement = 22,
  kTilde = 23,
  kExclamation = 24,
  kStar = 25,
  kSlash = 26,
  kPercent = 27,
  kPlus = 28,
  kMinus = 29,
  kLeftShift = 30,
  kRightShift = 31,
  kUnsignedRightShift = 32,
  kLess = 33,
  kLessEqual = 34,
  kGreater = 35,
  kGreaterEqual = 36,
  kEqual = 37,
  kNotEqual = 38,
  kAmpersand = 39,
  kCaret = 40,
  kBar = 41,
  kLogicalAnd = 42,
  kLogicalOr = 43,
  kQuestion = 44,
  kAssign = 45,
  kPlusAssign = 46,
  kMinusAssign = 47,
  kStarAssign = 48,
  kSlashAssign = 49,
  kPercentAssign = 50,
  kRightShiftAssign = 51,
  kLeftShiftAssign = 52,
  kUnsignedRightShiftAssign = 53,
  kAmpersandAssign = 54,
  kCaretAssign = 55,
  kBarAssign = 56,
  kComma = 57,
};

constexpr int kNoBinaryPrecedence = 10;

struct Token {
  int kind = kEnd;
  int precedence = kNoBinaryPrecedence;
  std::string text;  // the matched characters
};

}  // namespace rw
