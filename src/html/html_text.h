// Map text as it may stand in the page: in HTML text and attribute values,
// in the JSON that the page's script reads, and in a link's fragment.
//
// The page is UTF-8, while the map's names are bytes that may be anything.
// Every writer here reads them the same way: valid UTF-8 as it is, and a byte
// that does not begin a valid sequence as the Latin-1 character of that value
// (what such a byte most likely meant in an older 8-bit map). So a name looks
// the same in the page's text, its search index and its links.
#pragma once

#include <string>
#include <string_view>

namespace rw {

// `text` as valid UTF-8, read as above. Controls other than tab, line feed
// and carriage return become U+FFFD: a browser would show nothing, or refuse
// the byte, where the map holds something.
std::string validUtf8(std::string_view text);

// `text` escaped for HTML text and for an attribute value in double or single
// quotes: no byte of it can open or close markup.
void appendHtml(std::string& out, std::string_view text);

// `text` as a JSON string, quotes included, that can also stand inside a
// <script> element: "<", ">" and "&" are escaped, so "</script>" or "<!--"
// cannot end or change the element, and so are U+2028 and U+2029, which end
// a line in older JavaScript.
void appendJsonString(std::string& out, std::string_view text);

// `id` as the fragment of a link ("#" not included): every byte other than
// ASCII letters, digits, "-", ".", "_" and "~" percent-encoded, which the
// browser decodes as UTF-8 before it looks for the element. `id` must
// already be valid UTF-8 (see validUtf8).
void appendFragment(std::string& out, std::string_view id);

}  // namespace rw
