#include "checks/header_definitions.h"

#include <array>

#include "header/definition_names.h"
#include "header/name_set.h"

namespace rw::checks {

namespace {

struct LineText {
  std::string_view suffix;  // after the field's or the alias's name
  std::string_view what;    // for messages, before the element
};

constexpr std::array<LineText, 14> kLines{{
    {"", "the base of "},
    {"", ""},
    {"", "the alias of "},
    {"", "the offset of "},
    {"", "the alias offset of "},
    {"_MASK", "the mask of "},
    {"", "the value of "},
    {"_BITBAND_ADDRESS", "the bit-band address of "},
    {"_BITBAND", "the bit-band alias of "},
    {"_BIT", "the bit number of "},
    {"_MASK", "the alias mask of "},
    {"", "the alias value of "},
    {"_BIT", "the alias bit number of "},
    {"", ""},
}};

const LineText& textOf(Line line) { return kLines[static_cast<size_t>(line)]; }

std::string_view nameOf(const MemoryMapElement& element) { return element.name().value_or(std::string_view()); }

}  // namespace

bool isBitFieldLine(Line line) { return line >= Line::Mask && line <= Line::AliasBit; }

std::string_view lineSuffix(Line line) { return textOf(line).suffix; }

HeaderDefinitions::HeaderDefinitions(const HeaderOptions& options)
    : options_(options),
      exclusion_(options.excludeBitFieldPattern),
      excludedRegisters_(options.excludeBitFieldRegisters.begin(), options.excludeBitFieldRegisters.end()) {}

bool HeaderDefinitions::writesBitFieldsOf(const MemoryMapElement& reg) const {
  return !options_.noBitFields && !excludedRegisters_.contains(nameOf(reg));
}

bool HeaderDefinitions::hasBitBand(const MemoryMapElement& reg) const {
  // The same wrapping window as the generator's.
  const uint32_t base = options_.bitBandBase;
  const uint32_t aliasBase = base + options_.bitBandAliasOffset;
  return base != 0xFFFFFFFFu && reg.start() >= base && reg.start() < aliasBase;
}

void HeaderDefinitions::forEach(const MemoryMapElement& root, bool withBitFields, const Visit& visit) const {
  const std::string& prefix = options_.defPrefixString;
  NameSet registerNames;
  NameSet fieldNames;
  CheckedRegister reg;
  std::string alias;
  std::string field;
  std::string fieldAlias;
  std::string name;
  // Each definition's name is its prefix and stem, then its line's end.
  auto define = [&](const MemoryMapElement& element, Line line, std::string_view stem, std::string_view end) {
    name.assign(prefix);
    name += stem;
    name += end;
    visit(Definition{&element, line}, name);
  };

  walkHeader(&root, [&](const MemoryMapElement& element, const MemoryMapElement* segment) {
    if (element.kind() == ElementKind::RegisterGroup) {
      if (options_.regBaseOffs && element.hasStart()) {
        define(element, Line::GroupBase, nameOf(element), options_.regBaseString);
      }
      return;
    }
    if (element.kind() == ElementKind::Vector) {
      // Vectors take no prefix.
      visit(Definition{&element, Line::Vector}, nameOf(element));
      return;
    }
    readRegister(reg, element, segment, options_);
    registerAlias(alias, reg.aka, options_);
    if (registerNames.insert(reg.headerName)) {
      define(element, Line::Register, reg.headerName, options_.regString);
      if (!alias.empty()) define(element, Line::RegisterAlias, alias, "");
      if (options_.regBaseOffs && reg.group != nullptr && reg.group->hasStart()) {
        define(element, Line::RegisterOffset, reg.headerName, options_.regOffsetString);
        if (!alias.empty()) define(element, Line::AliasOffset, alias, options_.regOffsetString);
      }
    }
    if (!withBitFields || !writesBitFieldsOf(element)) return;
    const bool bitBand = hasBitBand(element);
    for (const CheckedField& bits : reg.fields) {
      if (excludes(*bits.element)) continue;
      bitFieldName(field, reg.headerName, bits.name, options_);
      if (!fieldNames.insert(field)) continue;
      bitFieldAlias(fieldAlias, reg.aka, bits.name, options_);
      const bool hasAlias = !fieldAlias.empty();
      define(*bits.element, Line::Mask, field, "_MASK");
      if (hasAlias) define(*bits.element, Line::AliasMask, fieldAlias, "_MASK");
      if (bits.size == 1) {
        define(*bits.element, Line::Value, field, "");
        if (hasAlias) define(*bits.element, Line::AliasValue, fieldAlias, "");
        if (bitBand) {
          define(*bits.element, Line::BitBandAddress, field, "_BITBAND_ADDRESS");
          define(*bits.element, Line::BitBand, field, "_BITBAND");
        }
      }
      define(*bits.element, Line::Bit, field, "_BIT");
      if (hasAlias) define(*bits.element, Line::AliasBit, fieldAlias, "_BIT");
    }
  });
}

std::string HeaderDefinitions::name(const Definition& definition) const {
  const MemoryMapElement& element = *definition.element;
  std::string stem;
  switch (definition.line) {
    case Line::Vector:
      return std::string(nameOf(element));
    case Line::GroupBase:
      return options_.defPrefixString + std::string(nameOf(element)) + options_.regBaseString;
    case Line::Register:
    case Line::RegisterOffset:
      registerName(stem, element, asMemoryMapElement(element.parent), options_);
      return options_.defPrefixString + stem +
             (definition.line == Line::Register ? options_.regString : options_.regOffsetString);
    case Line::RegisterAlias:
    case Line::AliasOffset:
      registerAlias(stem, element.getAttribute("aka"), options_);
      return options_.defPrefixString + stem + (definition.line == Line::AliasOffset ? options_.regOffsetString : "");
    default:
      break;
  }
  const MemoryMapElement& reg = *asMemoryMapElement(element.parent);
  const bool alias = definition.line >= Line::AliasMask;
  if (alias) {
    bitFieldAlias(stem, reg.getAttribute("aka"), nameOf(element), options_);
  } else {
    std::string owner;
    registerName(owner, reg, asMemoryMapElement(reg.parent), options_);
    bitFieldName(stem, owner, nameOf(element), options_);
  }
  return options_.defPrefixString + stem + std::string(lineSuffix(definition.line));
}

std::string HeaderDefinitions::describe(const Definition& definition) const {
  return std::string(textOf(definition.line).what) + checks::describe(*definition.element, options_);
}

}  // namespace rw::checks
