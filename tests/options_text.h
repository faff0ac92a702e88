// Header options for case files, written as on the command line
// ("-regbaseoffs -bitband 0x40000000") and read by the tool's own parser.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tool/option_parser.h"

namespace rw::testing {

inline HeaderOptions optionsFrom(const std::string& words) {
  std::vector<std::string> list;
  std::istringstream in(words);
  for (std::string word; in >> word;) list.push_back(word);
  CommandLine commandLine;
  Diagnostics diagnostics{"regwright"};
  OptionParser(commandLine, diagnostics).parse(list);
  EXPECT_EQ(diagnostics.errorCount, 0) << words;
  return commandLine.header;
}

}  // namespace rw::testing
