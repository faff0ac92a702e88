// Parsing and evaluating a C-style constant expression, in one pass.
#pragma once

#include <string_view>

#include "expr/value.h"

namespace rw {

// Thrown when an expression nests deeper than the parser's bounds allow.
// Unlike the other failures, the checked evaluations report it.
struct NestedTooDeeply {};

// The value of one expression at the start of `text`. The tokens after it
// are ignored, but the one right after it must be recognisable: "12)" and
// "12 abc" are 12, "12 #" fails. None when the text is empty, is no
// expression, or needs what a constant cannot give: names, registers,
// memory, types, calls or assignment. Throws NestedTooDeeply.
Value evaluateExpression(std::string_view text);

}  // namespace rw
