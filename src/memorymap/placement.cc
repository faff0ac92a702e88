#include "memorymap/placement.h"

#include <optional>
#include <vector>

#include "expr/evaluate.h"
#include "expr/integer_literal.h"
#include "xml/preprocessor.h"

namespace rw {

namespace {

// How placeElement reads numbers: as the loader after a load does, with the
// evaluator, or quietly, only plain literals.
enum class Reading { Evaluated, Quiet };

// The value evaluateUnsigned gives `text`; nothing when the reading is quiet
// and the text is no plain literal.
std::optional<UnsignedResult> valueOf(std::string_view text, Reading reading) {
  if (const std::optional<uint64_t> plain = plainLiteralValue(text)) return UnsignedResult{*plain, true};
  if (reading == Reading::Quiet) return std::nullopt;
  return evaluateUnsigned(text);
}

// start := the unsigned value of the "start" text (0 when it does not
// evaluate), plus `base` when the text begins with "+"; an absent, empty or
// valueless text gives 0. False when a quiet reading could not tell.
bool placeStart(MemoryMapElement& element, const XMLAttribute& start, uint32_t base, Reading reading) {
  element.setStart(0);
  element.setStartWrapped(false);
  if (!start.hasValue || start.value.empty()) return true;
  const std::optional<UnsignedResult> value = valueOf(start.value, reading);
  if (!value) return false;
  // The evaluator reads the "+" as a unary plus; the offset meaning is ours.
  const uint64_t meant = value->value + (start.value[0] == '+' ? base : 0);
  element.setStart(static_cast<uint32_t>(meant));
  element.setStartWrapped(meant > UINT32_MAX || meant < value->value);
  return true;
}

std::string_view valueText(const XMLAttribute& attribute) {
  return attribute.hasValue ? attribute.value : std::string_view();
}

// Applies the start and size rules of one element and returns the base its
// children are placed against; nothing when a quiet reading could not tell.
std::optional<uint32_t> placeElement(MemoryMapElement& element, uint32_t base, Reading reading) {
  const ElementKind kind = element.kind();
  switch (kind) {
    case ElementKind::MemorySegment:
    case ElementKind::ProgramSection:
    case ElementKind::RegisterGroup: {
      // An empty "start" still counts: the element then sits at 0 and its
      // children are placed against 0.
      const auto [start, size] = element.findAttributes(attribute::kStart, attribute::kSize);
      if (start) {
        if (!placeStart(element, *start, base, reading)) return std::nullopt;
        base = element.start();
      }
      if (size) {
        const std::optional<UnsignedResult> value = valueOf(valueText(*size), reading);
        if (!value) return std::nullopt;
        if (value->ok) element.setSize(static_cast<uint32_t>(value->value));
      }
      return base;
    }
    case ElementKind::Register:
    case ElementKind::BitField:
    case ElementKind::Enum: {
      // A register is placed against the enclosing base, its bit fields and
      // enumerations by bit offset from 0; none of them moves the base on.
      const auto [start, size] = element.findAttributes(attribute::kStart, attribute::kSize);
      if (start) {
        if (!placeStart(element, *start, kind == ElementKind::Register ? base : 0, reading)) return std::nullopt;
      }
      if (size) element.setSize(static_cast<uint32_t>(sizeLiteralValue(valueText(*size))));
      return base;
    }
    default:
      return base;
  }
}

}  // namespace

// Parent before children, siblings in order, with an explicit stack: a map
// nested a million levels deep must not exhaust the call stack. Elements that
// are not placed are visited too: a placer may have placed them as they were
// read, before the preprocessor moved them.
ElementCounts computeAddresses(MemoryMapElement& root) {
  ElementCounts counts;
  counts.count(root.kind());
  struct Frame {
    XMLNode* next;
    uint32_t base;
    bool placing;
  };
  std::vector<Frame> stack;
  stack.push_back(Frame{root.firstChild, *placeElement(root, 0, Reading::Evaluated), true});
  while (!stack.empty()) {
    Frame& frame = stack.back();
    XMLNode* current = frame.next;
    if (current == nullptr) {
      stack.pop_back();
      continue;
    }
    frame.next = current->nextSibling;
    MemoryMapElement* element = asMemoryMapElement(current);
    if (element == nullptr) {
      frame.placing = false;
      continue;
    }
    counts.count(element->kind());
    uint32_t childBase = 0;
    if (frame.placing) {
      childBase = *placeElement(*element, frame.base, Reading::Evaluated);
    } else {
      element->setStart(0);
      element->setSize(0);
      element->setStartWrapped(false);
    }
    if (element->firstChild != nullptr) stack.push_back(Frame{element->firstChild, childBase, frame.placing});
  }
  return counts;
}

void ElementPlacer::elementMade(XMLElement& made, XMLElement* parent, const ReadCensus& census) {
  if (gaveUp_) return;
  // Every element of a map's document is made by the map's factory.
  auto& element = static_cast<MemoryMapElement&>(made);
  auto* container = static_cast<MemoryMapElement*>(parent);
  counts_.count(element.kind());
  element.placesChildren = container == nullptr || container->placesChildren;
  if (element.placesChildren) {
    const std::optional<uint32_t> base =
        placeElement(element, container != nullptr ? container->childBase : 0, Reading::Quiet);
    if (!base) {
      gaveUp_ = true;
      endFollowing(false);
      return;
    }
    element.childBase = *base;
  }
  if (follower_ == nullptr) return;
  // A later top-level element would replace the first as the root, and the
  // reader frees the first.
  const bool secondRoot = parent == nullptr && followedRoot_;
  if (secondRoot || !walkChangesNothing(census)) {
    endFollowing(false);
    return;
  }
  followedRoot_ = true;
  follower_->opened(element);
}

void ElementPlacer::sectionAdded(XMLElement& parent) { static_cast<MemoryMapElement&>(parent).placesChildren = false; }

void ElementPlacer::elementClosed(XMLElement& element) {
  if (follower_ != nullptr) follower_->closed(static_cast<const MemoryMapElement&>(element));
}

void ElementPlacer::readEnded(bool complete) { endFollowing(complete); }

void ElementPlacer::endFollowing(bool asRead) {
  if (follower_ == nullptr) return;
  ReadingFollower* const follower = follower_;
  follower_ = nullptr;
  follower->ended(asRead && !gaveUp_);
}

}  // namespace rw
