#include "header/flat_header.h"

#include <charconv>
#include <cstdio>

#include "expr/integer_literal.h"

namespace rw {

namespace {

// Bit numbers are mostly one or two digits.
void appendDecimal(std::string& out, uint32_t value) {
  if (value < 10) {
    out += static_cast<char>('0' + value);
    return;
  }
  char buffer[10];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

// Large enough that writing costs few system calls, small enough to stay in
// the cache.
constexpr size_t kDrainThreshold = size_t{256} << 10;

std::string_view registerType(uint32_t bytes, bool stdint) {
  switch (bytes) {
    case 1: return stdint ? "uint8_t" : "unsigned char";
    case 2: return stdint ? "uint16_t" : "unsigned short";
    case 4: return stdint ? "uint32_t" : "unsigned long";
    default: return "unsigned";
  }
}

}  // namespace

void FlatHeaderWriter::group(const HeaderGroup& group) {
  if (!group.definesBase) return;
  out_ += "\n#ifndef ";
  names_.append(out_, DefinitionKind::GroupBase, group.name);
  out_ += '\n';
  define(DefinitionKind::GroupBase, group.name);
  out_ += ' ';
  number(group.element->start());
  out_ += "\n#endif\n";
}

void FlatHeaderWriter::reg(const HeaderRegister& reg) {
  // Every register opens with an empty line, a repeated one too.
  out_ += '\n';
  if (reg.defined) {
    forEachRegisterDefinition(reg, [&](DefinitionKind kind, std::string_view stem) {
      define(kind, stem);
      out_ += ' ';
      switch (kind) {
        case DefinitionKind::Register:
          out_ += "(*(volatile ";
          out_ += registerType(reg.bytes, options_.stdint);
          out_ += " *)";
          number(reg.address);
          out_ += ')';
          break;
        case DefinitionKind::RegisterAlias:
          // The alias names the register without -regstring's suffix.
          out_ += options_.defPrefixString;
          out_ += reg.name;
          break;
        case DefinitionKind::RegisterOffset:
          number(reg.offset);
          break;
        default:
          names_.append(out_, aliasedKind(kind), reg.name);
          break;
      }
      out_ += '\n';
    });
  }
  for (const HeaderField& field : reg.fields) {
    if (!field.defined) continue;
    forEachFieldDefinition(field.name, field.alias, field.singleBit(), reg.bitBand,
                           [&](DefinitionKind kind, std::string_view stem) {
                             define(kind, stem);
                             out_ += ' ';
                             switch (kind) {
                               case DefinitionKind::Mask:
                                 number(field.mask);
                                 break;
                               case DefinitionKind::Value:
                                 number(field.value);
                                 break;
                               case DefinitionKind::BitBandAddress:
                                 number(field.bitBandAddress);
                                 break;
                               case DefinitionKind::BitBand:
                                 out_ += options_.stdint ? "(*(volatile uint32_t *)" : "(*(volatile unsigned *)";
                                 number(field.bitBandAddress);
                                 out_ += ')';
                                 break;
                               case DefinitionKind::Bit:
                                 appendDecimal(out_, field.start);
                                 break;
                               default:
                                 names_.append(out_, aliasedKind(kind), field.name);
                                 break;
                             }
                             out_ += '\n';
                           });
  }
  if (drain_ && out_.size() >= kDrainThreshold) {
    drain_(out_);
    out_.clear();
  }
}

void FlatHeaderWriter::vector(const HeaderVector& vector) {
  define(DefinitionKind::Vector, vector.name);
  out_ += ' ';
  out_ += vector.number;
  out_ += '\n';
}

UnwritableText generateDefinitions(std::string& out, const MemoryMapElement* element, const HeaderOptions& options,
                                   const DefinitionDrain& drain, ElementCounts expected) {
  HeaderModel model(options, [](const std::string& line) { std::fputs(line.c_str(), stderr); }, expected);
  FlatHeaderWriter writer(out, model, drain);
  model.walk(element, writer);
  return model.problem();
}

}  // namespace rw
