// Turns the words of a command line into a CommandLine: options looked up in
// the option table, the other words collected as positional arguments, and
// "@FILE" words replaced by the words of the lines of FILE.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tool/command_line.h"
#include "tool/diagnostics.h"

namespace rw {

class OptionParser {
public:
  // Indirect files may name further indirect files; this many may be open at
  // once, which stops a file that names itself.
  static constexpr int kMaxIndirectDepth = 100;
  // Readings of indirect files in one parse, nested or not. A file that names
  // itself twice would otherwise be read 2^100 times before the depth limit
  // ends it; no real set of option files comes near this number.
  static constexpr int kMaxIndirectFiles = 1000;
  // Lines read from all indirect files together. A file that never ends (a
  // device, a pipe that keeps writing) must not keep the parser reading; real
  // option files are a few hundred lines at most.
  static constexpr long kMaxIndirectLines = 100000;
  // Words, and bytes of them, kept from all indirect files together, so that
  // what the lines hold stays small too: a few megabytes at most.
  static constexpr size_t kMaxIndirectWords = 100000;
  static constexpr size_t kMaxIndirectWordBytes = size_t{4} << 20;
  // The most words one line of an indirect file may hold.
  static constexpr int kMaxWordsPerLine = 256;
  // Indirect files are read in pieces of at most this many bytes minus 1; a
  // longer line counts as several.
  static constexpr int kLineBufferSize = 1024;

  OptionParser(CommandLine& commandLine, Diagnostics& diagnostics)
      : commandLine_(commandLine), diagnostics_(diagnostics) {}

  // Every problem is reported and counted, and parsing goes on; only an
  // option that lacks its argument at the end of the words ends the call.
  void parse(const std::vector<std::string>& words);
  void readIndirectFile(const std::string& fileName);

  // Splits one line of an indirect file into words: separated by spaces
  // only, a "..." word may hold spaces. An unterminated quote or more than
  // kMaxWordsPerLine words drop the whole line with an error.
  std::vector<std::string> splitLine(const std::string& fileName, int lineNumber, const char* text);

private:
  // A repeated output option names the file anew.
  void setOutput(std::string_view option, std::string_view path);

  CommandLine& commandLine_;
  Diagnostics& diagnostics_;
  int indirectDepth_ = 0;
  int indirectFilesRead_ = 0;
  long indirectLinesRead_ = 0;
  size_t indirectWords_ = 0;
  size_t indirectWordBytes_ = 0;
  // Set once a bound of the indirect files was met: nothing more is read.
  bool indirectExhausted_ = false;
};

}  // namespace rw
