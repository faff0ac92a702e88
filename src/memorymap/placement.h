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

class ElementPlacer;

// Follows the elements of one read as they are made and placed, for a writer
// that works while the rest is still being read. Elements come in document
// order: an element's attributes, start and size are final once it opened,
// its subtree once it closed, as long as the tree stays as read.
class ReadingFollower {
public:
  virtual ~ReadingFollower() = default;
  virtual void opened(const MemoryMapElement& element) = 0;
  virtual void closed(const MemoryMapElement& element) = 0;
  // The end of the following: the read ended (`asRead`), or the tree will
  // not stay as read (`asRead` false: a directive, a macro reference, a
  // start that only the evaluator can read, a second top-level element).
  // No element handed over may be touched once this returned.
  virtual void ended(bool asRead) = 0;
  // For a follower that writes on a thread of its own: takes `child`, a
  // complete child of the root of a walked tree, to place on that thread by
  // replaying it through `placer` (the placer this follower follows), after
  // what it took before, and returns true. From the first true on, `placer`
  // is the follower's until ended() returns, and the caller calls ended()
  // itself (the placer would tell it on the wrong thread); a placer that
  // gives up there tells the follower there. False, the default: the caller
  // places `child` itself.
  virtual bool placeThere(const XMLNode& /*child*/, ElementPlacer& /*placer*/) { return false; }
};

// Places elements as a reader makes them, by the same rules, so that a map
// read as it stands needs no walk of its own. Only plain literals are read:
// any other start or size could make the evaluator warn, and such warnings
// come in the order of a placement after the whole load. Past such a text
// the placer gives up, and computeAddresses has to run after all.
class ElementPlacer : public ReadObserver {
public:
  void elementMade(XMLElement& element, XMLElement* parent, const ReadCensus& census) override;
  void sectionAdded(XMLElement& parent) override;
  void elementClosed(XMLElement& element) override;
  void readEnded(bool complete) override;

  // Hands the elements of the next read to `follower` as they are placed;
  // later reads (includes, imports) are not followed.
  void follow(ReadingFollower* follower) { follower_ = follower; }

  // Whether every element made since the last restart was placed.
  bool placedAll() const { return !gaveUp_; }
  // For a placer stopped halfway (memory ran out): what it placed no longer
  // counts as all of it.
  void giveUp() { gaveUp_ = true; }
  // The elements made since the last restart.
  const ElementCounts& counts() const { return counts_; }
  void restart() {
    gaveUp_ = false;
    counts_ = ElementCounts();
    followedRoot_ = false;
  }

private:
  void endFollowing(bool asRead);

  bool gaveUp_ = false;
  ElementCounts counts_;
  ReadingFollower* follower_ = nullptr;
  bool followedRoot_ = false;
};

}  // namespace rw
