// A parsed XML document and the lenient reader that fills it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "xml/xml_node.h"

namespace rw {

class XMLDocument {
public:
  explicit XMLDocument(bool keepText) : keepText(keepText) {}
  XMLDocument(const XMLDocument&) = delete;
  XMLDocument& operator=(const XMLDocument&) = delete;
  // Destroys the tree under `root`.
  virtual ~XMLDocument();

  // The element factory the reader calls for every start tag.
  virtual XMLElement* createElement(std::string_view tagName);

  // Parses `length` bytes at `text` (the buffer need not be NUL-terminated; a
  // NUL byte inside ends the document as it would a C string). Stores the
  // result in `root`, replacing (and destroying) an earlier tree. On a syntax
  // error fills errorMessage / errorLine and returns false.
  bool parse(const char* text, size_t length);
  bool parse(const std::string& text) { return parse(text.data(), text.size()); }
  // Reads the whole open file, skips a UTF-8 byte-order mark, parses.
  bool loadStream(std::FILE* file);
  // Opens `path`, loadStream, closes. "couldn't read %s" with line 0 when the
  // file cannot be opened.
  bool load(const std::string& path);

  // Gives up the tree without destroying it.
  XMLElement* takeRoot() {
    XMLElement* r = root;
    root = nullptr;
    return r;
  }

  const bool keepText;
  std::optional<std::string> doctype;
  std::optional<std::string> version;
  std::optional<std::string> encoding;
  XMLElement* root = nullptr;  // owned
  std::string errorMessage;    // at most 1023 bytes
  int32_t errorLine = 0;
};

// Adds nothing; kept so the document classes form the chain that the
// preprocessing and memory-map documents derive through.
class QXMLDocument : public XMLDocument {
public:
  using XMLDocument::XMLDocument;
};

}  // namespace rw
