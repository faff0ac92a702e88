#include "svd/svd_values.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace rw {
namespace {

TEST(SvdValues, Numbers) {
  struct Case {
    const char* text;
    std::optional<uint64_t> value;
  };
  const Case cases[] = {
      {"42", 42},
      {" +0x1F\n", 0x1F},
      {"0XfF", 0xFF},
      {"#1010", 10},
      {"0b11", 3},
      {"4k", 4096},
      {"0x2K", 2048},
      {"3M", 3u << 20},
      {"1G", uint64_t{1} << 30},
      {"1t", uint64_t{1} << 40},
      {"18446744073709551615", UINT64_MAX},
      {"18446744073709551616", std::nullopt},
      {"0x10000000000000000", std::nullopt},
      {"16777216T", std::nullopt},
      {"", std::nullopt},
      {"0x", std::nullopt},
      {"k", std::nullopt},
      {"#102", std::nullopt},
      {"12z", std::nullopt},
      {"-1", std::nullopt},
      {"1 2", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(parseSvdNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(SvdValues, DimIndex) {
  struct Case {
    const char* dimIndex;
    uint64_t count;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"", 3, {"0", "1", "2"}},
      {"A,B, C", 3, {"A", "B", "C"}},
      {"0-3", 4, {"0", "1", "2", "3"}},
      {"4-5", 2, {"4", "5"}},
      {"A-D", 4, {"A", "B", "C", "D"}},
      // Fewer names than elements: the rest are numbered by their place.
      {"X,Y", 4, {"X", "Y", "2", "3"}},
      {"9-8", 2, {"0", "1"}},
      // More names than elements: the first ones.
      {"0-4000000000", 2, {"0", "1"}},
      {"a,b,c", 1, {"a"}},
      {"", 0, {}},
  };
  for (const Case& c : cases) {
    const DimIndex index(c.dimIndex);
    std::vector<std::string> names;
    for (uint64_t k = 0; k < c.count; ++k) names.push_back(index.name(k));
    EXPECT_EQ(names, c.names) << c.dimIndex;
  }
}

// The size the text bound is charged before a name is made must be the size
// of the name made.
TEST(SvdValues, IndexSubstitution) {
  struct Case {
    const char* name;
    const char* index;
    const char* expected;
  };
  const Case cases[] = {
      {"CH[%s]", "3", "CH3"},
      {"P1%sPFS_%s", "0", "P10PFS_0"},
      {"[%s][%s]", "AB", "ABAB"},
      {"%s[%s]%s", "x", "xxx"},
      {"[%s%s]", "x", "[xx]"},
      {"[%s", "x", "[x"},
      {"%s]", "x", "x]"},
      {"%%ss", "7", "%7s"},
      {"%", "7", "%"},
      {"", "7", ""},
      {"NONE", "7", "NONE"},
      {"%s%s%s", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(substituteIndex(c.name, c.index), c.expected) << c.name;
    EXPECT_EQ(substitutedSize(c.name, c.index), std::string_view(c.expected).size()) << c.name;
  }
}

TEST(SvdValues, NamesAndText) {
  EXPECT_EQ(cIdentifier("A-B.c[1] \xC3\xA9"), "A_B_c_1____");
  EXPECT_EQ(collapseWhitespace("\n   Control\n\t  register \r\n"), "Control register");
  EXPECT_EQ(collapseWhitespace(" \x01\n"), "");
  EXPECT_EQ(collapseWhitespace("one"), "one");
  EXPECT_EQ(collapseWhitespace("one two"), "one two");
  EXPECT_EQ(collapseWhitespace("one  two"), "one two");
  EXPECT_EQ(collapseWhitespace("one two "), "one two");
  EXPECT_EQ(collapseWhitespace(" one"), "one");
  EXPECT_EQ(collapseWhitespace(" "), "");
  EXPECT_EQ(collapseWhitespace(""), "");
  EXPECT_EQ(collapseWhitespace("a\x1F\x7F b"), "a \x7F b");
}

}  // namespace
}  // namespace rw
