#include "tool/arg_parse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parser_fixture.h"
#include "tool/my_arg_parse.h"

namespace rw {
namespace {

using testing::ParserTest;
using testing::pointers;

// A parser with options of every kind, recording what it is handed.
class RecordingParser : public ArgParse {
public:
  RecordingParser() {
    add("-I", kArgumentInSameWord, 1);
    add("-Include", kArgumentInSameWord, 1);
    add("-o", kArgumentIsNextWord, 1);
    add("-late", kArgumentIsNextWord, 2);
    OptionInfo stored;
    stored.optionName = "-store";
    stored.kind = kArgumentIsNextWord;
    stored.valueOut = &storedValue;
    stored.flag = &storedFlag;
    registerOption(stored);
  }

  void positional(const char* word) override { seen.push_back(std::string("pos:") + word); }
  void record(const char* name, const char* argument) {
    seen.push_back(std::string(name) + "=" + (argument != nullptr ? argument : "(null)"));
  }
  void add(const char* name, int kind, int pass) {
    OptionInfo info;
    info.optionName = name;
    info.kind = kind;
    info.useHandler = true;
    info.handler = static_cast<OptionHandler>(&RecordingParser::record);
    info.pass = pass;
    registerOption(info);
  }

  std::vector<std::string> seen;
  const char* storedValue = nullptr;
  bool storedFlag = false;
};

TEST_F(ParserTest, LookupKindsAndPasses) {
  struct Case {
    std::vector<std::string> args;
    int pass;
    std::vector<std::string> seen;
  };
  const std::vector<Case> cases = {
      {{"-Includefoo", "-Ifoo", "-I", "-Include"}, 1, {"-Include=foo", "-I=foo", "-I=", "-Include="}},
      {{"-o", "-I", "x"}, 1, {"-o=-I", "pos:x"}},
      {{"-late", "v", "w"}, 1, {"pos:w"}},
      {{"-late", "v", "w", "-Ia"}, 2, {"-late=v"}},
      {{"@", "-o"}, 2, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.front());
    RecordingParser parser;
    const std::vector<const char*> words = pointers(c.args);
    parser.parse(static_cast<int>(words.size()), words.data(), c.pass);
    EXPECT_EQ(parser.seen, c.seen);
  }
  // "@" names a file that cannot be opened; the kind 1 option at the end of
  // the words lacks its argument whatever the pass.
  EXPECT_EQ(errors(),
            "regwright: error: can't open indirect file : No such file or directory\n"
            "regwright: error: expected argument for option -o\n");
}

TEST_F(ParserTest, StoresThroughFlagAndValuePointers) {
  RecordingParser parser;
  const char* words[] = {"-store", "value"};
  parser.parse(2, words, 1);
  EXPECT_TRUE(parser.storedFlag);
  EXPECT_EQ(parser.storedValue, words[1]);

  // Registering a name again replaces its record.
  parser.add("-store", kNoArgument, 1);
  const char* again[] = {"-store", "next"};
  parser.parse(2, again, 1);
  EXPECT_EQ(parser.seen, (std::vector<std::string>{"-store=(null)", "pos:next"}));
}

TEST_F(ParserTest, TokenizeLine) {
  struct Case {
    std::string text;
    std::vector<std::string> words;
    std::string error;
  };
  std::string words256;
  std::vector<std::string> expected256;
  for (int i = 0; i < 256; ++i) {
    words256 += "w" + std::to_string(i) + " ";
    expected256.push_back("w" + std::to_string(i));
  }
  const std::vector<Case> cases = {
      {"", {}, ""},
      {"\n", {}, ""},
      {"   \n", {}, ""},
      {"a b\n", {"a", "b"}, ""},
      {"  a   b  \n", {"a", "b"}, ""},
      {"a b  ", {"a", "b", ""}, ""},
      {" ", {""}, ""},
      {"\"a b\"c \"\"\n", {"a b", "c", ""}, ""},
      {"a\"b\" c\n", {"a\"b\"", "c"}, ""},
      {"a\tb\r\n", {"a\tb\r"}, ""},
      {"ab\nc d\n", {"ab"}, ""},
      {"x \"abc\n", {}, "regwright: error: unterminated string in indirect file args.txt(7)\n"},
      {"\"abc", {}, "regwright: error: unterminated string in indirect file args.txt(7)\n"},
      {words256 + "\n", expected256, ""},
      {words256 + "x\n", {}, "regwright: error: too many arguments in indirect file args.txt(7)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 20));
    MyArgParse parser;
    const std::string before = errors();
    std::vector<std::string> words;
    const int count = parser.tokenizeLine("args.txt", 7, c.text.c_str(), words);
    EXPECT_EQ(count, static_cast<int>(c.words.size()));
    EXPECT_EQ(words, c.words);
    EXPECT_EQ(errors().substr(before.size()), c.error);
  }

  MyArgParse parser;
  std::vector<std::string> words;
  EXPECT_EQ(parser.tokenizeLine(nullptr, 1, "\"open", words), 0);
  EXPECT_EQ(errors().substr(errors().rfind("regwright:")), "regwright: error: unterminated string in command line\n");
}

TEST_F(ParserTest, IndirectFiles) {
  const std::string longWord(1023, 'a');
  struct Case {
    const char* name;
    std::string content;
    std::vector<std::string> positionals;
    std::string errors;
  };
  const std::vector<Case> cases = {
      {"comments and quotes",
       "#x comment\n #x\n\"a b\" \"\"\nplain\n",
       {"#x", "a b", "", "plain"},
       ""},
      {"argument never taken from the next line",
       "-regstring\nvalue\n",
       {"value"},
       "regwright: error: expected argument for option -regstring\n"},
      {"unterminated quote drops its line", "a \"b c\nd\n", {"d"}, "regwright: error: unterminated string in indirect file @F(1)\n"},
      {"long line read in pieces", longWord + "#b\n" + longWord + "c\n", {longWord, longWord, "c"}, ""},
      {"trailing spaces without line feed", "x  ", {"x", ""}, ""},
      {"carriage return stays", "in\r\n", {"in\r"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = writeFile("args.txt", c.content);
    MyArgParse parser;
    const std::string before = errors();
    const std::string word = "@" + path;
    const char* words[] = {word.c_str()};
    parser.parse(1, words, 1);
    EXPECT_EQ(parser.positionals, c.positionals);
    std::string expectedErrors = c.errors;
    if (auto at = expectedErrors.find("@F"); at != std::string::npos) expectedErrors.replace(at, 2, path);
    EXPECT_EQ(errors().substr(before.size()), expectedErrors);
    EXPECT_EQ(parser.indirectDepth(), 0);
  }
}

TEST_F(ParserTest, TooManyWordsOnOneIndirectLine) {
  std::string line;
  for (int i = 0; i < ArgParse::kMaxWordsPerLine + 1; ++i) line += "w ";
  const std::string path = writeFile("many.txt", "first\n" + line + "-fixdefs\nlast\n");
  MyArgParse parser;
  const std::string word = "@" + path;
  const char* words[] = {word.c_str()};
  parser.parse(1, words, 1);
  // The whole line is dropped, also the option on it.
  EXPECT_EQ(parser.positionals, (std::vector<std::string>{"first", "last"}));
  EXPECT_FALSE(generatorSettings().fixDefs);
  EXPECT_EQ(errors(), "regwright: error: too many arguments in indirect file " + path + "(2)\n");
  EXPECT_EQ(errorCount(), 1);
}

TEST_F(ParserTest, IndirectFileNamingItselfStopsAtTheDepthLimit) {
  const std::string path = dir() + "/self.txt";
  writeFile("self.txt", "@" + path + "\npos\n");
  MyArgParse parser;
  const std::string word = "@" + path;
  const char* words[] = {word.c_str()};
  parser.parse(1, words, 1);
  EXPECT_EQ(parser.positionals, std::vector<std::string>(ArgParse::kMaxIndirectDepth, "pos"));
  EXPECT_EQ(errors(), "regwright: error: too many indirect files\n");
  EXPECT_EQ(parser.indirectDepth(), 0);
}

TEST_F(ParserTest, UnreadableIndirectFile) {
  MyArgParse parser;
  const std::string missing = "@" + dir() + "/missing.txt";
  const char* words[] = {missing.c_str(), "in", "-q", "out"};
  parser.parse(4, words, 1);
  EXPECT_EQ(errors(), "regwright: error: can't open indirect file " + dir() +
                          "/missing.txt: No such file or directory\nregwright: error: unrecognised option -q\n");
  EXPECT_EQ(parser.positionals, (std::vector<std::string>{"in", "out"}));
  EXPECT_EQ(errorCount(), 2);
}

}  // namespace
}  // namespace rw
