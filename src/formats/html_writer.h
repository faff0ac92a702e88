// The loaded map as one self-contained web page: a register reference with
// bit-field pictures, search and deep links.
#pragma once

#include <cstddef>
#include <string>

#include "header/header_options.h"
#include "memorymap/memory_map_element.h"

namespace rw {

// Up to this many registers the page holds every register as markup, readable
// without a script. A larger map would make a page that a browser takes many
// seconds and gigabytes to lay out: the groups past the limit are kept as
// inert text that the page's script turns into markup when the reader comes
// near them, opens them, searches into them or links to them.
inline constexpr size_t kLiveRegisterLimit = 2000;

// The page for the map under `root`, titled with `targetName`, naming every
// definition as the header does under `options`. Nothing in it reaches the
// network or another file; the same map and options give the same bytes.
std::string writeHtml(const MemoryMapElement* root, const HeaderOptions& options, const std::string& targetName,
                      size_t liveRegisterLimit = kLiveRegisterLimit);

}  // namespace rw
