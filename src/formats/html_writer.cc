#include "formats/html_writer.h"

namespace rw {

std::string writeHtml(const MemoryMapElement*, const HeaderOptions&, const std::string&) { return std::string(); }

}  // namespace rw
