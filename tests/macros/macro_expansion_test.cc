#include "macros/macro_expansion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_file.h"

namespace rw {
namespace {

TEST(MacroExpansion, Cases) {
  for (const testing::TestCase& c : testing::readCases("macros/expansion_cases.txt")) {
    SCOPED_TRACE(c.name);
    MacroTable macros = c.get("system") == "yes" ? systemMacros() : MacroTable();
    macros.setAll(macroDefinitions(c.get("macros")));
    ::testing::internal::CaptureStderr();
    const std::string out = expandMacros(c.get("text"), macros);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.get("warn"));
    if (c.has("out")) {
      EXPECT_EQ(out, c.get("out"));
    }
  }
}

// A flood that expanded by rescanning would not end in any reasonable time:
// the test's time limit catches that, so no clock is read here.
TEST(MacroExpansion, FloodsOfReferencesEnd) {
  const size_t deep = 100000;
  std::string unclosed;
  std::string closed;
  for (size_t i = 0; i < deep; ++i) unclosed += "$(";
  closed = unclosed + "X" + std::string(deep, ')');
  EXPECT_EQ(expandMacros(unclosed, MacroTable()), std::string(deep, '('));
  EXPECT_EQ(expandMacros(closed, MacroTable()), closed);
}

// "9" in a shape stands for any digit.
bool hasShape(const std::string& text, const std::string& shape) {
  if (text.size() != shape.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (shape[i] == '9' ? !digit : text[i] != shape[i]) return false;
  }
  return true;
}

TEST(MacroExpansion, DateAndTimeNamesTakeTheClockOnceDefined) {
  const MacroTable system = systemMacros();
  const std::string date = expandMacros("$(Date)", system);
  EXPECT_TRUE(hasShape(date.substr(date.rfind(' ')), " 9999")) << date;
  EXPECT_TRUE(hasShape(expandMacros("$(DateYear)-$(DateMonth)-$(DateDay)", system), "9999-99-99"));
  EXPECT_TRUE(hasShape(expandMacros("$(Time) $(TimeHour)$(TimeMinute)$(TimeSecond)", system), "99:99:99 999999"));
  EXPECT_TRUE(hasShape(expandMacros("$(TimeMinute)", macroDefinitions("TimeMinute=x")), "99"));
  EXPECT_EQ(expandMacros("$(Date)", MacroTable()), "$(Date)");
}

TEST(DefinitionList, SplitsAndParses) {
  EXPECT_EQ(splitDefinitionList("A=1;;B=x\\;y;", false), (std::vector<std::string>{"A=1", "B=x;y"}));
  EXPECT_EQ(splitDefinitionList("A=1;;B=x\\;y;", true), (std::vector<std::string>{"A=1", "", "B=x;y", ""}));
  EXPECT_EQ(splitDefinitionList("", true), std::vector<std::string>{""});
  EXPECT_EQ(splitDefinitionList("a\\\\b;c\\", false), (std::vector<std::string>{"a\\b", "c\\"}));

  const MacroTable table = parseMacroDefinitions({"C=a=b", "FLAG", "X=1", "X=2", "=v"});
  EXPECT_EQ(*table.find("C"), "a=b");
  EXPECT_EQ(*table.find("FLAG"), "");
  EXPECT_EQ(*table.find("X"), "2");
  EXPECT_EQ(*table.find(""), "v");
}

TEST(MacroTable, CopiesAreIndependent) {
  MacroTable outer = macroDefinitions("A=1;B=2");
  MacroTable inner = outer;
  for (int i = 0; i < 1000; ++i) inner.set("N" + std::to_string(i), std::to_string(i));
  inner.set("A", "changed");
  inner.setAll(inner);
  EXPECT_EQ(*outer.find("A"), "1");
  EXPECT_FALSE(outer.contains("N5"));
  EXPECT_EQ(*inner.find("A"), "changed");
  EXPECT_EQ(*inner.find("N999"), "999");
  EXPECT_EQ(*inner.find("B"), "2");
}

}  // namespace
}  // namespace rw
