#include "xml/xmlpp2.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xml/xmlpp2_test_util.h"

namespace rw {
namespace {

using testing::CollectingDocument;
using testing::serialise;
using testing::tableFrom;

constexpr const char* kForUsage =
    "XmlPP::processConditionals(): <for index=\"i\" start=\"0\" end=\"32\" incr=\"1\">";

struct Case {
  const char* name;
  const char* definitions;
  const char* input;
  const char* expected;
  std::vector<std::string> warnings;
};

void runCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CollectingDocument document;
    ASSERT_TRUE(document.parse(c.input)) << document.errorMessage;
    document.processConditionals(document.root, "/nowhere/map.xml", tableFrom(c.definitions), true);
    EXPECT_EQ(serialise(document.root), c.expected);
    EXPECT_EQ(document.warnings, c.warnings);
  }
}

TEST(XMLPP2Conditionals, SelectDropAndKeep) {
  runCases({
      {"if selects on a listed value", "CHIP=B", "<m><if CHIP=\"A,B\"><r/><s/></if><t/></m>", "<m><r/><s/><t/></m>", {}},
      {"ifnot drops on a listed value", "CHIP=B", "<m><ifnot CHIP=\"A,B\"><r/></ifnot><t/></m>", "<m><t/></m>", {}},
      {"ifnot selects on an unlisted value", "CHIP=C", "<m><ifnot CHIP=\"A,B\"><r/></ifnot></m>", "<m><r/></m>", {}},
      {"list items are not trimmed", "CHIP=B", "<m><if CHIP=\"A, B\"><r/></if></m>", "<m/>", {}},
      {"an undefined name becomes defined as empty", "",
       "<m><if CHIP=\"A\"><r/></if><ifdef name=\"CHIP\"><d/></ifdef><ifndef name=\"CHIP\"><n/></ifndef></m>",
       "<m><d/></m>", {}},
      {"if needs exactly one attribute", "", "<m><if a=\"1\" b=\"2\"><r/></if><ifnot><s/></ifnot></m>",
       "<m><if a=\"1\" b=\"2\"><r/></if><ifnot><s/></ifnot></m>",
       {"XmlPP::processConditionals(): one condition required for <if[not]>",
        "XmlPP::processConditionals(): one condition required for <if[not]>"}},
      {"selected children are processed", "A=1;B=2",
       "<m><ifdef name=\"A\"><ifdef name=\"B\"><r v=\"$(B)\"/></ifdef></ifdef></m>", "<m><r v=\"2\"/></m>", {}},
      {"ifex true selects", "N=3", "<m><ifex expression=\"$(N) &gt; 2\"><r/></ifex></m>", "<m><r/></m>", {}},
      {"ifex false drops", "N=1", "<m><ifex expression=\"$(N) &gt; 2\"><r/></ifex></m>", "<m/>", {}},
      {"ifex on a bare number drops", "", "<m><ifex expression=\"5\"><r/></ifex></m>", "<m/>", {}},
      {"ifex without expression is kept", "", "<m><ifex><r/></ifex></m>", "<m><ifex><r/></ifex></m>", {}},
      {"ifex sees no system macros", "", "<m><ifex expression=\"1 == 1 &amp;&amp; $(HostOS)\"><r/></ifex></m>",
       "<m/>", {}},
      {"include without filename is kept", "", "<m><include/></m>", "<m><include/></m>",
       {"XmlPP::processConditionals(): missing filename in <include>"}},
      {"CDATA stays in place", "A=1", "<m><![CDATA[x]]><ifdef name=\"A\"><![CDATA[y]]><r/></ifdef></m>",
       "<m>[[x]][[y]]<r/></m>", {}},
      {"a directive at the root is an ordinary element", "",
       "<define name=\"x\" value=\"1\"><if C=\"1\"><r/></if></define>", "<define name=\"x\" value=\"1\"/>", {}},
  });
}

