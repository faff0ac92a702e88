// The reader behind XMLDocument::parse: one forward pass over a byte buffer
// that builds the element tree, lenient about everything but two errors.
// Character data and comments leave no node; CDATA sections do.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "xml/xml_node.h"

namespace rw {

class XMLReader {
public:
  enum class Error { None, BadTagName, TagNameMismatch };

  struct Result {
    XMLElement* root = nullptr;  // owned by the caller
    Error error = Error::None;
    uint32_t errorLine = 0;
  };

  // Reads [begin, end); every element comes from `makeElement`, every node
  // gets `file` as its file.
  XMLReader(ElementFactory makeElement, uint32_t file, const char* begin, const char* end);
  XMLReader(const XMLReader&) = delete;
  XMLReader& operator=(const XMLReader&) = delete;
  ~XMLReader();

  Result run();

private:
  // What the main loop does after a construct has been read.
  enum class Next { Continue, Stop, Abandon };

  std::string_view readName();
  void skipSpace();
  uint32_t lineAt(const char* position);

  Next processingInstruction();
  Next declaration();
  Next markupDeclaration(uint32_t line);
  Next startTag(uint32_t line);
  Next endTag();
  void closeTop();
  // Hands the attributes read so far to the innermost open element.
  void flushAttributes();
  void skipText();
  // Finds the terminator `xx>` (x being `dash` or `]`) the way comments and
  // CDATA sections end; returns the end of the content or null when the
  // buffer ends first. Leaves the cursor on the `>`.
  const char* findTerminator(char x);
  const ElementFactory makeElement_;
  const uint32_t file_;
  const char* const end_;
  const char* p_;
  // Line counting is lazy: newlines in [counted_, cursor] are added on demand,
  // so the scanning loops themselves never look for them.
  const char* counted_;
  uint32_t line_ = 0;
  std::vector<XMLElement*> open_;
  XMLElement* candidateRoot_ = nullptr;
  // Attributes of the start tag being read, set on its element in one go once
  // the tag ends. Names and most values point into the buffer; a value with
  // references is decoded into decodedValues_ (which may still move while the
  // tag is read, hence offsets).
  struct PendingAttribute {
    static constexpr size_t kInBuffer = static_cast<size_t>(-1);
    std::string_view name;
    std::string_view value;
    size_t decodedOffset = kInBuffer;
    size_t decodedLength = 0;
  };
  std::vector<PendingAttribute> pendingAttributes_;
  std::string decodedValue_;
  std::string decodedValues_;
  std::vector<XMLAttribute> attributeViews_;
  Error error_ = Error::None;
  uint32_t errorLine_ = 0;
};

}  // namespace rw
