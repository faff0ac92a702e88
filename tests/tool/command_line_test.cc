#include "tool/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "case_file.h"
#include "temp_folder.h"
#include "tool/option_parser.h"

namespace rw {
namespace {

std::vector<std::string> split(const std::string& text) {
  std::vector<std::string> parts;
  if (text.empty()) return parts;
  for (size_t begin = 0;;) {
    const size_t end = text.find(" | ", begin);
    parts.push_back(text.substr(begin, end - begin));
    if (end == std::string::npos) return parts;
    begin = end + 3;
  }
}

std::string hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

// What differs from the defaults, in one comparable line.
std::string changes(const CommandLine& commandLine) {
  const HeaderOptions& o = commandLine.header;
  const HeaderOptions d;
  std::string out;
  const auto text = [&](const char* name, const std::string& value, const std::string& initial) {
    if (value != initial) out += std::string(name) + "=" + value + " ";
  };
  const auto flag = [&](const char* name, bool value) {
    if (value) out += std::string(name) + " ";
  };
  text("prefix", o.defPrefixString, d.defPrefixString);
  text("reg", o.regString, d.regString);
  text("base", o.regBaseString, d.regBaseString);
  text("offset", o.regOffsetString, d.regOffsetString);
  text("exclude", o.excludeBitFieldPattern, d.excludeBitFieldPattern);
  for (const std::string& r : o.excludeBitFieldRegisters) out += "register=" + r + " ";
  if (o.bitBandBase != d.bitBandBase || o.bitBandAliasOffset != d.bitBandAliasOffset) {
    out += "bitband=" + hex(o.bitBandBase) + "+" + hex(o.bitBandAliasOffset) + " ";
  }
  flag("fixdefs", o.fixDefs);
  flag("noprependreg", o.noPrependReg);
  flag("prependreggroup", o.prependRegGroup);
  flag("singlebitfieldnames", o.singleBitFieldNames);
  flag("regbaseoffs", o.regBaseOffs);
  flag("nobitfields", o.noBitFields);
  for (const auto& [option, path] : commandLine.outputs) out += option.substr(1) + "=" + path + " ";
  if (!out.empty()) out.pop_back();
  return out;
}

struct Parse {
  explicit Parse(const std::vector<std::string>& words) {
    diagnostics.stream = std::tmpfile();
    OptionParser(commandLine, diagnostics).parse(words);
    std::rewind(diagnostics.stream);
    for (int c; (c = std::fgetc(diagnostics.stream)) != EOF;) errors += static_cast<char>(c);
    std::fclose(diagnostics.stream);
  }
  Diagnostics diagnostics{"regwright"};
  CommandLine commandLine;
  std::string errors;
};

TEST(CommandLine, Cases) {
  const testing::TempFolder folder;
  const std::string file = folder.file("args");
  for (const testing::TestCase& c : testing::readCases("tool/command_line_cases.txt")) {
    SCOPED_TRACE(c.name);
    std::ofstream(file, std::ios::binary) << c.get("file");
    std::vector<std::string> words = split(c.get("words"));
    for (std::string& word : words) {
      if (word == "@F") word = "@" + file;
    }
    const Parse parse(words);
    EXPECT_EQ(changes(parse.commandLine), c.get("set"));
    EXPECT_EQ(parse.commandLine.positionals, split(c.get("positionals")));
    std::string errors;
    for (std::string error : c.all("error")) {
      if (const size_t at = error.find("F("); at != std::string::npos) error.replace(at, 1, file);
      errors += "regwright: error: " + error + "\n";
    }
    EXPECT_EQ(parse.errors, errors);
    EXPECT_EQ(parse.diagnostics.errorCount, static_cast<int>(c.all("error").size()));
  }
}

TEST(CommandLine, EveryOptionOfTheTableIsParsedAndListed) {
  char* text = nullptr;
  size_t size = 0;
  std::FILE* usage = ::open_memstream(&text, &size);
  printUsage(usage);
  std::fclose(usage);
  const std::string usageText(text, size);
  std::free(text);

  size_t previous = 0;
  for (const Option& option : optionTable()) {
    SCOPED_TRACE(std::string(option.name));
    std::vector<std::string> words{std::string(option.name)};
    if (option.takesArgument) words.push_back("0x10");
    const Parse parse(words);
    EXPECT_EQ(parse.errors, "");
    EXPECT_NE(parse.commandLine, CommandLine());
    // One line each, in table order, the description in the 28th column.
    std::string line = "  " + std::string(option.name);
    line.resize(27, ' ');
    line += std::string(option.description) + "\n";
    const size_t at = usageText.find(line);
    ASSERT_NE(at, std::string::npos);
    EXPECT_GT(at, previous);
    previous = at;
  }
  EXPECT_TRUE(usageText.starts_with("\nUsage: regwright <inputfile> <outputfile> [<targetname>] [<macros>] [option]\n\n"
                                    "  <inputfile>              memory map file name\n"));
}

TEST(CommandLine, IndirectFileNamingItselfStopsAtTheDepthLimit) {
  const testing::TempFolder folder;
  const std::string file = folder.write("self", "@" + folder.file("self") + "\npos\n");
  const Parse parse({"@" + file});
  EXPECT_EQ(parse.commandLine.positionals, std::vector<std::string>(OptionParser::kMaxIndirectDepth, "pos"));
  EXPECT_EQ(parse.errors, "regwright: error: too many indirect files\n");
}

TEST(CommandLine, TooManyWordsDropTheLine) {
  std::string line;
  for (int i = 0; i < OptionParser::kMaxWordsPerLine; ++i) line += "w ";
  const testing::TempFolder folder;
  const std::string file = folder.write("many", "first\n" + line + "\n" + line + "-fixdefs\nlast\n");
  const Parse parse({"@" + file});
  EXPECT_EQ(parse.commandLine.positionals.size(), OptionParser::kMaxWordsPerLine + 2u);
  EXPECT_FALSE(parse.commandLine.header.fixDefs);
  EXPECT_EQ(parse.errors, "regwright: error: too many arguments in indirect file " + file + "(3)\n");
}

}  // namespace
}  // namespace rw