TEST(XMLPP2Conditionals, Switch) {
  runCases({
      {"first matching case", "V=2",
       "<m><switch name=\"V\"><case value=\"1\"><a/></case><case value=\"3,2\"><b/></case>"
       "<case value=\"2\"><c/></case><default><d/></default></switch><t/></m>",
       "<m><b/><t/></m>", {}},
      {"no match and no default drops everything", "V=9",
       "<m><switch name=\"V\"><case value=\"1\"><a/></case><x/></switch></m>", "<m/>", {}},
      {"the last default wins", "V=9",
       "<m><switch name=\"V\"><default><d1/></default><case value=\"1\"><a/></case><default><d2/></default></switch></m>",
       "<m><d2/></m>", {}},
      {"case values are compared as written", "V=1;W=1",
       "<m><switch name=\"V\"><case value=\"$(W)\"><a/></case><default><d/></default></switch></m>",
       "<m><d/></m>", {}},
      {"an undefined switch name becomes defined", "",
       "<m><switch name=\"V\"><case value=\"1\"><a/></case></switch><ifdef name=\"V\"><d/></ifdef></m>",
       "<m><d/></m>", {}},
  });
}

TEST(XMLPP2Conditionals, Define) {
  runCases({
      {"value", "", "<m><define name=\"N\" value=\"x\"/><r v=\"$(N)\"/></m>", "<m><r v=\"x\"/></m>", {}},
      {"expression gives decimal", "", "<m><define name=\"N\" expression=\"3*4\"/><r v=\"$(N)\"/></m>",
       "<m><r v=\"12\"/></m>", {}},
      {"hex_expression gives upper-case hex", "",
       "<m><define name=\"N\" hex_expression=\"3*4\"/><define name=\"F\" hex_expression=\"255\"/>"
       "<define name=\"Z\" hex_expression=\"0\"/><r v=\"$(N) $(F) $(Z)\"/></m>",
       "<m><r v=\"0xC 0xFF 0x0\"/></m>", {}},
      {"expression uses the table", "A=5", "<m><define name=\"N\" expression=\"$(A)+1\"/><r v=\"$(N)\"/></m>",
       "<m><r v=\"6\"/></m>", {}},
      {"a failing expression sets nothing", "N=old", "<m><define name=\"N\" expression=\"1+\"/><r v=\"$(N)\"/></m>",
       "<m><r v=\"old\"/></m>", {}},
      {"a define inside a block is not seen after it", "A=1",
       "<m><ifdef name=\"A\"><define name=\"B\" value=\"1\"/><in v=\"$(B)\"/></ifdef><ifdef name=\"B\"><x/></ifdef></m>",
       "<m><in v=\"1\"/></m>", {}},
      {"a define is seen by later siblings and inside them", "",
       "<m><g><define name=\"B\" value=\"1\"/><h><r v=\"$(B)\"/></h></g><s v=\"$(B)\"/></m>",
       "<m><g><h><r v=\"1\"/></h></g><s v=\"$(B)\"/></m>", {}},
      {"missing name", "", "<m><define value=\"1\"/></m>", "<m/>",
       {"XmlPP::processConditionals(): missing name in <define>"}},
      {"missing value", "", "<m><define name=\"N\"/></m>", "<m/>",
       {"XmlPP::processConditionals(): missing value or expression in <define>"}},
  });
}

