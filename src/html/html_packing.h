// Markup the page holds back, packed small: gzip, then base64, which a
// browser turns back into text with atob and DecompressionStream("gzip").
// Held-back register markup is repetitive and shrinks about fourteen-fold,
// so a map of a hundred thousand registers gives a page of tens of
// megabytes rather than hundreds.
#pragma once

#include <string>
#include <string_view>

namespace rw {

// Appends `text` gzip-compressed and base64-encoded (standard alphabet, with
// padding, no line breaks). Throws std::bad_alloc when zlib lacks memory,
// like any other allocation of the run.
void appendPacked(std::string& out, std::string_view text);

}  // namespace rw
