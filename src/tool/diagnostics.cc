#include "tool/diagnostics.h"

namespace rw {

void Diagnostics::error(std::string_view message) {
  ++errorCount;
  std::fprintf(stream, "%s: error: %.*s\n", programName.c_str(), static_cast<int>(message.size()), message.data());
  std::fflush(stream);
}

}  // namespace rw
