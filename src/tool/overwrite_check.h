// The refusal of an output that would destroy what the run depends on.
#pragma once

#include <string>
#include <vector>

#include "tool/diagnostics.h"

namespace rw {

// An output that names a file the run read, or the file of another output,
// is refused (reported through `diagnostics`) before anything is written.
// Paths are compared by the file they name, not by their text.
bool checkOverwrites(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs,
                     Diagnostics& diagnostics);

}  // namespace rw
