// What the command line may say, and the table of options that drives its
// parser, its usage text and its tests.
#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "header/header_options.h"

namespace rw {

struct CommandLine {
  // In the order met: input file, output file, target name, macro definitions.
  std::vector<std::string> positionals;
  HeaderOptions header;
  // Where to write the header's dependencies as a Make rule; empty: nowhere.
  std::string depFile;
  // Further outputs; empty: not written.
  std::string svdFile;
  std::string mapFile;
  std::string htmlFile;
  // Report the map's likely mistakes; with checkError, a finding fails the run.
  bool check = false;
  bool checkError = false;
  // The indirect files read, as named.
  std::vector<std::string> indirectFiles;

  bool operator==(const CommandLine&) const = default;
};

struct Option {
  // The word, "-" included; matched whole and case-sensitively.
  std::string_view name;
  // Whether the next word is the option's argument, whatever it looks like.
  bool takesArgument;
  // Stores the option in the command line; `argument` is empty for an
  // option without one.
  void (*apply)(CommandLine& commandLine, std::string_view argument);
  // The option's line in the usage text.
  std::string_view description;
};

// In the order of the usage text.
std::span<const Option> optionTable();
const Option* findOption(std::string_view word);

// The banner: program, product and version, one line.
void printBanner(std::FILE* out);
// The usage text: the positional arguments, then one line per option.
void printUsage(std::FILE* out);

}  // namespace rw
