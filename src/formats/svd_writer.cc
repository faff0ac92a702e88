#include "formats/svd_writer.h"

namespace rw {

std::string writeSvd(const MemoryMapElement*, const std::string&) { return std::string(); }

}  // namespace rw
