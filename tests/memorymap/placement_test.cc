#include "memorymap/placement.h"

#include <gtest/gtest.h>

#include <string>

#include "case_file.h"
#include "macros/macro_expansion.h"
#include "map_places.h"
#include "memorymap/memory_map.h"
#include "temp_folder.h"

namespace rw {
namespace {

TEST(Placement, AsReadEqualsAfterTheLoad) {
  const testing::TempFolder folder;
  const MacroTable system = systemMacros();
  for (const testing::TestCase& c : testing::readCases("memorymap/placement_cases.txt")) {
    SCOPED_TRACE(c.name);
    MemoryMap map(system);
    ASSERT_TRUE(map.load(folder.write("map.xml", c.get("map")), MacroTable()));
    const std::string asRead = testing::placesOf(map.rootElement());
    const ElementCounts counts = computeAddresses(*map.rootElement());
    EXPECT_EQ(testing::placesOf(map.rootElement()), asRead);
    // At most: a top-level element that a later one replaced is counted too.
    EXPECT_GE(map.elementCounts().registers, counts.registers);
    EXPECT_GE(map.elementCounts().bitFields, counts.bitFields);
  }
}

// The preprocessor may move an element that was placed as it was read to
// where it is not placed at all: it must then lie at 0.
TEST(Placement, ElementsMovedBehindASectionLoseTheirPlace) {
  const testing::TempFolder folder;
  MemoryMap map(systemMacros());
  ASSERT_TRUE(map.load(folder.write("map.xml", R"(<Root><RegisterGroup name="G" start="0x100"><![CDATA[x]]>
    <if A="1"><Register name="R" start="+4" size="4"/></if></RegisterGroup></Root>)"),
                       macroDefinitions("A=1")));
  EXPECT_EQ(testing::placesOf(map.rootElement()), "-@0/0 G@256/0 R@0/0 ");
}

}  // namespace
}  // namespace rw
