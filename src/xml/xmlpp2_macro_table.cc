#include "xml/xmlpp2_macro_table.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace rw {

// Immutable once built: a node may be shared by any number of tables.
struct LevelMacros::Node {
  std::string name;
  std::string value;
  NodePtr left;
  NodePtr right;
  int height = 1;
};

namespace {

using NodePtr = LevelMacros::NodePtr;
using Node = LevelMacros::Node;

int heightOf(const NodePtr& node) { return node != nullptr ? node->height : 0; }

NodePtr makeNode(std::string name, std::string value, NodePtr left, NodePtr right) {
  auto node = std::make_shared<Node>();
  node->height = 1 + std::max(heightOf(left), heightOf(right));
  node->name = std::move(name);
  node->value = std::move(value);
  node->left = std::move(left);
  node->right = std::move(right);
  return node;
}

// A node with these contents, rotated back into AVL shape when one side has
// grown two taller than the other.
NodePtr balanced(std::string name, std::string value, NodePtr left, NodePtr right) {
  const int leftHeight = heightOf(left);
  const int rightHeight = heightOf(right);
  if (leftHeight > rightHeight + 1) {
    if (heightOf(left->left) >= heightOf(left->right)) {
      return makeNode(left->name, left->value, left->left,
                      makeNode(std::move(name), std::move(value), left->right, std::move(right)));
    }
    const Node& pivot = *left->right;
    return makeNode(pivot.name, pivot.value, makeNode(left->name, left->value, left->left, pivot.left),
                    makeNode(std::move(name), std::move(value), pivot.right, std::move(right)));
  }
  if (rightHeight > leftHeight + 1) {
    if (heightOf(right->right) >= heightOf(right->left)) {
      return makeNode(right->name, right->value,
                      makeNode(std::move(name), std::move(value), std::move(left), right->left), right->right);
    }
    const Node& pivot = *right->left;
    return makeNode(pivot.name, pivot.value, makeNode(std::move(name), std::move(value), std::move(left), pivot.left),
                    makeNode(right->name, right->value, pivot.right, right->right));
  }
  return makeNode(std::move(name), std::move(value), std::move(left), std::move(right));
}

// Recursion depth is the tree's height, O(log n).
NodePtr inserted(const NodePtr& node, const std::string& name, std::string& value) {
  if (node == nullptr) return makeNode(name, std::move(value), nullptr, nullptr);
  if (name < node->name) return balanced(node->name, node->value, inserted(node->left, name, value), node->right);
  if (node->name < name) return balanced(node->name, node->value, node->left, inserted(node->right, name, value));
  return makeNode(name, std::move(value), node->left, node->right);
}

using Entry = MacroMap::value_type;

NodePtr builtFromSorted(const std::vector<const Entry*>& entries, size_t begin, size_t end) {
  if (begin == end) return nullptr;
  const size_t middle = begin + (end - begin) / 2;
  return makeNode(entries[middle]->first, entries[middle]->second, builtFromSorted(entries, begin, middle),
                  builtFromSorted(entries, middle + 1, end));
}

}  // namespace

LevelMacros::LevelMacros(const MacroMap& map) {
  std::vector<const Entry*> entries;
  entries.reserve(map.size());
  for (const Entry& entry : map) entries.push_back(&entry);
  root_ = builtFromSorted(entries, 0, entries.size());
}

const std::string* LevelMacros::find(const std::string& name) const {
  const Node* node = root_.get();
  while (node != nullptr) {
    if (name < node->name) {
      node = node->left.get();
    } else if (node->name < name) {
      node = node->right.get();
    } else {
      return &node->value;
    }
  }
  return nullptr;
}

void LevelMacros::set(const std::string& name, std::string value) { root_ = inserted(root_, name, value); }

void LevelMacros::setAll(const MacroMap& map) {
  for (const auto& [name, value] : map) set(name, value);
}

}  // namespace rw
