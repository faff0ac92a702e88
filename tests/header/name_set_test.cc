#include "header/name_set.h"

#include <gtest/gtest.h>

#include <string>

namespace rw {
namespace {

TEST(NameSetTest, InsertsEachNameOnceExactly) {
  struct Case {
    std::string name;
    bool isNew;
  };
  const Case cases[] = {
      {"CTRL", true},     {"CTRL", false},  {"ctrl", true},  {"", true},
      {"", false},        {"CTRL_", true},  {"CTR", true},   {std::string("A\0B", 3), true},
      {"A", true},        {std::string("A\0B", 3), false},
      // Longer than one arena chunk.
      {std::string(300 * 1024, 'x'), true}, {std::string(300 * 1024, 'x'), false},
      {"after the long one", true},
  };
  NameSet set;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name.substr(0, 20));
    EXPECT_EQ(set.insert(c.name), c.isNew);
    EXPECT_TRUE(set.contains(c.name));
  }
  EXPECT_EQ(set.size(), 9u);
}

TEST(NameSetTest, KeepsEveryNameThroughGrowthAndClear) {
  NameSet set;
  constexpr int kNames = 100'000;
  for (int i = 0; i < kNames; ++i) {
    ASSERT_TRUE(set.insert("REG" + std::to_string(i) + "_F")) << i;
  }
  for (int i = 0; i < kNames; ++i) {
    ASSERT_FALSE(set.insert("REG" + std::to_string(i) + "_F")) << i;
  }
  EXPECT_FALSE(set.contains("REG" + std::to_string(kNames) + "_F"));
  EXPECT_EQ(set.size(), static_cast<size_t>(kNames));

  set.clear();
  EXPECT_EQ(set.size(), 0u);
  EXPECT_FALSE(set.contains("REG0_F"));
  EXPECT_TRUE(set.insert("REG0_F"));
}

}  // namespace
}  // namespace rw
