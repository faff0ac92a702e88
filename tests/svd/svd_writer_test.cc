#include "svd/svd_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "macros/macro_expansion.h"
#include "memorymap/memory_map.h"
#include "svd/svd_reader.h"
#include "temp_folder.h"
#include "well_formed_xml.h"

namespace rw {
namespace {

// The SVD file of a map whose root holds `content`.
SvdFile svdOf(const std::string& content, SvdBounds bounds = {}) {
  const testing::TempFolder folder;
  MemoryMap map(systemMacros(), [](const std::string&) {});
  EXPECT_TRUE(map.load(folder.write("map.xml", "<Root name=\"D\">" + content + "</Root>"), MacroTable()));
  return writeSvd(map.rootElement(), "", bounds);
}

// The text between <tag> and </tag> after `after`, or "" when there is none.
std::string elementText(const std::string& svd, const std::string& tag, const std::string& after) {
  const size_t from = svd.find(after);
  if (from == std::string::npos) return "";
  const std::string open = "<" + tag + ">";
  const size_t begin = svd.find(open, from);
  const size_t next = svd.find("<name>", from + after.size());
  if (begin == std::string::npos || (next != std::string::npos && begin > next)) return "";
  const size_t end = svd.find("</" + tag + ">", begin);
  return svd.substr(begin + open.size(), end - begin - open.size());
}

// A value goes out as the number the whole text is, or not at all: never as
// the number it begins with.
TEST(SvdWriter, ValuesWholeOrNotAtAll) {
  struct Case {
    std::string text;
    std::string resetValue;
    std::string enumeratedValue;
    std::string interrupt;
  };
  const Case cases[] = {
      {"12", "0xC", "0xC", "12"},
      {"0x12junk", "", "", ""},
      {"12abc", "", "", ""},
      {"0x1z", "", "", ""},
      {"1 << 4", "0x10", "0x10", "16"},
      {"#101", "0x5", "0x5", "5"},
      {"0b1x1x", "", "#1x1x", ""},
      {"#1X0", "", "#1X0", ""},
      {"1.5", "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("value \"" + c.text + "\"");
    const SvdFile svd = svdOf("<RegisterGroup name=\"P\" start=\"0\"><Register name=\"R\" start=\"+0\" size=\"4\" "
                              "reset_value=\"" + c.text + "\"><BitField name=\"F\" start=\"0\" size=\"4\">"
                              "<Enum name=\"E\" start=\"" + c.text + "\"/></BitField></Register></RegisterGroup>"
                              "<Vector name=\"V_IRQn\" start=\"" + c.text + "\"/>");
    ASSERT_EQ(svd.problem, "");
    if (testing::haveXmllint()) {
      const testing::TempFolder folder;
      EXPECT_EQ(testing::xmllintProblems(folder.write("out.svd", svd.text)), "");
    }
    EXPECT_EQ(elementText(svd.text, "resetValue", "<name>R</name>"), c.resetValue);
    EXPECT_EQ(elementText(svd.text, "value", "<name>E</name>"), c.enumeratedValue);
    EXPECT_EQ(elementText(svd.text, "value", "<name>V</name>"), c.interrupt);
  }
}

// The writer counts elements and bytes as the reader does: a file just
// within the bounds is written and reads back within them; one more byte
// or element, and it is refused.
TEST(SvdWriter, RefusesWhatTheReaderWouldRefuse) {
  const std::string map =
      "<RegisterGroup name=\"P\" start=\"0x100\"><Register name=\"R\" start=\"+0\" size=\"4\">"
      "<BitField name=\"F\" start=\"0\" size=\"2\"><Enum name=\"A\" start=\"1\"/><Enum name=\"B\" start=\"#1x\"/>"
      "</BitField><BitField name=\"G\" start=\"2\" size=\"1\"/></Register>"
      "<Register name=\"S\" start=\"+4\" size=\"4\"/></RegisterGroup><Vector name=\"P_IRQn\" start=\"3\"/>";
  const SvdFile whole = svdOf(map);
  ASSERT_EQ(whole.problem, "");
  // The root, a group, a vector, two registers, two fields, two values.
  constexpr size_t kElements = 9;
  EXPECT_NE(parseSvd(whole.text, kElements).root, nullptr);
  EXPECT_EQ(parseSvd(whole.text, kElements - 1).root, nullptr);

  EXPECT_EQ(svdOf(map, {whole.text.size(), kElements}).text, whole.text);
  const SvdFile tooLarge = svdOf(map, {whole.text.size() - 1, kElements});
  EXPECT_EQ(tooLarge.text, "");
  EXPECT_EQ(tooLarge.problem, "the file would be larger than " + std::to_string(whole.text.size() - 1) +
                                  " bytes, more than regwright reads as SVD input");
  const SvdFile tooMany = svdOf(map, {whole.text.size(), kElements - 1});
  EXPECT_EQ(tooMany.text, "");
  EXPECT_EQ(tooMany.problem,
            "the file would hold more than 8 registers, bit fields and values, more than regwright reads as SVD input");
}

// Names and text from the map, whatever bytes they hold, go out as XML.
TEST(SvdWriter, WellFormedWhateverTheMapHolds) {
  if (!testing::haveXmllint()) GTEST_SKIP() << "xmllint is not installed (libxml2-utils): well-formedness not checked";
  const SvdFile svd = svdOf(
      "<RegisterGroup name=\"P\x01\xE9\" start=\"0\" description=\"&#1;&lt;a&gt; &amp; \xE9 \xEF\xBF\xBE]]>\">"
      "<Register name=\"1&amp;\" start=\"+0\" size=\"4\" access=\"\x02\" reset_value=\"\x03\"/></RegisterGroup>");
  ASSERT_EQ(svd.problem, "");
  const testing::TempFolder folder;
  EXPECT_EQ(testing::xmllintProblems(folder.write("out.svd", svd.text)), "");
}

}  // namespace
}  // namespace rw
