#include "html/html_writer.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "expr/integer_literal.h"
#include "expr/whole_number.h"
#include "header/header_model.h"
#include "html/html_assets.h"
#include "html/html_data.h"
#include "html/html_model.h"
#include "html/html_packing.h"
#include "html/html_text.h"

namespace rw {

namespace {

uint64_t highestBit(const MemoryMapElement& field) { return uint64_t{field.start()} + field.size() - 1; }

class PageWriter {
public:
  PageWriter(std::string& out, const PageModel& model, const HeaderOptions& options)
      : out_(out), model_(model), options_(options), names_(options) {}

  void page(const MemoryMapElement* root, const std::string& targetName, size_t markupRegisterLimit);

private:
  void navigation(bool markup);
  void segmentSection(const PageSegment& segment);
  void blockSection(const PageBlock& block);
  void registerSection(const PageRegister& reg);
  void picture(const PageRegister& reg);
  void fieldTable(const PageRegister& reg);
  void fieldDefinitions(const PageRegister& reg, const PageField& field);
  void enumeratedValues(const MemoryMapElement& field, size_t columns);
  void vectorSection();

  void text(std::string_view value) { appendHtml(out_, value); }
  void hex(uint64_t value) { appendHexLiteral(out_, value); }
  void decimal(uint64_t value) { out_ += std::to_string(value); }
  // "13", or "15:12" for a field of several bits: highest bit first, as in
  // the picture and the reference manuals.
  void bitRange(const MemoryMapElement& field) {
    if (field.size() != 1) {
      decimal(highestBit(field));
      out_ += ':';
    }
    decimal(field.start());
  }
  void link(std::string_view id) {
    out_ += "<a href=\"#";
    appendFragment(out_, id);
    out_ += "\">";
  }
  // One definition name, the only use of <code> in the page.
  void definition(DefinitionKind kind, std::string_view stem) {
    out_ += "<code>";
    text(names_.name(kind, stem));
    out_ += "</code> ";
  }
  // A term and its description in a register's or group's property list.
  void property(std::string_view term) {
    out_ += "<dt>";
    out_ += term;
    out_ += "<dd>";
  }
  // A property the map gives as text, where it has one.
  void optionalProperty(const MemoryMapElement& element, std::string_view term, std::string_view attribute) {
    if (const std::optional<std::string_view> value = element.getAttribute(attribute); value && !value->empty()) {
      property(term);
      text(*value);
    }
  }
  void description(const MemoryMapElement& element) {
    if (const std::optional<std::string_view> value = element.getAttribute("description"); value && !value->empty()) {
      out_ += "<p class=\"rw-desc\">";
      text(*value);
      out_ += "</p>\n";
    }
  }

