// The reader behind XMLDocument::parse: one forward pass over the bytes that
// builds the element tree, lenient about everything but two errors.
// Character data and comments leave no node; CDATA sections do.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "xml/file_stream.h"
#include "xml/xml_node.h"

namespace rw {

// Which tags a parse met and whether an attribute value held a '$': enough
// for the preprocessor to know that a tree has nothing for it to do.
static_assert(elementtext::kWordCount <= 64, "one bit of ReadCensus::wordTags per word");
struct ReadCensus {
  // Bit i for a tag that is elementtext::kWords[i].
  uint64_t wordTags = 0;
  bool dollarInValue = false;
};

// Told of each element as the reader makes it (its attributes set, its
// children still to come), with the element it goes into (null at the top
// level) and the census of what was read up to it; of each CDATA section
// added to an element; of each element as it closes (its subtree complete);
// and of the end of the read, whatever ended it.
class ReadObserver {
public:
  virtual ~ReadObserver() = default;
  virtual void elementMade(XMLElement& element, XMLElement* parent, const ReadCensus& census) = 0;
  virtual void sectionAdded(XMLElement& parent) = 0;
  virtual void elementClosed(XMLElement& element) = 0;
  // The read is over: `complete` when it reached the end of its text (well
  // formed or not), false when it was cut short by an exception such as
  // memory running out. Either way this comes before the reader frees a
  // single element, so an observer that hands elements to another thread
  // can stop it first.
  virtual void readEnded(bool complete) = 0;
};

class XMLReader {
public:
  enum class Error { None, BadTagName, TagNameMismatch };

  struct Result {
    XMLElement* root = nullptr;  // owned by the caller
    Error error = Error::None;
    uint32_t errorLine = 0;
    ReadCensus census;
  };

  // Reads [begin, end); every element comes from `makeElement`, every node
  // gets `file` as its file.
  XMLReader(ElementFactory makeElement, uint32_t file, const char* begin, const char* end);
  // Reads `source` to its end or its first NUL byte, through a window of
  // `window` bytes that grows only for a construct longer than a quarter of
  // it.
  XMLReader(ElementFactory makeElement, uint32_t file, ByteSource& source, size_t window = kWindow);
  XMLReader(const XMLReader&) = delete;
  XMLReader& operator=(const XMLReader&) = delete;
  ~XMLReader();

  // `observer` (may be null) is told of what run() makes.
  void observe(ReadObserver* observer) { observer_ = observer; }
  Result run();

  // Large enough that reading costs few system calls, small enough to stay
  // in the cache.
  static constexpr size_t kWindow = size_t{256} << 10;

private:
  Result readAll();
  // What the main loop does after a construct has been read. NeedMore: the
  // construct ran into the end of the window before the end of the input;
  // nothing was done, and it is read again once more bytes are in.
  enum class Next { Continue, Stop, Abandon, NeedMore };

  std::string_view readName();
  void skipSpace();
  uint32_t lineAt(const char* position);
  // Whether the cursor stands at the end of the window but not of the input.
  bool cut() const { return p_ >= end_ && !atEnd_; }
  // Moves the bytes from the cursor on to the front of the window and reads
  // until at least `want` bytes follow the cursor or the input ended.
  void refill(size_t want);

  Next processingInstruction();
  Next declaration();
  Next markupDeclaration(uint32_t line);
  Next startTag(uint32_t line);
  Next endTag();
  // Whether the `/` at the cursor and what follows it up to the decision
  // endTag makes are in the window.
  bool endTagInWindow() const;
  void closeTop();
  // The element of the start tag just read, with the attributes read.
  void openElement(std::string_view name, uint32_t line);
  void skipText();
  // Finds the terminator `xx>` (x being `dash` or `]`) the way comments and
  // CDATA sections end; returns the end of the content or null when the
  // bytes end first. Leaves the cursor on the `>`.
  const char* findTerminator(char x);
  const ElementFactory makeElement_;
  const uint32_t file_;
  ReadObserver* observer_ = nullptr;
  // The bytes read: the caller's buffer, or the window over the source.
  ByteSource* source_ = nullptr;
  std::unique_ptr<char[]> window_;
  size_t windowSize_ = 0;
  const char* end_;
  // True once end_ is the end of the input (or its first NUL byte).
  bool atEnd_ = true;
  const char* p_;
  // Line counting is lazy: newlines in [counted_, cursor] are added on demand,
  // so the scanning loops themselves never look for them.
  const char* counted_;
  uint32_t line_ = 0;
  std::vector<XMLElement*> open_;
  XMLElement* candidateRoot_ = nullptr;
  // Attributes of the start tag being read, handed to its element in one go
  // once the tag ends. Names and most values point into the bytes; a value
  // with references is decoded into decodedValues_, which may still move
  // while the tag is read: its view is set once the tag is complete.
  std::vector<XMLAttribute> attributes_;
  struct DecodedValue {
    size_t attribute;
    size_t offset;
    size_t length;
  };
  std::vector<DecodedValue> decoded_;
  std::string decodedValue_;
  std::string decodedValues_;
  // Some value of the tag, decoded, holds a '$'.
  bool dollarInTag_ = false;
  ReadCensus census_;
  Error error_ = Error::None;
  uint32_t errorLine_ = 0;
};

}  // namespace rw
