// A table-driven tokenizer. Rules are tried in the order they were added and
// the first one that matches at the current position wins (first match, not
// longest match). Input is a stack: an identifier may be replaced by text
// that is tokenized before the rest.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "expr/token.h"

namespace rw {

class Lexer {
public:
  // The length of the match at the start of `rest`, 0 when there is none.
  using Matcher = std::size_t (*)(std::string_view rest);

  virtual ~Lexer() = default;

  // The identifier hook: a non-empty result replaces the identifier and is
  // tokenized before the rest of the input.
  virtual std::string expandIdentifier(std::string_view name) = 0;

  // Starts over on `text`, dropping any nested input.
  void reset(std::string_view text);
  // Scans the next token, white space included. At the end of all input it
  // gives kEnd. Throws ParserException when no rule matches.
  void next(Token& token);

protected:
  Lexer() = default;
  void addRule(Matcher matcher, int kind, int precedence, bool expandable = false);
  void addRule(std::string_view literal, int kind, int precedence);

private:
  struct Rule {
    Matcher matcher;           // null for a literal rule
    std::string_view literal;  // static text
    int kind;
    int precedence;
    bool expandable;  // its tokens go through the identifier hook
  };
  struct Input {
    std::string text;
    std::size_t position = 0;
  };

  const Rule* match(std::string_view rest, std::size_t& length) const;

  std::vector<Rule> rules_;
  std::vector<Input> inputs_;
};

}  // namespace rw
