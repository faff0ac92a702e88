#include "xml/read_replay.h"

#include <algorithm>

namespace rw {

// An explicit stack: a tree nested a million levels deep must not exhaust
// the call stack.
void ReadReplay::replay(const XMLNode& top, ReadObserver& observer) {
  pending_.assign(1, &top);
  open_.clear();
  while (!pending_.empty()) {
    const XMLNode* node = pending_.back();
    pending_.pop_back();
    if (node == nullptr) {
      observer.elementClosed(*open_.back());
      open_.pop_back();
      continue;
    }
    XMLElement* parent = asElement(node->parent);
    XMLElement* element = asElement(const_cast<XMLNode*>(node));
    if (element == nullptr) {
      if (parent != nullptr) observer.sectionAdded(*parent);
      continue;
    }
    observer.elementMade(*element, parent, ReadCensus());
    open_.push_back(element);
    pending_.push_back(nullptr);
    // Pushed last to first, so that the first child comes off first.
    const size_t mark = pending_.size();
    for (const XMLNode* below = element->firstChild; below != nullptr; below = below->nextSibling) {
      pending_.push_back(below);
    }
    std::reverse(pending_.begin() + static_cast<ptrdiff_t>(mark), pending_.end());
  }
}

}  // namespace rw
