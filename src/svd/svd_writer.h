// The loaded map as a CMSIS-SVD 1.3 device file, for debuggers.
#pragma once

#include <string>

#include "memorymap/memory_map_element.h"

namespace rw {

// The device file for the map under `root`, its device named `deviceName`.
std::string writeSvd(const MemoryMapElement* root, const std::string& deviceName);

}  // namespace rw
