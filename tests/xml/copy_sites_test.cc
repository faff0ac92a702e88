// Copies that loops and template uses make remember where they came from.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "macros/macro_expansion.h"
#include "xml/preprocessor.h"
#include "temp_folder.h"

namespace rw {
namespace {

const XMLNode* findNamed(const XMLNode* node, std::string_view name) {
  std::vector<const XMLNode*> pending{node};
  while (!pending.empty()) {
    node = pending.back();
    pending.pop_back();
    if (node == nullptr) continue;
    const XMLElement* element = asElement(node);
    if (element != nullptr && element->getAttribute("name") == name) return node;
    pending.push_back(node->nextSibling);
    pending.push_back(node->firstChild);
  }
  return nullptr;
}

// m.xml and t.xml, one element a line.
constexpr std::string_view kMain =
    "<Root>\n"
    "<Register name=\"PLAIN\"/>\n"
    "<for index=\"i\" start=\"0\" end=\"2\" incr=\"1\">\n"
    "<Register name=\"L$(i)\"/>\n"
    "<for index=\"j\" start=\"0\" end=\"2\" incr=\"1\">\n"
    "<Register name=\"L$(i)_$(j)\"/>\n"
    "</for>\n"
    "</for>\n"
    "<foreach X=\"A,B\">\n"
    "<Register name=\"E$(X)\"/>\n"
    "</foreach>\n"
    "<include filename=\"t.xml\"/>\n"
    "<xmlput name=\"T\" macros=\"N=P\"/>\n"
    "</Root>\n";
constexpr std::string_view kTemplates =
    "<envelope>\n"
    "<xmldef name=\"T\">\n"
    "<Register name=\"T$(N)\"/>\n"
    "</xmldef>\n"
    "</envelope>\n";

TEST(CopySites, CopiesNameTheirTextAndTheirDirective) {
  const testing::TempFolder folder;
  folder.write("t.xml", std::string(kTemplates));
  XMLDocument document;
  const MacroTable system = systemMacros();
  Preprocessor preprocessor(document, system, [](const std::string&) {});
  ASSERT_EQ(preprocessor.preprocess(folder.write("m.xml", std::string(kMain)), MacroTable()), LoadStatus::Loaded);

  struct Case {
    std::string_view name;
    std::string location;
    std::string site;  // empty: read as it stands
    CopyKind kind;
  };
  const std::string m = folder.file("m.xml");
  const std::string t = folder.file("t.xml");
  const Case cases[] = {
      {"PLAIN", m + ":2", "", CopyKind::Loop},
      {"L1", m + ":4", m + ":3", CopyKind::Loop},
      // The inner loop is a copy itself; its copies name it, the innermost.
      {"L1_0", m + ":6", m + ":5", CopyKind::Loop},
      {"EB", m + ":10", m + ":9", CopyKind::Loop},
      {"TP", t + ":3", m + ":13", CopyKind::Template},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const XMLNode* node = findNamed(document.root, c.name);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(document.location(*node), c.location);
    const CopySite* site = document.copySite(*node);
    EXPECT_EQ(site != nullptr ? document.location(*site) : "", c.site);
    EXPECT_TRUE(site == nullptr || site->kind == c.kind);
  }
}

// A copy site is kept per directive, not per copy or per round: the table
// stays as small as the map's text.
TEST(CopySites, OneEntryPerDirective) {
  const testing::TempFolder folder;
  XMLDocument document;
  const MacroTable system = systemMacros();
  Preprocessor preprocessor(document, system, [](const std::string&) {});
  const std::string path = folder.write(
      "m.xml",
      "<R><for index=\"i\" start=\"0\" end=\"1000\" incr=\"1\"><G>\n<for index=\"j\" start=\"0\" end=\"3\" incr=\"1\">"
      "<E/></for></G></for></R>");
  ASSERT_EQ(preprocessor.preprocess(path, MacroTable()), LoadStatus::Loaded);
  EXPECT_EQ(document.copySites.size(), 2u);
}

}  // namespace
}  // namespace rw
