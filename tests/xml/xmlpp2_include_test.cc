#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "xml/xmlpp2.h"
#include "xml/xmlpp2_test_util.h"

namespace rw {
namespace {

using testing::CollectingDocument;
using testing::serialise;
using testing::TempFolder;

// `{dir}` in expected texts stands for the temporary folder.
std::string withFolder(std::string text, const std::string& folder) {
  for (size_t at = text.find("{dir}"); at != std::string::npos; at = text.find("{dir}", at + folder.size())) {
    text.replace(at, 5, folder);
  }
  return text;
}

struct Case {
  const char* name;
  // File name and content; the first file is the one preprocessed.
  std::vector<std::pair<const char*, const char*>> files;
  const char* definitions;
  const char* expected;
  std::vector<std::string> warnings;
};

TEST(XMLPP2Include, IncludeTrees) {
  const std::vector<Case> cases = {
      {"the included root replaces the include",
       {{"m.xml", "<m><include filename=\"sub/p.xml\"/><after/></m>"}, {"sub/p.xml", "<P a=\"1\"><r/></P>"}},
       "",
       "<m><P a=\"1\"><r/></P><after/></m>",
       {}},
      {"nested includes resolve against the including file",
       {{"m.xml", "<m><include filename=\"sub/p.xml\"/></m>"},
        {"sub/p.xml", "<P><include filename=\"../sub/./q.xml\"/></P>"},
        {"sub/q.xml", "<Q/>"}},
       "",
       "<m><P><Q/></P></m>",
       {}},
      {"an envelope contributes only its children",
       {{"m.xml", "<m><a/><include filename=\"e.xml\"/><z/></m>"}, {"e.xml", "<envelope><r/><s/></envelope>"}},
       "",
       "<m><a/><r/><s/><z/></m>",
       {}},
      {"no_root unwraps any root",
       {{"m.xml", "<m><include filename=\"p.xml\" no_root=\"\"/></m>"}, {"p.xml", "<P x=\"1\"><r/></P>"}},
       "",
       "<m><r/></m>",
       {}},
      {"a missing file leaves the include and goes on",
       {{"m.xml", "<m><include filename=\"missing.xml\"/><ifdef name=\"A\"><r/></ifdef></m>"}},
       "A=1",
       "<m><include filename=\"missing.xml\"/><r/></m>",
       {"XmlPP::processConditionals(): error \"couldn't read {dir}/missing.xml\" in include file {dir}/missing.xml "
        "line:0"}},
      {"a missing file with no_root splices the include's children",
       {{"m.xml", "<m><include filename=\"missing.xml\" no_root=\"1\"><fallback/></include></m>"}},
       "",
       "<m><fallback/></m>",
       {"XmlPP::processConditionals(): error \"couldn't read {dir}/missing.xml\" in include file {dir}/missing.xml "
        "line:0"}},
      {"an empty file leaves the document without a root",
       {{"m.xml", "<m><include filename=\"empty.xml\"/></m>"}, {"empty.xml", "  "}},
       "",
       "(no root)",
       {"XmlPP::processConditionals(): error: include file '{dir}/empty.xml' is empty"}},
      {"a syntax error leaves the document without a root",
       {{"m.xml", "<m><include filename=\"bad.xml\"/><after/></m>"}, {"bad.xml", "<P><q v='1'/></P>"}},
       "",
       "(no root)",
       {"XmlPP::processConditionals(): error: include file '{dir}/bad.xml' is empty"}},
      {"a syntax error after a complete root reports the reader's message",
       {{"m.xml", "<m><include filename=\"bad.xml\"/></m>"}, {"bad.xml", "<P/>\n<Q v='1'/>"}},
       "",
       "<P/>",
       {"XmlPP::processConditionals(): error \"bad tagName\" in include file {dir}/bad.xml line:1"}},
      {"macros extend the table for the included file only",
       {{"m.xml", "<m><include filename=\"p.xml\" macros=\"X=1;&#10;Y=$(Z)\"/><after v=\"$(X)\"/></m>"},
        {"p.xml", "<P v=\"$(X)\"><r w=\"$(Y)\"/></P>"}},
       "X=0;Z=z",
       "<m><P v=\"1\"><r w=\"z\"/></P><after v=\"0\"/></m>",
       {}},
      {"inherit_attributes copies named attributes, absent ones without value",
       {{"m.xml", "<m><include filename=\"p.xml\" start=\"0x100\" inherit_attributes=\"start;;size\"/></m>"},
        {"p.xml", "<P start=\"0\"/>"}},
       "",
       "<m><P start=\"0x100\" size/></m>",
       {}},
      {"a define in an included file is not seen after it",
       {{"m.xml", "<m><include filename=\"p.xml\"/><after v=\"$(D)\"/></m>"},
        {"p.xml", "<P><define name=\"D\" value=\"1\"/><r v=\"$(D)\"/></P>"}},
       "",
       "<m><P><r v=\"1\"/></P><after v=\"$(D)\"/></m>",
       {}},
      {"templates from an included file are visible later",
       {{"m.xml", "<m><include filename=\"t.xml\"/><xmlput name=\"T\"/></m>"},
        {"t.xml", "<envelope><xmldef name=\"T\"><t/></xmldef></envelope>"}},
       "",
       "<m><t/></m>",
       {}},
      {"an include at the root makes the included root the root",
       {{"m.xml", "<include filename=\"p.xml\" no_root=\"1\"/>"}, {"p.xml", "<P><ifdef name=\"A\"><r/></ifdef></P>"}},
       "A=1",
       "<P><r/></P>",
       {"XmlPP::processConditionals(): no_root ignored on <include> at the document's root: the file's root is "
        "kept"}},
      {"a file that includes itself stops",
       {{"m.xml", "<m><include filename=\"./m.xml\"/><after/></m>"}},
       "",
       "<m><include filename=\"./m.xml\"/><after/></m>",
       {"XmlPP::processConditionals(): error: include file '{dir}/./m.xml' includes itself; not included again"}},
      {"a cycle through another file stops",
       {{"m.xml", "<m><include filename=\"a.xml\"/></m>"},
        {"a.xml", "<A><include filename=\"b.xml\"/></A>"},
        {"b.xml", "<B><include filename=\"a.xml\"/></B>"}},
       "",
       "<m><A><B><include filename=\"a.xml\"/></B></A></m>",
       {"XmlPP::processConditionals(): error: include file '{dir}/a.xml' includes itself; not included again"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    for (const auto& [name, text] : c.files) folder.write(name, text);
    CollectingDocument document;
    ASSERT_TRUE(document.preprocess(folder.file(c.files.front().first), c.definitions, true));
    EXPECT_EQ(serialise(document.root), withFolder(c.expected, folder.path()));
    std::vector<std::string> expectedWarnings;
    for (const std::string& warning : c.warnings) expectedWarnings.push_back(withFolder(warning, folder.path()));
    EXPECT_EQ(document.warnings, expectedWarnings);
  }
}

// Distinct files (no cycle) nested deeper than the limit: the innermost
// include stays in the tree with a warning.
TEST(XMLPP2Include, NestingDepthIsBounded) {
  TempFolder folder;
  constexpr int kFiles = 105;
  for (int i = 0; i < kFiles; ++i) {
    folder.write("f" + std::to_string(i) + ".xml",
                 "<F" + std::to_string(i) + "><include filename=\"f" + std::to_string(i + 1) + ".xml\"/></F" +
                     std::to_string(i) + ">");
  }
  CollectingDocument document;
  ASSERT_TRUE(document.preprocess(folder.file("f0.xml"), "", true));
  EXPECT_EQ(document.warnings,
            std::vector<std::string>{"XmlPP::processConditionals(): error: include file '" + folder.file("f101.xml") +
                                     "' nested more than 100 includes and templates deep; not included"});
  EXPECT_EQ(document.filesRead.size(), 101u);
}

TEST(XMLPP2Include, RecordsTheFilesRead) {
  TempFolder folder;
  folder.write("m.xml", "<m><include filename=\"p.xml\"/><include filename=\"p.xml\"/><include filename=\"no.xml\"/></m>");
  folder.write("p.xml", "<P/>");
  CollectingDocument document;
  ASSERT_TRUE(document.preprocess(folder.file("m.xml"), "", true));
  EXPECT_EQ(document.filesRead, (std::vector<std::string>{folder.file("m.xml"), folder.file("p.xml")}));
}

TEST(XMLPP2Include, MainFileFailureKeepsTheReadersError) {
  TempFolder folder;
  folder.write("m.xml", "<m><a></m>");
  CollectingDocument document;
  EXPECT_FALSE(document.preprocess(folder.file("m.xml"), "", true));
  EXPECT_EQ(document.errorMessage, "tagName mismatch");
  EXPECT_TRUE(document.filesRead.empty());
}

TEST(XMLPP2Include, ExpansionOffFollowsExpandMacros) {
  TempFolder folder;
  folder.write("m.xml",
               "<m v=\"$(X)\"><include filename=\"p.xml\" macros=\"X=2\"/>"
               "<include filename=\"p.xml\" macros=\"X=3\" expand_macros=\"\"/></m>");
  folder.write("p.xml", "<P v=\"$(X)\"/>");
  CollectingDocument document;
  ASSERT_TRUE(document.preprocess(folder.file("m.xml"), "X=1", false));
  EXPECT_EQ(serialise(document.root), "<m v=\"$(X)\"><P v=\"$(X)\"/><P v=\"3\"/></m>");
}

}  // namespace
}  // namespace rw
