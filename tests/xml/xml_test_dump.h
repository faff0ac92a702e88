// A compact text form of a node tree, so tests can state whole trees in one
// string: element `name{attr=value,...}(child,...)`, character data `"text"`,
// comment `!text!`, CDATA `[text]`. With `withLines`, every node is followed by
// `@line`.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "xml/xml_node.h"

namespace rw::test {

inline std::string dumpNode(const XMLNode* node, bool withLines) {
  // Iterative, so that the deep trees of the stress tests can be dumped too.
  enum class Step { Node, Comma, Close };
  std::string out;
  std::vector<std::pair<const XMLNode*, Step>> stack{{node, Step::Node}};
  while (!stack.empty()) {
    const auto [current, step] = stack.back();
    stack.pop_back();
    if (step != Step::Node) {
      out += step == Step::Comma ? ',' : ')';
      continue;
    }
    if (const XMLElement* element = asElement(current)) {
      out += element->tagName();
      if (!element->attributes().empty()) {
        out += '{';
        for (const XMLAttribute& attribute : element->attributes()) {
          out.append(attribute.name).append("=").append(attribute.value).append(",");
        }
        out.back() = '}';
      }
    } else if (const auto* data = dynamic_cast<const XMLData*>(current)) {
      out += '"' + data->text() + '"';
    } else if (const auto* comment = dynamic_cast<const XMLComment*>(current)) {
      out += '!' + comment->text() + '!';
    } else if (const auto* cdata = dynamic_cast<const XMLCDATASection*>(current)) {
      out += '[' + cdata->text() + ']';
    }
    if (withLines) out += '@' + std::to_string(current->line);
    if (current->firstChild == nullptr) continue;
    out += '(';
    std::vector<const XMLNode*> children;
    for (const XMLNode* child = current->firstChild; child != nullptr; child = child->nextSibling) {
      children.push_back(child);
    }
    stack.emplace_back(nullptr, Step::Close);
    for (size_t i = children.size(); i-- > 0;) {
      stack.emplace_back(children[i], Step::Node);
      if (i > 0) stack.emplace_back(nullptr, Step::Comma);
    }
  }
  return out;
}

inline std::string dump(const XMLNode* node, bool withLines = false) {
  return node == nullptr ? std::string("-") : dumpNode(node, withLines);
}

}  // namespace rw::test
