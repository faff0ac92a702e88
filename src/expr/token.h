// The tokens of C expression syntax, and the scanner that cuts them from text.
#pragma once

#include <string_view>

namespace rw {

enum class TokenKind {
  End,
  Unrecognised,  // no rule matches at this point of the text
  Integer,       // decimal, "0x" or "0b", with any suffix
  Floating,
  String,
  Identifier,
  Register,  // `@name`
  Semicolon,
  Colon,
  Scope,  // `::`
  LeftParen,
  RightParen,
  LeftBracket,
  RightBracket,
  LeftBrace,
  RightBrace,
  Dot,
  Arrow,
  Increment,
  Decrement,
  Tilde,
  Exclamation,
  // The binary operators; `*`, `+`, `-` and `&` are prefix operators too.
  Star,
  Slash,
  Percent,
  Plus,
  Minus,
  LeftShift,
  RightShift,
  Less,
  LessEqual,
  Greater,
  GreaterEqual,
  Equal,
  NotEqual,
  Ampersand,
  Caret,
  Bar,
  LogicalAnd,
  LogicalOr,
  Assign,  // `=` and every `op=`
  Comma,
  Unsupported,  // `?`, `>>>` and `>>>=`: scanned, refused as operators
};

// The precedence of a token that is no binary operator. Binary operators run
// from -4 (`,`) to 9 (`*`), binding tighter the higher they are.
constexpr int kNotBinary = 10;

struct Token {
  TokenKind kind = TokenKind::End;
  int precedence = kNotBinary;
  std::string_view text;  // the matched characters, inside the scanned text
};

// The token at the start of `rest` after any white space; `rest` moves past
// it. The rules are tried in a fixed order and the first that matches wins,
// which is not always the longest match: "10LU" is "10L" and then "U".
Token scanToken(std::string_view& rest);

}  // namespace rw
