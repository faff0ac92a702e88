// The settings that shape the generated names and definitions. The option
// handlers set them while the command line is parsed; the generator only reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rw {

struct GeneratorSettings {
  std::string defPrefixString;
  std::string regString;
  std::string regBaseString = "_BASE";
  std::string regOffsetString = "_OFFSET";
  // A Perl-style regular expression; empty means no exclusion.
  std::string excludeBitFieldPattern;
  std::vector<std::string> excludeBitFieldRegisters;
  uint32_t bitBandBase = 0xFFFFFFFFu;
  uint32_t bitBandAliasOffset = 0;
  bool fixDefs = false;
  bool noPrependReg = false;
  bool prependRegGroup = false;
  bool singleBitFieldNames = false;
};

// The process-wide settings, with their defaults until an option changes them.
GeneratorSettings& generatorSettings();

}  // namespace rw
