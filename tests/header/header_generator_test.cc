#include "header/flat_header.h"

#include <gtest/gtest.h>

#include <string>

#include "case_file.h"
#include "temp_folder.h"
#include "macros/macro_expansion.h"
#include "memorymap/memory_map.h"
#include "options_text.h"

namespace rw {
namespace {

TEST(HeaderGenerator, Cases) {
  const testing::TempFolder folder;
  const MacroTable system = systemMacros();
  for (const testing::TestCase& c : testing::readCases("header/generator_cases.txt")) {
    SCOPED_TRACE(c.name);
    MemoryMap map(system);
    ASSERT_TRUE(map.load(folder.write("map.xml", c.get("map")), MacroTable()));
    std::string header;
    ::testing::internal::CaptureStderr();
    generateDefinitions(header, map.rootElement(), testing::optionsFrom(c.get("options")));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.get("warn"));
    EXPECT_EQ(header, c.get("header"));
  }
}

TEST(HeaderGenerator, DeepNestingDoesNotExhaustTheStack) {
  auto* top = new MemoryMapElement("RegisterGroup");
  XMLNode* parent = top;
  for (int i = 0; i < 1'000'000; ++i) {
    auto* child = new MemoryMapElement(i % 2 == 0 ? "MemorySegment" : "RegisterGroup");
    parent->appendChild(child);
    parent = child;
  }
  auto* deepest = new MemoryMapElement("Register");
  deepest->setAttribute("name", "DEEP");
  parent->appendChild(deepest);
  // A sibling after the whole chain proves the walk comes back up.
  auto* after = new MemoryMapElement("Vector");
  after->setAttribute("name", "AFTER");
  after->setAttribute("start", "7");
  top->appendChild(after);
  std::string header;
  generateDefinitions(header, top, HeaderOptions());
  EXPECT_EQ(header, "\n#define DEEP (*(volatile unsigned *)0x0)\n#define AFTER 7\n");
  delete top;
}

TEST(HeaderGenerator, LargeHeadersDrainInParts) {
  auto* group = new MemoryMapElement("RegisterGroup");
  for (int i = 0; i < 20000; ++i) {
    auto* reg = new MemoryMapElement("Register");
    reg->setAttribute("name", "R" + std::to_string(i));
    group->appendChild(reg);
  }
  std::string whole;
  generateDefinitions(whole, group, HeaderOptions());
  std::string drained;
  std::string rest;
  int parts = 0;
  generateDefinitions(rest, group, HeaderOptions(), [&](std::string_view part) {
    drained += part;
    ++parts;
  });
  EXPECT_GT(parts, 1);
  EXPECT_EQ(drained + rest, whole);
  delete group;
}

}  // namespace
}  // namespace rw
