// The page's own style sheet and script, written inline so that the page
// needs no other file and no network.
#pragma once

#include <string_view>

namespace rw {

extern const std::string_view kPageStyle;
// Reads the JSON search index that the page carries in the element with id
// "rw-index"; sets data-ready on the root element when it is done.
extern const std::string_view kPageScript;

}  // namespace rw
