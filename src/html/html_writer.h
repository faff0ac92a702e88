// The loaded map as one self-contained web page: a register reference with
// bit-field pictures, search and deep links.
#pragma once

#include <cstddef>
#include <string>

#include "header/header_options.h"
#include "memorymap/memory_map_element.h"

namespace rw {

// The page carries the map as packed data (see html_data.h), from which its
// script builds only what is on screen. For a browser without scripts it
// also lists every register with its fields, up to this many registers:
// twice the fixture device's count, a list of about 250 kB. A larger map is
// shown with scripts only.
inline constexpr size_t kListRegisterLimit = 2000;

// The page for the map under `root`, titled with `targetName`, naming every
// definition as the header does under `options`. Nothing in it reaches the
// network or another file; the same map and options give the same bytes.
std::string writeHtml(const MemoryMapElement* root, const HeaderOptions& options, const std::string& targetName,
                      size_t listRegisterLimit = kListRegisterLimit);

}  // namespace rw
