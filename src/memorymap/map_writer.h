// The loaded map as one memory map file without directives: what the map is
// once every directive ran and every import was read.
#pragma once

#include <string>

#include "memorymap/memory_map_element.h"

namespace rw {

// A memory map file that gives the same header as the map under `root`, every
// start written as an absolute address.
std::string writeExpandedMap(const MemoryMapElement* root);

}  // namespace rw
