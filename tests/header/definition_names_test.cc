#include "header/definition_names.h"

#include <gtest/gtest.h>

#include <string>

#include "header/generator_settings.h"

namespace rw {
namespace {

class DefinitionNamesTest : public ::testing::Test {
protected:
  void TearDown() override { generatorSettings() = GeneratorSettings{}; }
};

TEST_F(DefinitionNamesTest, FixDefinitionNameRepairsOnlyWithFixDefs) {
  struct Case {
    const char* input;
    const char* fixed;
  };
  const Case cases[] = {
      {"1ST-CTRL[0]", "_1ST_CTRL0"},
      {"EN(enable)", "EN"},
      {"a/b:c-d", "a_b_c_d"},
      {"keep. blanks.and dots", "keep. blanks.and dots"},
      {"", ""},
      {"(x", ""},
      {"9(", "_9"},
      {"[1]X", "1X"},  // the digit test looks at the name before brackets go
      {"X1", "X1"},
      // Arabic-Indic digit three (Nd), Roman numeral twelve (Nl), vulgar
      // fraction one half (No): all numbers to Unicode.
      {"\xD9\xA3X", "_\xD9\xA3X"},
      {"\xE2\x85\xAB", "_\xE2\x85\xAB"},
      {"\xC2\xBD", "_\xC2\xBD"},
      // A letter outside ASCII is not a number.
      {"\xC3\x84X", "\xC3\x84X"},
      // Not UTF-8: the lone byte reads as Latin-1, where 0xB2 is superscript
      // two, a number; 0xC4 is a letter.
      {"\xB2X", "_\xB2X"},
      {"\xC4X", "\xC4X"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    generatorSettings().fixDefs = true;
    std::string name = c.input;
    fixDefinitionName(name);
    EXPECT_EQ(name, c.fixed);

    generatorSettings().fixDefs = false;
    name = c.input;
    fixDefinitionName(name);
    EXPECT_EQ(name, c.input);
  }
}

TEST_F(DefinitionNamesTest, RegisterNameTakesTheGroupPrefixWhenAsked) {
  struct Case {
    const char* label;
    bool withGroup;
    const char* groupName;  // null: no name attribute
    bool prependAttribute;
    bool prependRegGroup;
    bool fixDefs;
    const char* registerName;  // null: no name attribute
    const char* expected;
  };
  const Case cases[] = {
      {"no group", false, nullptr, false, true, false, "R", "R"},
      {"group without request", true, "G", false, false, false, "R", "R"},
      {"attribute asks", true, "G", true, false, false, "R", "G_R"},
      {"option asks", true, "G", false, true, false, "R", "G_R"},
      {"nameless group", true, nullptr, true, false, false, "R", "_R"},
      {"nameless register", true, "G", true, false, false, nullptr, "G_"},
      {"repair covers the prefix", true, "2-G", true, false, true, "R[1]", "_2_G_R1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    generatorSettings() = GeneratorSettings{};
    generatorSettings().prependRegGroup = c.prependRegGroup;
    generatorSettings().fixDefs = c.fixDefs;
    MemoryMapElement group("RegisterGroup", false);
    if (c.groupName != nullptr) group.setAttribute("name", c.groupName);
    if (c.prependAttribute) group.setAttribute("prepend_group_name", "");
    MemoryMapElement reg("Register", false);
    if (c.registerName != nullptr) reg.setAttribute("name", c.registerName);
    EXPECT_EQ(registerName(reg, c.withGroup ? &group : nullptr), c.expected);
  }
}

}  // namespace
}  // namespace rw
