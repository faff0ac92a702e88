// The node model of a parsed XML document: a tree of nodes linked through
// parent, first child and next sibling, where every node owns its children.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "xml/node_memory.h"
#include "xml/xml_attributes.h"

namespace rw {

// Set in XMLNode::file for copies; file indices stay far below it.
inline constexpr uint32_t kCopyMark = 0x80000000u;

class XMLNode {
public:
  XMLNode() = default;
  XMLNode(const XMLNode&) = delete;
  XMLNode& operator=(const XMLNode&) = delete;
  // Destroys the whole child chain. Iterative: a chain of a million siblings
  // or a nesting a hundred thousand levels deep must not exhaust the stack.
  virtual ~XMLNode();

  XMLNode* parent = nullptr;
  XMLNode* nextSibling = nullptr;
  XMLNode* firstChild = nullptr;
  // The reader's line count where the node began: the newlines before it,
  // except one in the very first byte of the file.
  uint32_t line = 0;
  // Which file of its document the node was read from (XMLDocument::files),
  // or, for a copy that a loop or a template use made, kCopyMark and the
  // index of that use in XMLDocument::copySites. XMLDocument::position tells
  // both apart.
  uint32_t file = 0;

  // Links `child` at the end of the chain. Leaves child's own nextSibling as it
  // is and does not detach it from a previous parent.
  void appendChild(XMLNode* child);
  // `replacement` takes the chain position of `old`; `old` is left unchanged.
  void replaceChild(XMLNode* old, XMLNode* replacement);
  // Splices the chain starting at `first` after the child `after`; when `after`
  // is not a child (null included) the chain goes after the last child.
  void insertAfter(XMLNode* after, XMLNode* first);
  // Unlinks `child` given the sibling before it (null when `child` is the
  // first child). Walks know where they are; searching the chain instead
  // would make long sibling chains quadratic.
  void removeChildAfter(XMLNode* previous, XMLNode* child);
  // Hands over the whole child chain (its nodes keep their parent pointer) and
  // leaves this node without children.
  XMLNode* takeChildren();

  // The last node of the child chain, or null. O(1) amortised: a cached tail
  // that is re-validated (walked forward) only when the chain grew behind it.
  XMLNode* lastChild();

  virtual bool isElement() const { return false; }

  // Trees are large and short-lived: their nodes come from the node pool.
  static void* operator new(size_t bytes) { return allocateNodeMemory(bytes); }
  static void operator delete(void* memory, size_t bytes) noexcept { freeNodeMemory(memory, bytes); }

private:
  XMLNode* lastChildHint_ = nullptr;
  // Detaches the subtree below this node into `pending` so destruction can
  // proceed without recursion.
  friend void destroyChain(XMLNode* first);
};

// Destroys `first` and every node that follows it and hangs below it, without
// recursion.
void destroyChain(XMLNode* first);

class XMLElement : public XMLNode {
public:
  // A name given twice keeps its first position and takes its last value.
  explicit XMLElement(std::string_view tagName, std::span<const XMLAttribute> attributes = {})
      : text_(tagName, attributes) {}
  // A copy of `source`'s tag and attributes (not of its place or children),
  // with the values `changes` names changed.
  XMLElement(const XMLElement& source, std::span<const ValueChange> changes) : text_(source.text_, changes) {}

  bool isElement() const override { return true; }

  std::string_view tagName() const { return text_.tagName(); }
  // The tag's index in elementtext::kWords, or kWordCount: what the element
  // stores for a tag that is one of those words.
  size_t tagWord() const { return text_.tagWord(); }
  // Replaces the value in place (keeping the attribute's position) when the
  // name exists, else appends.
  void setAttribute(std::string_view name, std::string_view value);
  // Sets an attribute that exists but has no value (see XMLAttribute).
  void setNullAttribute(std::string_view name);
  bool hasAttribute(const AttributeName& name) const { return text_.find(name).has_value(); }
  // The first attribute of that name, with or without a value.
  std::optional<XMLAttribute> findAttribute(const AttributeName& name) const { return text_.find(name); }
  // The first attributes of two different names, in one look.
  std::pair<std::optional<XMLAttribute>, std::optional<XMLAttribute>> findAttributes(const AttributeName& first,
                                                                                     const AttributeName& second) const {
    return text_.find(first, second);
  }
  // The value of the first attribute of that name, or nothing when absent.
  // The view is valid until the element's attributes change.
  std::optional<std::string_view> getAttribute(const AttributeName& name) const {
    const std::optional<XMLAttribute> attribute = text_.find(name);
    if (!attribute || !attribute->hasValue) return std::nullopt;
    return attribute->value;
  }
  // Views valid until the element's attributes change.
  XMLAttributes attributes() const { return text_.attributes(); }
  // Changes some values in place; `changes` in increasing order of index.
  void changeValues(std::span<const ValueChange> changes) { text_.change(changes); }
  // False when no attribute value holds `byte` (it may say true when none
  // does): a quick test before looking at each value.
  bool attributesMayHold(char byte) const { return text_.mayHold(byte); }

private:
  ElementText text_;
};

// A CDATA section: its raw content, never children. The only node of a
// parsed tree that is not an element.
class XMLCDATASection : public XMLNode {
public:
  explicit XMLCDATASection(std::string text) : text_(std::move(text)) {}
  const std::string& text() const { return text_; }

private:
  std::string text_;
};

// How a document makes its elements, attributes and all: a memory map makes
// its own kind.
struct ElementFactory {
  XMLElement* (*make)(std::string_view tagName, std::span<const XMLAttribute> attributes);
  // A copy of `source` (made by the same factory) as XMLElement's copying
  // constructor makes it.
  XMLElement* (*copy)(const XMLElement& source, std::span<const ValueChange> changes);
};

// An attribute's value, or empty text when it is absent: most writers treat
// the two alike.
inline std::string_view textOf(std::optional<std::string_view> value) { return value.value_or(std::string_view()); }

inline XMLElement* asElement(XMLNode* node) {
  return node != nullptr && node->isElement() ? static_cast<XMLElement*>(node) : nullptr;
}
inline const XMLElement* asElement(const XMLNode* node) {
  return node != nullptr && node->isElement() ? static_cast<const XMLElement*>(node) : nullptr;
}

}  // namespace rw
