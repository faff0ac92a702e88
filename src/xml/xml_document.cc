#include "xml/xml_document.h"

#include <algorithm>
#include <cstring>

#include "xml/file_stream.h"
#include "xml/node_memory.h"
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
size_t byteOrderMarkLength(std::string_view bytes) {
  const std::string_view mark = "\xEF\xBB\xBF";
  return bytes.starts_with(mark) ? mark.size() : 0;
}

// A stream whose first bytes are looked at before it is read on.
class HeadThenRest : public ByteSource {
public:
  explicit HeadThenRest(ByteSource& rest) : rest_(rest) {
    while (size_ < sizeof head_) {
      const size_t got = rest_.read(head_ + size_, sizeof head_ - size_);
      if (got == 0) break;
      size_ += got;
    }
  }
  // The bytes still to come from the head: the first four of the stream
  // (fewer when it is shorter), less any skipped.
  std::string_view head() const { return std::string_view(head_ + served_, size_ - served_); }
  void skip(size_t count) { served_ += count; }

  size_t read(char* to, size_t room) override {
    if (served_ == size_) return rest_.read(to, room);
    const size_t count = std::min(room, size_ - served_);
    std::memcpy(to, head_ + served_, count);
    served_ += count;
    return count;
  }

private:
  ByteSource& rest_;
  char head_[4];
  size_t size_ = 0;
  size_t served_ = 0;
};

}  // namespace

const ElementFactory kPlainElements{
    [](std::string_view tagName, std::span<const XMLAttribute> attributes) { return new XMLElement(tagName, attributes); },
    [](const XMLElement& source, std::span<const ValueChange> changes) { return new XMLElement(source, changes); },
};

XMLDocument::~XMLDocument() { delete root; }

bool XMLDocument::parse(const char* text, size_t length, uint32_t file) {
  delete root;
  root = nullptr;
  const void* nul = std::memchr(text, '\0', length);
  const char* end = nul != nullptr ? static_cast<const char*>(nul) : text + length;

  XMLReader reader(makeElement, file, text, end);
  reader.observe(observer);
  return accept(reader.run());
}

bool XMLDocument::accept(const XMLReader::Result& result) {
  root = result.root;
  census = result.census;
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

LoadStatus XMLDocument::load(const std::string& path, size_t limit, size_t window) {
  FileStream stream(path, limit);
  // The first bytes tell the encoding, the byte-order mark and where line
  // numbers start; the reader gets them back before the rest.
  HeadThenRest source(stream);
  std::string problem;
  const std::string_view encoding = wideEncoding(source.head());
  if (!encoding.empty()) problem = ": " + std::string(encoding) + " text, where maps are read as UTF-8";
  if (stream.status() == FileText::Status::Read && problem.empty()) {
    uint32_t index = 0;
    while (index < files.size() && files[index].path != path) ++index;
    source.skip(byteOrderMarkLength(source.head()));
    const bool newlineFirst = source.head().starts_with('\n');
    // Listed while it is read, so that an observer can say where an element
    // was written; taken off again unless it was read as it is.
    const bool listed = index == files.size();
    if (listed) files.push_back({path, newlineFirst ? 2u : 1u});
    // A map's tree takes about as many bytes in nodes as the file has, and
    // half as many in text: large ones then come in large chunks from the
    // start (see expectNodeMemory).
    expectNodeMemory(stream.size(), stream.size() / 2);
    XMLReader reader(makeElement, index, source, window);
    reader.observe(observer);
    XMLReader::Result result = reader.run();
    // Only a file that ended where its size said was read as it is.
    if (stream.finish() == FileText::Status::Read) {
      delete root;
      return accept(result) ? LoadStatus::Loaded : LoadStatus::Malformed;
    }
    if (listed) files.pop_back();
    delete result.root;
  }
  switch (stream.finish()) {
    case FileText::Status::TooLarge:
      problem = ": larger than " + std::to_string(limit >> 20) + " MiB";
      break;
    case FileText::Status::Changed:
      problem = ": it changed while it was read";
      break;
    case FileText::Status::Device:
      problem = ": a device, not a file";
      break;
    case FileText::Status::NulFirst:
      problem = ": it begins with a NUL byte";
      break;
    case FileText::Status::Unreadable:
      problem.clear();
      break;
    case FileText::Status::Read:
    case FileText::Status::NotRegular:
      break;
  }
  setMessage(errorMessage, "couldn't read " + path + problem);
  errorLine = 0;
  return LoadStatus::Unreadable;
}

uint32_t XMLDocument::sourceFile(uint32_t file) const {
  if ((file & kCopyMark) == 0) return file;
  const uint32_t site = file & ~kCopyMark;
  return site < copySites.size() ? copySites[site].file : static_cast<uint32_t>(files.size());
}

std::string XMLDocument::location(uint32_t file, uint32_t line) const {
  if (file >= files.size()) return "line " + std::to_string(line + 1);
  const SourceFile& source = files[file];
  return source.path + ":" + std::to_string(line + source.lineOffset);
}

std::string XMLDocument::location(const XMLNode& node) const { return location(sourceFile(node.file), node.line); }

std::string XMLDocument::location(const CopySite& site) const { return location(site.directiveFile, site.directiveLine); }

SourcePosition XMLDocument::position(const XMLNode& node) const {
  const uint32_t file = sourceFile(node.file);
  return {file, node.line + (file < files.size() ? files[file].lineOffset : 1)};
}

const CopySite* XMLDocument::copySite(const XMLNode& node) const {
  if ((node.file & kCopyMark) == 0) return nullptr;
  const uint32_t site = node.file & ~kCopyMark;
  return site < copySites.size() ? &copySites[site] : nullptr;
}

size_t XMLDocument::CopySiteHash::operator()(const CopySite& site) const {
  const uint64_t files = (uint64_t{site.file} << 32) | site.directiveFile;
  const uint64_t place = (uint64_t{site.directiveLine} << 8) | static_cast<uint8_t>(site.kind);
  return std::hash<uint64_t>()(files * 0x9E3779B97F4A7C15u ^ place);
}

uint32_t XMLDocument::copyMark(uint32_t copied, const XMLNode& directive, CopyKind kind) {
  const CopySite site{sourceFile(copied), sourceFile(directive.file), directive.line, kind};
  const auto [entry, added] = copySiteIndex_.try_emplace(site, static_cast<uint32_t>(copySites.size()));
  if (added) {
    // The copy budget ends loops long before the index could reach the
    // mark; past it, copies would keep their file without the site.
    if (copySites.size() >= kCopyMark) {
      copySiteIndex_.erase(entry);
      return site.file;
    }
    copySites.push_back(site);
  }
  return entry->second | kCopyMark;
}

}  // namespace rw
