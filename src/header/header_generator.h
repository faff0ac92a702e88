// Turns a loaded memory-map tree into the C definitions of the header: one
// lvalue per register, masks and bit numbers per bit field, bit-band aliases,
// group bases, register offsets and interrupt vectors.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "header/header_options.h"
#include "memorymap/memory_map_element.h"
#include "memorymap/placement.h"

namespace rw {

// Appends to `out` the definitions for `element`, each sibling after it and
// the children of the containers among them, in document order. `element` may
// be null. A register or bit-field name defined before in the same call is
// skipped with a warning on standard error. The walk is iterative, so the
// depth of the tree is not limited by the stack.
//
// With `drain`, whenever `out` has grown past a few hundred kilobytes it is
// handed to `drain` and emptied, so a large header need not be held whole.
// `expected` sizes the name sets at once (see MemoryMap::elementCounts).
//
// A name or vector number that holds a line break or a NUL byte would end
// its #define early and let the rest write lines of its own into the header:
// generation stops at the first one and returns it.
struct UnwritableText {
  const MemoryMapElement* element = nullptr;  // null when all was written
  const char* what = "";                      // "name", "aka" or "number"
  std::string text;
};
using DefinitionDrain = std::function<void(std::string_view)>;

UnwritableText generateDefinitions(std::string& out, const MemoryMapElement* element, const HeaderOptions& options,
                                   const DefinitionDrain& drain = {}, ElementCounts expected = {});

// Whether `text` may stand in a line of the header: no line feed, carriage
// return (a line end to C compilers too) or NUL byte.
bool fitsOnOneLine(std::string_view text);

}  // namespace rw
