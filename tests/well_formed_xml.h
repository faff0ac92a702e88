// Whether a file the tool wrote is well-formed XML as another program reads
// it: xmllint, from libxml2, the parser most XML tools on Linux share.
#pragma once

#include <stdio.h>

#include <cstdlib>
#include <string>

namespace rw::testing {

inline bool haveXmllint() { return std::system("command -v xmllint > /dev/null 2>&1") == 0; }

// xmllint's complaints about the file at `path`: empty when it is
// well-formed. Call only when haveXmllint().
inline std::string xmllintProblems(const std::string& path) {
  const std::string command = "xmllint --noout '" + path + "' 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return "xmllint could not be started";
  std::string output;
  char buffer[4096];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) != 0;) output.append(buffer, got);
  const int status = ::pclose(pipe);
  if (status != 0 && output.empty()) output = "xmllint failed without a message";
  return status == 0 ? std::string() : output;
}

}  // namespace rw::testing
