// The page's data, packed small: gzip, then base64 in its URL alphabet
// without padding, which the page's script turns back into bytes and
// DecompressionStream("gzip") into text. The URL alphabet has no "/" or "=",
// so no run of the packed text reads like a reference to another file.
#pragma once

#include <string>
#include <string_view>

namespace rw {

// Appends `text` gzip-compressed and base64-encoded (URL alphabet: "-" and
// "_" for "+" and "/", no padding, no line breaks). Throws std::bad_alloc
// when zlib lacks memory, like any other allocation of the run.
void appendPacked(std::string& out, std::string_view text);

}  // namespace rw
