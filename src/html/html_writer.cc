#include "html/html_writer.h"

#include <string_view>

#include "expr/integer_literal.h"
#include "html/html_assets.h"
#include "html/html_data.h"
#include "html/html_model.h"
#include "html/html_packing.h"
#include "html/html_text.h"

namespace rw {

namespace {

class PageWriter {
public:
  PageWriter(std::string& out, const PageModel& model, const HeaderOptions& options)
      : out_(out), model_(model), options_(options) {}

  void page(const MemoryMapElement* root, const std::string& targetName, size_t listRegisterLimit);

private:
  void navigation(bool listed);
  void registerList();

  void text(std::string_view value) { appendHtml(out_, value); }
  void hex(uint64_t value) { appendHexLiteral(out_, value); }
  void decimal(uint64_t value) { out_ += std::to_string(value); }
  void id(std::string_view value) {
    out_ += " id=\"";
    text(value);
    out_ += '"';
  }
  // "13", or "15:12" for a field of several bits: highest bit first, as in
  // the reference manuals.
  void bitRange(const MemoryMapElement& field) {
    if (field.size() != 1) {
      decimal(uint64_t{field.start()} + field.size() - 1);
      out_ += ':';
    }
    decimal(field.start());
  }

  std::string& out_;
  const PageModel& model_;
  const HeaderOptions& options_;
};

void PageWriter::page(const MemoryMapElement* root, const std::string& targetName, size_t listRegisterLimit) {
  const std::string_view mapName = root != nullptr ? textOf(root->name()) : std::string_view();
  const std::string_view name = !targetName.empty() ? std::string_view(targetName) : mapName;
  const bool listed = model_.registers.size() <= listRegisterLimit;
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
  navigation(listed);
  // A browser with scripts on keeps a <noscript> element's content as text
  // it never lays out; the script builds what is in view from the data.
  out_ += "<main id=\"rw-main\" tabindex=\"-1\">\n<noscript>";
  if (listed) {
    registerList();
  } else {
    out_ += "<p class=\"rw-note\">This map has more than ";
    decimal(listRegisterLimit);
    out_ += " registers: it is shown with JavaScript only.</p>";
  }
  out_ += "</noscript>\n</main>\n</div>\n<script type=\"application/x-gzip-base64url\" id=\"rw-data\">";
  Packer data;
  writePageData(model_, options_, [&](std::string_view piece) { data.add(piece); });
  data.finish(out_);
  out_ += "</script>\n<script>\n";
  out_ += kPageScript;
  out_ += "</script>\n</body>\n</html>\n";
}

// Segments open, groups closed; the script lists a group's registers when
// it opens, and without a script the list waits in a <noscript>.
void PageWriter::navigation(bool listed) {
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
      if (listed) {
        out_ += "<noscript><ul>";
        for (const size_t r : block.registers) {
          out_ += "<li><a href=\"#";
          appendFragment(out_, model_.registers[r].id);
          out_ += "\">";
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

// For a reader without scripts, every register in one line: its address,
// size and fields with their bits. The rest (definitions, descriptions,
// pictures, values) is the script's: as markup it made the fixture device's
// page 2 MB, which a browser reads even with scripts on, at a tenth of a
// second per megabyte on a busy machine.
void PageWriter::registerList() {
  out_ += "\n<p class=\"rw-note\">Without JavaScript this page lists the registers and their fields only.</p>\n";
  for (const PageSegment& segment : model_.segments) {
    out_ += "<h2";
    id(segment.id);
    out_ += '>';
    text(segment.label);
    out_ += "</h2>\n";
    for (const size_t b : segment.blocks) {
      const PageBlock& block = model_.blocks[b];
      out_ += "<h3";
      id(block.id);
      out_ += '>';
      text(block.label);
      out_ += "</h3>\n";
      if (block.registers.empty()) continue;
      out_ += "<table class=\"rw-fields\"><thead><tr><th>Register<th>Address<th>Size<th>Fields</thead><tbody>";
      for (const size_t r : block.registers) {
        const PageRegister& reg = model_.registers[r];
        out_ += "\n<tr";
        id(reg.id);
        out_ += "><th>";
        text(reg.name);
        out_ += "<td>";
        hex(reg.element->start());
        out_ += "<td>";
        if (reg.element->hasSize()) decimal(reg.element->size());
        out_ += "<td>";
        for (size_t i = reg.firstField; i < reg.firstField + reg.fieldCount; ++i) {
          const MemoryMapElement& field = *model_.fields[i].element;
          if (i != reg.firstField) out_ += ", ";
          text(textOf(field.name()));
          out_ += ' ';
          bitRange(field);
        }
      }
      out_ += "</tbody></table>\n";
    }
  }
  if (model_.vectors.empty()) return;
  out_ += "<h2 id=\"rw-vectors\">Interrupt vectors</h2>\n<table class=\"rw-fields\"><thead><tr><th>Vector"
          "<th>Number</thead><tbody>";
  for (const MemoryMapElement* vector : model_.vectors) {
    out_ += "\n<tr><td>";
    text(textOf(vector->name()));
    out_ += "<td>";
    text(textOf(vector->startText()));
  }
  out_ += "</tbody></table>\n";
}

}  // namespace

std::string writeHtml(const MemoryMapElement* root, const HeaderOptions& options, const std::string& targetName,
                      size_t listRegisterLimit) {
  const PageModel model = buildPageModel(root, options);
  std::string page;
  PageWriter(page, model, options).page(root, targetName, listRegisterLimit);
  return page;
}

}  // namespace rw
