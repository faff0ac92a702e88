#include "xml/xml_reader.h"

#include <cstring>
#include <string>

#include "xml/xml_char_class.h"
#include "xml/xml_entities.h"

namespace rw {
namespace {

const char* findByte(const char* from, const char* end, char byte) {
  const void* found = std::memchr(from, byte, static_cast<size_t>(end - from));
  return found != nullptr ? static_cast<const char*>(found) : end;
}

// Whether `name` is `word` or a beginning of it (the empty name included).
bool isPrefixOf(std::string_view name, std::string_view word) {
  return word.starts_with(name);
}

}  // namespace

XMLReader::XMLReader(ElementFactory makeElement, uint32_t file, const char* begin, const char* end)
    : makeElement_(makeElement),
      file_(file),
      end_(end),
      p_(begin),
      // A newline in the very first byte is never moved onto, so it is not
      // counted: counting starts one byte in.
      counted_(begin < end ? begin + 1 : end) {}

XMLReader::~XMLReader() {
  // Elements still open were never attached to each other; each goes alone.
  for (XMLElement* element : open_) delete element;
  delete candidateRoot_;
}

XMLReader::Result XMLReader::run() {
  Result result;
  skipSpace();
  while (p_ < end_ && *p_ == '<') {
    const uint32_t line = lineAt(p_);
    ++p_;
    const char c = p_ < end_ ? *p_ : '\0';
    Next next;
    if (c == '?') {
      next = processingInstruction();
    } else if (c == '!') {
      next = markupDeclaration(line);
    } else if (c == '/') {
      next = endTag();
    } else {
      next = startTag(line);
    }
    if (next == Next::Stop) {
      result.error = error_;
      result.errorLine = errorLine_;
      break;
    }
    if (next == Next::Abandon) return result;
    skipText();
  }
  result.root = candidateRoot_;
  candidateRoot_ = nullptr;
  return result;
}

void XMLReader::skipSpace() {
  while (p_ < end_ && xmlchar::isSpace(*p_)) ++p_;
}

std::string_view XMLReader::readName() {
  const char* start = p_;
  while (p_ < end_ && xmlchar::isNameChar(*p_)) ++p_;
  const std::string_view name(start, static_cast<size_t>(p_ - start));
  skipSpace();
  return name;
}

uint32_t XMLReader::lineAt(const char* position) {
  // The counter includes a newline under the cursor itself: moving onto it
  // already counted it.
  const char* stop = position < end_ ? position + 1 : end_;
  while (counted_ < stop) {
    const char* newline = findByte(counted_, stop, '\n');
    if (newline == stop) {
      counted_ = stop;
      break;
    }
    ++line_;
    counted_ = newline + 1;
  }
  return line_;
}

XMLReader::Next XMLReader::processingInstruction() {
  ++p_;  // the `?`
  const std::string_view target = readName();
  // `xml` and anything that begins it (down to the empty name) is taken for
  // the XML declaration. Any other instruction is not consumed: its content
  // is read as character data.
  if (target.size() <= 3 && isPrefixOf(target, "xml")) return declaration();
  return Next::Continue;
}

XMLReader::Next XMLReader::declaration() {
  std::string_view name = readName();
  while (p_ < end_ && *p_ != '?') {
    if (*p_ != '=') {
      if (name.empty()) {
        // A byte that can neither begin a name nor follow one, such as the
        // `>` of `<?xml version="1.0">`: the declaration ends here, and a `>`
        // is taken as its end, so the document after it still reads normally.
        if (*p_ == '>') ++p_;
        return Next::Continue;
      }
      name = readName();
      continue;
    }
    ++p_;
    skipSpace();
    // An unquoted value gives up on the whole document: no root, no error.
    if (p_ >= end_ || *p_ != '"') return Next::Abandon;
    ++p_;
    p_ = findByte(p_, end_, '"');
    if (p_ < end_) ++p_;
    skipSpace();
    name = readName();
  }
  if (p_ < end_) {
    ++p_;
    if (p_ < end_ && *p_ == '>') ++p_;
  }
  return Next::Continue;
}

XMLReader::Next XMLReader::markupDeclaration(uint32_t line) {
  ++p_;  // the `!`
  if (p_ < end_ && *p_ == '-') {
    ++p_;
    if (p_ >= end_ || *p_ != '-') return Next::Continue;
    ++p_;
    // A comment leaves nothing in the tree.
    if (findTerminator('-') != nullptr) ++p_;
    return Next::Continue;
  }

  const std::string_view keyword = readName();
  if (keyword.empty()) {
    // `<![CDATA[`: step over the `[`, the keyword (unchecked) and the second `[`.
    if (p_ < end_) ++p_;
    readName();
    if (p_ < end_) ++p_;
    const char* content = p_;
    const char* contentEnd = findTerminator(']');
    if (contentEnd == nullptr) return Next::Continue;
    // CDATA is kept although character data is not: it may carry content
    // that later stages need verbatim.
    if (!open_.empty()) {
      XMLNode* section = new XMLCDATASection(std::string(content, contentEnd));
      section->line = line;
      section->file = file_;
      open_.back()->appendChild(section);
    }
    ++p_;
    return Next::Continue;
  }

  if (keyword.size() <= 7 && isPrefixOf(keyword, "DOCTYPE")) {
    // Only the one-word form is understood; identifiers or an internal subset
    // pass as character data.
    readName();
    if (p_ < end_ && *p_ == '>') ++p_;
  }
  return Next::Continue;
}

const char* XMLReader::findTerminator(char x) {
  while (true) {
    const char* candidate = findByte(p_, end_, x);
    if (candidate == end_) {
      p_ = end_;
      return nullptr;
    }
    p_ = candidate + 1;
    if (p_ < end_ && *p_ == x) {
      ++p_;
      if (p_ < end_ && *p_ == '>') return candidate;
    }
    // Resume at the current byte: a third `x` starts a new try, so `--->`
    // does not end a comment.
  }
}

XMLReader::Next XMLReader::startTag(uint32_t line) {
  const std::string_view name = readName();
  XMLElement* element = makeElement_(name);
  element->line = line;
  element->file = file_;
  // Attached to its parent only when it closes.
  open_.push_back(element);
  // Deferring the attributes to the end of the tag is invisible: on every
  // other way out (an error, the end of the buffer) the element is discarded.
  while (true) {
    if (p_ >= end_) return Next::Continue;
    const char c = *p_;
    if (c == '>') {
      flushAttributes();
      ++p_;
      return Next::Continue;
    }
    if (c == '/') {
      flushAttributes();
      return endTag();
    }
    if (!xmlchar::isAttributeStart(c)) {
      error_ = Error::BadTagName;
      errorLine_ = lineAt(p_);
      return Next::Stop;
    }
    const std::string_view attribute = readName();
    // Without `=` and a double-quoted value the attribute is dropped and the
    // byte at the cursor is looked at again.
    if (p_ >= end_ || *p_ != '=') continue;
    ++p_;
    skipSpace();
    if (p_ >= end_) return Next::Continue;
    if (*p_ != '"') continue;
    ++p_;
    const char* value = p_;
    const char* valueEnd = findByte(p_, end_, '"');
    p_ = valueEnd;
    if (p_ < end_) ++p_;
    skipSpace();
    // Most values hold no reference: they are taken from the buffer as they
    // are, and only the others are decoded into the tag's scratch text.
    PendingAttribute pending{attribute, std::string_view(value, static_cast<size_t>(valueEnd - value))};
    if (std::memchr(value, '&', pending.value.size()) != nullptr) {
      decodeEntities(value, valueEnd, decodedValue_);
      pending.decodedOffset = decodedValues_.size();
      pending.decodedLength = decodedValue_.size();
      decodedValues_ += decodedValue_;
    }
    pendingAttributes_.push_back(pending);
  }
}

void XMLReader::flushAttributes() {
  if (pendingAttributes_.empty()) return;
  attributeViews_.clear();
  for (const PendingAttribute& pending : pendingAttributes_) {
    const std::string_view value = pending.decodedOffset == PendingAttribute::kInBuffer
                                       ? pending.value
                                       : std::string_view(decodedValues_).substr(pending.decodedOffset,
                                                                                 pending.decodedLength);
    attributeViews_.push_back(XMLAttribute{pending.name, value, true});
  }
  open_.back()->setAttributes(attributeViews_);
  pendingAttributes_.clear();
  decodedValues_.clear();
}

XMLReader::Next XMLReader::endTag() {
  ++p_;  // the `/`
  if (p_ < end_ && *p_ == '>') {
    closeTop();
    return Next::Continue;
  }
  const std::string_view name = readName();
  if (open_.empty()) {
    // A stray end tag at top level closes nothing and is not checked.
    if (p_ < end_ && *p_ == '>') ++p_;
    return Next::Continue;
  }
  // The end tag only has to begin the element's name: `</reg>` closes
  // `<register>`.
  const std::string_view tagName = open_.back()->tagName();
  if (name.size() > tagName.size() || std::memcmp(name.data(), tagName.data(), name.size()) != 0) {
    error_ = Error::TagNameMismatch;
    errorLine_ = lineAt(p_);
    return Next::Stop;
  }
  if (p_ < end_ && *p_ == '>') closeTop();
  return Next::Continue;
}

void XMLReader::closeTop() {
  if (!open_.empty()) {
    XMLElement* element = open_.back();
    open_.pop_back();
    if (open_.empty()) {
      // A later top-level element replaces an earlier one as the root.
      delete candidateRoot_;
      candidateRoot_ = element;
    } else {
      open_.back()->appendChild(element);
    }
  }
  ++p_;  // the `>`
}

void XMLReader::skipText() {
  // Character data carries nothing a map needs.
  p_ = findByte(p_, end_, '<');
}

}  // namespace rw
