#include "html/html_text.h"

#include <cstdint>

#include "expr/integer_literal.h"
#include "xml/utf8_text.h"

namespace rw {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isShownControl(char32_t c) { return c == '\t' || c == '\n' || c == '\r'; }

// Calls `visit` with each character of `text`, read as the header comment of
// html_text.h says, and with controls already replaced.
template <typename Visit>
void forEachCharacter(std::string_view text, Visit visit) {
  for (size_t i = 0; i < text.size();) {
    char32_t c = nextCharacter(text, i);
    if ((c < 0x20 && !isShownControl(c)) || (c >= 0x7F && c < 0xA0)) c = kReplacement;
    visit(c);
  }
}

}  // namespace

std::string validUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  forEachCharacter(text, [&](char32_t c) { appendUtf8(out, c); });
  return out;
}

void appendHtml(std::string& out, std::string_view text) {
  forEachCharacter(text, [&](char32_t c) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: appendUtf8(out, c); break;
    }
  });
}

void appendJsonString(std::string& out, std::string_view text) {
  out += '"';
  forEachCharacter(text, [&](char32_t c) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == '<' || c == '>' || c == '&' || c == 0x2028 || c == 0x2029) {
      out += "\\u";
      appendHexDigits(out, c, 4);
    } else {
      appendUtf8(out, c);
    }
  });
  out += '"';
}

void appendFragment(std::string& out, std::string_view id) {
  for (const char c : id) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') || c == '-' ||
        c == '.' || c == '_' || c == '~') {
      out += c;
    } else {
      out += '%';
      appendHexDigits(out, byte, 2);
    }
  }
}

}  // namespace rw
