#include "xml/xml_node.h"

namespace rw {

void destroyChain(XMLNode* first) {
  // Runs in destructors, also while memory is running out: it allocates
  // nothing. Each node's children are spliced in front of its siblings, so
  // one chain holds all that is left, in the order a depth-first walk meets
  // it; finding the end of a child chain walks each node once at most.
  XMLNode* pending = first;
  while (pending != nullptr) {
    XMLNode* node = pending;
    pending = node->nextSibling;
    if (node->firstChild != nullptr) {
      XMLNode* tail = node->lastChild();
      tail->nextSibling = pending;
      pending = node->firstChild;
    }
    node->nextSibling = nullptr;
    node->firstChild = nullptr;
    node->lastChildHint_ = nullptr;
    delete node;
  }
}

XMLNode::~XMLNode() {
  if (firstChild != nullptr) destroyChain(firstChild);
}

XMLNode* XMLNode::lastChild() {
  // The hint is only ever a node of this chain: every operation that unlinks a
  // node moves the hint off it. Walking forward from it finds the true tail.
  XMLNode* node = lastChildHint_ != nullptr ? lastChildHint_ : firstChild;
  if (node == nullptr) return nullptr;
  while (node->nextSibling != nullptr) node = node->nextSibling;
  lastChildHint_ = node;
  return node;
}

void XMLNode::appendChild(XMLNode* child) {
  XMLNode* last = lastChild();
  if (last == nullptr) {
    firstChild = child;
  } else {
    last->nextSibling = child;
  }
  child->parent = this;
  lastChildHint_ = child;
}

void XMLNode::removeChildAfter(XMLNode* previous, XMLNode* child) {
  if (previous == nullptr) {
    firstChild = child->nextSibling;
  } else {
    previous->nextSibling = child->nextSibling;
  }
  if (lastChildHint_ == child) lastChildHint_ = previous;
}

XMLNode* XMLNode::takeChildren() {
  XMLNode* chain = firstChild;
  firstChild = nullptr;
  lastChildHint_ = nullptr;
  return chain;
}

void XMLNode::replaceChild(XMLNode* old, XMLNode* replacement) {
  replacement->nextSibling = old->nextSibling;
  replacement->parent = old->parent;
  if (firstChild == old) {
    firstChild = replacement;
  } else {
    for (XMLNode* node = firstChild; node != nullptr; node = node->nextSibling) {
      if (node->nextSibling == old) {
        node->nextSibling = replacement;
        break;
      }
    }
  }
  if (lastChildHint_ == old) lastChildHint_ = replacement;
}

void XMLNode::insertAfter(XMLNode* after, XMLNode* first) {
  if (first == nullptr) return;
  XMLNode* last = first;
  for (XMLNode* node = first; node != nullptr; node = node->nextSibling) {
    node->parent = this;
    last = node;
  }
  // `after` counts as a child when it names this node as its parent: checking
  // the chain instead would make every loop expansion quadratic. Nodes that are
  // unlinked are destroyed or re-parented before they could be passed here.
  const bool afterIsChild = after != nullptr && after->parent == this;
  if (!afterIsChild) {
    XMLNode* tail = lastChild();
    if (tail == nullptr) {
      firstChild = first;
    } else {
      tail->nextSibling = first;
    }
    lastChildHint_ = last;
    return;
  }
  last->nextSibling = after->nextSibling;
  after->nextSibling = first;
}

namespace {

std::vector<XMLAttribute> attributeList(const XMLElement& element) {
  const XMLAttributes attributes = element.attributes();
  return std::vector<XMLAttribute>(attributes.begin(), attributes.end());
}

}  // namespace

// Each change rebuilds the element's block; the reader and the copies set
// all attributes in one go instead.
void XMLElement::setAttribute(std::string_view name, std::string_view value) {
  std::vector<XMLAttribute> list = attributeList(*this);
  list.push_back(XMLAttribute{name, value, true});
  text_.assign(tagName(), list);
}

void XMLElement::setNullAttribute(std::string_view name) {
  std::vector<XMLAttribute> list = attributeList(*this);
  list.push_back(XMLAttribute{name, std::string_view(), false});
  text_.assign(tagName(), list);
}

}  // namespace rw
