#include "memorymap/memory_map_element.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace rw {
namespace {

TEST(ParseNumberLiteral, ReadsCStyleLiterals) {
  struct Case {
    std::string text;
    uint32_t expected;
  };
  const Case cases[] = {
      {"32", 32},
      {"0x20", 32},
      {"0b101", 5},
      {"010", 8},
      {"10UL", 10},
      {"10l", 10},
      {"u5", 0},
      {"0u", 0},
      {"-1", 0xFFFFFFFFu},
      {"+7", 7},
      {"  \t12", 12},
      // Only a lower-case x is a prefix; the X is then digit 33 in base 8.
      {"0X20", 2128},
      {"0x", 0},
      {"0", 0},
      {"", 0},
      {"   ", 0},
      {"0xff", 255},
      {"0xFF", 255},
      // Digits are not checked against the base.
      {"19a", 1 * 100 + 9 * 10 + 10},
      {"32 ", 32},
      {"0x100000001", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("text \"" + c.text + "\"");
    EXPECT_EQ(static_cast<uint32_t>(parseNumberLiteral(c.text)), c.expected);
  }
}

TEST(ElementKind, ComesFromTheExactTagName) {
  struct Case {
    std::string tag;
    ElementKind expected;
  };
  const Case cases[] = {
      {"MemorySegment", ElementKind::MemorySegment},
      {"Register", ElementKind::Register},
      {"ProgramSection", ElementKind::ProgramSection},
      {"Root", ElementKind::Root},
      {"RegisterGroup", ElementKind::RegisterGroup},
      {"BitField", ElementKind::BitField},
      {"Enum", ElementKind::Enum},
      {"Processor", ElementKind::Processor},
      {"Vector", ElementKind::Vector},
      {"register", ElementKind::Other},
      {"REGISTER", ElementKind::Other},
      {"Register ", ElementKind::Other},
      {"Registers", ElementKind::Other},
      {"Import", ElementKind::Other},
      {"", ElementKind::Other},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("tag \"" + c.tag + "\"");
    EXPECT_EQ(MemoryMapElement(c.tag, false).kind(), c.expected);
  }
}

TEST(MemoryMapElement, StartAndSizeNeedANonEmptyValue) {
  struct Case {
    const char* start;  // null: no attribute
    const char* size;
    bool hasStart;
    bool hasSize;
  };
  const Case cases[] = {
      {nullptr, nullptr, false, false},
      {"", "", false, false},
      {"0", "4", true, true},
      {"+0x10", nullptr, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("start ") + (c.start ? c.start : "(none)"));
    MemoryMapElement element("Register", false);
    if (c.start != nullptr) element.setAttribute("start", c.start);
    if (c.size != nullptr) element.setAttribute("size", c.size);
    EXPECT_EQ(element.hasStart(), c.hasStart);
    EXPECT_EQ(element.hasSize(), c.hasSize);
  }
}

TEST(MemoryMapElement, SetStartAddsTheBaseOnlyAfterAPlus) {
  struct Case {
    const char* start;
    uint32_t base;
    uint32_t expected;
  };
  const Case cases[] = {
      {"+0x10", 0x40000000u, 0x40000010u},
      {"0x10", 0x40000000u, 0x10u},
      {"", 0x40000000u, 0},
      {"not an expression", 0x40000000u, 0},
      {"+not an expression", 0x40000000u, 0x40000000u},
      {"+0x20", 0xFFFFFFF0u, 0x10u},
      {"0x100000004", 0, 4},
      {"4*4+1", 0, 17},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("start \"") + c.start + "\"");
    MemoryMapElement element("Register", false);
    element.setAttribute("start", c.start);
    element.setStart(c.base);
    EXPECT_EQ(element.start(), c.expected);
  }
}

}  // namespace
}  // namespace rw
