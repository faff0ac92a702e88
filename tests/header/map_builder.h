// Builds small memory-map trees for the generator tests, the way the loader
// leaves them: attributes as written, starts and sizes already computed.
#pragma once

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "memorymap/memory_map_element.h"

namespace rw::test {

struct Node {
  std::string tag;
  std::vector<std::pair<std::string, std::string>> attributes;
  std::vector<Node> children;
  // A CDATA section in place of an element.
  bool cdata = false;
};

inline Node cdata() { return Node{"", {}, {}, true}; }

// Starts are absolute in these trees, so every element is placed against
// base 0; sizes are plain numbers.
inline XMLNode* buildNode(const Node& spec) {
  if (spec.cdata) {
    return new XMLCDATASection("text");
  }
  auto* element = new MemoryMapElement(spec.tag, false);
  for (const auto& [name, value] : spec.attributes) {
    element->setAttribute(name, value);
  }
  if (element->getAttribute("start")) {
    element->setStart(0);
  }
  if (const std::optional<std::string_view> size = element->getAttribute("size")) {
    element->setSize(static_cast<uint32_t>(std::strtoul(std::string(*size).c_str(), nullptr, 0)));
  }
  for (const Node& childSpec : spec.children) {
    XMLNode* child = buildNode(childSpec);
    element->appendChild(child);
  }
  return element;
}

inline std::unique_ptr<MemoryMapElement> build(const Node& spec) {
  return std::unique_ptr<MemoryMapElement>(static_cast<MemoryMapElement*>(buildNode(spec)));
}

}  // namespace rw::test
