// How command-line errors reach the user: one line each on standard error,
// counted, so that the run can stop once the whole command line was read.
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

  // "<programName>: error: <message>", a line feed, flushed; counted.
  void error(std::string_view message);
};

}  // namespace rw
