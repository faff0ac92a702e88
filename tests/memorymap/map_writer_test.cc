#include "memorymap/map_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "case_file.h"
#include "header/flat_header.h"
#include "macros/macro_expansion.h"
#include "memorymap/memory_map.h"
#include "temp_folder.h"
#include "well_formed_xml.h"

namespace rw {
namespace {

std::string headerOf(const MemoryMapElement* root) {
  HeaderOptions options;
  options.regBaseOffs = true;
  std::string header;
  generateDefinitions(header, root, options);
  return header;
}

void ignoreWarning(const std::string&) {}

// Loads the case's "map" (with the "macros" definitions, and each "file"
// NAME CONTENT beside it) from `folder`.
bool loadCase(const testing::TestCase& c, const testing::TempFolder& folder, MemoryMap& map) {
  for (const std::string& file : c.all("file")) {
    const size_t blank = file.find(' ');
    folder.write("in/" + file.substr(0, blank), file.substr(blank + 1));
  }
  return map.load(folder.write("in/main.xml", c.get("map")), macroDefinitions(c.get("macros")));
}

// "map" must be written as exactly "expanded", and that text, read back
// from another folder (beside each "beside_output" NAME CONTENT), must give
// the same header.
TEST(MapWriter, Cases) {
  const MacroTable system = systemMacros();
  for (const testing::TestCase& c : testing::readCases("memorymap/map_writer_cases.txt")) {
    SCOPED_TRACE(c.name);
    const testing::TempFolder folder;
    for (const std::string& file : c.all("beside_output")) {
      const size_t blank = file.find(' ');
      folder.write("out/" + file.substr(0, blank), file.substr(blank + 1));
    }
    MemoryMap map(system, ignoreWarning);
    ASSERT_TRUE(loadCase(c, folder, map));
    const std::string expanded = writeExpandedMap(map.rootElement());
    EXPECT_EQ(expanded, c.get("expanded"));

    MemoryMap again(system, ignoreWarning);
    ASSERT_TRUE(again.load(folder.write("out/flat.xml", expanded), MacroTable()));
    EXPECT_EQ(headerOf(again.rootElement()), headerOf(map.rootElement()));
  }
}

// Other programs read the file too: whatever the map held, what is written
// is XML.
TEST(MapWriter, CasesAreWellFormedXml) {
  if (!testing::haveXmllint()) GTEST_SKIP() << "xmllint is not installed (libxml2-utils): well-formedness not checked";
  const MacroTable system = systemMacros();
  for (const testing::TestCase& c : testing::readCases("memorymap/map_writer_cases.txt")) {
    SCOPED_TRACE(c.name);
    const testing::TempFolder folder;
    MemoryMap map(system, ignoreWarning);
    ASSERT_TRUE(loadCase(c, folder, map));
    EXPECT_EQ(testing::xmllintProblems(folder.write("flat.xml", writeExpandedMap(map.rootElement()))), "");
  }
}

TEST(MapWriter, DeepNestingStaysLinear) {
  auto* top = new MemoryMapElement("Root");
  XMLNode* parent = top;
  for (int i = 0; i < 1'000'000; ++i) {
    auto* child = new MemoryMapElement("MemorySegment");
    parent->appendChild(child);
    parent = child;
  }
  const std::string expanded = writeExpandedMap(top);
  EXPECT_TRUE(expanded.ends_with("  </MemorySegment>\n</Root>\n"));
  // Two lines per level, indented at most 64 blanks.
  EXPECT_LT(expanded.size(), size_t{1'000'000} * 2 * (64 + 20));
  delete top;
}

}  // namespace
}  // namespace rw
