#include "expr/lexer.h"

#include <utility>

#include "expr/parser_exception.h"

namespace rw {

namespace {

// Replacements may themselves contain identifiers that the hook replaces
// again. Every endless replacement nests ever deeper, so a bound on the
// nesting stops it; 64 levels is far beyond any intended use.
constexpr std::size_t kMaxInputNesting = 64;

}  // namespace

void Lexer::addRule(Matcher matcher, int kind, int precedence, bool expandable) {
  rules_.push_back(Rule{matcher, {}, kind, precedence, expandable});
}

void Lexer::addRule(std::string_view literal, int kind, int precedence) {
  rules_.push_back(Rule{nullptr, literal, kind, precedence, false});
}

void Lexer::reset(std::string_view text) {
  inputs_.resize(1);
  inputs_[0].text.assign(text);  // keeps the buffer of earlier texts
  inputs_[0].position = 0;
}

// `rest` is never empty here, and a literal never is.
const Lexer::Rule* Lexer::match(std::string_view rest, std::size_t& length) const {
  for (const Rule& rule : rules_) {
    if (rule.matcher != nullptr) {
      length = rule.matcher(rest);
      if (length != 0) return &rule;
    } else if (rest[0] == rule.literal[0] && rest.starts_with(rule.literal)) {
      length = rule.literal.size();
      return &rule;
    }
  }
  return nullptr;
}

void Lexer::next(Token& token) {
  for (;;) {
    if (inputs_.empty()) inputs_.emplace_back();
    Input& input = inputs_.back();
    if (input.position >= input.text.size()) {
      if (inputs_.size() > 1) {
        inputs_.pop_back();
        continue;
      }
      token.kind = kEnd;
      token.precedence = kNoBinaryPrecedence;
      token.text.clear();
      return;
    }
    const std::string_view rest = std::string_view(input.text).substr(input.position);
    std::size_t length = 0;
    const Rule* rule = match(rest, length);
    if (rule == nullptr) throw ParserException("unrecognised token: " + std::string(rest));
    input.position += length;
    const std::string_view matched = rest.substr(0, length);
    if (rule->expandable) {
      std::string replacement = expandIdentifier(matched);
      if (!replacement.empty()) {
        if (inputs_.size() >= kMaxInputNesting)
          throw LimitException("identifier replacement nested too deeply");
        inputs_.push_back(Input{std::move(replacement), 0});
        continue;
      }
    }
    token.kind = rule->kind;
    token.precedence = rule->precedence;
    token.text.assign(matched);
    return;
  }
}

}  // namespace rw
