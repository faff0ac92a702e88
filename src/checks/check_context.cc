#include "checks/check_context.h"

#include <algorithm>
#include <utility>

#include "expr/integer_literal.h"
#include "header/definition_names.h"

namespace rw::checks {

namespace {

std::string named(std::string_view what, std::string_view name) {
  if (name.empty()) return "unnamed " + std::string(what);
  return std::string(what) + " " + std::string(name);
}

// The header's type takes 1, 2 or 4 bytes; the size as written must say so
// before the 32 bits of the loaded size cut it (0x100000004 is no 4).
uint32_t headerBytes(const MemoryMapElement& reg, std::optional<std::string_view> sizeText) {
  if (!sizeText || sizeText->empty()) return 0;
  const uint32_t size = reg.size();
  if (size != 1 && size != 2 && size != 4) return 0;
  return sizeLiteralValue(*sizeText) == size ? size : 0;
}

}  // namespace

void readRegister(CheckedRegister& out, const MemoryMapElement& reg, const MemoryMapElement* segment,
                  const HeaderOptions& options) {
  out.element = &reg;
  out.group = asMemoryMapElement(reg.parent);
  out.segment = segment;
  out.name = reg.name().value_or(std::string_view());
  registerName(out.headerName, reg, out.group, options);
  out.aka = reg.getAttribute("aka");
  out.sizeText = reg.getAttribute("size");
  out.bytes = headerBytes(reg, out.sizeText);
  out.fields.clear();
  for (const XMLNode* child = reg.firstChild; child != nullptr; child = child->nextSibling) {
    const MemoryMapElement* field = asMemoryMapElement(child);
    if (field != nullptr && field->kind() == ElementKind::BitField && field->size() != 0) {
      out.fields.push_back({field, field->name().value_or(std::string_view()), field->start(), field->size()});
    }
  }
}

std::string hex(uint64_t value) {
  std::string text;
  appendHexLiteral(text, value);
  return text;
}

std::string byteRange(uint64_t first, uint64_t last) { return hex(first) + ".." + hex(last); }

std::string bits(uint64_t first, uint64_t last) {
  if (first == last) return "bit " + std::to_string(first);
  return "bits " + std::to_string(first) + ".." + std::to_string(last);
}

std::string describe(const MemoryMapElement& element, const HeaderOptions& options) {
  const std::string_view name = element.name().value_or(std::string_view());
  switch (element.kind()) {
    case ElementKind::Register: {
      std::string header;
      registerName(header, element, asMemoryMapElement(element.parent), options);
      return named("register", header);
    }
    case ElementKind::BitField: {
      std::string text = named("bit field", name);
      if (const MemoryMapElement* reg = asMemoryMapElement(element.parent)) text += " of " + describe(*reg, options);
      return text;
    }
    case ElementKind::RegisterGroup:
      return named("register group", name);
    case ElementKind::MemorySegment:
      return named("memory segment", name);
    case ElementKind::Vector:
      return named("vector", name);
    default:
      return named(element.tagName(), name);
  }
}

void Findings::add(const MemoryMapElement& element, std::string_view kind, std::string message) {
  if (const CopySite* site = map_.copySite(element)) {
    message += site->kind == CopyKind::Loop ? " (from the loop at " : " (from the xmlput at ";
    message += map_.location(*site);
    message += ')';
  }
  entries_.push_back({map_.position(element), Finding{map_.location(element), std::move(message), std::string(kind)}});
}

std::vector<Finding> Findings::sorted() {
  std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
    return a.position.file != b.position.file ? a.position.file < b.position.file : a.position.line < b.position.line;
  });
  std::vector<Finding> findings;
  findings.reserve(entries_.size());
  for (Entry& entry : entries_) findings.push_back(std::move(entry.finding));
  return findings;
}

}  // namespace rw::checks
