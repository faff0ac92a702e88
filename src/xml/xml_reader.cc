#include "xml/xml_reader.h"

#include <memory>

#include <algorithm>
#include <cstring>
#include <string>

#include "xml/xml_char_class.h"
#include "xml/xml_entities.h"

namespace rw {
namespace {

// Most searches end within a few bytes (the text between two tags, the end
// of a short value): those are looked at in line, and only a longer search
// pays for a call.
constexpr size_t kNearBytes = 16;

const char* findByte(const char* from, const char* end, char byte) {
  const char* const near = from + std::min(static_cast<size_t>(end - from), kNearBytes);
  for (; from < near; ++from) {
    if (*from == byte) return from;
  }
  if (from == end) return end;
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

XMLReader::XMLReader(ElementFactory makeElement, uint32_t file, ByteSource& source, size_t window)
    : makeElement_(makeElement),
      file_(file),
      source_(&source),
      window_(std::make_unique_for_overwrite<char[]>(window)),
      windowSize_(window),
      end_(window_.get()),
      atEnd_(false),
      p_(window_.get()),
      counted_(window_.get()) {}

XMLReader::~XMLReader() {
  // Elements still open were never attached to each other; each goes alone.
  for (XMLElement* element : open_) delete element;
  delete candidateRoot_;
}

void XMLReader::refill(size_t want) {
  // Nothing before the cursor is looked at again: its newlines are counted
  // now, and the counter's position moves with the bytes.
  if (counted_ < p_) lineAt(p_ - 1);
  const size_t countedOffset = static_cast<size_t>(counted_ - p_);
  const size_t kept = static_cast<size_t>(end_ - p_);
  char* window = window_.get();
  if (kept + want > windowSize_) {
    // Only a construct longer than the window gets here.
    const size_t size = std::max(windowSize_ * 2, kept + want);
    auto larger = std::make_unique_for_overwrite<char[]>(size);
    std::memcpy(larger.get(), p_, kept);
    window_ = std::move(larger);
    windowSize_ = size;
    window = window_.get();
  } else if (kept != 0 && p_ != window) {
    std::memmove(window, p_, kept);
  }
  p_ = window;
  end_ = window + kept;
  counted_ = window + countedOffset;
  char* const limit = window + windowSize_;
  while (!atEnd_ && static_cast<size_t>(end_ - p_) < want && end_ < limit) {
    char* const to = window + (end_ - window);
    const size_t got = source_->read(to, static_cast<size_t>(limit - to));
    if (got == 0) {
      atEnd_ = true;
      break;
    }
    // A NUL byte ends the document, as it would end a C string.
    const char* nul = static_cast<const char*>(std::memchr(to, '\0', got));
    end_ = nul != nullptr ? nul : to + got;
    if (nul != nullptr) atEnd_ = true;
  }
}

XMLReader::Result XMLReader::run() {
  // Told on the way out, also when an exception unwinds through here: the
  // elements still open are freed by this reader's destructor right after.
  struct EndNotice {
    ReadObserver* observer;
    bool complete = false;
    ~EndNotice() {
      if (observer != nullptr) observer->readEnded(complete);
    }
  } notice{observer_};
  Result result = readAll();
  notice.complete = true;
  return result;
}

XMLReader::Result XMLReader::readAll() {
  // The window is refilled between constructs once fewer than this many
  // bytes are left: most constructs are far shorter, so a construct rarely
  // has to be read again.
  const size_t lookahead = windowSize_ / 4;
  Result result;
  if (source_ != nullptr) {
    refill(lookahead);
    // As for a buffer read whole, counting starts one byte in.
    counted_ = p_ < end_ ? p_ + 1 : end_;
  }
  skipSpace();
  while (true) {
    if (!atEnd_ && static_cast<size_t>(end_ - p_) < lookahead) refill(lookahead);
    if (p_ >= end_ || *p_ != '<') break;
    const char* const start = p_;
    const uint32_t line = lineAt(p_);
    ++p_;
    const char c = p_ < end_ ? *p_ : '\0';
    Next next;
    if (cut()) {
      next = Next::NeedMore;
    } else if (c == '?') {
      next = processingInstruction();
    } else if (c == '!') {
      next = markupDeclaration(line);
    } else if (c == '/') {
      next = endTag();
    } else {
      next = startTag(line);
    }
    if (next == Next::NeedMore) {
      p_ = start;
      refill(static_cast<size_t>(end_ - start) * 2);
      continue;
    }
    if (next == Next::Stop) {
      result.error = error_;
      result.errorLine = errorLine_;
      break;
    }
    if (next == Next::Abandon) {
      result.census = census_;
      return result;
    }
    skipText();
  }
  result.root = candidateRoot_;
  result.census = census_;
  candidateRoot_ = nullptr;
  return result;
}

void XMLReader::skipSpace() {
  while (true) {
    while (p_ < end_ && xmlchar::isSpace(*p_)) ++p_;
    if (!cut()) return;
    refill(windowSize_ / 4);
  }
}

std::string_view XMLReader::readName() {
  const char* start = p_;
  while (p_ < end_ && xmlchar::isNameChar(*p_)) ++p_;
  const std::string_view name(start, static_cast<size_t>(p_ - start));
  // Spaces after a name are skipped within the window: a name cut off at its
  // end is read again with the whole construct anyway.
  while (p_ < end_ && xmlchar::isSpace(*p_)) ++p_;
  return name;
}

uint32_t XMLReader::lineAt(const char* position) {
  // The counter includes a newline under the cursor itself: moving onto it
  // already counted it.
  const char* stop = position < end_ ? position + 1 : end_;
  if (static_cast<size_t>(stop - counted_) <= 4 * kNearBytes) {
    // Counted in locals, a loop the compiler can run over many bytes at once.
    uint32_t lines = 0;
    for (const char* q = counted_; q < stop; ++q) lines += *q == '\n' ? 1 : 0;
    counted_ = stop;
    line_ += lines;
    return line_;
  }
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
  if (cut()) return Next::NeedMore;
  // `xml` and anything that begins it (down to the empty name) is taken for
  // the XML declaration. Any other instruction is not consumed: its content
  // is read as character data.
  if (target.size() <= 3 && isPrefixOf(target, "xml")) return declaration();
  return Next::Continue;
}

XMLReader::Next XMLReader::declaration() {
  std::string_view name = readName();
  if (cut()) return Next::NeedMore;
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
      if (cut()) return Next::NeedMore;
      continue;
    }
    ++p_;
    while (p_ < end_ && xmlchar::isSpace(*p_)) ++p_;
    if (cut()) return Next::NeedMore;
    // An unquoted value gives up on the whole document: no root, no error.
    if (p_ >= end_ || *p_ != '"') return Next::Abandon;
    ++p_;
    p_ = findByte(p_, end_, '"');
    if (cut()) return Next::NeedMore;
    if (p_ < end_) ++p_;
    while (p_ < end_ && xmlchar::isSpace(*p_)) ++p_;
    name = readName();
    if (cut()) return Next::NeedMore;
  }
  if (p_ < end_) {
    ++p_;
    if (cut()) return Next::NeedMore;
    if (p_ < end_ && *p_ == '>') ++p_;
  }
  return Next::Continue;
}

XMLReader::Next XMLReader::markupDeclaration(uint32_t line) {
  ++p_;  // the `!`
  if (cut()) return Next::NeedMore;
  if (p_ < end_ && *p_ == '-') {
    ++p_;
    if (cut()) return Next::NeedMore;
    if (p_ >= end_ || *p_ != '-') return Next::Continue;
    ++p_;
    // A comment leaves nothing in the tree.
    if (findTerminator('-') != nullptr) {
      ++p_;
    } else if (!atEnd_) {
      return Next::NeedMore;
    }
    return Next::Continue;
  }

  const std::string_view keyword = readName();
  if (cut()) return Next::NeedMore;
  if (keyword.empty()) {
    // `<![CDATA[`: step over the `[`, the keyword (unchecked) and the second `[`.
    if (p_ < end_) ++p_;
    readName();
    if (cut()) return Next::NeedMore;
    if (p_ < end_) ++p_;
    const char* content = p_;
    const char* contentEnd = findTerminator(']');
    if (contentEnd == nullptr) return atEnd_ ? Next::Continue : Next::NeedMore;
    // CDATA is kept although character data is not: it may carry content
    // that later stages need verbatim.
    if (!open_.empty()) {
      XMLNode* section = new XMLCDATASection(std::string(content, contentEnd));
      section->line = line;
      section->file = file_;
      open_.back()->appendChild(section);
      if (observer_ != nullptr) observer_->sectionAdded(*open_.back());
    }
    ++p_;
    return Next::Continue;
  }

  if (keyword.size() <= 7 && isPrefixOf(keyword, "DOCTYPE")) {
    // Only the one-word form is understood; identifiers or an internal subset
    // pass as character data.
    readName();
    if (cut()) return Next::NeedMore;
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
  if (cut()) return Next::NeedMore;
  attributes_.clear();
  decoded_.clear();
  decodedValues_.clear();
  dollarInTag_ = false;
  // The element is made once its tag is complete. On every other way out
  // (an error, the end of the input) it would have been discarded unseen,
  // so it is not made at all.
  while (true) {
    if (p_ >= end_) return atEnd_ ? Next::Continue : Next::NeedMore;
    const char c = *p_;
    if (c == '>') {
      openElement(name, line);
      ++p_;
      return Next::Continue;
    }
    if (c == '/') {
      if (!atEnd_ && !endTagInWindow()) return Next::NeedMore;
      openElement(name, line);
      return endTag();
    }
    if (!xmlchar::isAttributeStart(c)) {
      error_ = Error::BadTagName;
      errorLine_ = lineAt(p_);
      return Next::Stop;
    }
    const std::string_view attribute = readName();
    if (cut()) return Next::NeedMore;
    // Without `=` and a double-quoted value the attribute is dropped and the
    // byte at the cursor is looked at again.
    if (p_ >= end_ || *p_ != '=') continue;
    ++p_;
    while (p_ < end_ && xmlchar::isSpace(*p_)) ++p_;
    if (cut()) return Next::NeedMore;
    if (p_ >= end_) return Next::Continue;
    if (*p_ != '"') continue;
    ++p_;
    const char* value = p_;
    // Values are short: one pass finds their end and whether they hold a
    // reference or a '$', where a search for each would cost three calls.
    bool reference = false;
    bool dollar = false;
    const char* valueEnd = p_;
    for (;;) {
      while (valueEnd < end_ && !xmlchar::is(*valueEnd, xmlchar::kValueStop)) ++valueEnd;
      if (valueEnd >= end_ || *valueEnd == '"') break;
      (*valueEnd == '&' ? reference : dollar) = true;
      ++valueEnd;
    }
    p_ = valueEnd;
    if (p_ < end_) ++p_;
    while (p_ < end_ && xmlchar::isSpace(*p_)) ++p_;
    // Most values hold no reference: they are taken from the bytes as they
    // are, and only the others are decoded into the tag's scratch text.
    // Set member by member in place: a record built aside and copied in
    // costs more than the whole scan of a short value.
    XMLAttribute& added = attributes_.emplace_back();
    added.name = attribute;
    added.value = std::string_view(value, static_cast<size_t>(valueEnd - value));
    if (reference) {
      decodeEntities(value, valueEnd, decodedValue_);
      decoded_.push_back({attributes_.size() - 1, decodedValues_.size(), decodedValue_.size()});
      decodedValues_ += decodedValue_;
      dollar = decodedValue_.find('$') != std::string::npos;
    }
    if (dollar) dollarInTag_ = true;
  }
}

bool XMLReader::endTagInWindow() const {
  // endTag looks at the byte after the `/`, then at a name, the spaces after
  // it and the byte that ends them.
  const char* q = p_ + 1;
  if (q >= end_) return false;
  if (*q == '>') return true;
  while (q < end_ && xmlchar::isNameChar(*q)) ++q;
  while (q < end_ && xmlchar::isSpace(*q)) ++q;
  return q < end_;
}

void XMLReader::openElement(std::string_view name, uint32_t line) {
  for (const DecodedValue& value : decoded_) {
    attributes_[value.attribute].value = std::string_view(decodedValues_).substr(value.offset, value.length);
  }
  if (dollarInTag_) census_.dollarInValue = true;
  std::unique_ptr<XMLElement> made(makeElement_.make(name, attributes_));
  const size_t word = made->tagWord();
  if (word < elementtext::kWordCount) census_.wordTags |= uint64_t{1} << word;
  made->line = line;
  made->file = file_;
  XMLElement* const parent = open_.empty() ? nullptr : open_.back();
  // Attached to its parent only when it closes; owned by open_ from here,
  // before the observer (which may run out of memory) hears of it.
  open_.push_back(made.get());
  XMLElement& element = *made.release();
  if (observer_ != nullptr) observer_->elementMade(element, parent, census_);
}

XMLReader::Next XMLReader::endTag() {
  ++p_;  // the `/`
  if (cut()) return Next::NeedMore;
  if (p_ < end_ && *p_ == '>') {
    closeTop();
    return Next::Continue;
  }
  const std::string_view name = readName();
  if (cut()) return Next::NeedMore;
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
    // Told once it hangs in the tree: its parent link is set.
    if (observer_ != nullptr) observer_->elementClosed(*element);
  }
  ++p_;  // the `>`
}

void XMLReader::skipText() {
  // Character data carries nothing a map needs.
  while (true) {
    p_ = findByte(p_, end_, '<');
    if (!cut()) return;
    refill(windowSize_ / 4);
  }
}

}  // namespace rw
