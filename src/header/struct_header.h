// The struct-style device header: a typedef'd struct per register layout,
// a pointer per peripheral, _Pos and _Msk macros per field, enumerated
// values shifted into place, and IRQn_Type with the core's exceptions and
// configuration when the input names a Cortex-M CPU.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "header/struct_layout.h"

namespace rw {

struct StructHeader {
  std::string text;
  // "FILE:LINE: MESSAGE" for what the header leaves out.
  std::vector<std::string> warnings;
};

// The header for the map under `root`, its first comment naming
// `targetName` (when not empty) and its include guard `guardName`.
StructHeader writeStructHeader(const MemoryMapElement* root, const ElementLocation& locate,
                               const std::string& targetName, std::string_view guardName);

}  // namespace rw
