#include "tool/depfile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace rw {
namespace {

TEST(DepfileTest, EscapesWhatMakeAndNinjaWouldMisread) {
  struct Case {
    const char* path;
    const char* expected;
  };
  const Case cases[] = {
      {"maps/soc.xml", "maps/soc.xml"},
      {"", ""},
      {"my maps/soc.xml", "my\\ maps/soc.xml"},
      {"a\tb", "a\\\tb"},
      {"two  blanks", "two\\ \\ blanks"},
      {"cost$(X).xml", "cost$$(X).xml"},
      {"$$", "$$$$"},
      {"issue#4.xml", "issue\\#4.xml"},
      {"C:/maps/soc.xml", "C\\:/maps/soc.xml"},
      {"a:b:c", "a\\:b\\:c"},
      // Backslashes right before a blank are doubled so the blank stays escaped.
      {"a\\ b", "a\\\\\\ b"},
      {"a\\\\ b", "a\\\\\\\\\\ b"},
      // Elsewhere a backslash is an ordinary character in both readers.
      {"a\\b", "a\\b"},
      {"a\\#b", "a\\\\#b"},
      {"a&b'c%d", "a&b'c%d"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::optional<std::string> escaped = escapeDepfilePath(c.path);
    ASSERT_TRUE(escaped.has_value());
    EXPECT_EQ(*escaped, c.expected);
  }
}

TEST(DepfileTest, RefusesNamesNoReaderCanTakeBack) {
  for (const char* path : {"a\nb", "a\rb", "ends\\", "\n"}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(escapeDepfilePath(path).has_value());
  }
}

TEST(DepfileTest, RuleListsEachPrerequisiteOnceInFirstSeenOrder) {
  struct Case {
    const char* name;
    std::string target;
    std::vector<std::string> prerequisites;
    const char* expected;
  };
  const Case cases[] = {
      {"no inputs", "out.h", {}, "out.h:\n"},
      {"main file only", "out.h", {"soc.xml"}, "out.h: soc.xml\n"},
      {"duplicates dropped",
       "inc/soc.h",
       {"soc.xml", "/abs/uart.xml", "soc.xml", "/abs/gpio.xml", "/abs/uart.xml"},
       "inc/soc.h: soc.xml /abs/uart.xml /abs/gpio.xml\n"},
      {"escaped target", "my out.h", {"a b.xml"}, "my\\ out.h: a\\ b.xml\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bad;
    std::optional<std::string> rule = dependencyRule(c.target, c.prerequisites, &bad);
    ASSERT_TRUE(rule.has_value());
    EXPECT_EQ(*rule, c.expected);
  }
}

TEST(DepfileTest, RuleNamesThePathItCannotWrite) {
  struct Case {
    std::string target;
    std::vector<std::string> prerequisites;
    const char* bad;
  };
  const Case cases[] = {
      {"out\n.h", {"soc.xml"}, "out\n.h"},
      {"out.h", {"soc.xml", "line\nbreak.xml", "other.xml"}, "line\nbreak.xml"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bad);
    std::string bad;
    EXPECT_FALSE(dependencyRule(c.target, c.prerequisites, &bad).has_value());
    EXPECT_EQ(bad, c.bad);
  }
}

TEST(DepfileTest, WritesTheRuleAndReportsAnUnwritablePath) {
  char dir[] = "/tmp/depfile_testXXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string path = std::string(dir) + "/out.d";
  std::string error;
  ASSERT_TRUE(writeDepfile(path, "out.h: soc.xml\n", &error)) << error;
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "out.h: soc.xml\n");

  EXPECT_FALSE(writeDepfile(std::string(dir) + "/missing/out.d", "x:\n", &error));
  EXPECT_EQ(error, "No such file or directory");

  std::remove(path.c_str());
  rmdir(dir);
}

}  // namespace
}  // namespace rw
