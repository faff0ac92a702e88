// A parsed XML document and the lenient reader that fills it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "xml/xml_node.h"

namespace rw {

// Why a load failed, for callers that treat a missing file and a broken one
// differently.
enum class LoadStatus {
  Loaded,
  Unreadable,  // not opened or not read: errorMessage "couldn't read PATH", line 0
  Malformed,   // read, but the reader stopped at a syntax error
};

XMLElement* makePlainElement(std::string_view tagName);

class XMLDocument {
public:
  explicit XMLDocument(ElementFactory makeElement = makePlainElement) : makeElement(makeElement) {}
  XMLDocument(const XMLDocument&) = delete;
  XMLDocument& operator=(const XMLDocument&) = delete;
  // Destroys the tree under `root`.
  ~XMLDocument();

  // Parses `length` bytes at `text` (a NUL byte inside ends the document as
  // it would a C string). Stores the result in `root`, replacing (and
  // destroying) an earlier tree. On a syntax error fills errorMessage and
  // errorLine and returns false; `root` is then whatever top-level element
  // had closed before the error, usually none.
  bool parse(const char* text, size_t length);
  bool parse(std::string_view text) { return parse(text.data(), text.size()); }
  // Reads the whole file at `path`, skips a UTF-8 byte-order mark, parses.
  LoadStatus load(const std::string& path);

  // Gives up the tree without destroying it.
  XMLElement* takeRoot() {
    XMLElement* r = root;
    root = nullptr;
    return r;
  }

  const ElementFactory makeElement;
  XMLElement* root = nullptr;  // owned
  std::string errorMessage;    // at most 1023 bytes
  int32_t errorLine = 0;
};

}  // namespace rw
