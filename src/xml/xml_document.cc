#include "xml/xml_document.h"

#include <cstdio>
#include <cstring>
#include <optional>

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
// read to its end. False on a read error.
bool readWhole(std::FILE* file, std::string& buffer) {
  buffer.clear();
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
  return std::ferror(file) == 0;
}

// A UTF-8 byte-order mark is not part of the document.
bool parseFileBytes(XMLDocument& document, std::string_view bytes) {
  const std::string_view mark = "\xEF\xBB\xBF";
  if (bytes.starts_with(mark)) bytes.remove_prefix(mark.size());
  return document.parse(bytes);
}

}  // namespace

XMLElement* makePlainElement(std::string_view tagName) { return new XMLElement(tagName); }

XMLDocument::~XMLDocument() { delete root; }

bool XMLDocument::parse(const char* text, size_t length) {
  delete root;
  root = nullptr;
  const void* nul = std::memchr(text, '\0', length);
  const char* end = nul != nullptr ? static_cast<const char*>(nul) : text + length;

  XMLReader reader(makeElement, text, end);
  const XMLReader::Result result = reader.run();
  root = result.root;
  switch (result.error) {
    case XMLReader::Error::None:
      return true;
    case XMLReader::Error::BadTagName:
      setMessage(errorMessage, "bad tagName");
      break;
    case XMLReader::Error::TagNameMismatch:
      setMessage(errorMessage, "tagName mismatch");
      break;
  }
  errorLine = static_cast<int32_t>(result.errorLine);
  return false;
}

LoadStatus XMLDocument::load(const std::string& path) {
  const auto unreadable = [&] {
    setMessage(errorMessage, "couldn't read " + path);
    errorLine = 0;
    return LoadStatus::Unreadable;
  };
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return unreadable();
  // A regular file is parsed where the system keeps it: copying a map of a
  // hundred megabytes would cost more than parsing it. Anything else (a pipe,
  // a file whose size is not known in advance) is read into memory.
  if (const std::optional<MappedFile> mapped = MappedFile::open(::fileno(file))) {
    std::fclose(file);
    return parseFileBytes(*this, mapped->text()) ? LoadStatus::Loaded : LoadStatus::Malformed;
  }
  std::string buffer;
  const bool read = readWhole(file, buffer);
  std::fclose(file);
  if (!read) return unreadable();
  return parseFileBytes(*this, buffer) ? LoadStatus::Loaded : LoadStatus::Malformed;
}

}  // namespace rw
