// CMSIS-SVD device files as input: the tree a memory map with the same
// registers would load into.
#pragma once

#include <string>

#include "memorymap/memory_map.h"

namespace rw {

// Whether `path` names an SVD device file rather than a memory map: it ends
// in ".svd", in any case.
bool isSvdFile(const std::string& path);

// Reads the SVD device file at `path` into `map` (MemoryMap::adopt). On
// false, `message` names the file and the problem and `line` is the line.
bool readSvd(const std::string& path, MemoryMap& map, std::string& message, int& line);

}  // namespace rw
