// The choices that shape the generated names and definitions, as the command
// line's options set them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rw {

struct HeaderOptions {
  // Put in front of every definition name except vectors'.
  std::string defPrefixString;
  std::string regString;
  std::string regBaseString = "_BASE";
  std::string regOffsetString = "_OFFSET";
  // A Perl-style regular expression matched from the first character of bit
  // field names; empty means no exclusion.
  std::string excludeBitFieldPattern;
  // Registers, by their plain name, whose bit fields are left out.
  std::vector<std::string> excludeBitFieldRegisters;
  // No bit-band lines unless -bitband sets a base; 0xFFFFFFFF given
  // explicitly means none too.
  uint32_t bitBandBase = 0xFFFFFFFFu;
  uint32_t bitBandAliasOffset = 0;
  bool fixDefs = false;
  bool noPrependReg = false;
  bool prependRegGroup = false;
  bool singleBitFieldNames = false;
  bool regBaseOffs = false;
  bool noBitFields = false;
  // Fixed-width types from <stdint.h> and unsigned literals, for builds that
  // turn conversions and MISRA rules into errors.
  bool stdint = false;

  bool operator==(const HeaderOptions&) const = default;
};

}  // namespace rw
