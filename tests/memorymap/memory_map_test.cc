#include "memorymap/memory_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "macros/macro_expansion.h"
#include "temp_folder.h"

namespace rw {
namespace {

class MemoryMapTest : public ::testing::Test {
protected:
  std::string write(const std::string& name, const std::string& text) { return folder_.write(name, text); }
  const MemoryMapElement* find(const MemoryMap& map, std::string_view name) {
    std::vector<const XMLNode*> pending{map.rootElement()};
    while (!pending.empty()) {
      const MemoryMapElement* element = asMemoryMapElement(pending.back());
      pending.pop_back();
      if (element == nullptr) continue;
      if (element->name() == name) return element;
      for (const XMLNode* child = element->firstChild; child != nullptr; child = child->nextSibling) {
        pending.push_back(child);
      }
    }
    return nullptr;
  }

  const testing::TempFolder folder_;
  const std::string& dir_ = folder_.path();
  const MacroTable system_ = systemMacros();
};

// What the header does not show: sizes of containers, enumerations, kinds.
TEST_F(MemoryMapTest, PlacesAndSizesEveryKind) {
  MemoryMap map(system_);
  ASSERT_TRUE(map.load(write("map.xml", R"map(<Root start="0x1000" size="8">
  <RegisterGroup name="G" start="0x40000000" size="0x100*$(N)">
    <Register name="R" start="+0x10" size="4"><Enum name="EN" start="+1" size="010"/></Register>
    <MemorySegment name="SEG" start="+0x100" size="1+">
      <ProgramSection name="SEC" start="+0x20" size="0x10"><Register name="IN_SEC" start="+1"/></ProgramSection>
    </MemorySegment>
    <Processor name="CPU" start="5" size="4"/><Vector name="VEC" start="5" size="4"/><Import name="I" start="5"/>
  </RegisterGroup>
</Root>)map"), macroDefinitions("N=4")));
  const struct {
    const char* name;
    uint32_t start;
    uint32_t size;
    ElementKind kind;
  } cases[] = {
      {"G", 0x40000000u, 0x400, ElementKind::RegisterGroup},   {"R", 0x40000010u, 4, ElementKind::Register},
      {"EN", 1, 8, ElementKind::Enum},                          {"SEG", 0x40000100u, 0, ElementKind::MemorySegment},
      {"SEC", 0x40000120u, 0x10, ElementKind::ProgramSection},  {"IN_SEC", 0x40000121u, 0, ElementKind::Register},
      {"CPU", 0, 0, ElementKind::Processor},                    {"VEC", 0, 0, ElementKind::Vector},
      {"I", 0, 0, ElementKind::Other},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const MemoryMapElement* element = find(map, c.name);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->start(), c.start);
    EXPECT_EQ(element->size(), c.size);
    EXPECT_EQ(element->kind(), c.kind);
  }
  EXPECT_EQ(map.rootElement()->start(), 0u);
  EXPECT_EQ(map.rootElement()->size(), 0u);
}

TEST_F(MemoryMapTest, ListsTheFilesItReadAndReportsFailures) {
  write("parts/a.xml", R"(<RegisterGroup name="A"><include filename="../b.xml"/></RegisterGroup>)");
  write("b.xml", R"(<RegisterGroup name="B"/>)");
  const std::string main = write("main.xml", R"(<Root><include filename="b.xml"/><Import filename="parts/a.xml"/>
    <Import filename="missing.xml"/></Root>)");
  MemoryMap map(system_);
  ASSERT_TRUE(map.load(main, MacroTable()));
  // Include names are taken as written, so one file may be listed twice.
  EXPECT_EQ(map.filesRead(),
            (std::vector<std::string>{main, dir_ + "/b.xml", dir_ + "/parts/a.xml", dir_ + "/parts/../b.xml"}));

  const struct {
    const char* text;
    const char* message;
    int line;
  } failures[] = {{"<Root>\n\n<Register></Root>", "tagName mismatch", 2}, {" ", "", 0}, {"<Root><R/>", "", 0}};
  for (const auto& failure : failures) {
    MemoryMap broken(system_);
    EXPECT_FALSE(broken.load(write("broken.xml", failure.text), MacroTable()));
    EXPECT_EQ(broken.errorMessage(), failure.message);
    EXPECT_EQ(broken.errorLine(), failure.line);
  }
}

}  // namespace
}  // namespace rw
