// regwright's own command line: the positional arguments and the options that
// shape the generated header.
#pragma once

#include <string>
#include <vector>

#include "tool/arg_parse.h"

namespace rw {

class MyArgParse : public ArgParse {
public:
  // Registers every option of the tool.
  MyArgParse();
  ~MyArgParse() override = default;

  void positional(const char* word) override;

  // In the order met: input file, output file, target name, macro definitions.
  std::vector<std::string> positionals;
  bool regBaseOffs = false;
  bool noBitFields = false;
  // Where to write the header's file dependencies in Make form; empty: nowhere.
  std::string depFile;

private:
  void setRegOffsetString(const char* optionName, const char* argument);
  void setRegBaseString(const char* optionName, const char* argument);
  void setDefPrefixString(const char* optionName, const char* argument);
  void setRegString(const char* optionName, const char* argument);
  void setExcludeBitField(const char* optionName, const char* argument);
  void addExcludeBitFieldRegister(const char* optionName, const char* argument);
  void setBitBand(const char* optionName, const char* argument);
  void setDepFile(const char* optionName, const char* argument);

  void addFlag(const char* name, bool* flag);
  void addHandler(const char* name, void (MyArgParse::*handler)(const char*, const char*));
};

}  // namespace rw
