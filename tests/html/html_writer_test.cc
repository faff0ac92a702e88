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
#include "packed_text.h"

namespace rw {
namespace {

size_t count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
  return n;
}

// The page's data, unpacked: the JSON its script reads.
std::string pageData(const std::string& page) {
  const std::string open = "<script type=\"application/x-gzip-base64url\" id=\"rw-data\">";
  const size_t start = page.find(open);
  if (start == std::string::npos) return "";
  const size_t end = page.find("</script>", start);
  return testing::unpack(std::string_view(page).substr(start + open.size(), end - start - open.size()));
}

// A case's "map" is loaded as a memory map and written as a page with its
// "options", "target" and "list" limit; the page must hold every "has"
// text and none of the "lacks" texts, its data every "data" text and none
// of the "data lacks" texts, and as many "<script" as "scripts" says.
TEST(HtmlWriter, Cases) {
  const testing::TempFolder folder;
  const MacroTable system = systemMacros();
  for (const testing::TestCase& c : testing::readCases("html/html_writer_cases.txt")) {
    SCOPED_TRACE(c.name);
    MemoryMap map(system);
    ASSERT_TRUE(map.load(folder.write("map.xml", c.get("map")), MacroTable()));
    const std::string page = writeHtml(map.rootElement(), testing::optionsFrom(c.get("options")), c.get("target"),
                                       std::stoul(c.get("list", "2000")));
    for (const std::string& part : c.all("has")) EXPECT_NE(page.find(part), std::string::npos) << part;
    for (const std::string& part : c.all("lacks")) EXPECT_EQ(page.find(part), std::string::npos) << part;
    const std::string data = pageData(page);
    for (const std::string& part : c.all("data")) EXPECT_NE(data.find(part), std::string::npos) << part;
    for (const std::string& part : c.all("data lacks")) EXPECT_EQ(data.find(part), std::string::npos) << part;
    EXPECT_EQ(count(page, "<script"), std::stoul(c.get("scripts", "2")));
    EXPECT_EQ(page, writeHtml(map.rootElement(), testing::optionsFrom(c.get("options")), c.get("target"),
                              std::stoul(c.get("list", "2000"))));
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
  EXPECT_NE(page.find("<tr id=\"DEEP\">"), std::string::npos);
  // Eight rows of the picture hold eight fields; the rest are in the table.
  const std::string data = pageData(page);
  EXPECT_EQ(count(data, ",-1,0,-1,0]"), 10'000u - 8u);
  EXPECT_NE(data.find("\"F~10000\""), std::string::npos);
  delete top;
}

}  // namespace
}  // namespace rw
