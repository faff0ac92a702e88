// A table of macros: name to value.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace rw {

// The preprocessor gives every nesting level its own copy of the table, and
// any level may add to its copy (a define, or an undefined name that a
// conditional looked up). A copy-on-write map would copy all entries at the
// first change in each level: with a thousand defines and a conditional in
// each of 100,000 registers, 10^8 entries. So the table is a persistent
// balanced tree instead: copies share every node, and a change copies only
// the O(log n) nodes on the path to its entry.
class MacroTable {
public:
  // The value of `name`, or null when the table does not define it. Valid
  // until this table changes.
  const std::string* find(std::string_view name) const;
  bool contains(std::string_view name) const { return find(name) != nullptr; }

  // Defines `name`, replacing an earlier value.
  void set(std::string_view name, std::string value);
  // Every entry of `other` set here, its values winning.
  void setAll(const MacroTable& other);
  // Every entry in ascending name order.
  void forEach(const std::function<void(const std::string& name, const std::string& value)>& visit) const;

  struct Node;

private:
  std::shared_ptr<const Node> root_;
};

}  // namespace rw
