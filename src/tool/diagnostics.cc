#include "tool/diagnostics.h"

namespace rw {

namespace {
Diagnostics* gDiagnostics = nullptr;
}  // namespace

std::FILE* Diagnostics::beginError() {
  ++errorCount;
  std::fputs(programName.c_str(), stream);
  std::fputs(": error: ", stream);
  return stream;
}

void Diagnostics::errorLine(std::string_view message) {
  std::FILE* out = beginError();
  std::fwrite(message.data(), 1, message.size(), out);
  std::fputc('\n', out);
  std::fflush(out);
}

Diagnostics* diagnostics() { return gDiagnostics; }
void setDiagnostics(Diagnostics* record) { gDiagnostics = record; }

}  // namespace rw
