#include "tool/my_arg_parse.h"

#include <cstdlib>

#include "header/generator_settings.h"

namespace rw {

namespace {

// The bit-band alias region lies this far above the peripheral region.
constexpr uint32_t kBitBandAliasOffset = 0x2000000u;

std::string text(const char* argument) { return argument != nullptr ? std::string(argument) : std::string(); }

}  // namespace

MyArgParse::MyArgParse() {
  GeneratorSettings& settings = generatorSettings();
  addFlag("-regbaseoffs", &regBaseOffs);
  addFlag("-nobitfields", &noBitFields);
  addFlag("-noprependreg", &settings.noPrependReg);
  addFlag("-fixdefs", &settings.fixDefs);
  addHandler("-regoffsetstring", &MyArgParse::setRegOffsetString);
  addHandler("-regbasestring", &MyArgParse::setRegBaseString);
  addHandler("-defprefixstring", &MyArgParse::setDefPrefixString);
  addHandler("-regstring", &MyArgParse::setRegString);
  addHandler("-excludebitfield", &MyArgParse::setExcludeBitField);
  addHandler("-excludebitfield2", &MyArgParse::addExcludeBitFieldRegister);
  addHandler("-bitband", &MyArgParse::setBitBand);
  addFlag("-prependreggroup", &settings.prependRegGroup);
  addFlag("-singlebitfieldnames", &settings.singleBitFieldNames);
  addHandler("-depfile", &MyArgParse::setDepFile);
}

void MyArgParse::addFlag(const char* name, bool* flag) {
  OptionInfo info;
  info.optionName = name;
  info.kind = kNoArgument;
  info.useHandler = false;
  info.flag = flag;
  info.pass = 1;
  registerOption(info);
}

void MyArgParse::addHandler(const char* name, void (MyArgParse::*handler)(const char*, const char*)) {
  OptionInfo info;
  info.optionName = name;
  info.kind = kArgumentIsNextWord;
  info.useHandler = true;
  // Only ever called on this object, which is a MyArgParse.
  info.handler = static_cast<OptionHandler>(handler);
  info.pass = 1;
  registerOption(info);
}

void MyArgParse::positional(const char* word) { positionals.push_back(text(word)); }

void MyArgParse::setRegOffsetString(const char*, const char* argument) {
  generatorSettings().regOffsetString = text(argument);
}

void MyArgParse::setRegBaseString(const char*, const char* argument) {
  generatorSettings().regBaseString = text(argument);
}

void MyArgParse::setDefPrefixString(const char*, const char* argument) {
  generatorSettings().defPrefixString = text(argument);
}

void MyArgParse::setRegString(const char*, const char* argument) { generatorSettings().regString = text(argument); }

void MyArgParse::setExcludeBitField(const char*, const char* argument) {
  // Kept as text: the generator compiles it, and a pattern that does not
  // compile excludes nothing.
  generatorSettings().excludeBitFieldPattern = text(argument);
}

void MyArgParse::addExcludeBitFieldRegister(const char*, const char* argument) {
  generatorSettings().excludeBitFieldRegisters.push_back(text(argument));
}

void MyArgParse::setBitBand(const char*, const char* argument) {
  // Base 0: "0x" hexadecimal, a leading "0" octal, else decimal; reading stops
  // at the first character that does not fit and no number at all gives 0.
  const unsigned long value = std::strtoul(text(argument).c_str(), nullptr, 0);
  GeneratorSettings& settings = generatorSettings();
  settings.bitBandBase = static_cast<uint32_t>(value);
  settings.bitBandAliasOffset = kBitBandAliasOffset;
}

void MyArgParse::setDepFile(const char*, const char* argument) { depFile = text(argument); }

}  // namespace rw
