// Checks of a loaded map for the mistakes map authors make: overlapping
// registers, fields beyond their register, names the header would define
// twice, and the like.
#pragma once

#include <string>
#include <vector>

#include "header/header_options.h"
#include "memorymap/memory_map.h"

namespace rw {

struct Finding {
  std::string location;  // "FILE:LINE"
  std::string message;
  std::string kind;      // "overlap", "field-range", ...
};

// Every finding about what the header defines under `options`, in a stable
// order: by file (in the order the map read them), then line. The map is
// only read.
std::vector<Finding> checkMap(const MemoryMap& map, const HeaderOptions& options);

}  // namespace rw
