// Turns a loaded memory-map tree into the C definitions of the header: one
// lvalue per register, masks and bit numbers per bit field, bit-band aliases,
// group bases, register offsets and interrupt vectors.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "header/definition_names.h"
#include "memorymap/memory_map_element.h"

namespace rw {

// Appends to `out` the definitions for `element`, each sibling after it and
// the children of the containers among them, in document order. `element` may
// be null. Names defined earlier in the process are skipped with a warning on
// standard error. The walk is iterative, so the depth of the tree is not
// limited by the stack. The settings are read from generatorSettings().
//
// With `drain`, whenever `out` has grown past a few hundred kilobytes it is
// handed to `drain` and emptied, so a large header need not be held whole.
using DefinitionDrain = std::function<void(std::string_view)>;
void generateDefinitions(std::string& out, const MemoryMapElement* element, bool regBaseOffs, bool noBitFields,
                         const DefinitionDrain& drain = {});

// Forgets every register and bit-field name defined so far. The tool defines
// each name once per process and never calls this; it is for tests and for
// embedders that generate more than one header in one process.
void resetDefinedNames();

}  // namespace rw
