// How a run's errors and warnings reach the user: one line each on standard
// error. Errors of the command line are counted, so that the run can stop
// once the whole command line was read.
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
  // "regwright can't write PATH: REASON", or without a reason.
  void cantWrite(std::string_view path, std::string_view reason = {});
  // "regwright can't create PATH".
  void cantCreate(std::string_view path);
  // "load error MESSAGE at LINE".
  void loadError(std::string_view message, int line);
  // "LOCATION: warning: MESSAGE [-check-KIND]", a finding of the map checks.
  void finding(std::string_view location, std::string_view message, std::string_view kind);
  // "LOCATION: warning: MESSAGE" from a line "LOCATION: MESSAGE", or
  // "warning: MESSAGE" from one without a location.
  void warning(std::string_view line);
  // Lines made elsewhere (warnings of the header's definitions), as they are.
  void lines(std::string_view text);
};

}  // namespace rw
