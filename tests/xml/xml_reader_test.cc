#include "xml/xml_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_file.h"
#include "serialise.h"
#include "temp_folder.h"
#include "xml/xml_document.h"

namespace rw {
namespace {

TEST(XMLReader, Cases) {
  for (const testing::TestCase& c : testing::readCases("xml/reader_cases.txt")) {
    SCOPED_TRACE(c.name);
    XMLDocument document;
    EXPECT_EQ(document.parse(c.get("in")), !c.has("error"));
    EXPECT_EQ(testing::serialise(document.root), c.get("tree"));
    if (c.has("error")) {
      EXPECT_EQ(document.errorMessage, c.get("error"));
      EXPECT_EQ(std::to_string(document.errorLine), c.get("line"));
    }
  }
}

TEST(XMLReader, NodeLinesCountNewlinesBeforeTheTag) {
  XMLDocument document;
  ASSERT_TRUE(document.parse("\n<a>\n  <b\n x=\"1\"/>\n<!--\n-->text\n<![CDATA[\n]]></a>"));
  const XMLNode* b = document.root->firstChild;
  EXPECT_EQ(document.root->line, 0u);
  EXPECT_EQ(b->line, 1u);
  EXPECT_EQ(b->nextSibling->line, 5u);
}

TEST(XMLReader, LoadReportsWhyItFailed) {
  const testing::TempFolder folder;
  const std::string& dir = folder.path();
  const auto write = [&](const char* name, const std::string& bytes) { return folder.write(name, bytes); };
  XMLDocument document;
  EXPECT_EQ(document.load(write("bom.xml", "\xEF\xBB\xBF<a/>")), LoadStatus::Loaded);
  EXPECT_EQ(testing::serialise(document.root), "<a/>");
  EXPECT_EQ(document.load(write("half-bom.xml", "\xEF\xBB<a/>")), LoadStatus::Loaded);
  EXPECT_EQ(document.root, nullptr);
  EXPECT_EQ(document.load(write("bad.xml", "\xEF\xBB\xBF\n<a>\n</b>")), LoadStatus::Malformed);
  EXPECT_EQ(document.errorLine, 1);
  EXPECT_EQ(document.load(dir + "/missing.xml"), LoadStatus::Unreadable);
  EXPECT_EQ(document.errorMessage, "couldn't read " + dir + "/missing.xml");
  EXPECT_EQ(document.errorLine, 0);
  EXPECT_EQ(document.load(std::string(2000, '/')), LoadStatus::Unreadable);
  EXPECT_EQ(document.errorMessage.size(), 1023u);
  EXPECT_EQ(document.load(dir), LoadStatus::Unreadable);
  // Text in a wide encoding is told by its first bytes, down to the shortest
  // file that shows it.
  const struct {
    std::string bytes;
    const char* encoding;
  } wide[] = {
      {std::string("<\0\0\0", 4), "UTF-32"}, {std::string("\0\0\0<", 4), "UTF-32"},
      {std::string("<\0\0", 3), "UTF-16"},    {std::string("\0<", 2), "UTF-16"},
  };
  for (const auto& c : wide) {
    const std::string path = write("wide.xml", c.bytes);
    EXPECT_EQ(document.load(path), LoadStatus::Unreadable);
    EXPECT_EQ(document.errorMessage, "couldn't read " + path + ": " + c.encoding + " text, where maps are read as UTF-8");
  }
}

// A file is read in windows of 256 KiB: the lines of the elements after
// each refill count the newlines the window left behind once, whatever
// character the refill stops at.
TEST(XMLReader, LinesCountedAcrossReadWindows) {
  const testing::TempFolder folder;
  for (const char* shape : {"\n<e/>", "<e>\n</e>", "\n<e a=\"\n\"/>"}) {
    SCOPED_TRACE(shape);
    std::string text = "<r>";
    while (text.size() < (size_t{600} << 10)) text += shape;
    text += "</r>";
    std::vector<size_t> expected;
    size_t newlines = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') ++newlines;
      if (text.compare(i, 2, "<e") == 0) expected.push_back(newlines);
    }
    XMLDocument document;
    ASSERT_EQ(document.load(folder.write("lines.xml", text)), LoadStatus::Loaded);
    std::vector<size_t> lines;
    for (const XMLNode* e = document.root->firstChild; e != nullptr; e = e->nextSibling) {
      if (e->isElement()) lines.push_back(e->line);
    }
    EXPECT_EQ(lines, expected);
  }
}

// Long chains and deep nestings must parse and be destroyed without recursion
// (under the sanitizers a recursive destructor overflows the stack).
TEST(XMLReader, MillionSiblingsAndHundredThousandLevels) {
  std::string wide = "<r>";
  for (int i = 0; i < 1'000'000; ++i) wide += "<e/>";
  XMLDocument document;
  ASSERT_TRUE(document.parse(wide + "</r>"));
  size_t count = 0;
  for (XMLNode* child = document.root->firstChild; child != nullptr; child = child->nextSibling) ++count;
  EXPECT_EQ(count, 1'000'000u);

  std::string deep;
  for (int i = 0; i < 100'000; ++i) deep += "<a>";
  ASSERT_TRUE(document.parse(deep));  // the open elements are discarded
  EXPECT_EQ(document.root, nullptr);
  for (int i = 0; i < 100'000; ++i) deep += "</a>";
  ASSERT_TRUE(document.parse(deep));
  int depth = 0;
  for (XMLNode* node = document.root; node != nullptr; node = node->firstChild) ++depth;
  EXPECT_EQ(depth, 100'000);
}

}  // namespace
}  // namespace rw
