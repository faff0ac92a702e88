// The loaded map as one self-contained web page: a register reference with
// bit-field pictures, search and deep links.
#pragma once

#include <string>

#include "header/header_options.h"
#include "memorymap/memory_map_element.h"

namespace rw {

// The page for the map under `root`, titled with `targetName`, naming every
// definition as the header does under `options`.
std::string writeHtml(const MemoryMapElement* root, const HeaderOptions& options, const std::string& targetName);

}  // namespace rw
