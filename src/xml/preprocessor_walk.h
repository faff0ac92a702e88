// Internal to the preprocessor: the state of its tree walk and the helpers its
// directive files share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "macros/macro_table.h"
#include "xml/preprocessor.h"

namespace rw {

// Every diagnostic of the pass starts with this.
inline constexpr std::string_view kWarningPrefix = "XmlPP::processConditionals(): ";

// Includes and template uses nest inside each other. Real maps nest a handful
// of levels (family file, chip file, peripheral file, template); a hundred is
// far beyond that, and stops chains the exact-name cycle check cannot see
// (the same file reached through ever longer paths, templates defined under
// computed names).
inline constexpr int kMaxNestingDepth = 100;

// One `for` or `foreach` makes at most this many rounds. The largest devices
// have tens of thousands of registers; a million rounds means a typo in
// `end` or `incr` (or a product of long lists), not a register file.
inline constexpr uint64_t kMaxLoopRounds = 1000000;

// Files read by include over the document's life. A file may include another
// twice without any cycle, and a chain of such files doubles at each step;
// a family map reads a few hundred files at most.
inline constexpr size_t kMaxIncludeLoads = 10000;

// The file (or template) whose content a level is walking, and the chain of
// includes and template uses that led there, innermost first.
struct Preprocessor::Nesting {
  enum class Kind { File, Template };
  Kind kind = Kind::File;
  // For a file: the path relative includes resolve against. For a template:
  // its name (the file is the outer file's).
  std::string name;
  // For a file: the lexically normalised absolute path, to compare.
  std::string key;
  std::shared_ptr<const Nesting> outer;
  int depth = 0;

  // The path of the innermost file.
  const std::string& currentFile() const;
};

// One sibling chain being processed. The walk keeps these on an explicit
// stack so that the depth of the tree never meets the depth of the machine
// stack.
struct Preprocessor::Level {
  // The owner of the chain; null for a chain of parentless nodes (the
  // document's root).
  XMLNode* parent = nullptr;
  // The next node to process, and the sibling before it that stays.
  XMLNode* node = nullptr;
  XMLNode* previous = nullptr;
  MacroTable table;
  std::shared_ptr<const Nesting> nesting;
  // When set, the chain's processed nodes go after this element once the
  // chain is done, and the element is destroyed (the enclosing level stands
  // on it meanwhile). `container` is a chain owner outside the tree (a
  // template copy) that goes too.
  XMLElement* spliceAfter = nullptr;
  XMLElement* container = nullptr;
};

// What the walk does with the element a directive handler looked at. The
// handlers only decide: the walk, which knows the sibling before the element,
// changes the tree.
struct Preprocessor::Outcome {
  enum class Action {
    // Put `replacement` in the element's place (an empty one drops the
    // element), destroy the element and go on at the replacement.
    Replace,
    // Unlink the element without destroying it (it is owned elsewhere now).
    Detach,
    // Process the children of `owner` in a nested level (with `table` and
    // `nesting`); with `spliceAfter`, splice them after it and destroy it
    // afterwards, else step past `owner`. With `replacement` (an included
    // root, the owner), put that in the element's place first.
    Descend,
  };
  Action action = Action::Descend;
  XMLNode* replacement = nullptr;
  // With Replace: the replacement up to this node is as the walk would leave
  // it, and the walk goes on after it.
  XMLNode* lastFinal = nullptr;
  XMLElement* owner = nullptr;
  XMLElement* spliceAfter = nullptr;
  XMLElement* container = nullptr;
  MacroTable table;
  std::shared_ptr<const Nesting> nesting;
};

// kWarningPrefix + text.
std::string warningText(std::string_view text);

// Comma-separated items; empty items skipped, none trimmed.
std::vector<std::string_view> splitList(std::string_view text);

std::string withoutNewlines(std::string_view text);

// "0x" and upper-case hexadecimal without leading zeros.
std::string hexText(uint64_t value);

// Destroys an element already out of its chain, with its children.
void destroyElement(XMLNode* element);

}  // namespace rw
