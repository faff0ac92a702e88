// The "-depfile" output: one Make-style rule naming the header and every file
// that went into it, so a build system regenerates the header when any of
// them changes, like a compiler's dependency output.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rw {

// Why a path cannot be a word of a dependency rule.
enum class DepfileProblem {
  None,
  LineBreak,          // no depfile reader takes one back
  TrailingBackslash,  // it would swallow the blank after the word
};

// One path as a word of a dependency rule, appended to `out`; on a problem
// `out` is left incomplete.
DepfileProblem appendDepfileWord(std::string_view path, std::string& out);

// "<target>: <prerequisite> <prerequisite>...\n". Prerequisites keep their
// first-seen order and appear once. When a path cannot be written, `problem`
// says why and `path` names it.
struct DependencyRule {
  std::string text;
  DepfileProblem problem = DepfileProblem::None;
  std::string path;
};
DependencyRule dependencyRule(const std::string& target, const std::vector<std::string>& prerequisites);

}  // namespace rw
