// The tokenizer for C expression syntax.
#pragma once

#include "expr/lexer.h"

namespace rw {

class CStyleLexer : public Lexer {
public:
  CStyleLexer();
  // Plain C has no identifier replacement.
  std::string expandIdentifier(std::string_view name) override;
};

}  // namespace rw
