// A parsed XML document and the lenient reader that fills it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "xml/xml_node.h"
#include "xml/xml_reader.h"

namespace rw {

// Memory maps are read whole. The largest real maps are tens of megabytes;
// beyond this bound the input is taken for a device or a stream that never
// ends (/dev/zero, a pipe from `yes`).
inline constexpr size_t kMaxMapFileBytes = size_t{1} << 30;

// A file a document read: where, and how to turn the reader's line count
// into the line number an editor shows.
struct SourceFile {
  std::string path;
  // Added to a node's line: 1, or 2 when the file starts with a newline,
  // which the reader's count leaves out.
  uint32_t lineOffset = 1;
};

// What copied an element: a loop (`for`, `foreach`) or a template use
// (`xmlput`).
enum class CopyKind : uint8_t { Loop, Template };

// A directive that copied elements, for the copies to say where they came
// from: the file the copied text was written in, and the directive's own
// file and line (the reader's count, as in XMLNode::line). Both files are
// indices into XMLDocument::files.
struct CopySite {
  uint32_t file = 0;
  uint32_t directiveFile = 0;
  uint32_t directiveLine = 0;
  CopyKind kind = CopyKind::Loop;
  bool operator==(const CopySite&) const = default;
};

// Where a node was written: an index into XMLDocument::files and the line
// an editor shows.
struct SourcePosition {
  uint32_t file = 0;
  uint32_t line = 0;
};

// Why a load failed, for callers that treat a missing file and a broken one
// differently.
enum class LoadStatus {
  Loaded,
  // Not opened, not read, too large, or not UTF-8: errorMessage "couldn't
  // read PATH" (and the reason, except for a file that could not be opened
  // or read), line 0.
  Unreadable,
  Malformed,   // read, but the reader stopped at a syntax error
};

// Plain XMLElements.
extern const ElementFactory kPlainElements;

class XMLDocument {
public:
  explicit XMLDocument(ElementFactory makeElement = kPlainElements) : makeElement(makeElement) {}
  XMLDocument(const XMLDocument&) = delete;
  XMLDocument& operator=(const XMLDocument&) = delete;
  // Destroys the tree under `root`.
  ~XMLDocument();

  // Parses `length` bytes at `text` (a NUL byte inside ends the document as
  // it would a C string). Stores the result in `root`, replacing (and
  // destroying) an earlier tree. On a syntax error fills errorMessage and
  // errorLine and returns false; `root` is then whatever top-level element
  // had closed before the error, usually none.
  // The nodes are marked as read from `files[file]`.
  bool parse(const char* text, size_t length, uint32_t file = 0);
  bool parse(std::string_view text, uint32_t file = 0) { return parse(text.data(), text.size(), file); }
  // Reads the whole file at `path`, at most `limit` bytes, skips a UTF-8
  // byte-order mark, parses. A file read is added to `files` (once). The
  // file is parsed as it is read, through a window of `window` bytes; the
  // tree counts only once the file ended as its size said, so a file that
  // changed meanwhile leaves `root` as it was.
  LoadStatus load(const std::string& path, size_t limit = kMaxMapFileBytes, size_t window = XMLReader::kWindow);

  // Gives up the tree without destroying it.
  XMLElement* takeRoot() {
    XMLElement* r = root;
    root = nullptr;
    return r;
  }

  // "PATH:LINE" for a node of this document; for a copy, where the copied
  // element was written.
  std::string location(const XMLNode& node) const;
  SourcePosition position(const XMLNode& node) const;
  // The directive that made `node`, or null when the node was read as it
  // stands.
  const CopySite* copySite(const XMLNode& node) const;
  // "PATH:LINE" for the directive of a copy site.
  std::string location(const CopySite& site) const;

  // The `file` value for a copy that `directive` makes of a node whose
  // `file` is `copied`. A site met again reuses its entry, so the table
  // grows with the directives of the map, not with the copies.
  uint32_t copyMark(uint32_t copied, const XMLNode& directive, CopyKind kind);

  const ElementFactory makeElement;
  // Every file read, each once, in the order first read.
  std::vector<SourceFile> files;
  XMLElement* root = nullptr;  // owned
  std::string errorMessage;    // at most 1023 bytes
  int32_t errorLine = 0;
  // What the last parse or load met.
  ReadCensus census;
  // Told of what every parse and load makes; may be null.
  ReadObserver* observer = nullptr;
  // Indexed by a copy's `file` without kCopyMark.
  std::vector<CopySite> copySites;

private:
  // Takes over what a reader found: its root, its error and its census.
  bool accept(const XMLReader::Result& result);
  // The file index behind a node's `file` value.
  uint32_t sourceFile(uint32_t file) const;
  std::string location(uint32_t file, uint32_t line) const;

  struct CopySiteHash {
    size_t operator()(const CopySite& site) const;
  };
  std::unordered_map<CopySite, uint32_t, CopySiteHash> copySiteIndex_;
};

}  // namespace rw
