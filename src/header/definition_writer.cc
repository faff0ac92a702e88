#include "header/definition_writer.h"

#include <charconv>
#include <cstdio>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "expr/integer_literal.h"
#include "header/bit_field_exclusion.h"
#include "header/definition_names.h"
#include "header/name_set.h"

namespace rw {
namespace {


void appendDecimal(std::string& out, uint32_t value) {
  char buffer[10];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

std::string_view textOf(std::optional<std::string_view> text) { return text.value_or(std::string_view()); }

// Large enough that writing costs few system calls, small enough to stay in
// the cache.
constexpr size_t kDrainThreshold = size_t{256} << 10;

}  // namespace

void DefinitionWriter::warnDuplicate(std::string_view name) {
  const std::string line = "warning: ignoring multiply defined symbol " + std::string(name) + "\n";
  if (heldWarnings_ != nullptr) {
    *heldWarnings_ += line;
  } else {
    std::fputs(line.c_str(), stderr);
  }
}

void DefinitionWriter::walk(const XMLNode* node) {
  // Siblings still to visit once the subtree entered last is done. Only
  // containers push, and only when something follows them, so a deep chain
  // of last children costs nothing here.
  std::vector<const XMLNode*> pending;
  for (;;) {
    if (problem_.element != nullptr) return;
    if (node == nullptr) {
      if (pending.empty()) {
        return;
      }
      node = pending.back();
      pending.pop_back();
      continue;
    }
    const XMLNode* descendInto = nullptr;
    if (const MemoryMapElement* element = asMemoryMapElement(node)) {
      reach(*element);
      if (isContainer(element->kind())) descendInto = node->firstChild;
    }
    if (descendInto != nullptr) {
      if (node->nextSibling != nullptr) {
        pending.push_back(node->nextSibling);
      }
      node = descendInto;
    } else {
      node = node->nextSibling;
    }
  }
}

void DefinitionWriter::reach(const MemoryMapElement& element) {
  if (problem_.element != nullptr) return;
  switch (element.kind()) {
    case ElementKind::RegisterGroup:
      groupBase(element);
      break;
    case ElementKind::Register:
      registerBlock(element);
      if (drain_ && out_.size() >= kDrainThreshold) {
        drain_(out_);
        out_.clear();
      }
      break;
    case ElementKind::Vector:
      vectorLine(element);
      break;
    default:
      break;
  }
}

void DefinitionWriter::groupBase(const MemoryMapElement& group) {
  if (!options_.regBaseOffs || !group.hasStart()) {
    return;
  }
  // The group's name goes out as written: base names were never repaired.
  std::string_view name = textOf(group.name());
  if (!writable(group, "name", name)) return;
  out_ += "\n#ifndef ";
  out_ += prefix_;
  out_ += name;
  out_ += options_.regBaseString;
  out_ += "\n#define ";
  out_ += prefix_;
  out_ += name;
  out_ += options_.regBaseString;
  out_ += ' ';
  appendNumber(group.start());
  out_ += "\n#endif\n";
}

void DefinitionWriter::registerBlock(const MemoryMapElement& reg) {
  const MemoryMapElement* group = asMemoryMapElement(reg.parent);
  out_ += '\n';
  registerName(registerName_, reg, group, options_);

  aka_ = reg.getAttribute(attribute::kAka);
  registerAlias_.clear();
  if (aka_) {
    registerAlias_ = *aka_;
    fixDefinitionName(registerAlias_, options_);
  }
  if (!writable(reg, "name", registerName_) || !writable(reg, "aka", registerAlias_)) return;

  const NameSet::Lookup registerLookup = registerNames_.lookup(registerName_);
  // A duplicate register still contributes its bit fields: they may carry
  // names the first definition lacked.
  const bool withBitFields = !options_.noBitFields && !excludedRegisters_.contains(textOf(reg.name()));
  // The fields are prepared before the register is written, so that all
  // name lookups overlap, unless the exclusion could warn while preparing:
  // its warning must come after the register's own.
  const bool ahead = withBitFields && !exclusion_.active();
  fields_.clear();
  if (ahead) prepareBitFields(reg.firstChild, SIZE_MAX);

  if (!registerNames_.insert(registerLookup)) {
    warnDuplicate(registerName_);
  } else {
    std::string_view type = "unsigned";
    if (reg.hasSize()) {
      switch (reg.size()) {
        case 1: type = options_.stdint ? "uint8_t" : "unsigned char"; break;
        case 2: type = options_.stdint ? "uint16_t" : "unsigned short"; break;
        case 4: type = options_.stdint ? "uint32_t" : "unsigned long"; break;
        default: break;
      }
    }
    defineWithPrefix(registerName_);
    out_ += options_.regString;
    out_ += " (*(volatile ";
    out_ += type;
    out_ += " *)";
    appendNumber(reg.start());
    out_ += ")\n";

    if (!registerAlias_.empty()) {
      defineWithPrefix(registerAlias_);
      out_ += ' ';
      out_ += prefix_;
      out_ += registerName_;
      out_ += '\n';
    }

    if (options_.regBaseOffs && group != nullptr && group->hasStart()) {
      defineWithPrefix(registerName_);
      out_ += options_.regOffsetString;
      out_ += ' ';
      appendNumber(reg.start() - group->start());
      out_ += '\n';
      if (!registerAlias_.empty()) {
        defineWithPrefix(registerAlias_);
        out_ += options_.regOffsetString;
        out_ += ' ';
        out_ += prefix_;
        out_ += registerName_;
        out_ += options_.regOffsetString;
        out_ += '\n';
      }
    }
  }

  if (ahead) {
    for (size_t i = 0; i < fields_.size(); ++i) bitField(reg, i);
  } else if (withBitFields) {
    for (const XMLNode* child = reg.firstChild; child != nullptr && problem_.element == nullptr;) {
      child = prepareBitFields(child, 1);
      if (!fields_.empty()) bitField(reg, 0);
    }
  }
}

const XMLNode* DefinitionWriter::prepareBitFields(const XMLNode* child, size_t limit) {
  fields_.clear();
  fullFieldNames_.clear();
  for (; child != nullptr && fields_.size() < limit; child = child->nextSibling) {
    const MemoryMapElement* field = asMemoryMapElement(child);
    if (field == nullptr || field->kind() != ElementKind::BitField || field->size() == 0) continue;
    const std::optional<std::string_view> plainName = field->name();
    if (exclusion_.excludes(textOf(plainName))) continue;
    fieldName_.assign(textOf(plainName));
    fixDefinitionName(fieldName_, options_);
    if (!writable(*field, "name", fieldName_)) return nullptr;
    if (!options_.noPrependReg) {
      fullFieldNames_ += registerName_;
      fullFieldNames_ += '_';
    }
    fullFieldNames_ += fieldName_;
    fields_.push_back({field, fullFieldNames_.size(), {}});
  }
  // Looked up once the names stopped moving.
  size_t begin = 0;
  for (PreparedField& prepared : fields_) {
    prepared.lookup = bitFieldNames_.lookup(std::string_view(fullFieldNames_).substr(begin, prepared.nameEnd - begin));
    begin = prepared.nameEnd;
  }
  return child;
}

void DefinitionWriter::bitField(const MemoryMapElement& reg, size_t index) {
  const PreparedField& prepared = fields_[index];
  const MemoryMapElement& field = *prepared.field;
  const std::string_view fullFieldName = prepared.lookup.name;
  fieldAlias_.clear();
  if (aka_) {
    // The repaired field name is the end of the full name.
    fieldName_.assign(textOf(field.name()));
    fixDefinitionName(fieldName_, options_);
    fieldAlias_ = *aka_;
    fieldAlias_ += '_';
    fieldAlias_ += fieldName_;
    fixDefinitionName(fieldAlias_, options_);
  }
  const bool hasAlias = !fieldAlias_.empty();

  if (!bitFieldNames_.insert(prepared.lookup)) {
    warnDuplicate(std::string(fullFieldName));
    return;
  }

  const uint32_t size = field.size();
  const uint32_t start = field.start();
  // Starts of 32 or more have no bit of their own in a 32-bit register; the
  // shifts wrap around instead of being undefined, while the bit number and
  // the bit-band address below keep the start as written.
  const uint32_t shift = start % 32u;
  const uint32_t width = size > 31u ? 0xFFFFFFFFu : (uint32_t{1} << size) - 1u;
  const uint32_t mask = width << shift;

  defineWithPrefix(fullFieldName);
  out_ += "_MASK ";
  appendNumber(mask);
  out_ += '\n';
  if (hasAlias) {
    defineWithPrefix(fieldAlias_);
    out_ += "_MASK ";
    out_ += prefix_;
    out_ += fullFieldName;
    out_ += "_MASK\n";
  }

  if (size == 1) {
    defineWithPrefix(fullFieldName);
    out_ += ' ';
    appendNumber(options_.singleBitFieldNames ? start : uint32_t{1} << shift);
    out_ += '\n';
    if (hasAlias) {
      defineWithPrefix(fieldAlias_);
      out_ += ' ';
      out_ += prefix_;
      out_ += fullFieldName;
      out_ += '\n';
    }

    const uint32_t base = options_.bitBandBase;
    if (base != 0xFFFFFFFFu) {
      // The window end wraps like every other sum here, so a window that
      // would run past the top of the address space holds nothing.
      const uint32_t aliasBase = base + options_.bitBandAliasOffset;
      const uint32_t address = reg.start();
      if (address >= base && address < aliasBase) {
        const uint32_t alias = aliasBase + 4u * (8u * (address - base) + start);
        defineWithPrefix(fullFieldName);
        out_ += "_BITBAND_ADDRESS ";
        appendNumber(alias);
        out_ += '\n';
        defineWithPrefix(fullFieldName);
        out_ += options_.stdint ? "_BITBAND (*(volatile uint32_t *)" : "_BITBAND (*(volatile unsigned *)";
        appendNumber(alias);
        out_ += ")\n";
      }
    }
  }

  defineWithPrefix(fullFieldName);
  out_ += "_BIT ";
  appendDecimal(out_, start);
  out_ += '\n';
  if (hasAlias) {
    defineWithPrefix(fieldAlias_);
    out_ += "_BIT ";
    out_ += prefix_;
    out_ += fullFieldName;
    out_ += "_BIT\n";
  }
}

void DefinitionWriter::vectorLine(const MemoryMapElement& vector) {
  // Vectors are written exactly as the map spells them: no prefix, no
  // repair, the number text untouched.
  if (!writable(vector, "name", textOf(vector.name())) || !writable(vector, "number", textOf(vector.startText()))) {
    return;
  }
  out_ += "#define ";
  out_ += textOf(vector.name());
  out_ += ' ';
  out_ += textOf(vector.startText());
  out_ += '\n';
}

bool DefinitionWriter::writable(const MemoryMapElement& element, const char* what, std::string_view text) {
  if (fitsOnOneLine(text)) return true;
  if (problem_.element == nullptr) problem_ = UnwritableText{&element, what, std::string(text)};
  return false;
}

bool fitsOnOneLine(std::string_view text) { return text.find_first_of(std::string_view("\n\r\0", 3)) == std::string_view::npos; }

UnwritableText generateDefinitions(std::string& out, const MemoryMapElement* element, const HeaderOptions& options,
                                   const DefinitionDrain& drain, ElementCounts expected) {
  DefinitionWriter writer(out, options, drain, expected);
  writer.walk(element);
  return writer.problem();
}

}  // namespace rw
