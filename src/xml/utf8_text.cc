#include "xml/utf8_text.h"

#include <utf8proc.h>

namespace rw {

char32_t nextCharacter(std::string_view text, size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) {
    ++at;
    return lead;
  }
  utf8proc_int32_t c = -1;
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data() + at);
  const utf8proc_ssize_t length = utf8proc_iterate(bytes, static_cast<utf8proc_ssize_t>(text.size() - at), &c);
  if (length <= 0 || c < 0) {
    ++at;
    return lead;
  }
  at += static_cast<size_t>(length);
  return static_cast<char32_t>(c);
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
    return;
  }
  utf8proc_uint8_t bytes[4];
  const utf8proc_ssize_t length = utf8proc_encode_char(static_cast<utf8proc_int32_t>(c), bytes);
  out.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
}

bool isUnicodeNumber(char32_t c) {
  switch (utf8proc_category(static_cast<utf8proc_int32_t>(c))) {
    case UTF8PROC_CATEGORY_ND:
    case UTF8PROC_CATEGORY_NL:
    case UTF8PROC_CATEGORY_NO:
      return true;
    default:
      return false;
  }
}

}  // namespace rw
