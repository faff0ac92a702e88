#include "checks/check_context.h"

#include <algorithm>
#include <utility>

#include "expr/integer_literal.h"

namespace rw::checks {

namespace {

std::string named(std::string_view what, std::string_view name) {
  if (name.empty()) return "unnamed " + std::string(what);
  return std::string(what) + " " + std::string(name);
}

// How a message names each kind of definition, before the element.
std::string_view whatOf(DefinitionKind kind) {
  switch (kind) {
    case DefinitionKind::GroupBase: return "the base of ";
    case DefinitionKind::RegisterAlias: return "the alias of ";
    case DefinitionKind::RegisterOffset: return "the offset of ";
    case DefinitionKind::AliasOffset: return "the alias offset of ";
    case DefinitionKind::Mask: return "the mask of ";
    case DefinitionKind::AliasMask: return "the alias mask of ";
    case DefinitionKind::Value: return "the value of ";
    case DefinitionKind::AliasValue: return "the alias value of ";
    case DefinitionKind::BitBandAddress: return "the bit-band address of ";
    case DefinitionKind::BitBand: return "the bit-band alias of ";
    case DefinitionKind::Bit: return "the bit number of ";
    case DefinitionKind::AliasBit: return "the alias bit number of ";
    case DefinitionKind::Register:
    case DefinitionKind::Vector: break;
  }
  return "";
}

}  // namespace

uint32_t checkedBytes(const HeaderRegister& reg) {
  if (reg.bytes == 0) return 0;
  const std::optional<std::string_view> sizeText = reg.element->getAttribute("size");
  return sizeText && sizeLiteralValue(*sizeText) == reg.bytes ? reg.bytes : 0;
}

std::string byteRange(uint64_t first, uint64_t last) { return hexLiteral(first) + ".." + hexLiteral(last); }

std::string bits(uint64_t first, uint64_t last) {
  if (first == last) return "bit " + std::to_string(first);
  return "bits " + std::to_string(first) + ".." + std::to_string(last);
}

std::string describe(const MemoryMapElement& element, const DefinitionNames& names) {
  const std::string_view name = textOf(element.name());
  switch (element.kind()) {
    case ElementKind::Register:
      return named("register", names.registerName(element));
    case ElementKind::BitField: {
      std::string text = named("bit field", name);
      if (const MemoryMapElement* reg = asMemoryMapElement(element.parent)) text += " of " + describe(*reg, names);
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

std::string describe(DefinitionKind kind, const MemoryMapElement& element, const DefinitionNames& names) {
  return std::string(whatOf(kind)) + describe(element, names);
}

void reportWrappedStart(const MemoryMapElement& element, std::string_view kind, const DefinitionNames& names,
                        Findings& findings) {
  if (!element.startWrapped()) return;
  const std::string what = element.kind() == ElementKind::BitField ? "bit " + std::to_string(element.start())
                                                                    : hexLiteral(element.start());
  findings.add(element, kind,
               describe(element, names) + " has start " + std::string(textOf(element.startText())) +
                   ", which lies past 32 bits: the header takes " + what);
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
