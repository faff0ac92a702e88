// $(NAME) references in text, and the NAME=VALUE lists that define macros.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "macros/macro_table.h"
#include "macros/reference_ends.h"

namespace rw {

// Replaces $(NAME), $(NAME:DEFAULT) and $(NAME::DEFAULT) by the value `macros`
// gives NAME, or by the default; an unknown name without a default keeps its
// reference. "$$" stands for "$". A default holding references is resolved in
// a further pass, within bounds that end runaway texts with a warning on
// standard error. The eight date and time names, once found in the table,
// give the current date or time rather than the value stored.
//
// An expander keeps its buffers from one text to the next: a loop expands
// millions of short values, and one set of buffers for all of them spares
// allocations for each.
class MacroExpander {
public:
  // Into `out`, whose storage is reused too.
  void expand(std::string_view text, const MacroTable& macros, std::string& out);
  std::string expand(std::string_view text, const MacroTable& macros) {
    std::string out;
    expand(text, macros, out);
    return out;
  }

private:
  // The input of a pass after the first: the previous pass's output.
  std::string working_;
  ReferenceEnds referenceEnds_;
};

// Whether `name` is one of the eight date and time names.
bool isDateOrTimeName(std::string_view name);

// Charges `bytes` of expanded text to the run's account, as an expansion
// that writes them would, when all of them fit; else charges nothing and
// answers false, and the caller expands with MacroExpander, which stops where
// the account runs out and says so.
bool chargeExpandedText(size_t bytes);
// What the run's account can still take.
size_t expandedTextLeft();

// One text with buffers of its own, for callers that expand a few texts.
std::string expandMacros(std::string_view text, const MacroTable& macros);

// The items of a ";"-separated list; a backslash makes the next character
// literal. Empty items are dropped unless `keepEmpty`.
std::vector<std::string> splitDefinitionList(std::string_view text, bool keepEmpty);

// A table from "NAME=VALUE" items: the value is everything after the first
// "=" (empty without one); a later item replaces an earlier one.
MacroTable parseMacroDefinitions(const std::vector<std::string>& items);

// The two steps above with empty items dropped: the form of the command
// line's macro argument and of a `macros` attribute.
MacroTable macroDefinitions(std::string_view list);

// The macros every run defines before it reads anything: dates and times,
// host and target names. The tool adds StudioDir.
MacroTable systemMacros();

}  // namespace rw
