#include "tool/depfile.h"

#include <unordered_set>

namespace rw {

// The rule is read by GNU Make (through "-include") and by Ninja (directly, or
// through CMake's DEPFILE support, which uses a reader modelled on Ninja's).
// We write only what both read back to the same name:
//  - a blank (space or tab) ends a word unless escaped; a blank preceded by
//    2N+1 backslashes stands for N backslashes and the blank in both readers,
//    so the backslashes in front of it are doubled and one is added;
//  - "$" is "$$": Make expands variables in rule lines, Ninja undoes "$$";
//  - "#" starts a comment for Make and "\#" is a literal "#" in both;
//  - ":" inside a name is written "\:", which both take as a plain colon, so a
//    name can never be mistaken for the end of the target;
//  - a line feed or carriage return cannot be escaped for either reader, and a
//    name that ends in a backslash would swallow the blank that follows it;
//    such a name is refused rather than written as a rule that names the wrong
//    files.
// The readers disagree on backslashes right before "#" or ":" (Ninja drops one,
// Make halves them); we add a single one, as compilers do in their dependency
// output. Ninja also ends a name at characters such as & ' " ? * | ; < > ` ^,
// and Make reads "%" in the target as a pattern and ";" "|" "=" as syntax;
// neither has an escape for them, so they are written as they are.
DepfileProblem appendDepfileWord(std::string_view path, std::string& out) {
  size_t backslashes = 0;  // backslashes right before the current character
  for (char c : path) {
    switch (c) {
      case '\n':
      case '\r':
        return DepfileProblem::LineBreak;
      case ' ':
      case '\t':
        out.append(backslashes + 1, '\\');
        break;
      case '#':
      case ':':
        out += '\\';
        break;
      case '$':
        out += '$';
        break;
      default:
        break;
    }
    out += c;
    backslashes = c == '\\' ? backslashes + 1 : 0;
  }
  return backslashes != 0 ? DepfileProblem::TrailingBackslash : DepfileProblem::None;
}

DependencyRule dependencyRule(const std::string& target, const std::vector<std::string>& prerequisites) {
  DependencyRule rule;
  const auto append = [&rule](const std::string& path) {
    rule.problem = appendDepfileWord(path, rule.text);
    if (rule.problem != DepfileProblem::None) rule.path = path;
    return rule.problem == DepfileProblem::None;
  };
  if (!append(target)) return rule;
  rule.text += ':';
  std::unordered_set<std::string_view> seen;
  for (const std::string& path : prerequisites) {
    if (!seen.insert(path).second) continue;
    rule.text += ' ';
    if (!append(path)) return rule;
  }
  rule.text += '\n';
  return rule;
}

}  // namespace rw
