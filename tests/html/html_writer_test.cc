#include "html/html_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "case_file.h"
#include "temp_folder.h"
#include "macros/macro_expansion.h"
#include "memorymap/memory_map.h"
#include "options_text.h"

namespace rw {
namespace {

size_t count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
  return n;
}

// A case's "map" is loaded as a memory map and written as a page with its
// "options", "target" and "live" limit; the page must hold every "has"
// text, none of the "lacks" texts, and as many "<script" as "scripts" says.
TEST(HtmlWriter, Cases) {
  const testing::TempFolder folder;
  const MacroTable system = systemMacros();
  for (const testing::TestCase& c : testing::readCases("html/html_writer_cases.txt")) {
    SCOPED_TRACE(c.name);
    MemoryMap map(system);
    ASSERT_TRUE(map.load(folder.write("map.xml", c.get("map")), MacroTable()));
    const std::string page = writeHtml(map.rootElement(), testing::optionsFrom(c.get("options")), c.get("target"),
                                       std::stoul(c.get("live", "2000")));
    for (const std::string& part : c.all("has")) EXPECT_NE(page.find(part), std::string::npos) << part;
    for (const std::string& part : c.all("lacks")) EXPECT_EQ(page.find(part), std::string::npos) << part;
    EXPECT_EQ(count(page, "<script"), std::stoul(c.get("scripts", "2")));
    EXPECT_EQ(page, writeHtml(map.rootElement(), testing::optionsFrom(c.get("options")), c.get("target"),
                              std::stoul(c.get("live", "2000"))));
  }
}

TEST(HtmlWriter, HostileShapesStayBounded) {
  // A million nested groups: the walk must not recurse.
  auto* top = new MemoryMapElement("Root");
  XMLNode* parent = top;
  for (int i = 0; i < 1'000'000; ++i) {
    auto* child = new MemoryMapElement("RegisterGroup");
    parent->appendChild(child);
    parent = child;
  }
  auto* deep = new MemoryMapElement("Register");
  deep->setAttribute("name", "DEEP");
  parent->appendChild(deep);
  // Ten thousand fields on the same bit: the picture keeps its row limit.
  auto* crowded = new MemoryMapElement("Register");
  crowded->setAttribute("name", "CROWDED");
  for (int i = 0; i < 10'000; ++i) {
    auto* field = new MemoryMapElement("BitField");
    field->setAttribute("name", "F");
    field->setAttribute("start", "0");
    field->setAttribute("size", "1");
    field->setSize(1);
    crowded->appendChild(field);
  }
  top->appendChild(crowded);
  const std::string page = writeHtml(top, HeaderOptions(), "T");
  EXPECT_NE(page.find("id=\"DEEP\""), std::string::npos);
  EXPECT_EQ(count(page, "data-tip=\"F&#10;"), 8u);
  EXPECT_NE(page.find("id=\"CROWDED.F~10000\""), std::string::npos);
  delete top;
}

}  // namespace
}  // namespace rw
