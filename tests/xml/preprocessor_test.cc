#include "xml/preprocessor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_file.h"
#include "macros/macro_expansion.h"
#include "serialise.h"
#include "temp_folder.h"

namespace rw {
namespace {

// A folder of map files, in which `{dir}` stands for the folder.
struct MapFolder : testing::TempFolder {
  std::string withFolder(std::string text) const {
    for (size_t at = text.find("{dir}"); at != std::string::npos; at = text.find("{dir}", at)) text.replace(at, 5, path());
    return text;
  }
};

struct Session {
  XMLDocument document;
  MacroTable system = systemMacros();
  std::vector<std::string> warnings;
  Preprocessor preprocessor{document, system, [this](const std::string& w) { warnings.push_back(w); }};
};

TEST(Preprocessor, Cases) {
  for (const testing::TestCase& c : testing::readCases("xml/preprocessor_cases.txt")) {
    SCOPED_TRACE(c.name);
    MapFolder folder;
    std::string main = c.has("in") ? folder.write("m.xml", c.get("in")) : "";
    for (const auto& [key, text] : c.fields) {
      if (!key.starts_with("file ")) continue;
      const std::string path = folder.write(key.substr(5), text);
      if (main.empty()) main = path;
    }
    Session run;
    ASSERT_EQ(run.preprocessor.preprocess(main, macroDefinitions(c.get("macros"))), LoadStatus::Loaded);
    EXPECT_EQ(testing::serialise(run.document.root), folder.withFolder(c.get("out")));
    std::vector<std::string> warnings;
    for (const std::string& warning : c.all("warn")) warnings.push_back(folder.withFolder(warning));
    EXPECT_EQ(run.warnings, warnings);
  }
}

TEST(Preprocessor, FilesReadAndNestingBound) {
  MapFolder folder;
  for (int i = 0; i < 105; ++i) {
    const std::string n = std::to_string(i);
    folder.write("f" + n + ".xml", "<F><include filename=\"f" + std::to_string(i + 1) + ".xml\"/></F>");
  }
  Session run;
  run.preprocessor.preprocess(folder.withFolder("{dir}/f0.xml"), MacroTable());
  ASSERT_EQ(run.document.files.size(), 101u);
  EXPECT_EQ(run.document.files[1].path, folder.withFolder("{dir}/f1.xml"));
  EXPECT_EQ(run.warnings, std::vector<std::string>{ folder.withFolder("XmlPP::processConditionals(): error: include file '{dir}/f101.xml' "
                                                    "nested more than 100 includes and templates deep; not included")});
}

// Templates that put each other count towards the same bound as includes.
TEST(Preprocessor, TemplatesNestingBound) {
  std::string text = "<m>";
  for (int i = 0; i < 105; ++i) {
    text += "<xmldef name=\"t" + std::to_string(i) + "\"><e" + std::to_string(i) + "/><xmlput name=\"t" +
            std::to_string(i + 1) + "\"/></xmldef>";
  }
  text += "<xmlput name=\"t0\"/></m>";
  MapFolder folder;
  Session run;
  run.preprocessor.preprocess(folder.write("m.xml", text), MacroTable());
  EXPECT_EQ(run.warnings, std::vector<std::string>{"XmlPP::processConditionals(): xmlput of xmldef named t100 nested "
                                                   "more than 100 includes and templates deep; not expanded"});
  const std::string tree = testing::serialise(run.document.root);
  EXPECT_NE(tree.find("<e99"), std::string::npos);
  EXPECT_EQ(tree.find("<e100"), std::string::npos);
}

TEST(Preprocessor, DeepNestingDoesNotExhaustTheStack) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "<ifdef name=\"A\"><g v=\"$(A)\">";
  for (int i = 0; i < 100000; ++i) text += "</g></ifdef>";
  MapFolder folder;
  Session run;
  run.preprocessor.preprocess(folder.write("deep.xml", text), macroDefinitions("A=1"));
  int depth = 0;
  for (const XMLNode* node = run.document.root->firstChild; node != nullptr; node = node->firstChild, ++depth) {
    ASSERT_EQ(*asElement(node)->getAttribute("v"), "1");
  }
  EXPECT_EQ(depth, 100000);
}

TEST(Preprocessor, CopyBudgetCountsElementsAndText) {
  MapFolder folder;
  // Each loop fits alone; nested, their copies multiply past the budget. The
  // refusal is reported once, not once per refused copy.
  Session elements;
  elements.preprocessor.maxCopiedElements = 19;
  elements.preprocessor.preprocess(folder.write("e.xml", "<m><for index=\"a\" start=\"0\" end=\"4\" incr=\"1\">"
                                                         "<for index=\"b\" start=\"0\" end=\"5\" incr=\"1\"><r/></for></for>"
                                                         "<xmldef name=\"T\"><t/></xmldef><xmlput name=\"T\"/></m>"),
                                   MacroTable());
  EXPECT_EQ(testing::serialise(elements.document.root), "<m><r/><r/><r/><r/><r/><r/><r/><r/><r/><r/></m>");
  EXPECT_EQ(elements.warnings, std::vector<std::string>{"XmlPP::processConditionals(): <for> not expanded: copies "
                                                        "would exceed the limit of 19 copied elements in one "
                                                        "document; later copies beyond it are dropped too"});
  Session text;
  text.preprocessor.maxCopiedBytes = 100;
  text.preprocessor.preprocess(folder.write("t.xml", "<m><for index=\"i\" start=\"0\" end=\"10\" incr=\"1\"><r v=\"12345678\"/>"
                                                     "</for><xmldef name=\"T\"><t v=\"123456789\"/></xmldef><xmlput name=\"T\"/></m>"),
                               MacroTable());
  EXPECT_EQ(text.warnings.size(), 1u);
  EXPECT_NE(text.warnings[0].find("<xmlput> not expanded: copies would exceed the limit of 100 bytes"), std::string::npos);
  // A loop that takes the budget to its last element is expanded.
  Session exact;
  exact.preprocessor.maxCopiedElements = 5;
  exact.preprocessor.preprocess(folder.write("x.xml", "<m><for index=\"i\" start=\"0\" end=\"5\" incr=\"1\"><r/></for></m>"),
                                MacroTable());
  EXPECT_EQ(testing::serialise(exact.document.root), "<m><r/><r/><r/><r/><r/></m>");
  EXPECT_TRUE(exact.warnings.empty());
}

}  // namespace
}  // namespace rw
