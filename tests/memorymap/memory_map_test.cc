#include "memorymap/memory_map.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "environment/macros.h"

namespace rw {
namespace {

namespace fs = std::filesystem;

class MemoryMapTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (systemMacroTable() == nullptr) setSystemMacroTable(new PropertyClassList());
  }

  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "memorymap-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(dir_, ignored);
  }

  std::string write(const std::string& name, const std::string& text) {
    const fs::path path = fs::path(dir_) / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }

  // The "name" attribute, empty when absent.
  static std::string nameOf(const MemoryMapElement& element) {
    const auto name = element.name();
    return name ? std::string(*name) : std::string();
  }

  // The first element, in document order, whose "name" is `name`.
  static MemoryMapElement* find(XMLNode* from, const std::string& name) {
    std::vector<XMLNode*> pending{from};
    while (!pending.empty()) {
      XMLNode* node = pending.back();
      pending.pop_back();
      if (node == nullptr) continue;
      pending.push_back(node->nextSibling);
      pending.push_back(node->firstChild);
      MemoryMapElement* element = asMemoryMapElement(node);
      if (element != nullptr && nameOf(*element) == name) return element;
    }
    return nullptr;
  }

  std::string dir_;
};

TEST_F(MemoryMapTest, PlacesElementsByTheirKindsBaseRules) {
  const std::string path = write("map.xml", R"(<Root start="0x1000" size="8">
  <RegisterGroup name="G" start="0x40000000" size="0x100*4">
    <Register name="REL" start="+0x10" size="4">
      <BitField name="BF" start="+3" size="2"/>
      <Enum name="EN" start="+1" size="010"/>
      <Register name="INNER" start="+4"/>
    </Register>
    <Register name="ABS" start="0x4" size="0b101"/>
    <RegisterGroup name="NOSTART">
      <Register name="IN_NOSTART" start="+8"/>
    </RegisterGroup>
    <RegisterGroup name="EMPTY" start="">
      <Register name="IN_EMPTY" start="+8"/>
    </RegisterGroup>
    <MemorySegment name="SEG" start="+0x100" size="1+">
      <ProgramSection name="SEC" start="+0x20" size="0x10">
        <Register name="IN_SEC" start="+1" size="0X20"/>
      </ProgramSection>
    </MemorySegment>
    <Register name="BAD" start="+(" size="4"/>
    <RegisterGroup name="WRAP" start="+0xC0000000">
      <Register name="BEFORE_CDATA" start="+0x10" size="4"/><![CDATA[x]]><Register name="AFTER_CDATA" start="+2" size="4"/>
    </RegisterGroup>
    <register name="LOWER" start="5" size="4"/>
    <Processor name="CPU" start="5" size="4"/>
    <Vector name="VEC" start="5" size="4"/>
  </RegisterGroup>
  <Register name="TOP" start="+2" size="-1"/>
</Root>)");
  MyMemoryMap map;
  ASSERT_TRUE(map.load(path, "", false)) << map.errorMessage;
  struct Case {
    std::string name;
    uint32_t start;
    uint32_t size;
  };
  const Case cases[] = {
      {"G", 0x40000000u, 0x400},
      {"REL", 0x40000010u, 4},
      {"BF", 3, 2},
      {"EN", 1, 8},
      // A register hands on the base it was given, not its own start.
      {"INNER", 0x40000004u, 0},
      {"ABS", 4, 5},
      {"NOSTART", 0, 0},
      {"IN_NOSTART", 0x40000008u, 0},
      {"EMPTY", 0, 0},
      {"IN_EMPTY", 8, 0},
      {"SEG", 0x40000100u, 0},
      {"SEC", 0x40000120u, 0x10},
      {"IN_SEC", 0x40000121u, 2128},
      {"BAD", 0x40000000u, 4},
      {"WRAP", 0, 0},
      {"BEFORE_CDATA", 0x10, 4},
      // A CDATA section ends the walk over its siblings.
      {"AFTER_CDATA", 0, 0},
      {"LOWER", 0, 0},
      {"CPU", 0, 0},
      {"VEC", 0, 0},
      // Root takes neither start nor size and hands on 0.
      {"TOP", 2, 0xFFFFFFFFu},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const MemoryMapElement* element = find(map.root, c.name);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->start(), c.start);
    EXPECT_EQ(element->size(), c.size);
  }
  EXPECT_EQ(map.rootElement()->start(), 0u);
  EXPECT_EQ(map.rootElement()->size(), 0u);
}

