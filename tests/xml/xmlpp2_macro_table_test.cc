#include "xml/xmlpp2_macro_table.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace rw {
namespace {

TEST(LevelMacros, CopiesAreIndependent) {
  LevelMacros outer(MacroMap{{"A", "1"}, {"B", "2"}});
  LevelMacros inner = outer;
  inner.set("B", "20");
  inner.set("C", "3");
  LevelMacros sibling = outer;
  sibling.setAll(MacroMap{{"A", "x"}});

  struct Case {
    const LevelMacros* table;
    const char* name;
    const char* expected;  // null: undefined
  };
  const std::vector<Case> cases = {
      {&outer, "A", "1"},    {&outer, "B", "2"},   {&outer, "C", nullptr}, {&inner, "A", "1"},
      {&inner, "B", "20"},   {&inner, "C", "3"},   {&sibling, "A", "x"},   {&sibling, "C", nullptr},
      {&outer, "", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string* value = c.table->find(c.name);
    if (c.expected == nullptr) {
      EXPECT_EQ(value, nullptr);
    } else {
      ASSERT_NE(value, nullptr);
      EXPECT_EQ(*value, c.expected);
    }
  }
}

// Inserts in random and in sorted order (the order that unbalances a plain
// search tree) and checks every entry against a map, in every snapshot.
TEST(LevelMacros, AgreesWithAMapUnderManyInserts) {
  std::mt19937 random(7);
  for (bool sorted : {false, true}) {
    SCOPED_TRACE(sorted ? "sorted" : "random");
    LevelMacros table;
    MacroMap reference;
    std::vector<std::pair<LevelMacros, MacroMap>> snapshots;
    for (int i = 0; i < 2000; ++i) {
      const std::string name = "N" + std::to_string(sorted ? 100000 + i : static_cast<int>(random() % 500));
      const std::string value = std::to_string(i);
      table.set(name, value);
      reference[name] = value;
      if (i % 400 == 0) snapshots.emplace_back(table, reference);
    }
    snapshots.emplace_back(table, reference);
    for (const auto& [snapshot, expected] : snapshots) {
      for (const auto& [name, value] : expected) {
        const std::string* found = snapshot.find(name);
        ASSERT_NE(found, nullptr) << name;
        EXPECT_EQ(*found, value);
      }
      EXPECT_EQ(snapshot.find("N-1"), nullptr);
    }
  }
}

}  // namespace
}  // namespace rw
