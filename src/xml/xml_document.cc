#include "xml/xml_document.h"

#include <cstring>

#include "xml/file_text.h"
#include "xml/xml_reader.h"

namespace rw {
namespace {

// Room for the message and its terminator in a 1024-byte record.
constexpr size_t kMaxErrorMessage = 1023;

void setMessage(std::string& message, std::string text) {
  if (text.size() > kMaxErrorMessage) text.resize(kMaxErrorMessage);
  message = std::move(text);
}

// "UTF-16" or "UTF-32" when the bytes begin like text in one of those (a
// byte-order mark, or an ASCII character next to NUL bytes, which UTF-8 text
// never starts with); empty otherwise.
std::string_view wideEncoding(std::string_view bytes) {
  const std::string_view nuls("\0\0\0", 3);
  if (bytes.starts_with(std::string_view("\xFF\xFE\0\0", 4)) || bytes.starts_with(std::string_view("\0\0\xFE\xFF", 4)) ||
      (bytes.size() >= 4 && (bytes.substr(0, 3) == nuls || bytes.substr(1, 3) == nuls))) {
    return "UTF-32";
  }
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
      (bytes.size() >= 2 && (bytes[0] == '\0') != (bytes[1] == '\0'))) {
    return "UTF-16";
  }
  return {};
}

// A UTF-8 byte-order mark is not part of the document.
std::string_view withoutByteOrderMark(std::string_view bytes) {
  const std::string_view mark = "\xEF\xBB\xBF";
  if (bytes.starts_with(mark)) bytes.remove_prefix(mark.size());
  return bytes;
}

}  // namespace

XMLElement* makePlainElement(std::string_view tagName) { return new XMLElement(tagName); }

XMLDocument::~XMLDocument() { delete root; }

bool XMLDocument::parse(const char* text, size_t length, uint32_t file) {
  delete root;
  root = nullptr;
  const void* nul = std::memchr(text, '\0', length);
  const char* end = nul != nullptr ? static_cast<const char*>(nul) : text + length;

  XMLReader reader(makeElement, file, text, end);
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

LoadStatus XMLDocument::load(const std::string& path, size_t limit) {
  const FileText file = readFileText(path, limit, false);
  std::string problem;
  switch (file.status) {
    case FileText::Status::Read:
      break;
    case FileText::Status::TooLarge:
      problem = ": larger than " + std::to_string(limit >> 20) + " MiB";
      break;
    case FileText::Status::Changed:
      problem = ": it changed while it was read";
      break;
    case FileText::Status::Unreadable:
    case FileText::Status::NotRegular:
      break;
  }
  const std::string_view encoding = wideEncoding(file.text());
  if (!encoding.empty()) problem = ": " + std::string(encoding) + " text, where maps are read as UTF-8";
  if (file.status != FileText::Status::Read || !problem.empty()) {
    setMessage(errorMessage, "couldn't read " + path + problem);
    errorLine = 0;
    return LoadStatus::Unreadable;
  }
  const std::string_view bytes = withoutByteOrderMark(file.text());
  uint32_t index = 0;
  while (index < files.size() && files[index].path != path) ++index;
  if (index == files.size()) files.push_back({path, bytes.starts_with('\n') ? 2u : 1u});
  return parse(bytes, index) ? LoadStatus::Loaded : LoadStatus::Malformed;
}

std::string XMLDocument::location(const XMLNode& node) const {
  if (node.file >= files.size()) return "line " + std::to_string(node.line + 1);
  const SourceFile& source = files[node.file];
  return source.path + ":" + std::to_string(node.line + source.lineOffset);
}

}  // namespace rw
