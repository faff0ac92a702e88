// Where the elements of a loaded map lie: the start and size rules, applied
// parent before children, each element against the base its container gives.
#pragma once

#include "memorymap/memory_map_element.h"
#include "xml/xml_reader.h"

namespace rw {

// How many registers and bit fields a tree holds.
struct ElementCounts {
  size_t registers = 0;
  size_t bitFields = 0;
  void count(ElementKind kind) {
    if (kind == ElementKind::Register) ++registers;
    if (kind == ElementKind::BitField) ++bitFields;
  }
};

// Places every element of the tree under `root`. A child that is not an
// element (a CDATA section) ends the placing of its siblings: those after it,
// and everything below them, keep start and size 0. The walk is iterative, so
// the depth of the tree is not limited by the stack. Returns what it counted.
ElementCounts computeAddresses(MemoryMapElement& root);

// Places elements as a reader makes them, by the same rules, so that a map
// read as it stands needs no walk of its own. Only plain literals are read:
// any other start or size could make the evaluator warn, and such warnings
// come in the order of a placement after the whole load. Past such a text
// the placer gives up, and computeAddresses has to run after all.
class ElementPlacer : public ReadObserver {
public:
  void elementMade(XMLElement& element, XMLElement* parent) override;
  void sectionAdded(XMLElement& parent) override;

  // Whether every element made since the last restart was placed.
  bool placedAll() const { return !gaveUp_; }
  // The elements made since the last restart.
  const ElementCounts& counts() const { return counts_; }
  void restart() {
    gaveUp_ = false;
    counts_ = ElementCounts();
  }

private:
  bool gaveUp_ = false;
  ElementCounts counts_;
};

}  // namespace rw
