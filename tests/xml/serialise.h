// Trees as text, so a test states a whole tree in one line:
// `<tag a="v">children</tag>`, `<tag/>` without children, an attribute
// without a value as its bare name, a CDATA section as `[[text]]`, no tree as
// `-`.
#pragma once

#include <string>

#include "xml/xml_node.h"

namespace rw::testing {

inline void serialise(const XMLNode* node, std::string& out) {
  const XMLElement* element = asElement(node);
  if (element == nullptr) {
    out += "[[" + static_cast<const XMLCDATASection*>(node)->text() + "]]";
    return;
  }
  out += '<';
  out += element->tagName();
  for (const XMLAttribute& attribute : element->attributes()) {
    out += ' ';
    out += attribute.name;
    if (attribute.hasValue) out.append("=\"").append(attribute.value).append("\"");
  }
  if (element->firstChild == nullptr) {
    out += "/>";
    return;
  }
  out += '>';
  for (const XMLNode* child = element->firstChild; child != nullptr; child = child->nextSibling) serialise(child, out);
  out.append("</").append(element->tagName()).append(">");
}

inline std::string serialise(const XMLNode* node) {
  std::string out = node == nullptr ? "-" : "";
  if (node != nullptr) serialise(node, out);
  return out;
}

}  // namespace rw::testing
