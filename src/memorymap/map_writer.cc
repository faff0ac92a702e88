#include "memorymap/map_writer.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "expr/integer_literal.h"

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

// An attribute value that reads back as exactly these bytes: the reader
// decodes the entities, and the preprocessor turns "$$" into "$" again.
// Tabs and line ends are written as references so that no XML reader
// normalises them away. A NUL byte, which no map can hold, ends the value.
void appendAttributeValue(std::string& out, std::string_view value) {
  for (const char c : value) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '\t': out += "&#9;"; break;
      case '\n': out += "&#10;"; break;
      case '\r': out += "&#13;"; break;
      case '\0': out += "&#0;"; break;
      case '$': out += "$$"; break;
      default: out += c;
    }
  }
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

  std::string out_;
  std::string start_;
  std::vector<Open> open_;
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
      out_ += top.element->tagName();
      out_ += ">\n";
      open_.pop_back();
      continue;
    }
    top.next = node->nextSibling;
    const MemoryMapElement* element = asMemoryMapElement(node);
    if (element == nullptr) {
      indent(out_, open_.size());
      out_ += "<![CDATA[";
      out_ += static_cast<const XMLCDATASection*>(node)->text();
      out_ += "]]>\n";
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
  out_ += element.tagName();
  // An element without a tag name would write "</>", an end tag.
  if (element.tagName().empty()) out_ += ' ';
  attributes(element, placed);
  if (element.firstChild == nullptr) {
    out_ += "/>\n";
    return;
  }
  out_ += ">\n";
  open_.push_back(Open{&element, element.firstChild, placed});
}

void MapWriter::attributes(const MemoryMapElement& element, bool placed) {
  for (const XMLAttribute& attribute : element.attributes()) {
    // An attribute without a value (inherit_attributes copies one the
    // include lacked) cannot be written. Only for start and size does it
    // differ from no attribute at all: the element is then placed at 0 with
    // size 0, which an empty value gives too.
    if (!attribute.hasValue && attribute.name != "start" && attribute.name != "size") continue;
    std::string_view value = attribute.value;
    if (attribute.name == "start" && placed && !value.empty() && placedStart(element, start_)) value = start_;
    out_ += ' ';
    out_ += attribute.name;
    out_ += "=\"";
    appendAttributeValue(out_, value);
    out_ += '"';
  }
}

}  // namespace

std::string writeExpandedMap(const MemoryMapElement* root) { return MapWriter().write(root); }

}  // namespace rw
