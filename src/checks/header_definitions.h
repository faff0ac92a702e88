// The macros the header defines, named as the generator names them and in
// the order it writes them: what the checks need to know of the header
// without writing it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "checks/check_context.h"
#include "header/bit_field_exclusion.h"
#include "header/header_options.h"

namespace rw::checks {

// The kinds of line the header writes, each defining one macro.
enum class Line : uint8_t {
  GroupBase,
  Register,
  RegisterAlias,
  RegisterOffset,
  AliasOffset,
  Mask,
  Value,
  BitBandAddress,
  BitBand,
  Bit,
  AliasMask,
  AliasValue,
  AliasBit,
  Vector,
};

bool isBitFieldLine(Line line);

// The end that bit-field lines put after the field's name; "" for values.
std::string_view lineSuffix(Line line);

// One macro of the header: the line kind and the element it is written for
// (a register group, register, bit field or vector).
struct Definition {
  const MemoryMapElement* element;
  Line line;
};

class HeaderDefinitions {
public:
  using Visit = std::function<void(const Definition& definition, std::string_view name)>;

  explicit HeaderDefinitions(const HeaderOptions& options);

  // Every definition of the header in its order, by the generator's rules:
  // a register or bit-field name met before defines nothing again (the
  // generator warns instead), -nobitfields, -excludebitfield and
  // -excludebitfield2 leave fields out. Without `withBitFields`, only the
  // lines that are not bit fields' are visited.
  void forEach(const MemoryMapElement& root, bool withBitFields, const Visit& visit) const;

  // The name one definition defines, formed on its own.
  std::string name(const Definition& definition) const;
  // How a message names it: "register R", "the mask of bit field F of
  // register R", ...
  std::string describe(const Definition& definition) const;

  // Whether the header writes any bit-field lines for `reg` (by its
  // options, not by its fields).
  bool writesBitFieldsOf(const MemoryMapElement& reg) const;
  // Whether -excludebitfield leaves a field out.
  bool excludes(const MemoryMapElement& field) const {
    return exclusion_.excludes(field.name().value_or(std::string_view()));
  }
  // Whether the header writes the bit-band lines of a single-bit field of
  // `reg`.
  bool hasBitBand(const MemoryMapElement& reg) const;

private:
  const HeaderOptions& options_;
  BitFieldExclusion exclusion_;
  const std::unordered_set<std::string_view> excludedRegisters_;
};

}  // namespace rw::checks
