#include "macros/macro_table.h"

#include <algorithm>
#include <utility>

namespace rw {

// Immutable once built: a node may be shared by any number of tables.
struct MacroTable::Node {
  std::string name;
  std::string value;
  std::shared_ptr<const Node> left;
  std::shared_ptr<const Node> right;
  int height = 1;
};

namespace {

using Node = MacroTable::Node;
using NodePtr = std::shared_ptr<const Node>;

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
NodePtr inserted(const NodePtr& node, std::string_view name, std::string& value) {
  if (node == nullptr) return makeNode(std::string(name), std::move(value), nullptr, nullptr);
  if (name < node->name) return balanced(node->name, node->value, inserted(node->left, name, value), node->right);
  if (node->name < name) return balanced(node->name, node->value, node->left, inserted(node->right, name, value));
  return makeNode(node->name, std::move(value), node->left, node->right);
}

void visitInOrder(const Node* node,
                  const std::function<void(const std::string&, const std::string&)>& visit) {
  if (node == nullptr) return;
  visitInOrder(node->left.get(), visit);
  visit(node->name, node->value);
  visitInOrder(node->right.get(), visit);
}

}  // namespace

const std::string* MacroTable::find(std::string_view name) const {
  const Node* node = root_.get();
  while (node != nullptr) {
    // One comparison per level: every macro reference of a run comes here.
    const int order = name.compare(node->name);
    if (order < 0) {
      node = node->left.get();
    } else if (order > 0) {
      node = node->right.get();
    } else {
      return &node->value;
    }
  }
  return nullptr;
}

void MacroTable::set(std::string_view name, std::string value) {
  // A table no copy shares (a loop's own table, renewed every round) changes
  // its value in place: copying the path would cost allocations per round
  // for nothing. The nodes are const for the tables that share them; here
  // nothing else can see them.
  if (root_.use_count() == 1) {
    for (const std::shared_ptr<const Node>* node = &root_; *node != nullptr && node->use_count() == 1;) {
      if (name < (*node)->name) {
        node = &(*node)->left;
      } else if ((*node)->name < name) {
        node = &(*node)->right;
      } else {
        const_cast<Node&>(**node).value = std::move(value);
        return;
      }
    }
  }
  root_ = inserted(root_, name, value);
}

void MacroTable::setAll(const MacroTable& other) {
  // The nodes visited must outlive the changes, also when `other` is this.
  const MacroTable snapshot = other;
  snapshot.forEach([this](const std::string& name, const std::string& value) { set(name, value); });
}

void MacroTable::forEach(const std::function<void(const std::string&, const std::string&)>& visit) const {
  visitInOrder(root_.get(), visit);
}

}  // namespace rw
