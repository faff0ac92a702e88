#include "formats/map_checks.h"

namespace rw {

std::vector<Finding> checkMap(const MemoryMap&, const HeaderOptions&) { return {}; }

}  // namespace rw
