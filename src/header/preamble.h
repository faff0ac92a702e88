// The parts of the header that do not come from the memory map: the comment
// block, the include guard and the end.
#pragma once

#include <string>
#include <string_view>

namespace rw {

// The output file's name without its directory and without everything from
// its first "." on, followed by "_h"; no other change.
std::string includeGuardName(std::string_view outputPath);

// Everything before the definitions: the comment block (starting with the
// target line when `targetName` is given), the include guard, one empty line,
// and with `stdint` the include of <stdint.h>.
std::string headerPreamble(const std::string* targetName, std::string_view guardName, bool stdint);

// Everything after the definitions.
inline constexpr std::string_view kHeaderEnd = "\n#endif\n";

}  // namespace rw
