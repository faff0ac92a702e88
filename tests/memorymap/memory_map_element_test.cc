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
      {"u5", 0},
      {"-1", 0xFFFFFFFFu},
      {"+7", 7},
      {"  \t12", 12},
      // Only a lower-case x is a prefix; the X is then digit 33 in base 8.
      {"0X20", 2128},
      {"0x", 0},
      {"", 0},
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
      {"Registers", ElementKind::Other},
      {"Import", ElementKind::Other},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("tag \"" + c.tag + "\"");
    EXPECT_EQ(MemoryMapElement(c.tag, false).kind(), c.expected);
  }
}

}  // namespace
}  // namespace rw
