// Indirect files written to hurt: chains at the depth limit, files that name
// themselves more than once, very long lines, files that never end. Each must
// finish quickly with its errors counted.
#include <unistd.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "text_builders.h"

#include "parser_fixture.h"
#include "tool/arg_parse.h"
#include "tool/my_arg_parse.h"

namespace rw {
namespace {

using testing::join;
using testing::repeat;

using testing::ParserTest;

class Watchdog {
public:
  explicit Watchdog(unsigned seconds) { ::alarm(seconds); }
  ~Watchdog() { ::alarm(0); }
};

class IndirectHostileTest : public ParserTest {
protected:
  void parseWord(MyArgParse& parser, const std::string& word) {
    const char* words[] = {word.c_str()};
    parser.parse(1, words, 1);
  }
};

TEST_F(IndirectHostileTest, ChainsAroundTheDepthLimit) {
  struct Case {
    int files;
    size_t positionals;
    std::string errors;
  };
  const std::vector<Case> cases = {
      {ArgParse::kMaxIndirectDepth, ArgParse::kMaxIndirectDepth, ""},
      {ArgParse::kMaxIndirectDepth + 1, ArgParse::kMaxIndirectDepth, "regwright: error: too many indirect files\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.files);
    const std::string prefix = join({"chain", std::to_string(c.files), "-"});
    for (int i = 0; i < c.files; ++i) {
      const std::string next = i + 1 < c.files ? join({" @", dir(), "/", prefix, std::to_string(i + 1)}) : "";
      writeFile(join({prefix, std::to_string(i)}), join({"p", std::to_string(i), next, "\n"}));
    }
    const std::string before = errors();
    MyArgParse parser;
    parseWord(parser, join({"@", dir(), "/", prefix, "0"}));
    ASSERT_EQ(parser.positionals.size(), c.positionals);
    EXPECT_EQ(parser.positionals.back(), join({"p", std::to_string(c.positionals - 1)}));
    EXPECT_EQ(errors().substr(before.size()), c.errors);
    EXPECT_EQ(parser.indirectDepth(), 0);
  }
}

// Each reading names the file twice, so the readings would double at every
// level up to the depth limit: 2^100 of them without a bound on the total.
TEST_F(IndirectHostileTest, FileNamingItselfTwiceStopsAtTheTotalLimit) {
  const Watchdog watchdog(60);
  const std::string path = join({dir(), "/twice"});
  writeFile("twice", join({"x @", path, " @", path, "\n"}));
  MyArgParse parser;
  parseWord(parser, join({"@", path}));
  EXPECT_EQ(parser.positionals.size(), static_cast<size_t>(ArgParse::kMaxIndirectFiles));
  EXPECT_GT(errorCount(), 0);
  EXPECT_NE(errors().find("regwright: error: too many indirect files\n"), std::string::npos);
  EXPECT_EQ(parser.indirectDepth(), 0);
}

// A line is read in pieces of at most 1023 bytes, each a line of its own: a
// line of 10,000 one-letter words gives pieces of more than 256 words, each
// dropped with an error; with longer words every piece fits and all words are
// kept (the word cut at each piece boundary turning into two).
TEST_F(IndirectHostileTest, LineOfTenThousandWords) {
  struct Case {
    std::string word;
    bool dropped;
  };
  const std::vector<Case> cases = {{"a", true}, {"word1234", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    std::string line;
    for (int i = 0; i < 10000; ++i) line += c.word + " ";
    line.back() = '\n';
    const std::string path = writeFile("long-" + c.word, line);
    const int errorsBefore = errorCount();
    MyArgParse parser;
    parseWord(parser, join({"@", path}));
    const size_t pieces = (line.size() + ArgParse::kLineBufferSize - 2) / (ArgParse::kLineBufferSize - 1);
    if (c.dropped) {
      EXPECT_EQ(errorCount() - errorsBefore, static_cast<int>(pieces));
      EXPECT_NE(errors().find("too many arguments in indirect file " + path + "(1)\n"), std::string::npos);
      EXPECT_NE(errors().find("too many arguments in indirect file " + path + "(" + std::to_string(pieces) + ")\n"),
                std::string::npos);
      EXPECT_TRUE(parser.positionals.empty());
    } else {
      EXPECT_EQ(errorCount(), errorsBefore);
      EXPECT_GE(parser.positionals.size(), 10000u);
      EXPECT_LT(parser.positionals.size(), 10000u + pieces);
    }
  }
}

// fgets on a device that never ends delivers empty lines for ever.
TEST_F(IndirectHostileTest, EndlessFileStopsAtTheLineLimit) {
  const Watchdog watchdog(60);
  MyArgParse parser;
  parseWord(parser, "@/dev/zero");
  EXPECT_EQ(errorCount(), 1);
  EXPECT_EQ(errors(), "regwright: error: too many lines in indirect files\n");
  EXPECT_EQ(parser.indirectDepth(), 0);
}

}  // namespace
}  // namespace rw