TEST_F(MemoryMapTest, ReplacesTopLevelImportsWhereverTheyStand) {
  write("parts/a.xml", R"(<RegisterGroup name="A" start="0x100"><Register name="A1" start="+4"/>
    <Import filename="b.xml"/></RegisterGroup>)");
  write("b.xml", R"(<RegisterGroup name="B" start="0x200"/>)");
  // The empty default makes the macro vanish whether the preprocessor or the
  // loader expands it.
  const std::string path = write("main.xml", R"(<Root>
  <Register name="FIRST" start="1"/>
  <Import name="IMPA" filename="parts/a.xml"/>
  <Import name="IMPB" filename="$(NOSUCHMACRO:)b.xml"/>
  <Import name="MISSING" filename="missing.xml"/>
  <RegisterGroup name="G"><Import name="DEEP" filename="b.xml"/></RegisterGroup>
  <Register name="LAST" start="2"/>
  <![CDATA[ends the walk]]>
  <Import name="AFTER_CDATA" filename="b.xml"/>
</Root>)");
  for (bool preprocess : {false, true}) {
    SCOPED_TRACE(preprocess ? "preprocessed" : "plain");
    MyMemoryMap map;
    ASSERT_TRUE(map.load(path, "", preprocess)) << map.errorMessage;

    std::vector<std::string> top;
    for (XMLNode* node = map.root->firstChild; node != nullptr; node = node->nextSibling) {
      const MemoryMapElement* element = asMemoryMapElement(node);
      if (element != nullptr) top.push_back(std::string(element->tagName()) + ":" + nameOf(*element));
    }
    const std::vector<std::string> expected{"Register:FIRST", "RegisterGroup:A", "RegisterGroup:B",
                                            "Import:MISSING", "RegisterGroup:G", "Register:LAST",
                                            "Import:AFTER_CDATA"};
    EXPECT_EQ(top, expected);

    MemoryMapElement* a = find(map.root, "A");
    ASSERT_NE(a->importElement, nullptr);
    EXPECT_EQ(nameOf(*a->importElement), "IMPA");
    EXPECT_TRUE(a->lastModified.has_value());
    EXPECT_EQ(find(map.root, "A1")->start(), 0x104u);
    // Imports inside an imported file or deeper in the main file stay as they are.
    EXPECT_EQ(find(map.root, "DEEP")->kind(), ElementKind::Other);
    EXPECT_EQ(asMemoryMapElement(find(map.root, "A1")->nextSibling)->tagName(), "Import");
    EXPECT_EQ(nameOf(*find(map.root, "B")->importElement), "IMPB");
    EXPECT_EQ(find(map.root, "MISSING")->kind(), ElementKind::Other);
    EXPECT_TRUE(map.rootElement()->lastModified.has_value());
    EXPECT_EQ(map.rootElement()->importElement, nullptr);
    EXPECT_EQ(map.filesRead(), (std::vector<std::string>{path, dir_ + "/parts/a.xml", dir_ + "/b.xml"}));
  }
}

TEST_F(MemoryMapTest, ElementsRememberWhetherTheirFileWasWritable) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write any file, so every file counts as writable";
  const std::string part = write("part.xml", R"(<RegisterGroup name="P"><Register name="PR"/></RegisterGroup>)");
  ASSERT_EQ(::chmod(part.c_str(), 0444), 0);
  const std::string path = write("main.xml", R"(<Root name="M"><Import filename="part.xml"/><Register name="MR"/></Root>)");
  MyMemoryMap map;
  ASSERT_TRUE(map.load(path, "", true)) << map.errorMessage;
  struct Case {
    std::string name;
    bool readOnly;
  };
  const Case cases[] = {{"M", false}, {"MR", false}, {"P", true}, {"PR", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(find(map.root, c.name)->readOnly, c.readOnly);
  }
  EXPECT_FALSE(map.readOnly);
}

TEST_F(MemoryMapTest, ReportsWhyTheMainFileFailed) {
  struct Case {
    std::string name;
    std::string text;  // empty: the file is not created
    bool syntaxError;  // message and line as the reader sets them
  };
  const Case cases[] = {
      {"missing.xml", "", false},
      {"syntax.xml", "<Root>\n\n<Register></Root>", true},
      {"empty.xml", " ", false},
      {"unclosed.xml", "<Root><Register/>", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = c.text.empty() ? dir_ + "/" + c.name : write(c.name, c.text);
    std::string message;
    int32_t line = 0;
    if (c.text.empty()) message = "couldn't read " + path;
    if (c.syntaxError) {
      XMLDocument reader(false);
      ASSERT_FALSE(reader.load(path));
      message = reader.errorMessage;
      line = reader.errorLine;
      ASSERT_NE(line, 0);
    }
    for (bool preprocess : {false, true}) {
      MyMemoryMap map;
      EXPECT_FALSE(map.load(path, "", preprocess));
      EXPECT_EQ(map.rootElement(), nullptr);
      EXPECT_EQ(map.errorMessage, message);
      EXPECT_EQ(map.errorLine, line);
    }
  }
}

TEST_F(MemoryMapTest, PreprocessesWithTheMacroArgumentAndWarnsOnStderr) {
  write("periph.xml", R"x(<RegisterGroup name="U$(N)" start="$(BASE)"/>)x");
  const std::string path = write("map.xml", R"(<Root>
  <if FAMILY="F1"><Register name="ONLY_F1" start="0x10"/></if>
  <define name="X"/>
  <include filename="periph.xml" macros="N=0;BASE=0x4000"/>
</Root>)");
  MyMemoryMap map;
  testing::internal::CaptureStderr();
  ASSERT_TRUE(map.load(path, "FAMILY=F1", true)) << map.errorMessage;
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "XmlPP::processConditionals(): missing value or expression in <define>\n");
  EXPECT_EQ(find(map.root, "ONLY_F1")->start(), 0x10u);
  EXPECT_EQ(find(map.root, "U0")->start(), 0x4000u);
  EXPECT_EQ(map.macros, "FAMILY=F1");
  EXPECT_EQ(map.filesRead(), (std::vector<std::string>{path, dir_ + "/periph.xml"}));
}

TEST_F(MemoryMapTest, SurvivesAMillionNestedElements) {
  constexpr int kDepth = 1000000;
  std::string text;
  text.reserve(kDepth * 40);
  // Groups without a start hand the outermost base down all the way.
  text += "<RegisterGroup start=\"0x100\">";
  for (int i = 1; i < kDepth; ++i) text += "<RegisterGroup>";
  text += "<Register name=\"DEEPEST\" start=\"+1\"/>";
  for (int i = 0; i < kDepth; ++i) text += "</RegisterGroup>";
  const std::string path = write("deep.xml", text);
  MyMemoryMap map;
  ASSERT_TRUE(map.load(path, "", false)) << map.errorMessage;
  EXPECT_EQ(find(map.root, "DEEPEST")->start(), 0x101u);
}

}  // namespace
}  // namespace rw
