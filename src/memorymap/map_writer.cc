#include "memorymap/map_writer.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "expr/integer_literal.h"
#include "xml/utf8_text.h"

namespace rw {

namespace {

// The tags the preprocessor acts on. One still in the loaded tree is one it
// could not carry out (an include of a missing file, an if without its one
// condition), and an Import still there is one that failed: the header looks
// neither at them nor inside them, and written out they would be tried again
// from the new file's folder. They are left out, with their content.
constexpr std::array<std::string_view, 13> kLeftOutTags{
    "if", "ifnot", "ifex", "ifdef", "ifndef", "switch", "define", "include", "xmldef", "xmlput", "for", "foreach", "Import"};

// Indentation shows the structure of real maps; a map nested a million
// levels deep must not make the file quadratic in its depth.
constexpr size_t kMaxIndentLevels = 32;

bool isLeftOut(const MemoryMapElement& element) {
  return std::find(kLeftOutTags.begin(), kLeftOutTags.end(), element.tagName()) != kLeftOutTags.end();
}

void indent(std::string& out, size_t depth) { out.append(2 * std::min(depth, kMaxIndentLevels), ' '); }

// A control character that XML 1.0 cannot hold, not even as a reference.
bool isForbiddenControl(char32_t c) { return c < 0x20 && c != '\t' && c != '\n' && c != '\r'; }

// Map text is read as everywhere (utf8_text.h): valid UTF-8 as it stands,
// else a byte at a time. Calls `whole(at, length)` for a character that XML
// can hold as it stands, `byte(b)` for each byte that is no part of one: a
// control character, a byte that begins no valid UTF-8, and the bytes of
// U+FFFE and U+FFFF, which are valid UTF-8 but no XML characters.
template <typename Whole, typename Byte>
void forEachCharacter(std::string_view text, Whole whole, Byte byte) {
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      if (isForbiddenControl(lead)) byte(lead);
      else whole(i, 1);
      ++i;
      continue;
    }
    const size_t at = i;
    const char32_t c = nextCharacter(text, i);
    if (i - at > 1 && c != 0xFFFE && c != 0xFFFF) {
      whole(at, i - at);
      continue;
    }
    for (size_t k = at; k < i; ++k) byte(static_cast<unsigned char>(text[k]));
  }
}

// The character XML holds in place of a byte it cannot: a byte of 0x80 or
// above as its Latin-1 character (0xE9 as "é"), a control character as the
// character 0x100 above it (0x01 as "ā"). The map reader keeps the low eight
// bits of a character reference, so written as a reference it reads back as
// the byte itself.
char32_t standIn(unsigned char byte) { return byte >= 0x80 ? byte : 0x100 + byte; }

// An attribute value that reads back as exactly these bytes: the reader
// decodes the entities, and the preprocessor turns "$$" into "$" again.
// Tabs and line ends are written as references so that no XML reader
// normalises them away; a byte that XML cannot hold, as the reference to its
// stand-in (a NUL, which ends a value on reading, as &#x100;).
void appendAttributeValue(std::string& out, std::string_view value) {
  forEachCharacter(
      value,
      [&](size_t at, size_t length) {
        if (length > 1) {
          out.append(value, at, length);
          return;
        }
        switch (const char c = value[at]) {
          case '&': out += "&amp;"; break;
          case '"': out += "&quot;"; break;
          case '<': out += "&lt;"; break;
          case '>': out += "&gt;"; break;
          case '\t': out += "&#9;"; break;
          case '\n': out += "&#10;"; break;
          case '\r': out += "&#13;"; break;
          case '$': out += "$$"; break;
          default: out += c;
        }
      },
      [&](unsigned char byte) {
        out += "&#x";
        appendHexDigits(out, standIn(byte), byte >= 0x80 ? 2 : 3);
        out += ';';
      });
}

// A CDATA section, whose content the header never reads: only that a
// section is there matters (the loader stops placing at it). XML ends a
// section at the first "]]>", the map reader at the first "]]>" that ends an
// even run of "]"; they agree where a section holds no "]]>" and does not
// end in "]". So a run of "]" that ends the content, or of two or more
// before ">", ends its section and is written after it as character data,
// which XML joins to the sections around it and the map reader passes over.
// A byte XML cannot hold is written as its stand-in character, as a section
// has no references.
void appendSection(std::string& out, std::string_view content) {
  out += "<![CDATA[";
  size_t from = 0;
  for (size_t run = content.find(']'); run != std::string_view::npos; run = content.find(']', run)) {
    const size_t end = std::min(content.find_first_not_of(']', run), content.size());
    if (end < content.size() && (content[end] != '>' || end - run == 1)) {
      run = end;
      continue;
    }
    forEachCharacter(
        content.substr(from, run - from), [&](size_t at, size_t length) { out.append(content, from + at, length); },
        [&](unsigned char byte) { appendUtf8(out, standIn(byte)); });
    out += "]]>";
    out.append(end - run, ']');
    if (end == content.size()) return;
    out += "<![CDATA[";
    from = run = end;
  }
  forEachCharacter(
      content.substr(from), [&](size_t at, size_t length) { out.append(content, from + at, length); },
      [&](unsigned char byte) { appendUtf8(out, standIn(byte)); });
  out += "]]>";
}