TEST(XMLPP2Loops, For) {
  runCases({
      {"index and alpha", "", "<m><for index=\"i\" start=\"0\" end=\"3\" incr=\"1\"><r n=\"$(i)\" a=\"$(i_alpha)\"/></for></m>",
       "<m><r n=\"0\" a=\"A\"/><r n=\"1\" a=\"B\"/><r n=\"2\" a=\"C\"/></m>", {}},
      {"hex, mul and add", "",
       "<m><for index=\"i\" start=\"1\" end=\"3\" incr=\"1\" mul=\"4\" add=\"0x10\">"
       "<r h=\"$(i_hex)\" p=\"$(i_ap)\" q=\"$(i_ap_hex)\"/></for></m>",
       "<m><r h=\"0x1\" p=\"20\" q=\"0x14\"/><r h=\"0x2\" p=\"24\" q=\"0x18\"/></m>", {}},
      {"sub below zero wraps", "",
       "<m><for index=\"i\" start=\"1\" end=\"2\" incr=\"1\" sub=\"2\"><r p=\"$(i_ap)\" q=\"$(i_ap_hex)\"/></for></m>",
       "<m><r p=\"4294967295\" q=\"0xFFFFFFFF\"/></m>", {}},
      {"several children keep their order", "",
       "<m><for index=\"i\" start=\"0\" end=\"2\" incr=\"1\"><a n=\"$(i)\"/><b n=\"$(i)\"><c n=\"$(i)\"/></b></for><z/></m>",
       "<m><a n=\"0\"/><b n=\"0\"><c n=\"0\"/></b><a n=\"1\"/><b n=\"1\"><c n=\"1\"/></b><z/></m>", {}},
      {"copies are processed with the current table", "",
       "<m><define name=\"W\" value=\"w\"/><for index=\"i\" start=\"0\" end=\"3\" incr=\"1\">"
       "<ifex expression=\"$(i) == 1\"><r v=\"$(W)$(i)\"/></ifex></for></m>",
       "<m><r v=\"w1\"/></m>", {}},
      {"start at end makes nothing", "", "<m><for index=\"i\" start=\"3\" end=\"3\" incr=\"1\"><r/></for></m>", "<m/>", {}},
      {"alpha past ASCII is UTF-8", "",
       "<m><for index=\"i\" start=\"63\" end=\"64\" incr=\"1\"><r a=\"$(i_alpha)\"/></for></m>",
       "<m><r a=\"\xC2\x80\"/></m>", {}},
      {"missing incr", "", "<m><for index=\"i\" start=\"0\" end=\"3\"><r/></for></m>", "<m/>", {kForUsage}},
      {"no child", "", "<m><for index=\"i\" start=\"0\" end=\"3\" incr=\"1\"/></m>", "<m/>", {kForUsage}},
      {"incr 0 is refused", "", "<m><for index=\"i\" start=\"0\" end=\"3\" incr=\"0\"><r/></for></m>", "<m/>", {kForUsage}},
      {"a counter that wraps is refused", "",
       "<m><for index=\"i\" start=\"0xFFFFFFF0\" end=\"0xFFFFFFFF\" incr=\"0x20\"><r/></for></m>", "<m/>", {kForUsage}},
      {"too many rounds", "", "<m><for index=\"i\" start=\"0\" end=\"1000001\" incr=\"1\"><r/></for></m>", "<m/>",
       {"XmlPP::processConditionals(): <for> not expanded: 1000001 rounds exceed the limit of 1000000"}},
  });
}

TEST(XMLPP2Loops, Foreach) {
  runCases({
      {"first attribute slowest", "", "<m><foreach a=\"1,2\" b=\"x,y\"><r v=\"$(a)$(b)\"/></foreach></m>",
       "<m><r v=\"1x\"/><r v=\"1y\"/><r v=\"2x\"/><r v=\"2y\"/></m>", {}},
      {"newlines removed and empty items skipped", "", "<m><foreach a=\"1,&#10;,2\"><r v=\"$(a)\"/></foreach></m>",
       "<m><r v=\"1\"/><r v=\"2\"/></m>", {}},
      {"an empty list makes nothing", "", "<m><foreach a=\"1,2\" b=\"\"><r/></foreach></m>", "<m/>", {}},
      {"no attributes copy once", "", "<m><foreach><r/></foreach></m>", "<m><r/></m>", {}},
      {"too many combinations", "",
       "<m><foreach a=\"0,1,2,3,4,5,6,7,8,9\" b=\"0,1,2,3,4,5,6,7,8,9\" c=\"0,1,2,3,4,5,6,7,8,9\" "
       "d=\"0,1,2,3,4,5,6,7,8,9\" e=\"0,1,2,3,4,5,6,7,8,9\" f=\"0,1,2,3,4,5,6,7,8,9\" g=\"0,1\"><r/></foreach></m>",
       "<m/>", {"XmlPP::processConditionals(): <foreach> not expanded: its combinations exceed the limit of 1000000"}},
  });
}

TEST(XMLPP2Templates, XmldefAndXmlput) {
  runCases({
      {"a template is put where used", "",
       "<m><xmldef name=\"T\"><a v=\"$(X)\"/><b/></xmldef><g><xmlput name=\"T\"/></g><xmlput name=\"T\"/></m>",
       "<m><g><a v=\"$(X)\"/><b/></g><a v=\"$(X)\"/><b/></m>", {}},
      {"macros on xmlput", "X=outer",
       "<m><xmldef name=\"T\"><a v=\"$(X)\" w=\"$(Y)\"/></xmldef><xmlput name=\"T\" macros=\"X=1;&#10;Y=2\"/>"
       "<b v=\"$(X)\"/></m>",
       "<m><a v=\"1\" w=\"2\"/><b v=\"outer\"/></m>", {}},
      {"a later xmldef replaces an earlier one", "",
       "<m><xmldef name=\"T\"><a/></xmldef><xmldef name=\"T\"><b/></xmldef><xmlput name=\"T\"/></m>", "<m><b/></m>", {}},
      {"a define inside a template stays inside", "",
       "<m><xmldef name=\"T\"><define name=\"D\" value=\"1\"/><a v=\"$(D)\"/></xmldef><xmlput name=\"T\"/>"
       "<b v=\"$(D)\"/></m>",
       "<m><a v=\"1\"/><b v=\"$(D)\"/></m>", {}},
      {"unknown template", "", "<m><xmlput name=\"U\"/></m>", "<m><xmlput name=\"U\"/></m>",
       {"XmlPP::processConditionals(): xmlput cannot fine xmldef named U"}},
      {"templates that use each other stop", "",
       "<m><xmldef name=\"A\"><a/><xmlput name=\"B\"/></xmldef><xmldef name=\"B\"><b/><xmlput name=\"A\"/></xmldef>"
       "<xmlput name=\"A\"/></m>",
       "<m><a/><b/><xmlput name=\"A\"/></m>",
       {"XmlPP::processConditionals(): xmlput of xmldef named A inside its own expansion; not expanded again"}},
  });
}

