// Header options written as words, for case files: "name" sets a flag,
// "name=value" a text, a list entry or the bit-band base.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "header/header_options.h"

namespace rw::testing {

inline HeaderOptions optionsFrom(const std::string& words) {
  HeaderOptions options;
  std::istringstream in(words);
  for (std::string word; in >> word;) {
    const size_t equals = word.find('=');
    const std::string name = word.substr(0, equals);
    const std::string value = equals == std::string::npos ? "" : word.substr(equals + 1);
    if (name == "fixDefs") options.fixDefs = true;
    else if (name == "noPrependReg") options.noPrependReg = true;
    else if (name == "prependRegGroup") options.prependRegGroup = true;
    else if (name == "singleBitFieldNames") options.singleBitFieldNames = true;
    else if (name == "regBaseOffs") options.regBaseOffs = true;
    else if (name == "noBitFields") options.noBitFields = true;
    else if (name == "defPrefixString") options.defPrefixString = value;
    else if (name == "regString") options.regString = value;
    else if (name == "regBaseString") options.regBaseString = value;
    else if (name == "regOffsetString") options.regOffsetString = value;
    else if (name == "excludeBitFieldPattern") options.excludeBitFieldPattern = value;
    else if (name == "excludeBitFieldRegisters") options.excludeBitFieldRegisters.push_back(value);
    else if (name == "bitBand") {
      options.bitBandBase = static_cast<uint32_t>(std::stoul(value, nullptr, 0));
      options.bitBandAliasOffset = 0x2000000u;
    } else ADD_FAILURE() << "unknown option " << name;
  }
  return options;
}

}  // namespace rw::testing