// A tag or attribute name as XML can take it. The map reader takes names of
// ASCII letters, digits and "-", ":" and "_"; XML takes the same, but not
// an empty one nor one that begins with a digit or "-". Those get an "_" in
// front, which begins no name the loader or the preprocessor acts on.
bool needsPrefix(std::string_view name) {
  return name.empty() || (name[0] >= '0' && name[0] <= '9') || name[0] == '-';
}

void appendTagName(std::string& out, std::string_view name) {
  if (needsPrefix(name)) out += '_';
  out += name;
}

// The start the loader gave a placed element, where it is a place: the
// absolute address of a register or container, the bit offset of a bit
// field. Nothing for other elements, whose start text is a value (a vector's
// number, an enumeration's value) and goes out as written.
bool placedStart(const MemoryMapElement& element, std::string& text) {
  text.clear();
  switch (element.kind()) {
    case ElementKind::MemorySegment:
    case ElementKind::ProgramSection:
    case ElementKind::RegisterGroup:
    case ElementKind::Register:
      appendHexLiteral(text, element.start());
      return true;
    case ElementKind::BitField:
      text = std::to_string(element.start());
      return true;
    default:
      return false;
  }
}

class MapWriter {
public:
  std::string write(const MemoryMapElement* root);

private:
  // An element whose children are being written.
  struct Open {
    const MemoryMapElement* element;
    const XMLNode* next;
    // Whether the loader placed the children still to come: it stops
    // placing a chain of siblings at a CDATA section, and elements it did
    // not place keep their attributes as written.
    bool placed;
  };

  void openTag(const MemoryMapElement& element, bool placed);
  void attributes(const MemoryMapElement& element, bool placed);
  void attributeName(std::string_view name);

  std::string out_;
  std::string start_;
  std::vector<Open> open_;
  // The attribute names of the element being written, when one of them
  // needs a new name that must differ from all of them.
  std::unordered_set<std::string_view> taken_;
  std::string renamed_;
};

std::string MapWriter::write(const MemoryMapElement* root) {
  out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  if (root == nullptr || isLeftOut(*root)) {
    out_ += "<Root/>\n";
    return std::move(out_);
  }
  openTag(*root, true);
  while (!open_.empty()) {
    Open& top = open_.back();
    const XMLNode* node = top.next;
    if (node == nullptr) {
      indent(out_, open_.size() - 1);
      out_ += "</";
      appendTagName(out_, top.element->tagName());
      out_ += ">\n";
      open_.pop_back();
      continue;
    }
    top.next = node->nextSibling;
    const MemoryMapElement* element = asMemoryMapElement(node);
    if (element == nullptr) {
      indent(out_, open_.size());
      appendSection(out_, static_cast<const XMLCDATASection*>(node)->text());
      out_ += '\n';
      top.placed = false;
      continue;
    }
    if (!isLeftOut(*element)) openTag(*element, top.placed);
  }
  return std::move(out_);
}

void MapWriter::openTag(const MemoryMapElement& element, bool placed) {
  indent(out_, open_.size());
  out_ += '<';
  appendTagName(out_, element.tagName());
  attributes(element, placed);
  if (element.firstChild == nullptr) {
    out_ += "/>\n";
    return;
  }
  out_ += ">\n";
  open_.push_back(Open{&element, element.firstChild, placed});
}

void MapWriter::attributes(const MemoryMapElement& element, bool placed) {
  const XMLAttributes all = element.attributes();
  // Clearing costs the set's bucket count, which one element with many
  // attributes may have made large.
  if (!taken_.empty()) taken_.clear();
  for (const XMLAttribute& attribute : all) {
    if (!needsPrefix(attribute.name)) continue;
    for (const XMLAttribute& each : all) taken_.insert(each.name);
    break;
  }
  for (const XMLAttribute& attribute : all) {
    // An attribute without a value (inherit_attributes copies one the
    // include lacked) cannot be written. Only for start and size does it
    // differ from no attribute at all: the element is then placed at 0 with
    // size 0, which an empty value gives too.
    if (!attribute.hasValue && attribute.name != "start" && attribute.name != "size") continue;
    std::string_view value = attribute.value;
    if (attribute.name == "start" && placed && !value.empty() && placedStart(element, start_)) value = start_;
    out_ += ' ';
    attributeName(attribute.name);
    out_ += "=\"";
    appendAttributeValue(out_, value);
    out_ += '"';
  }
}

// A name that needs a prefix gets as many "_" as make it differ from the
// element's other names, so that no attribute is written twice.
void MapWriter::attributeName(std::string_view name) {
  if (!needsPrefix(name)) {
    out_ += name;
    return;
  }
  renamed_.assign(1, '_').append(name);
  while (taken_.contains(renamed_)) renamed_.insert(0, 1, '_');
  out_ += renamed_;
}

}  // namespace

std::string writeExpandedMap(const MemoryMapElement* root) { return MapWriter().write(root); }

}  // namespace rw
