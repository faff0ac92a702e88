// Decoding of character references in attribute values and character data.
#pragma once

#include <string>

namespace rw {

// Writes the decoded form of the bytes [begin, end) into `out` (replacing its
// contents). Recognised: &lt; &gt; &amp; &apos; &quot; and numeric references
// &#...; / &#x...; whose value keeps its low 8 bits. Anything else after an `&`
// is not a reference and the `&` is copied as it is. A reference that decodes
// to byte 0 ends the result there, as it would end a C string.
void decodeEntities(const char* begin, const char* end, std::string& out);

}  // namespace rw
