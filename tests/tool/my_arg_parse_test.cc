#include "tool/my_arg_parse.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "parser_fixture.h"

namespace rw {
namespace {

using testing::ParserTest;
using testing::pointers;

// The settings and parser members that differ from their defaults, in one
// comparable text.
std::string changes(const MyArgParse& parser) {
  const GeneratorSettings& s = generatorSettings();
  const GeneratorSettings d;
  std::ostringstream out;
  auto text = [&](const char* name, const std::string& value, const std::string& initial) {
    if (value != initial) out << name << "=" << value << " ";
  };
  auto flag = [&](const char* name, bool value) {
    if (value) out << name << " ";
  };
  text("prefix", s.defPrefixString, d.defPrefixString);
  text("reg", s.regString, d.regString);
  text("base", s.regBaseString, d.regBaseString);
  text("offset", s.regOffsetString, d.regOffsetString);
  text("exclude", s.excludeBitFieldPattern, d.excludeBitFieldPattern);
  for (const std::string& r : s.excludeBitFieldRegisters) out << "register=" << r << " ";
  if (s.bitBandBase != d.bitBandBase || s.bitBandAliasOffset != d.bitBandAliasOffset) {
    char bitBand[64];
    std::snprintf(bitBand, sizeof bitBand, "bitband=%08X+%X ", s.bitBandBase, s.bitBandAliasOffset);
    out << bitBand;
  }
  flag("fixdefs", s.fixDefs);
  flag("noprependreg", s.noPrependReg);
  flag("prependreggroup", s.prependRegGroup);
  flag("singlebitfieldnames", s.singleBitFieldNames);
  flag("regbaseoffs", parser.regBaseOffs);
  flag("nobitfields", parser.noBitFields);
  text("depfile", parser.depFile, "");
  return out.str();
}

TEST_F(ParserTest, OptionsSetTheirSettings) {
  struct Case {
    std::vector<std::string> args;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {{}, ""},
      {{"-bitband", "0x40000000"}, "bitband=40000000+2000000 "},
      {{"-bitband", "peripherals"}, "bitband=00000000+2000000 "},
      {{"-bitband", "010"}, "bitband=00000008+2000000 "},
      {{"-bitband", "0x1234567890"}, "bitband=34567890+2000000 "},
      {{"-bitband", "12abc"}, "bitband=0000000C+2000000 "},
      {{"-bitband", "0xFFFFFFFF"}, "bitband=FFFFFFFF+2000000 "},
      {{"-excludebitfield2", "CR", "-excludebitfield2", "SR", "-excludebitfield", "^RES.*", "-excludebitfield", "^RSV"},
       "exclude=^RSV register=CR register=SR "},
      {{"-regbasestring", "X", "-regbasestring", "Y", "-regoffsetstring", "_OFF", "-defprefixstring", "P_"},
       "prefix=P_ base=Y offset=_OFF "},
      {{"-regstring", "-fixdefs"}, "reg=-fixdefs "},
      {{"-regbasestring", ""}, "base= "},
      {{"-fixdefs", "-noprependreg", "-prependreggroup", "-singlebitfieldnames", "-regbaseoffs", "-nobitfields",
        "-fixdefs", "-depfile", "out.d"},
       "fixdefs noprependreg prependreggroup singlebitfieldnames regbaseoffs nobitfields depfile=out.d "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.empty() ? std::string("(none)") : c.args.front() + " " + c.args.back());
    generatorSettings() = GeneratorSettings();
    MyArgParse parser;
    const std::vector<const char*> words = pointers(c.args);
    parser.parse(static_cast<int>(words.size()), words.data(), 1);
    EXPECT_EQ(changes(parser), c.expected);
    EXPECT_TRUE(parser.positionals.empty());
  }
  EXPECT_EQ(errorCount(), 0);
}

TEST_F(ParserTest, PositionalsAndErrors) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> positionals;
    std::string errors;
  };
  const std::vector<Case> cases = {
      {{"map.xml", "-fixdefs", "out.h", "T1", "A=1;B=2"}, {"map.xml", "out.h", "T1", "A=1;B=2"}, ""},
      {{"in", "-NoBitFields", "-nobitfieldsx", "-", "out"},
       {"in", "out"},
       "regwright: error: unrecognised option -NoBitFields\n"
       "regwright: error: unrecognised option -nobitfieldsx\n"
       "regwright: error: unrecognised option -\n"},
      {{"a", "-x", "b", "-y", "c"},
       {"a", "b", "c"},
       "regwright: error: unrecognised option -x\nregwright: error: unrecognised option -y\n"},
      {{"a", "-regstring"}, {"a"}, "regwright: error: expected argument for option -regstring\n"},
      {{"-z", "-depfile"},
       {},
       "regwright: error: unrecognised option -z\nregwright: error: expected argument for option -depfile\n"},
      {{"", "x y"}, {"", "x y"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.front());
    const std::string before = errors();
    MyArgParse parser;
    const std::vector<const char*> words = pointers(c.args);
    parser.parse(static_cast<int>(words.size()), words.data(), 1);
    EXPECT_EQ(parser.positionals, c.positionals);
    EXPECT_EQ(errors().substr(before.size()), c.errors);
  }
  EXPECT_EQ(errorCount(), 8);
}

TEST_F(ParserTest, ExpectedArgumentEndsTheCall) {
  MyArgParse parser;
  const char* words[] = {"a", nullptr, "-regstring"};
  parser.parse(3, words, 1);
  // Nothing after a missing argument; a null word is skipped.
  EXPECT_EQ(parser.positionals, std::vector<std::string>{"a"});
  EXPECT_EQ(errorCount(), 1);
}

TEST_F(ParserTest, OtherPassesIgnorePositionalsAndOptions) {
  MyArgParse parser;
  const char* words[] = {"in", "-regstring", "R", "-fixdefs", "out"};
  parser.parse(5, words, 2);
  EXPECT_TRUE(parser.positionals.empty());
  EXPECT_EQ(changes(parser), "");
  EXPECT_EQ(errorCount(), 0);
}

}  // namespace
}  // namespace rw
