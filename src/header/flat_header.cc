#include "header/flat_header.h"

#include <charconv>
#include <cstdio>
#include <cstring>

#include "expr/integer_literal.h"

namespace rw {

namespace {

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

// A field has at most eight lines (mask, value, bit-band pair, bit number,
// aliases), each at most "#define ", a suffix, a space, a number or the
// bit-band lvalue, and a line end besides the prefix and the names it holds.
constexpr size_t kFieldLines = 8;
constexpr size_t kFieldLineBytes = 64;

char* put(char* p, std::string_view text) {
  if (!text.empty()) std::memcpy(p, text.data(), text.size());
  return p + text.size();
}

// As appendHexLiteral writes it.
char* putHex(char* p, uint32_t value) {
  const int digits = value == 0 ? 1 : (35 - __builtin_clz(value)) / 4;
  *p++ = '0';
  *p++ = 'x';
  for (int i = digits - 1; i >= 0; --i) {
    p[i] = "0123456789ABCDEF"[value & 0xFu];
    value >>= 4;
  }
  return p + digits;
}

// Bit numbers are mostly one or two digits.
char* putDecimal(char* p, uint32_t value) {
  if (value < 10) {
    *p++ = static_cast<char>('0' + value);
    return p;
  }
  if (value < 100) {
    *p++ = static_cast<char>('0' + value / 10);
    *p++ = static_cast<char>('0' + value % 10);
    return p;
  }
  return std::to_chars(p, p + 10, value).ptr;
}

}  // namespace

void FlatHeaderWriter::writeFields(const HeaderRegister& reg) {
  // A register's field lines are most of the header: they are formed in a
  // buffer sized for them beforehand and appended at once, not a few bytes
  // at a time.
  const std::string_view prefix = options_.defPrefixString;
  size_t bound = 0;
  for (const HeaderField& field : reg.fields) {
    if (field.defined) bound += kFieldLines * (kFieldLineBytes + 2 * (prefix.size() + field.name.size() + field.alias.size()));
  }
  if (bound == 0) return;
  if (bound > lineBytes_) {
    lines_ = std::make_unique_for_overwrite<char[]>(bound);
    lineBytes_ = bound;
  }
  const std::string_view unsignedSuffix = options_.stdint ? "U" : "";
  char* p = lines_.get();
  for (const HeaderField& field : reg.fields) {
    if (!field.defined) continue;
    forEachFieldDefinition(field.name, field.alias, field.singleBit(), reg.bitBand,
                           [&](DefinitionKind kind, std::string_view stem) {
                             p = put(p, "#define ");
                             p = put(p, prefix);
                             p = put(p, stem);
                             p = put(p, definitionSuffix(kind, options_));
                             *p++ = ' ';
                             switch (kind) {
                               case DefinitionKind::Mask:
                                 p = put(putHex(p, field.mask), unsignedSuffix);
                                 break;
                               case DefinitionKind::Value:
                                 p = put(putHex(p, field.value), unsignedSuffix);
                                 break;
                               case DefinitionKind::BitBandAddress:
                                 p = put(putHex(p, field.bitBandAddress), unsignedSuffix);
                                 break;
                               case DefinitionKind::BitBand:
                                 p = put(p, options_.stdint ? "(*(volatile uint32_t *)" : "(*(volatile unsigned *)");
                                 p = put(putHex(p, field.bitBandAddress), unsignedSuffix);
                                 *p++ = ')';
                                 break;
                               case DefinitionKind::Bit:
                                 p = putDecimal(p, field.start);
                                 break;
                               default:
                                 p = put(p, prefix);
                                 p = put(p, field.name);
                                 p = put(p, definitionSuffix(aliasedKind(kind), options_));
                                 break;
                             }
                             *p++ = '\n';
                           });
  }
  out_.append(lines_.get(), p);
}

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
  writeFields(reg);
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
