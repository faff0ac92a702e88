#include "xml/xml_document.h"

#include <cstring>
#include <new>
#include <optional>
#include <string_view>

#include "xml/mapped_file.h"
#include "xml/xml_reader.h"

namespace rw {
namespace {

// Room for the message and its terminator in a 1024-byte record.
constexpr size_t kMaxErrorMessage = 1023;

void setMessage(std::string& message, std::string text) {
  if (text.size() > kMaxErrorMessage) text.resize(kMaxErrorMessage);
  message = std::move(text);
}

// Beyond this the size reported by seeking is not trusted for reserving
// memory: a directory opened as a file reports an absurd size.
constexpr long kMaxReserve = 1L << 30;

// Reads `file` from its start into `buffer`. The size found by seeking is only
// a hint: a file that changes underneath or a stream that cannot seek is still
// read to its end. False on a read error or when memory runs out.
bool readWhole(std::FILE* file, std::string& buffer) {
  buffer.clear();
  try {
    if (std::fseek(file, 0, SEEK_END) == 0) {
      const long size = std::ftell(file);
      if (size > 0 && size <= kMaxReserve) buffer.reserve(static_cast<size_t>(size));
    }
    std::rewind(file);
    char chunk[65536];
    while (true) {
      const size_t got = std::fread(chunk, 1, sizeof chunk, file);
      buffer.append(chunk, got);
      if (got < sizeof chunk) break;
    }
  } catch (const std::bad_alloc&) {
    buffer.clear();
    return false;
  }
  return std::ferror(file) == 0;
}

// A UTF-8 byte-order mark is not part of the document.
bool parseFileBytes(XMLDocument& document, std::string_view bytes) {
  const std::string_view mark = "\xEF\xBB\xBF";
  const size_t skip = bytes.starts_with(mark) ? mark.size() : 0;
  return document.parse(bytes.data() + skip, bytes.size() - skip);
}

}  // namespace

XMLDocument::~XMLDocument() { delete root; }

XMLElement* XMLDocument::createElement(std::string_view tagName) { return new XMLElement(tagName); }

bool XMLDocument::parse(const char* text, size_t length) {
  delete root;
  root = nullptr;
  const void* nul = std::memchr(text, '\0', length);
  const char* end = nul != nullptr ? static_cast<const char*>(nul) : text + length;

  XMLParser parser(*this, text, end);
  const XMLParser::Result result = parser.run();
  // On a syntax error the root is whatever top-level element had closed
  // before it, usually none.
  root = result.root;
  switch (result.error) {
    case XMLParser::Error::None:
      return true;
    case XMLParser::Error::BadTagName:
      setMessage(errorMessage, "bad tagName");
      break;
    case XMLParser::Error::TagNameMismatch:
      setMessage(errorMessage, "tagName mismatch");
      break;
  }
  errorLine = static_cast<int32_t>(result.errorLine);
  return false;
}

bool XMLDocument::loadStream(std::FILE* file) {
  std::string buffer;
  if (!readWhole(file, buffer)) {
    // Not a syntax error and not a missing file: the open stream failed to
    // deliver its bytes (a directory, an I/O error).
    setMessage(errorMessage, "couldn't read stream");
    errorLine = 0;
    return false;
  }
  return parseFileBytes(*this, buffer);
}

bool XMLDocument::load(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    setMessage(errorMessage, "couldn't read " + path);
    errorLine = 0;
    return false;
  }
  // A regular file is parsed where the system keeps it: copying a map of a
  // hundred megabytes would cost more than parsing it. Anything else (a pipe,
  // a file whose size is not known in advance) is read into memory.
  if (const std::optional<MappedFile> mapped = MappedFile::open(::fileno(file))) {
    std::fclose(file);
    return parseFileBytes(*this, mapped->text());
  }
  std::string buffer;
  const bool readOk = readWhole(file, buffer);
  std::fclose(file);
  if (!readOk) {
    setMessage(errorMessage, "couldn't read " + path);
    errorLine = 0;
    return false;
  }
  return parseFileBytes(*this, buffer);
}

}  // namespace rw
