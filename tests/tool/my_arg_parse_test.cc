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

// Every generator setting and parser member in one comparable text.
std::string describe(const MyArgParse& parser) {
  const GeneratorSettings& s = generatorSettings();
  std::ostringstream out;
  char bitBand[64];
  std::snprintf(bitBand, sizeof bitBand, "%08X+%X", s.bitBandBase, s.bitBandAliasOffset);
  out << "prefix=" << s.defPrefixString << " reg=" << s.regString << " base=" << s.regBaseString
      << " offset=" << s.regOffsetString << " exclude=" << s.excludeBitFieldPattern << " registers=";
  for (const std::string& r : s.excludeBitFieldRegisters) out << r << ",";
  out << " bitband=" << bitBand << " fix=" << s.fixDefs << " noprepend=" << s.noPrependReg
      << " group=" << s.prependRegGroup << " single=" << s.singleBitFieldNames << " offs=" << parser.regBaseOffs
      << " nobits=" << parser.noBitFields << " dep=" << parser.depFile;
  return out.str();
}

const char* const kDefaults =
    "prefix= reg= base=_BASE offset=_OFFSET exclude= registers= bitband=FFFFFFFF+0 fix=0 noprepend=0 group=0 "
    "single=0 offs=0 nobits=0 dep=";

TEST_F(ParserTest, OptionsSetTheirSettings) {
  struct Case {
    std::vector<std::string> args;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {{}, kDefaults},
      {{"-bitband", "0x40000000"},
       "prefix= reg= base=_BASE offset=_OFFSET exclude= registers= bitband=40000000+2000000 fix=0 noprepend=0 "
       "group=0 single=0 offs=0 nobits=0 dep="},
      {{"-bitband", "peripherals"},
       "prefix= reg= base=_BASE offset=_OFFSET exclude= registers= bitband=00000000+2000000 fix=0 noprepend=0 "
       "group=0 single=0 offs=0 nobits=0 dep="},
      {{"-bitband", "010"},
       "prefix= reg= base=_BASE offset=_OFFSET exclude= registers= bitband=00000008+2000000 fix=0 noprepend=0 "
       "group=0 single=0 offs=0 nobits=0 dep="},
      {{"-bitband", "0x1234567890"},
       "prefix= reg= base=_BASE offset=_OFFSET exclude= registers= bitband=34567890+2000000 fix=0 noprepend=0 "
       "group=0 single=0 offs=0 nobits=0 dep="},
      {{"-bitband", "12abc"},
       "prefix= reg= base=_BASE offset=_OFFSET exclude= registers= bitband=0000000C+2000000 fix=0 noprepend=0 "
       "group=0 single=0 offs=0 nobits=0 dep="},
      {{"-excludebitfield2", "CR", "-excludebitfield2", "SR", "-excludebitfield", "^RES.*", "-excludebitfield",
        "^RSV"},
       "prefix= reg= base=_BASE offset=_OFFSET exclude=^RSV registers=CR,SR, bitband=FFFFFFFF+0 fix=0 noprepend=0 "
       "group=0 single=0 offs=0 nobits=0 dep="},
      {{"-regbasestring", "X", "-regbasestring", "Y", "-regoffsetstring", "_OFF", "-defprefixstring", "P_"},
       "prefix=P_ reg= base=Y offset=_OFF exclude= registers= bitband=FFFFFFFF+0 fix=0 noprepend=0 group=0 "
       "single=0 offs=0 nobits=0 dep="},
      {{"-regstring", "-fixdefs"},
       "prefix= reg=-fixdefs base=_BASE offset=_OFFSET exclude= registers= bitband=FFFFFFFF+0 fix=0 noprepend=0 "
       "group=0 single=0 offs=0 nobits=0 dep="},
      {{"-fixdefs", "-noprependreg", "-prependreggroup", "-singlebitfieldnames", "-regbaseoffs", "-nobitfields",
        "-fixdefs", "-depfile", "out.d"},
       "prefix= reg= base=_BASE offset=_OFFSET exclude= registers= bitband=FFFFFFFF+0 fix=1 noprepend=1 group=1 "
       "single=1 offs=1 nobits=1 dep=out.d"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.empty() ? std::string("(none)") : c.args.front() + " " + c.args.back());
    generatorSettings() = GeneratorSettings();
    MyArgParse parser;
    const std::vector<const char*> words = pointers(c.args);
    parser.parse(static_cast<int>(words.size()), words.data(), 1);
    EXPECT_EQ(describe(parser), c.expected);
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
  EXPECT_EQ(describe(parser), kDefaults);
  EXPECT_EQ(errorCount(), 0);
}

}  // namespace
}  // namespace rw
