#include "environment/macros.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace rw {
namespace {

enum Lookup { kCallerOnly, kSystemToo };

// `shape` spells the text with '9' standing for any digit.
bool hasShape(const std::string& text, const std::string& shape) {
  if (text.size() != shape.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (shape[i] == '9' ? !digit : text[i] != shape[i]) return false;
  }
  return true;
}

// "d MMMM yyyy": day without a leading zero, English month name, four digits.
bool isDateText(const std::string& text) {
  const size_t first = text.find(' ');
  const size_t last = text.rfind(' ');
  if (first == std::string::npos || first == last) return false;
  const std::string day = text.substr(0, first);
  const std::string month = text.substr(first + 1, last - first - 1);
  const std::vector<std::string> months = {"January", "February", "March",     "April",   "May",      "June",
                                           "July",    "August",   "September", "October", "November", "December"};
  const bool dayOk = (hasShape(day, "9") && day != "0") || (hasShape(day, "99") && day[0] != '0' && day <= "31");
  return dayOk && std::find(months.begin(), months.end(), month) != months.end() &&
         hasShape(text.substr(last + 1), "9999");
}

struct ExpandCase {
  const char* name;
  std::string text;
  MacroMap caller;
  Lookup lookup;
  std::string expected;
};

TEST(ExpandMacrosTest, ReferencesDefaultsAndPasses) {
  const PropertyClassList table;
  const std::vector<ExpandCase> cases = {
      {"empty text", "", {}, kSystemToo, ""},
      {"plain text", "abc", {}, kSystemToo, "abc"},
      {"system macro", "$(HostOS)", {}, kSystemToo, "linux"},
      {"system macros not searched", "$(HostOS)", {}, kCallerOnly, "$(HostOS)"},
      {"caller map first", "$(HostOS)", {{"HostOS", "mine"}}, kSystemToo, "mine"},
      {"names are case-sensitive", "$(hostos)", {}, kSystemToo, "$(hostos)"},
      {"undefined stays", "$(Nope)", {}, kSystemToo, "$(Nope)"},
      {"default", "$(Nope:abc)", {}, kSystemToo, "abc"},
      {"empty default", "a$(Nope:)b", {}, kSystemToo, "ab"},
      {"default unused when defined", "$(HostOS:abc)", {}, kSystemToo, "linux"},
      {"double sigil", "$$(HostOS)", {}, kSystemToo, "$(HostOS)"},
      {"double sigil then second pass", "$$(HostOS) $(X:$(Y))", {}, kSystemToo, "linux $(Y)"},
      {"unclosed reference", "$(HostOS", {}, kSystemToo, "(HostOS"},
      {"unclosed then closed", "$(a $(HostOS)", {}, kSystemToo, "(a linux"},
      {"sigil in an unclosed reference asks for a pass", "$(a $$(HostOS)", {}, kSystemToo, "(a linux"},
      {"nested default resolved", "$(Nope:$(HostOS))", {}, kSystemToo, "linux"},
      {"literal default", "$(Nope::x$(HostOS))", {}, kSystemToo, "x$(HostOS)"},
      {"literal default clears the whole pass", "$(Nope:$(HostOS))$(N2::z)", {}, kSystemToo, "$(HostOS)z"},
      {"parentheses in the name", "$(a(b))", {{"a(b)", "v"}}, kCallerOnly, "v"},
      {"trailing sigil", "cost$", {}, kSystemToo, "cost$"},
      {"sigil without parenthesis", "$x $", {}, kSystemToo, "$x $"},
      {"value not rescanned", "$(A)", {{"A", "$(B)"}, {"B", "b"}}, kCallerOnly, "$(B)"},
      {"value rescanned when the pass asks", "$(A)$(N:$(x))", {{"A", "$(B)"}, {"B", "b"}}, kCallerOnly, "b$(x)"},
      {"first colon splits", "$(Nope:a:b)", {}, kSystemToo, "a:b"},
      {"unresolvable reference in the name keeps its text", "$($(X))", {}, kSystemToo, "$($(X))"},
      {"stored value of a constant", "$(HostDLL)$(TargetID)$(Micro)", {}, kSystemToo, ".so_x648ARM"},
      {"empty stored value", "[$(HostEXE)]", {}, kSystemToo, "[]"},
  };
  for (const ExpandCase& c : cases) {
    SCOPED_TRACE(c.name);
    const bool system = c.lookup == kSystemToo;
    EXPECT_EQ(expandMacros(table, c.caller, c.text, system, system), c.expected);
  }
}

TEST(ExpandMacrosTest, SystemExpansionIgnoresNoCallerMap) {
  const PropertyClassList table;
  EXPECT_EQ(expandSystemMacros(table, "$(StudioDir:none)/$(HostOS)"), "none/linux");
}

TEST(ExpandMacrosTest, DateAndTimeNamesTakeTheClockWhicheverMapHoldsThem) {
  const PropertyClassList table;
  const MacroMap caller = {{"Date", "x"}, {"TimeMinute", "y"}};
  EXPECT_TRUE(isDateText(expandMacros(table, caller, "$(Date)", false, false)));
  EXPECT_TRUE(hasShape(expandMacros(table, caller, "$(TimeMinute)", false, false), "99"));
  // A name that no map holds is not looked at the clock.
  EXPECT_EQ(expandMacros(table, MacroMap(), "$(Date)", false, false), "$(Date)");
}

TEST(ExpandMacrosTest, DynamicValueFormats) {
  struct Case {
    const char* name;
    const char* shape;
  };
  const std::vector<Case> cases = {
      {"DateYear", "9999"}, {"DateMonth", "99"}, {"DateDay", "99"},
      {"Time", "99:99:99"}, {"TimeHour", "99"},  {"TimeSecond", "99"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string value;
    ASSERT_TRUE(dynamicMacroValue(c.name, value));
    EXPECT_TRUE(hasShape(value, c.shape)) << value;
  }
  std::string value = "unchanged";
  EXPECT_FALSE(dynamicMacroValue("HostOS", value));
  EXPECT_FALSE(dynamicMacroValue("date", value));
  EXPECT_FALSE(dynamicMacroValue("DateX", value));
  EXPECT_EQ(value, "unchanged");
}

TEST(ExpandMacrosTest, HostileNestingEndsQuickly) {
  const PropertyClassList table;
  const int depth = 100000;
  std::string unclosed;
  std::string nestedDefaults;
  for (int i = 0; i < depth; ++i) {
    unclosed += "$(";
    nestedDefaults += "$(A:";
  }
  nestedDefaults += std::string(depth, ')');
  const MacroMap doubling = {{"A", "$(A)$(A)$(N:$(x))"}};

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(expandMacros(table, MacroMap(), unclosed, true, true), std::string(depth, '('));
  EXPECT_FALSE(expandMacros(table, MacroMap(), nestedDefaults, true, true).empty());
  EXPECT_LE(expandMacros(table, doubling, "$(A)$(N:$(y))", false, false).size(), size_t{16} << 20);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(std::chrono::duration_cast<std::chrono::seconds>(elapsed).count(), 30);
}

TEST(SystemMacroTableTest, FifteenMacrosWithDisplayEntries) {
  const PropertyClassList table;
  const std::vector<std::string> names = {"Date",     "DateYear", "DateMonth", "DateDay",  "Time",
                                          "TimeHour", "TimeMinute", "TimeSecond", "HostArch", "HostOS",
                                          "Micro",    "TargetID", "HostEXE",    "HostDLLExt", "HostDLL"};
  ASSERT_EQ(table.entries().size(), names.size());
  EXPECT_EQ(table.systemMacros().size(), names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    const MacroPropertyClass& entry = *table.entries()[i];
    EXPECT_EQ(entry.macroName, names[i]);
    EXPECT_EQ(entry.key, "$(" + names[i] + ")");
    EXPECT_EQ(entry.shortName, entry.key);
    EXPECT_EQ(entry.group, "System Macro Values");
    EXPECT_EQ(entry.page, "Properties");
    EXPECT_EQ(entry.type, 4);
    EXPECT_FALSE(entry.longText.empty());
    EXPECT_EQ(table.systemMacros().count(names[i]), 1u);
  }
  EXPECT_EQ(table.entries()[8]->longText, "The CPU architecture that Pellworth is running on e.g. x86.");
  EXPECT_EQ(table.systemMacros().at("HostArch"), "x64");
  EXPECT_EQ(table.systemMacros().at("HostDLLExt"), ".so");
  EXPECT_TRUE(table.buildMacros().empty());
}

TEST(SystemMacroTableTest, AddMacroReplacesValueAndAppendsEntryOnlyWithDescription) {
  PropertyClassList table;
  table.addMacro("StudioDir", "/opt/a", "");
  EXPECT_EQ(table.entries().size(), 15u);
  table.setPathMacro("StudioDir", PathName("/opt/./b/../c/"), "");
  EXPECT_EQ(table.systemMacros().at("StudioDir"), "/opt/c");
  table.addMacro("Extra", "1", "first");
  table.addMacro("Extra", "2", "second");
  EXPECT_EQ(table.entries().size(), 17u);
  EXPECT_EQ(table.systemMacros().at("Extra"), "2");
  EXPECT_EQ(expandSystemMacros(table, "$(StudioDir)/bin"), "/opt/c/bin");
}

TEST(DefinitionListTest, SplitParseAndMerge) {
  struct Case {
    std::string text;
    bool keepEmpty;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"A=1;;B=x\\;y;", false, {"A=1", "B=x;y"}},
      {"A=1;;B=x\\;y;", true, {"A=1", "", "B=x;y", ""}},
      {"", false, {}},
      {"", true, {""}},
      {"a\\\\b;c\\", false, {"a\\b", "c\\"}},
      {"\\a\\=b", false, {"a=b"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(splitDefinitionList(c.text, c.keepEmpty), c.expected);
  }

  const MacroMap parsed = parseMacroDefinitions({"C=a=b", "FLAG", "X=1", "X=2", "=v"});
  const MacroMap expected = {{"C", "a=b"}, {"FLAG", ""}, {"X", "2"}, {"", "v"}};
  EXPECT_EQ(parsed, expected);

  const MacroMap merged = mergeMacros({{"A", "1"}, {"B", "1"}}, {{"B", "2"}, {"C", "2"}});
  const MacroMap mergedExpected = {{"A", "1"}, {"B", "2"}, {"C", "2"}};
  EXPECT_EQ(merged, mergedExpected);
}

}  // namespace
}  // namespace rw