  std::string& out_;
  const PageModel& model_;
  const HeaderOptions& options_;
  const DefinitionNames names_;
};

void PageWriter::page(const MemoryMapElement* root, const std::string& targetName, size_t markupRegisterLimit) {
  const std::string_view mapName = root != nullptr ? textOf(root->name()) : std::string_view();
  const std::string_view name = !targetName.empty() ? std::string_view(targetName) : mapName;
  const bool markup = model_.registers.size() <= markupRegisterLimit;
  out_ += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
  text(name);
  out_ += name.empty() ? "Registers" : " registers";
  out_ += "</title>\n<style>\n";
  out_ += kPageStyle;
  out_ += "</style>\n</head>\n<body>\n<a class=\"rw-skip\" href=\"#rw-main\">Skip to the registers</a>\n<header>\n<h1>";
  text(name);
  out_ += name.empty() ? "Registers" : " registers";
  out_ += "</h1>\n<p>";
  decimal(model_.registers.size());
  out_ += " registers in ";
  decimal(model_.blocks.size());
  out_ += " groups, ";
  decimal(model_.fields.size());
  out_ += " bit fields, ";
  decimal(model_.vectors.size());
  out_ += " vectors; names as the header defines them.</p>\n"
          "<div role=\"search\" id=\"rw-finder\" hidden><label for=\"rw-search\">Search</label> "
          "<input id=\"rw-search\" type=\"search\" autocomplete=\"off\" spellcheck=\"false\" "
          "placeholder=\"group, register or field name, or 0x address\" aria-controls=\"rw-results\">\n"
          "<ol id=\"rw-results\" aria-live=\"polite\"></ol></div>\n</header>\n<div class=\"rw-layout\">\n";
  navigation(markup);
  // With scripts on, a browser keeps a <noscript> element's content as
  // text it does not lay out; the script builds only what is in view.
  out_ += "<main id=\"rw-main\" tabindex=\"-1\">\n<noscript>";
  if (markup) {
    out_ += '\n';
    for (const PageSegment& segment : model_.segments) segmentSection(segment);
    vectorSection();
  } else {
    out_ += "<p class=\"rw-note\">This map has more than ";
    decimal(markupRegisterLimit);
    out_ += " registers: it is shown with JavaScript only.</p>";
  }
  out_ += "</noscript>\n</main>\n</div>\n<script type=\"application/x-gzip-base64url\" id=\"rw-data\">";
  std::string data;
  appendPageData(data, model_, options_);
  appendPacked(out_, data);
  out_ += "</script>\n<script>\n";
  out_ += kPageScript;
  out_ += "</script>\n</body>\n</html>\n";
}

// Segments open, groups closed; the script lists a group's registers when
// it opens, and without a script the list waits in a <noscript>.
void PageWriter::navigation(bool markup) {
  out_ += "<nav id=\"rw-nav\" aria-label=\"Registers\">\n";
  for (const PageSegment& segment : model_.segments) {
    out_ += "<details open><summary>";
    text(segment.label);
    out_ += "</summary>\n";
    for (const size_t b : segment.blocks) {
      const PageBlock& block = model_.blocks[b];
      out_ += "<details class=\"rw-group\" data-id=\"";
      text(block.id);
      out_ += "\"><summary>";
      text(block.label);
      out_ += "</summary>";
      if (markup) {
        out_ += "<noscript><ul>";
        for (const size_t r : block.registers) {
          out_ += "<li>";
          link(model_.registers[r].id);
          text(model_.registers[r].name);
          out_ += "</a>";
        }
        out_ += "</ul></noscript>";
      }
      out_ += "</details>\n";
    }
    out_ += "</details>\n";
  }
  if (!model_.vectors.empty()) out_ += "<p><a href=\"#rw-vectors\">Interrupt vectors</a></p>\n";
  out_ += "</nav>\n";
}

void PageWriter::segmentSection(const PageSegment& segment) {
  out_ += "<section class=\"rw-segment\" id=\"";
  text(segment.id);
  out_ += "\">\n<h2>";
  text(segment.label);
  out_ += "</h2>\n";
  if (segment.element != nullptr) {
    out_ += "<dl class=\"rw-props\">";
    if (segment.element->hasStart()) {
      property("Start");
      hex(segment.element->start());
    }
    if (segment.element->hasSize()) {
      property("Size");
      hex(segment.element->size());
    }
    out_ += "</dl>\n";
    description(*segment.element);
  }
  for (const size_t b : segment.blocks) blockSection(model_.blocks[b]);
  out_ += "</section>\n";
}

void PageWriter::blockSection(const PageBlock& block) {
  out_ += "<section class=\"rw-block\" id=\"";
  text(block.id);
  out_ += "\">\n<h3>";
  text(block.label);
  out_ += "</h3>\n";
  if (const MemoryMapElement* element = block.element) {
    out_ += "<dl class=\"rw-props\">";
    if (element->hasStart()) {
      property("Base");
      hex(element->start());
    }
    if (block.definesBase) {
      property("Definition");
      definition(DefinitionKind::GroupBase, textOf(element->name()));
    }
    if (element->hasSize()) {
      property("Size");
      hex(element->size());
    }
    property("Registers");
    decimal(block.registers.size());
    out_ += "</dl>\n";
    description(*element);
  }
  for (const size_t r : block.registers) registerSection(model_.registers[r]);
  out_ += "</section>\n";
}

void PageWriter::registerSection(const PageRegister& reg) {
  const MemoryMapElement& element = *reg.element;
  out_ += "<section class=\"rw-reg\" id=\"";
  text(reg.id);
  out_ += "\">\n<h4>";
  text(reg.name);
  out_ += "</h4>\n<dl class=\"rw-props\">";
  property("Definition");
  if (!reg.defined) {
    out_ += "none: an earlier register has this name";
  } else {
    forEachRegisterDefinition(reg.name, reg.alias, false, [&](DefinitionKind kind, std::string_view stem) {
      definition(kind, stem);
    });
  }
  property("Address");
  hex(element.start());
  if (reg.hasOffset) {
    property("Offset");
    hex(reg.offset);
    if (reg.defined && reg.definesOffset) {
      out_ += ' ';
      forEachRegisterDefinition(reg.name, reg.alias, true, [&](DefinitionKind kind, std::string_view stem) {
        if (kind == DefinitionKind::RegisterOffset || kind == DefinitionKind::AliasOffset) definition(kind, stem);
      });
    }
  }
  property("Size");
  if (element.hasSize()) {
    decimal(element.size());
    out_ += element.size() == 1 ? " byte" : " bytes";
  } else {
    out_ += "not given";
  }
  optionalProperty(element, "Access", "access");
  // As written, but only when the whole of it is a number: "0x12junk" is
  // no reset value of 0x12, and the SVD file leaves it out too.
  if (const std::optional<std::string_view> reset = element.getAttribute("reset_value"); reset && wholeNumber(*reset)) {
    property("Reset value");
    text(*reset);
  }
  out_ += "</dl>\n";
  description(element);
  if (reg.fieldCount != 0) {
    picture(reg);
    fieldTable(reg);
  }
  out_ += "</section>\n";
}

// One column per bit, the highest on the left, numbered in the first row;
// each field spans the cells of its bits. Fields that overlap an earlier one
// go to a row below; bits past the register's width are not drawn.
void PageWriter::picture(const PageRegister& reg) {
  const uint32_t width = pictureWidth(*reg.element);
  constexpr size_t kFree = ~size_t{0};
  const std::vector<uint8_t> rowOf = pictureRows(model_, reg);
  std::vector<std::array<size_t, 64>> rows;
  for (size_t i = 0; i < reg.fieldCount; ++i) {
    if (rowOf[i] == kNotDrawn) continue;
    if (rowOf[i] == rows.size()) {
      rows.emplace_back();
      rows.back().fill(kFree);
    }
    const MemoryMapElement& field = *model_.fields[reg.firstField + i].element;
    const uint32_t high = static_cast<uint32_t>(std::min<uint64_t>(highestBit(field), width - 1));
    std::fill(rows[rowOf[i]].begin() + field.start(), rows[rowOf[i]].begin() + high + 1, reg.firstField + i);
  }

  out_ += "<table class=\"rw-pic\"><caption>Bits of ";
  text(reg.name);
  out_ += "</caption><tr>";
  for (uint32_t bit = width; bit-- > 0;) {
    out_ += "<th>";
    decimal(bit);
  }
  // No line breaks between the rows: with the end tags left out, one would
  // become part of the last cell's text.
  for (const std::array<size_t, 64>& row : rows) {
    out_ += "<tr>";
    for (uint32_t bit = width; bit-- > 0;) {
      const size_t owner = row[bit];
      if (owner == kFree) {
        out_ += "<td>";
        continue;
      }
      const PageField& field = model_.fields[owner];
      uint32_t low = bit;
      while (low > 0 && row[low - 1] == owner) --low;
      out_ += "<td";
      if (bit != low) {
        out_ += " colspan=";
        decimal(bit - low + 1);
      }
      out_ += " tabindex=0 data-tip=\"";
      text(textOf(field.element->name()));
      out_ += "&#10;bits ";
      bitRange(*field.element);
      out_ += "&#10;mask ";
      hex(field.mask);
      out_ += "\">";
      text(textOf(field.element->name()));
      bit = low;
    }
  }
  out_ += "</table>\n";
}

void PageWriter::fieldTable(const PageRegister& reg) {
  bool anyAccess = false;
  bool anyDescription = false;
  for (size_t i = reg.firstField; i < reg.firstField + reg.fieldCount; ++i) {
    const MemoryMapElement& field = *model_.fields[i].element;
    anyAccess = anyAccess || !textOf(field.getAttribute("access")).empty();
    anyDescription = anyDescription || !textOf(field.getAttribute("description")).empty();
  }
  out_ += "<table class=\"rw-fields\"><thead><tr><th>Field<th>Bits<th>Mask";
  if (anyAccess) out_ += "<th>Access";
  out_ += "<th>Definitions";
  if (anyDescription) out_ += "<th>Description";
  out_ += "</thead><tbody>";
  for (size_t i = reg.firstField; i < reg.firstField + reg.fieldCount; ++i) {
    const PageField& field = model_.fields[i];
    const MemoryMapElement& element = *field.element;
    out_ += "\n<tr id=\"";
    text(field.id);
    out_ += "\"><th>";
    text(textOf(element.name()));
    out_ += "<td>";
    bitRange(element);
    out_ += "<td>";
    hex(field.mask);
    if (anyAccess) {
      out_ += "<td>";
      text(textOf(element.getAttribute("access")));
    }
    out_ += "<td>";
    fieldDefinitions(reg, field);
    if (anyDescription) {
      out_ += "<td>";
      text(textOf(element.getAttribute("description")));
    }
    enumeratedValues(element, 4 + (anyAccess ? 1 : 0) + (anyDescription ? 1 : 0));
  }
  out_ += "</tbody></table>\n";
}

// A field's enumerated values, in a row of their own under it: each value
// as the map writes it (don't-care bits stay "x"), its name, description.
void PageWriter::enumeratedValues(const MemoryMapElement& field, size_t columns) {
  bool any = false;
  bool anyDescription = false;
  for (const XMLNode* child = field.firstChild; child != nullptr; child = child->nextSibling) {
    const MemoryMapElement* item = asMemoryMapElement(child);
    if (item == nullptr || item->kind() != ElementKind::Enum) continue;
    any = true;
    anyDescription = anyDescription || !textOf(item->getAttribute("description")).empty();
  }
  if (!any) return;
  out_ += "\n<tr class=\"rw-values\"><td colspan=";
  decimal(columns);
  out_ += "><table class=\"rw-fields rw-enum\"><thead><tr><th>Value<th>Name";
  if (anyDescription) out_ += "<th>Description";
  out_ += "</thead><tbody>";
  for (const XMLNode* child = field.firstChild; child != nullptr; child = child->nextSibling) {
    const MemoryMapElement* item = asMemoryMapElement(child);
    if (item == nullptr || item->kind() != ElementKind::Enum) continue;
    out_ += "<tr><td><code>";
    text(item->hasAttribute("is_default") ? std::string_view("default") : textOf(item->startText()));
    out_ += "</code><td>";
    text(textOf(item->name()));
    if (anyDescription) {
      out_ += "<td>";
      text(textOf(item->getAttribute("description")));
    }
  }
  out_ += "</tbody></table>";
}

// In the header's order: mask, single-bit value and bit-band alias, bit
// number, each followed by its alias through the register's "aka".
void PageWriter::fieldDefinitions(const PageRegister& reg, const PageField& field) {
  if (field.name.empty()) {
    out_ += "none: left out by the options";
    return;
  }
  if (!field.defined) {
    out_ += "none: an earlier field has this name";
    return;
  }
  forEachFieldDefinition(field.name, field.alias, field.element->size() == 1, reg.bitBand,
                         [&](DefinitionKind kind, std::string_view stem) { definition(kind, stem); });
}

void PageWriter::vectorSection() {
  if (model_.vectors.empty()) return;
  out_ += "<section id=\"rw-vectors\">\n<h2>Interrupt vectors</h2>\n<table class=\"rw-fields\"><thead><tr>"
          "<th>Definition<th>Number</thead><tbody>";
  for (const MemoryMapElement* vector : model_.vectors) {
    // Vectors are defined as the map spells them: no prefix, no repair.
    out_ += "\n<tr><td><code>";
    text(textOf(vector->name()));
    out_ += "</code><td>";
    text(textOf(vector->startText()));
  }
  out_ += "</tbody></table>\n</section>\n";
}

}  // namespace

std::string writeHtml(const MemoryMapElement* root, const HeaderOptions& options, const std::string& targetName,
                      size_t markupRegisterLimit) {
  const PageModel model = buildPageModel(root, options);
  std::string page;
  PageWriter(page, model, options).page(root, targetName, markupRegisterLimit);
  return page;
}

}  // namespace rw
