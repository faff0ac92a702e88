#include "header/header_generator.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "case_file.h"
#include "temp_folder.h"
#include "macros/macro_expansion.h"
#include "memorymap/memory_map.h"

namespace rw {
namespace {

// "name" sets a flag, "name=value" a text, a list entry or the bit-band base.
HeaderOptions optionsFrom(const std::string& words) {
  HeaderOptions options;
  std::istringstream in(words);
  for (std::string word; in >> word;) {
    const size_t equals = word.find('=');
    const std::string name = word.substr(0, equals);
    const std::string value = equals == std::string::npos ? "" : word.substr(equals + 1);
    if (name == "fixDefs") options.fixDefs = true;
    else if (name == "noPrependReg") options.noPrependReg = true;
    else if (name == "prependRegGroup") options.prependRegGroup = true;
    else if (name == "singleBitFieldNames") options.singleBitFieldNames = true;
    else if (name == "regBaseOffs") options.regBaseOffs = true;
    else if (name == "noBitFields") options.noBitFields = true;
    else if (name == "defPrefixString") options.defPrefixString = value;
    else if (name == "regString") options.regString = value;
    else if (name == "regBaseString") options.regBaseString = value;
    else if (name == "regOffsetString") options.regOffsetString = value;
    else if (name == "excludeBitFieldPattern") options.excludeBitFieldPattern = value;
    else if (name == "excludeBitFieldRegisters") options.excludeBitFieldRegisters.push_back(value);
    else if (name == "bitBand") {
      options.bitBandBase = static_cast<uint32_t>(std::stoul(value, nullptr, 0));
      options.bitBandAliasOffset = 0x2000000u;
    } else ADD_FAILURE() << "unknown option " << name;
  }
  return options;
}

TEST(HeaderGenerator, Cases) {
  const testing::TempFolder folder;
  const MacroTable system = systemMacros();
  for (const testing::TestCase& c : testing::readCases("header/generator_cases.txt")) {
    SCOPED_TRACE(c.name);
    MemoryMap map(system);
    ASSERT_TRUE(map.load(folder.write("map.xml", c.get("map")), MacroTable()));
    std::string header;
    ::testing::internal::CaptureStderr();
    generateDefinitions(header, map.rootElement(), optionsFrom(c.get("options")));
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