// 100,000 nested elements, walked without recursion (a recursive walk
// overflows the stack long before).
TEST(XMLPP2Limits, DeepNestingDoesNotExhaustTheStack) {
  constexpr int kDepth = 100000;
  std::string text;
  for (int i = 0; i < kDepth; ++i) text += "<ifdef name=\"A\"><g v=\"$(A)\">";
  for (int i = 0; i < kDepth; ++i) text += "</g></ifdef>";
  CollectingDocument document;
  ASSERT_TRUE(document.parse(text));
  document.processConditionals(document.root, "/nowhere/map.xml", tableFrom("A=1"), true);
  int depth = 0;
  for (const XMLNode* node = document.root; node != nullptr; node = node->firstChild) {
    const XMLElement* element = asElement(node);
    ASSERT_NE(element, nullptr);
    // The root itself stays a directive: only include acts at the root.
    if (depth > 0) {
      ASSERT_EQ(element->tagName(), "g");
      ASSERT_EQ(*element->getAttribute("v"), "1");
    }
    ++depth;
  }
  EXPECT_EQ(depth, kDepth + 1);
}

TEST(XMLPP2Limits, CopyBudgetStopsMultiplyingLoops) {
  // Each loop fits alone; nested, their copies multiply past the budget. The
  // refusal is reported once, not once per refused copy.
  CollectingDocument document;
  document.maxCopiedElements = 19;
  ASSERT_TRUE(document.parse("<m><for index=\"a\" start=\"0\" end=\"4\" incr=\"1\">"
                             "<for index=\"b\" start=\"0\" end=\"5\" incr=\"1\"><r/></for></for>"
                             "<xmldef name=\"T\"><t/></xmldef><xmlput name=\"T\"/></m>"));
  document.processConditionals(document.root, "/nowhere/map.xml", MacroTable(), true);
  // 8 copies for the outer loop, 5 for each inner loop that still fits; the
  // template copy no longer fits either.
  EXPECT_EQ(serialise(document.root), "<m><r/><r/><r/><r/><r/><r/><r/><r/><r/><r/></m>");
  EXPECT_EQ(document.warnings,
            std::vector<std::string>{"XmlPP::processConditionals(): <for> not expanded: copies would exceed the "
                                     "limit of 19 copied elements in one document; later copies beyond it are "
                                     "dropped too"});
}

TEST(XMLPP2Limits, CopyBudgetCountsText) {
  CollectingDocument document;
  document.maxCopiedBytes = 100;
  // 10 rounds of "r" + "v" + 8 bytes: 100 bytes fit; the template copy does not.
  ASSERT_TRUE(document.parse("<m><for index=\"i\" start=\"0\" end=\"10\" incr=\"1\"><r v=\"12345678\"/></for>"
                             "<xmldef name=\"T\"><t v=\"123456789\"/></xmldef><xmlput name=\"T\"/></m>"));
  document.processConditionals(document.root, "/nowhere/map.xml", MacroTable(), true);
  EXPECT_EQ(serialise(document.root).size(), std::string("<m></m>").size() + 10 * std::string("<r v=\"12345678\"/>").size());
  EXPECT_EQ(document.warnings,
            std::vector<std::string>{"XmlPP::processConditionals(): <xmlput> not expanded: copies would exceed the "
                                     "limit of 100 bytes of copied text in one document; later copies beyond it "
                                     "are dropped too"});
}

}  // namespace
}  // namespace rw
