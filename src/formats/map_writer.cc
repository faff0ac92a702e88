#include "formats/map_writer.h"

namespace rw {

std::string writeExpandedMap(const MemoryMapElement*) { return std::string(); }

}  // namespace rw
