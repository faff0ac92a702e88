// The process-wide record through which command-line errors are reported and
// counted.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace rw {

struct Diagnostics {
  // The first element of the argument vector, exactly as given.
  std::string programName;
  std::FILE* stream = stderr;
  int errorCount = 0;

  // Counts one error and writes "<programName>: error: " to the stream, which
  // is returned for the caller to append the message.
  std::FILE* beginError();
  // One whole error line: prefix, message, line feed, flushed.
  void errorLine(std::string_view message);
};

// Null until the entry point creates the record.
Diagnostics* diagnostics();
void setDiagnostics(Diagnostics* record);

}  // namespace rw
