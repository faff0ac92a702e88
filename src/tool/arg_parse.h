// A small general-purpose command-line parser: named options looked up in a
// table, positional arguments handed to a subclass, "@file" words that read
// further arguments from a file.
#pragma once

#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tool/diagnostics.h"

namespace rw {

class ArgParse;

// Called on the parser as (option name, argument); the argument is null for
// an option that takes none.
using OptionHandler = void (ArgParse::*)(const char* optionName, const char* argument);

// How an option takes its argument.
enum OptionKind : int {
  kNoArgument = 0,
  kArgumentIsNextWord = 1,
  // The rest of the same word after the option name: "-Dname" style.
  kArgumentInSameWord = 2,
};

struct OptionInfo {
  // The option word including its "-"; the key of the option table.
  const char* optionName = nullptr;
  int kind = kNoArgument;
  bool useHandler = false;
  OptionHandler handler = nullptr;
  // Without a handler: receives a pointer to the argument, when set.
  const char** valueOut = nullptr;
  // Without a handler: set to true when the option is met, when set.
  bool* flag = nullptr;
  // The option acts only in a parse() call with this pass number.
  int pass = 1;
};

class ArgParse {
public:
  // Indirect files may name further indirect files; this many may be open at
  // once, which stops a file that names itself.
  static constexpr int kMaxIndirectDepth = 100;
  // Readings of indirect files in one parser, nesting or not. A file that
  // names itself twice would otherwise be read 2^100 times before the depth
  // limit ends it; no real set of option files comes near this number.
  static constexpr int kMaxIndirectFiles = 1000;
  // Lines (fgets pieces) read from all indirect files together. A file that
  // never ends (a device, a pipe that keeps writing) must not keep the parser
  // reading; real option files are a few hundred lines at most.
  static constexpr long kMaxIndirectLines = 100000;
  // The word store of one indirect-file line.
  static constexpr int kMaxWordsPerLine = 256;
  // fgets reads an indirect file in pieces of at most this many bytes minus 1.
  static constexpr int kLineBufferSize = 1024;

  ArgParse();
  ArgParse(const ArgParse&) = delete;
  ArgParse& operator=(const ArgParse&) = delete;
  virtual ~ArgParse() = default;

  virtual void positional(const char* word) = 0;
  // Counts an error and writes its prefix; returns the stream for the message.
  virtual std::FILE* error();

  // Handles `count` words; errors are reported and counted, and only a
  // missing option argument ends the call early.
  void parse(int count, const char* const* words, int pass);
  void readIndirectFile(const char* fileName, int pass);
  // Splits one line of an indirect file (`fileName` null: of a command line)
  // into `words`; returns their number, 0 for an empty or bad line.
  int tokenizeLine(const char* fileName, int lineNumber, const char* text, std::vector<std::string>& words);

  // A name already in the table has its record replaced.
  void registerOption(const OptionInfo& info);
  // Exact name first, then the first option of kind 2 whose name starts the
  // word; `argument` receives the text after the name. Null when none fits.
  const OptionInfo* findOption(const char* word, const char** argument) const;

  int indirectDepth() const { return indirectDepth_; }

protected:
  void reportError(std::string_view message);

private:
  // Descending strcmp order, so that of two nested prefixes the longer one
  // is met first.
  struct DescendingName {
    bool operator()(const char* a, const char* b) const { return std::strcmp(a, b) > 0; }
  };

  std::map<const char*, OptionInfo, DescendingName> options_;
  int indirectDepth_ = 0;
  int indirectFilesRead_ = 0;
  long indirectLinesRead_ = 0;
  Diagnostics* diagnostics_;
  // Words read from indirect files, kept for the parser's lifetime so that a
  // pointer stored through `valueOut` stays valid.
  std::deque<std::string> wordStore_;
};

}  // namespace rw
