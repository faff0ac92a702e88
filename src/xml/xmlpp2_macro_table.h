// The macro table of one nesting level of the preprocessing walk.
#pragma once

#include <memory>
#include <string>

#include "environment/macros.h"

namespace rw {

// Every nesting level works on its own copy of the table, and any level may
// add to it (a define, or an undefined name that a conditional looked up).
// A copy-on-write map would copy all entries at the first change in each
// level: with a thousand defines and a conditional inside each of 100,000
// registers, that is 10^8 entries. This table is a persistent balanced tree
// instead: copies share every node, and a change copies only the O(log n)
// nodes on the path to the entry.
class LevelMacros : public MacroLookup {
public:
  LevelMacros() = default;
  explicit LevelMacros(const MacroMap& map);

  const std::string* find(const std::string& name) const override;
  bool contains(const std::string& name) const { return find(name) != nullptr; }
  void set(const std::string& name, std::string value);
  // Every entry of `map` set, its values winning.
  void setAll(const MacroMap& map);

  struct Node;
  using NodePtr = std::shared_ptr<const Node>;

private:
  NodePtr root_;
};

}  // namespace rw
