// Every element of a loaded tree with its name, start and size, in document
// order: what two loads of one map compare when they must place alike.
#pragma once

#include <string>
#include <vector>

#include "memorymap/memory_map_element.h"

namespace rw::testing {

inline std::string placesOf(const MemoryMapElement* root) {
  std::string text;
  std::vector<const XMLNode*> pending{root};
  while (!pending.empty()) {
    const XMLNode* node = pending.back();
    pending.pop_back();
    if (node->nextSibling != nullptr && node != root) pending.push_back(node->nextSibling);
    if (node->firstChild != nullptr) pending.push_back(node->firstChild);
    if (const MemoryMapElement* element = asMemoryMapElement(node)) {
      text += std::string(element->name().value_or("-")) + "@" + std::to_string(element->start()) + "/" +
              std::to_string(element->size()) + " ";
    }
  }
  return text;
}

}  // namespace rw::testing
