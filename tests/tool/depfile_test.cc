#include "tool/depfile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rw {
namespace {

TEST(Depfile, EscapesWhatMakeAndNinjaWouldMisread) {
  const struct {
    const char* path;
    const char* word;
  } cases[] = {
      {"maps/soc.xml", "maps/soc.xml"},
      {"my maps/soc.xml", "my\\ maps/soc.xml"},
      {"a\tb", "a\\\tb"},
      {"two  blanks", "two\\ \\ blanks"},
      {"cost$(X).xml", "cost$$(X).xml"},
      {"issue#4.xml", "issue\\#4.xml"},
      {"C:/a:b", "C\\:/a\\:b"},
      // Backslashes right before a blank are doubled so the blank stays escaped.
      {"a\\ b", "a\\\\\\ b"},
      {"a\\\\ b", "a\\\\\\\\\\ b"},
      // Elsewhere a backslash is an ordinary character in both readers.
      {"a\\b", "a\\b"},
      {"a\\#b", "a\\\\#b"},
      {"a&b'c%d", "a&b'c%d"},
  };
  for (const auto& c : cases) {
    std::string word;
    EXPECT_EQ(appendDepfileWord(c.path, word), DepfileProblem::None) << c.path;
    EXPECT_EQ(word, c.word);
  }
}

TEST(Depfile, RuleListsEachPrerequisiteOnceOrNamesThePathItCannotWrite) {
  const std::vector<std::string> inputs{"soc.xml", "/abs/a b.xml", "soc.xml", "/abs/gpio.xml", "/abs/a b.xml"};
  EXPECT_EQ(dependencyRule("inc/my soc.h", inputs).text, "inc/my\\ soc.h: soc.xml /abs/a\\ b.xml /abs/gpio.xml\n");
  EXPECT_EQ(dependencyRule("out.h", {}).text, "out.h:\n");

  const struct {
    std::string target;
    std::vector<std::string> prerequisites;
    DepfileProblem problem;
    const char* path;
  } failures[] = {
      {"out\n.h", {"soc.xml"}, DepfileProblem::LineBreak, "out\n.h"},
      {"out.h", {"soc.xml", "line\rbreak.xml", "ends\\"}, DepfileProblem::LineBreak, "line\rbreak.xml"},
      {"out.h", {"soc.xml", "dir\\\\", "x\n"}, DepfileProblem::TrailingBackslash, "dir\\\\"},
  };
  for (const auto& failure : failures) {
    const DependencyRule rule = dependencyRule(failure.target, failure.prerequisites);
    EXPECT_EQ(rule.problem, failure.problem);
    EXPECT_EQ(rule.path, failure.path);
  }
}

}  // namespace
}  // namespace rw
