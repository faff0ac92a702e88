// The loaded map as one self-contained web page: a register reference with
// bit-field pictures, search and deep links.
#pragma once

#include <cstddef>
#include <string>

#include "header/header_options.h"
#include "memorymap/memory_map_element.h"

namespace rw {

// Up to this many registers the page holds every register as markup, readable
// without a script; twice the fixture device's count, which a browser shows
// ready in well under a second. A map of a hundred thousand registers as
// markup would be a page of a quarter gigabyte that takes a browser many
// seconds to read: the groups past the limit are held back, packed (see
// html_packing.h), and the page's script turns them into markup when the
// reader comes near them, opens them, searches into them or links to them.
inline constexpr size_t kLiveRegisterLimit = 2000;

// The page for the map under `root`, titled with `targetName`, naming every
// definition as the header does under `options`. Nothing in it reaches the
// network or another file; the same map and options give the same bytes.
std::string writeHtml(const MemoryMapElement* root, const HeaderOptions& options, const std::string& targetName,
                      size_t liveRegisterLimit = kLiveRegisterLimit);

}  // namespace rw
