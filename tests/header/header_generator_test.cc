#include "header/header_generator.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "header/generator_settings.h"
#include "map_builder.h"

namespace rw {
namespace {

using test::build;
using test::cdata;
using test::Node;
using Attributes = std::vector<std::pair<std::string, std::string>>;

Node group(std::string name, std::string start, std::vector<Node> children) {
  Attributes attributes{{"name", std::move(name)}};
  if (!start.empty()) attributes.emplace_back("start", std::move(start));
  return Node{"RegisterGroup", std::move(attributes), std::move(children)};
}

Node reg(std::string name, std::string start, std::string size, std::vector<Node> fields = {}) {
  return Node{"Register", {{"name", std::move(name)}, {"start", std::move(start)}, {"size", std::move(size)}},
              std::move(fields)};
}

Node field(std::string name, std::string start, std::string size) {
  return Node{"BitField", {{"name", std::move(name)}, {"start", std::move(start)}, {"size", std::move(size)}}, {}};
}

Node root(std::vector<Node> children) { return Node{"Root", {}, std::move(children)}; }

struct Case {
  const char* name;
  std::function<void(GeneratorSettings&)> configure;
  Node tree;
  bool regBaseOffs;
  const char* header;
  const char* warnings;
  bool noBitFields = false;
};

class HeaderGeneratorTest : public ::testing::Test {
protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  static void reset() {
    generatorSettings() = GeneratorSettings{};
    resetDefinedNames();
  }
};

void bitBand(GeneratorSettings& s, uint32_t base) {
  s.bitBandBase = base;
  s.bitBandAliasOffset = 0x2000000;
}

TEST_F(HeaderGeneratorTest, WritesDefinitionsLineForLine) {
  const Case cases[] = {
      {"worked example", [](GeneratorSettings& s) { bitBand(s, 0x40000000); },
       group("UART0", "0x40010800", {reg("CTRL", "0x4001080C", "4", {field("EN", "0", "1"), field("MODE", "4", "2")})}),
       true,
       "\n#ifndef UART0_BASE\n#define UART0_BASE 0x40010800\n#endif\n"
       "\n#define CTRL (*(volatile unsigned long *)0x4001080C)\n"
       "#define CTRL_OFFSET 0xC\n"
       "#define CTRL_EN_MASK 0x1\n#define CTRL_EN 0x1\n"
       "#define CTRL_EN_BITBAND_ADDRESS 0x42210180\n"
       "#define CTRL_EN_BITBAND (*(volatile unsigned *)0x42210180)\n"
       "#define CTRL_EN_BIT 0\n"
       "#define CTRL_MODE_MASK 0x30\n#define CTRL_MODE_BIT 4\n",
       ""},
      {"single-bit value is the bit number with -singlebitfieldnames",
       [](GeneratorSettings& s) { s.singleBitFieldNames = true; },
       reg("R", "0x0", "4", {field("A", "0", "1"), field("B", "10", "1")}), false,
       "\n#define R (*(volatile unsigned long *)0x0)\n"
       "#define R_A_MASK 0x1\n#define R_A 0x0\n#define R_A_BIT 0\n"
       "#define R_B_MASK 0x400\n#define R_B 0xA\n#define R_B_BIT 10\n",
       ""},
      {"masks by size; zero-size fields write nothing", nullptr,
       reg("R", "0x10", "4",
           {field("Z", "3", "0"), field("W31", "0", "31"), field("W32", "4", "32"), field("W40", "0", "40"),
            field("TOP", "31", "1")}),
       false,
       "\n#define R (*(volatile unsigned long *)0x10)\n"
       "#define R_W31_MASK 0x7FFFFFFF\n#define R_W31_BIT 0\n"
       "#define R_W32_MASK 0xFFFFFFF0\n#define R_W32_BIT 4\n"
       "#define R_W40_MASK 0xFFFFFFFF\n#define R_W40_BIT 0\n"
       "#define R_TOP_MASK 0x80000000\n#define R_TOP 0x80000000\n#define R_TOP_BIT 31\n",
       ""},
      {"starts of 32 or more shift modulo 32 but keep their number", [](GeneratorSettings& s) { bitBand(s, 0x40000000); },
       reg("R", "0x40000000", "4", {field("HI", "33", "1"), field("WIDE", "36", "2")}), false,
       "\n#define R (*(volatile unsigned long *)0x40000000)\n"
       "#define R_HI_MASK 0x2\n#define R_HI 0x2\n"
       "#define R_HI_BITBAND_ADDRESS 0x42000084\n"
       "#define R_HI_BITBAND (*(volatile unsigned *)0x42000084)\n"
       "#define R_HI_BIT 33\n"
       "#define R_WIDE_MASK 0x30\n#define R_WIDE_BIT 36\n",
       ""},
      {"-singlebitfieldnames value keeps a start of 32 or more", [](GeneratorSettings& s) { s.singleBitFieldNames = true; },
       reg("R", "0x0", "4", {field("HI", "40", "1")}), false,
       "\n#define R (*(volatile unsigned long *)0x0)\n"
       "#define R_HI_MASK 0x100\n#define R_HI 0x28\n#define R_HI_BIT 40\n",
       ""},
      {"duplicate register: empty line, warning, bit fields still visited", nullptr,
       root({reg("A", "0x10", "4", {field("X", "0", "1")}),
             reg("A", "0x20", "2", {field("X", "0", "1"), field("Y", "1", "2")})}),
       false,
       "\n#define A (*(volatile unsigned long *)0x10)\n"
       "#define A_X_MASK 0x1\n#define A_X 0x1\n#define A_X_BIT 0\n"
       "\n#define A_Y_MASK 0x6\n#define A_Y_BIT 1\n",
       "warning: ignoring multiply defined symbol A\nwarning: ignoring multiply defined symbol A_X\n"},
      {"warnings name symbols without the prefix", [](GeneratorSettings& s) { s.defPrefixString = "P_"; },
       root({reg("A", "0x10", "1"), reg("A", "0x20", "1")}), false,
       "\n#define P_A (*(volatile unsigned char *)0x10)\n\n",
       "warning: ignoring multiply defined symbol A\n"},
      {"register and bit-field names live in separate sets", [](GeneratorSettings& s) { s.noPrependReg = true; },
       root({reg("EN", "0x0", "4", {field("EN", "0", "2")})}), false,
       "\n#define EN (*(volatile unsigned long *)0x0)\n#define EN_MASK 0x3\n#define EN_BIT 0\n", ""},
      {"-excludebitfield tests the name before repair",
       [](GeneratorSettings& s) {
         s.excludeBitFieldPattern = "[0-9]";
         s.fixDefs = true;
       },
       reg("R", "0x0", "4", {field("1X", "0", "2"), field("X1", "2", "2")}), false,
       "\n#define R (*(volatile unsigned long *)0x0)\n#define R_X1_MASK 0xC\n#define R_X1_BIT 2\n", ""},
      {"an invalid -excludebitfield expression excludes nothing",
       [](GeneratorSettings& s) { s.excludeBitFieldPattern = "(RES"; },
       reg("R", "0x0", "4", {field("(RES", "0", "2")}), false,
       "\n#define R (*(volatile unsigned long *)0x0)\n#define R_(RES_MASK 0x3\n#define R_(RES_BIT 0\n", ""},
      {"-nobitfields", nullptr, reg("R", "0x0", "4", {field("EN", "0", "1")}), false,
       "\n#define R (*(volatile unsigned long *)0x0)\n", "", true},
      {"register types by size", nullptr,
       root({reg("B1", "0x0", "1"), reg("B2", "0x0", "2"), reg("B4", "0x0", "4"), reg("B8", "0x0", "8"),
             reg("NONE", "0x0", ""), Node{"Register", {{"name", "MISSING"}}, {}}}),
       false,
       "\n#define B1 (*(volatile unsigned char *)0x0)\n"
       "\n#define B2 (*(volatile unsigned short *)0x0)\n"
       "\n#define B4 (*(volatile unsigned long *)0x0)\n"
       "\n#define B8 (*(volatile unsigned *)0x0)\n"
       "\n#define NONE (*(volatile unsigned *)0x0)\n"
       "\n#define MISSING (*(volatile unsigned *)0x0)\n",
       ""},
      {"empty aka: no register alias, field aliases begin with _", nullptr,
       Node{"Register", {{"name", "A"}, {"start", "0x8"}, {"size", "4"}, {"aka", ""}}, {field("EN", "3", "1")}}, false,
       "\n#define A (*(volatile unsigned long *)0x8)\n"
       "#define A_EN_MASK 0x8\n#define _EN_MASK A_EN_MASK\n"
       "#define A_EN 0x8\n#define _EN A_EN\n"
       "#define A_EN_BIT 3\n#define _EN_BIT A_EN_BIT\n",
       ""},
      {"-fixdefs repairs register, field and alias names but not group bases or vectors",
       [](GeneratorSettings& s) { s.fixDefs = true; },
       group("G-1", "0x100",
             {Node{"Register", {{"name", "1ST-CTRL[0]"}, {"start", "0x100"}, {"size", "4"}, {"aka", "ALT-X"}},
                   {field("EN(enable)", "0", "2")}},
              Node{"Vector", {{"name", "V-1"}, {"start", "16+1"}}, {}}}),
       true,
       "\n#ifndef G-1_BASE\n#define G-1_BASE 0x100\n#endif\n"
       "\n#define _1ST_CTRL0 (*(volatile unsigned long *)0x100)\n"
       "#define ALT_X _1ST_CTRL0\n"
       "#define _1ST_CTRL0_OFFSET 0x0\n#define ALT_X_OFFSET _1ST_CTRL0_OFFSET\n"
       "#define _1ST_CTRL0_EN_MASK 0x3\n#define ALT_X_EN_MASK _1ST_CTRL0_EN_MASK\n"
       "#define _1ST_CTRL0_EN_BIT 0\n#define ALT_X_EN_BIT _1ST_CTRL0_EN_BIT\n"
       "#define V-1 16+1\n",
       ""},
      {"field aliases repair the raw aka together with the field name",
       [](GeneratorSettings& s) { s.fixDefs = true; },
       Node{"Register", {{"name", "R"}, {"start", "0x0"}, {"size", "4"}, {"aka", "ALT(old)"}}, {field("EN", "2", "2")}},
       false,
       "\n#define R (*(volatile unsigned long *)0x0)\n#define ALT R\n"
       "#define R_EN_MASK 0xC\n#define ALT_MASK R_EN_MASK\n#define R_EN_BIT 2\n#define ALT_BIT R_EN_BIT\n",
       ""},
      {"group prefix from prepend_group_name, also for a nameless group", nullptr,
       root({Node{"RegisterGroup", {{"name", "UART"}, {"prepend_group_name", "no"}}, {reg("DR", "0x0", "4")}},
             Node{"RegisterGroup", {{"prepend_group_name", ""}}, {reg("SR", "0x4", "4")}},
             Node{"RegisterGroup", {{"name", "PLAIN"}}, {reg("CR", "0x8", "4")}}}),
       false,
       "\n#define UART_DR (*(volatile unsigned long *)0x0)\n"
       "\n#define _SR (*(volatile unsigned long *)0x4)\n"
       "\n#define CR (*(volatile unsigned long *)0x8)\n",
       ""},
      {"group without start: no base block and no offset line", nullptr, group("G", "", {reg("R", "0x20", "4")}), true,
       "\n#define R (*(volatile unsigned long *)0x20)\n", ""},
      {"top-level register: no group prefix, no offset line", [](GeneratorSettings& s) { s.prependRegGroup = true; },
       reg("R", "0x20", "4"), true, "\n#define R (*(volatile unsigned long *)0x20)\n", ""},
      {"offsets wrap when a register lies below its group",
       [](GeneratorSettings& s) { s.regOffsetString = "_OFS"; s.regBaseString = "_B"; },
       group("G", "0x100", {reg("R", "0xFC", "4")}), true,
       "\n#ifndef G_B\n#define G_B 0x100\n#endif\n"
       "\n#define R (*(volatile unsigned long *)0xFC)\n#define R_OFS 0xFFFFFFFC\n",
       ""},
      {"bit-band window is [base, base + 0x2000000)", [](GeneratorSettings& s) { bitBand(s, 0x40000000); },
       root({reg("BELOW", "0x3FFFFFFF", "1", {field("B", "7", "1")}),
             reg("LAST", "0x41FFFFFF", "1", {field("B", "7", "1")}),
             reg("ABOVE", "0x42000000", "1", {field("B", "0", "1")})}),
       false,
       "\n#define BELOW (*(volatile unsigned char *)0x3FFFFFFF)\n"
       "#define BELOW_B_MASK 0x80\n#define BELOW_B 0x80\n#define BELOW_B_BIT 7\n"
       "\n#define LAST (*(volatile unsigned char *)0x41FFFFFF)\n"
       "#define LAST_B_MASK 0x80\n#define LAST_B 0x80\n"
       "#define LAST_B_BITBAND_ADDRESS 0x81FFFFFC\n#define LAST_B_BITBAND (*(volatile unsigned *)0x81FFFFFC)\n"
       "#define LAST_B_BIT 7\n"
       "\n#define ABOVE (*(volatile unsigned char *)0x42000000)\n"
       "#define ABOVE_B_MASK 0x1\n#define ABOVE_B 0x1\n#define ABOVE_B_BIT 0\n",
       ""},
      {"no bit-band lines without -bitband", nullptr, reg("R", "0x40000000", "4", {field("B", "0", "1")}), false,
       "\n#define R (*(volatile unsigned long *)0x40000000)\n#define R_B_MASK 0x1\n#define R_B 0x1\n#define R_B_BIT 0\n",
       ""},
      {"-bitband 0xFFFFFFFF means none", [](GeneratorSettings& s) { bitBand(s, 0xFFFFFFFF); },
       reg("R", "0xFFFFFFFF", "1", {field("B", "0", "1")}), false,
       "\n#define R (*(volatile unsigned char *)0xFFFFFFFF)\n#define R_B_MASK 0x1\n#define R_B 0x1\n#define R_B_BIT 0\n",
       ""},
      {"vectors as written, missing attributes contribute nothing", [](GeneratorSettings& s) {
         s.defPrefixString = "P_";
         s.fixDefs = true;
       },
       root({Node{"Vector", {{"name", "Reset_IRQn"}, {"start", "0x04 "}}, {}}, Node{"Vector", {{"start", "3"}}, {}},
             Node{"Vector", {}, {}}}),
       false, "#define Reset_IRQn 0x04 \n#define  3\n#define  \n", ""},
      {"CDATA sections are passed over", nullptr,
       root({cdata(), reg("A", "0x0", "4", {cdata(), field("X", "1", "1")}), cdata(), Node{"Vector", {{"name", "V"}}, {}}}),
       false,
       "\n#define A (*(volatile unsigned long *)0x0)\n#define A_X_MASK 0x2\n#define A_X 0x2\n#define A_X_BIT 1\n"
       "#define V \n",
       ""},
      {"only direct bit fields of a register count", nullptr,
       root({field("LOOSE", "0", "1"),
             reg("A", "0x0", "4", {Node{"Enum", {{"name", "E"}}, {field("DEEP", "0", "1")}}}),
             Node{"ProgramSection", {{"name", "S"}}, {reg("HIDDEN", "0x0", "4")}},
             Node{"Other", {}, {reg("HIDDEN2", "0x0", "4")}}}),
       false, "\n#define A (*(volatile unsigned long *)0x0)\n", ""},
      {"document order, depth first, through every container kind", nullptr,
       root({Node{"MemorySegment", {{"name", "S"}},
                  {Node{"Processor", {}, {group("G1", "0x0", {reg("A", "0x0", "4")})}}, reg("B", "0x4", "4")}},
             Node{"Vector", {{"name", "V"}, {"start", "1"}}, {}}, reg("C", "0x8", "4")}),
       true,
       "\n#ifndef G1_BASE\n#define G1_BASE 0x0\n#endif\n"
       "\n#define A (*(volatile unsigned long *)0x0)\n#define A_OFFSET 0x0\n"
       "\n#define B (*(volatile unsigned long *)0x4)\n"
       "#define V 1\n"
       "\n#define C (*(volatile unsigned long *)0x8)\n",
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset();
    if (c.configure) c.configure(generatorSettings());
    auto tree = build(c.tree);
    std::string out;
    ::testing::internal::CaptureStderr();
    generateDefinitions(out, tree.get(), c.regBaseOffs, c.noBitFields);
    std::string warnings = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, c.header);
    EXPECT_EQ(warnings, c.warnings);
  }
}

TEST_F(HeaderGeneratorTest, NullElementWritesNothing) {
  std::string out = "kept";
  generateDefinitions(out, nullptr, true, false);
  EXPECT_EQ(out, "kept");
}

TEST_F(HeaderGeneratorTest, NamesStayDefinedAcrossCallsUntilReset) {
  auto tree = build(reg("A", "0x0", "4", {field("X", "0", "2")}));
  std::string first;
  generateDefinitions(first, tree.get(), false, false);

  std::string second;
  ::testing::internal::CaptureStderr();
  generateDefinitions(second, tree.get(), false, false);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "warning: ignoring multiply defined symbol A\nwarning: ignoring multiply defined symbol A_X\n");
  EXPECT_EQ(second, "\n");

  resetDefinedNames();
  std::string third;
  generateDefinitions(third, tree.get(), false, false);
  EXPECT_EQ(third, first);
}

TEST_F(HeaderGeneratorTest, DeepNestingDoesNotExhaustTheStack) {
  constexpr int kDepth = 1'000'000;
  auto top = std::make_unique<MemoryMapElement>("RegisterGroup", false);
  MemoryMapElement* parent = top.get();
  for (int i = 0; i < kDepth; ++i) {
    auto* child = new MemoryMapElement(i % 2 == 0 ? "MemorySegment" : "RegisterGroup", false);
    parent->appendChild(child);
    parent = child;
  }
  auto* deepest = new MemoryMapElement("Register", false);
  deepest->setAttribute("name", "DEEP");
  parent->appendChild(deepest);
  // A sibling after the whole chain proves the walk comes back up.
  auto* after = new MemoryMapElement("Vector", false);
  after->setAttribute("name", "AFTER");
  after->setAttribute("start", "7");
  top->appendChild(after);

  std::string out;
  generateDefinitions(out, top.get(), false, false);
  EXPECT_EQ(out, "\n#define DEEP (*(volatile unsigned *)0x0)\n#define AFTER 7\n");
}

}  // namespace
}  // namespace rw
