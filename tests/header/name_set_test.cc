#include "header/name_set.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

namespace rw {
namespace {

// Records are the names themselves, kept where they do not move; the set
// counts how often it had to form one again.
struct Names {
  std::deque<std::string> records;
  size_t formed = 0;
  NameSet::NameOf nameOf() {
    return [this](const void* record, std::string&) -> std::string_view {
      ++formed;
      return *static_cast<const std::string*>(record);
    };
  }
  bool insert(NameSet& set, const std::string& name) {
    const std::string& record = records.emplace_back(name);
    return set.insert(set.lookup(record), &record);
  }
};

TEST(NameSet, InsertsEachNameOnceExactly) {
  Names names;
  NameSet set(names.nameOf());
  const std::string longName(300 * 1024, 'x');
  for (const std::string& name : {std::string("CTRL"), std::string("ctrl"), std::string(), std::string("A\0B", 3),
                                  std::string("A"), longName, std::string("after the long one")}) {
    EXPECT_TRUE(names.insert(set, name)) << name.substr(0, 20);
    EXPECT_FALSE(names.insert(set, name)) << name.substr(0, 20);
  }
  // Grows several times from its first size, placing every name anew.
  for (int i = 0; i < 100'000; ++i) ASSERT_TRUE(names.insert(set, "REG" + std::to_string(i) + "_F")) << i;
  for (int i = 0; i < 100'000; ++i) ASSERT_FALSE(names.insert(set, "REG" + std::to_string(i) + "_F")) << i;
  EXPECT_EQ(set.size(), 100'007u);
}

TEST(NameSet, FormsNamesOnlyToConfirmARepeatWhenSizedForThem) {
  Names names;
  NameSet set(names.nameOf(), 50'000);
  for (int i = 0; i < 50'000; ++i) ASSERT_TRUE(names.insert(set, "F" + std::to_string(i))) << i;
  // 16 bits of each hash tell the names of a probe apart: a name is formed
  // again for a few of them at most.
  EXPECT_LT(names.formed, 200u);
  names.formed = 0;
  for (int i = 0; i < 1'000; ++i) ASSERT_FALSE(names.insert(set, "F" + std::to_string(i))) << i;
  EXPECT_GE(names.formed, 1'000u);
}

}  // namespace
}  // namespace rw
