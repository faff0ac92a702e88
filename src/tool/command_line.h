// What the command line may say, and the table of options that drives its
// parser, its usage text, its tests and the run's further outputs.
#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "header/header_options.h"

namespace rw {

class MemoryMap;

struct CommandLine {
  // In the order met: input file, output file, target name, macro definitions.
  std::vector<std::string> positionals;
  HeaderOptions header;
  // The further outputs asked for: each output option's word and the file
  // it names, the last one given for a repeated option.
  std::vector<std::pair<std::string, std::string>> outputs;
  // Report the map's likely mistakes; with checkError, a finding fails the run.
  bool check = false;
  bool checkError = false;
  // The indirect files read, as named.
  std::vector<std::string> indirectFiles;

  // The file an output option names; null when it was not given.
  const std::string* output(std::string_view option) const;
  bool operator==(const CommandLine&) const = default;
};

// What a further output is made from, once the map loaded.
struct OutputSource {
  const MemoryMap& map;
  const CommandLine& commandLine;
  // As the command line names them.
  const std::string& headerPath;
  const std::string& targetName;
};

// An output's whole text, or why it cannot be written ("regwright can't
// write FILE: WHY"), and the warnings of what it leaves out, one line each.
struct OutputText {
  std::string text;
  std::string failure;
  std::vector<std::string> warnings;
};
// Makes the output the option names `path` for.
using OutputWriter = OutputText (*)(const OutputSource& source, const std::string& path);

struct Option {
  // The word, "-" included; matched whole and case-sensitively.
  std::string_view name;
  // Whether the next word is the option's argument, whatever it looks like.
  bool takesArgument;
  // Stores the option in the command line; `argument` is empty for an
  // option without one. Null for an output option.
  void (*apply)(CommandLine& commandLine, std::string_view argument);
  // The option's line in the usage text.
  std::string_view description;
  // An output option's writer: the option's argument names the file.
  OutputWriter write = nullptr;
};

// In the order of the usage text, which is also the order further outputs
// are written in.
std::span<const Option> optionTable();
const Option* findOption(std::string_view word);

// The banner: program, product and version, one line.
void printBanner(std::FILE* out);
// The usage text: the positional arguments, then one line per option.
void printUsage(std::FILE* out);

}  // namespace rw
