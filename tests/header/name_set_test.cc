#include "header/name_set.h"

#include <gtest/gtest.h>

#include <string>

namespace rw {
namespace {

TEST(NameSet, InsertsEachNameOnceExactly) {
  NameSet set;
  const std::string longName(300 * 1024, 'x');  // longer than one arena chunk
  for (const std::string& name : {std::string("CTRL"), std::string("ctrl"), std::string(), std::string("A\0B", 3),
                                  std::string("A"), longName, std::string("after the long one")}) {
    EXPECT_TRUE(set.insert(name)) << name.substr(0, 20);
    EXPECT_FALSE(set.insert(name)) << name.substr(0, 20);
  }
  for (int i = 0; i < 100'000; ++i) ASSERT_TRUE(set.insert("REG" + std::to_string(i) + "_F")) << i;
  for (int i = 0; i < 100'000; ++i) ASSERT_FALSE(set.insert("REG" + std::to_string(i) + "_F")) << i;
}

}  // namespace
}  // namespace rw
