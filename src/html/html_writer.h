// The loaded map as one self-contained web page: a register reference with
// bit-field pictures, search and deep links.
#pragma once

#include <cstddef>
#include <string>

#include "header/header_options.h"
#include "memorymap/memory_map_element.h"

namespace rw {

// The page carries the map as packed data (see html_data.h), from which its
// script builds only what is on screen. Up to this many registers it also
// holds every register as markup for a browser without scripts: twice the
// fixture device's count. A browser with scripts keeps that markup as text it
// never lays out, but still reads it, about 2 MB for the fixture device; a
// vendor device of thousands of registers would pay for it with a page of
// many megabytes, and gets a note instead.
inline constexpr size_t kMarkupRegisterLimit = 2000;

// The page for the map under `root`, titled with `targetName`, naming every
// definition as the header does under `options`. Nothing in it reaches the
// network or another file; the same map and options give the same bytes.
std::string writeHtml(const MemoryMapElement* root, const HeaderOptions& options, const std::string& targetName,
                      size_t markupRegisterLimit = kMarkupRegisterLimit);

}  // namespace rw
