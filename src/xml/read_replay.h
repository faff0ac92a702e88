// A tree that already exists, told to a ReadObserver as the reader would
// have told of it while making it: each element made (with the element it
// went into), each CDATA section added, each element closed once its subtree
// is complete, in document order.
#pragma once

#include <vector>

#include "xml/xml_node.h"
#include "xml/xml_reader.h"

namespace rw {

class ReadReplay {
public:
  // `top` and everything below it; the observer hears of `top`'s parent as
  // the element it went into, but not of the parent itself.
  void replay(const XMLNode& top, ReadObserver& observer);

private:
  // The nodes still to visit and, as null, where an element closes; kept
  // from one replay to the next.
  std::vector<const XMLNode*> pending_;
  std::vector<XMLElement*> open_;
};

}  // namespace rw
