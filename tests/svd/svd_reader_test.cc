#include "svd/svd_reader.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cstdlib>
#include <new>

#include <string>

#include "case_file.h"
#include "memorymap/map_writer.h"
#include "header/flat_header.h"
#include "macros/macro_expansion.h"
#include "temp_folder.h"
#include "text_builders.h"

namespace rw {
namespace {

// A case gives the peripherals of a device, or a whole file.
std::string svdText(const std::string& body) {
  if (body.starts_with("<?") || body.starts_with("<device")) return body;
  return "<device><name>D</name><peripherals>" + body + "</peripherals></device>";
}

std::string headerOf(const MemoryMapElement* root) {
  HeaderOptions options;
  options.regBaseOffs = true;
  std::string header;
  generateDefinitions(header, root, options);
  return header;
}

// "svd" must give the header of the hand-written "map" (the content of its
// root) and, where given, write as the "expanded" map; or fail with "error"
// on "line". Either way it gives exactly the "warnings" ("LINE: MESSAGE",
// one a line), none when the case names none.
TEST(SvdReader, Cases) {
  const testing::TempFolder folder;
  const MacroTable system = systemMacros();
  for (const testing::TestCase& c : testing::readCases("svd/svd_reader_cases.txt")) {
    SCOPED_TRACE(c.name);
    const SvdLimits limits{.elements = std::stoul(c.get("max_elements", std::to_string(kMaxSvdElements))),
                           .textBytes = std::stoul(c.get("max_text", std::to_string(kMaxSvdTextBytes))),
                           .textBytesPerFileByte = c.has("max_text") ? 0 : kSvdTextBytesPerFileByte,
                           .nodeReads = std::stoul(c.get("max_reads", std::to_string(kMaxSvdNodeReads)))};
    SvdTree tree = parseSvd(svdText(c.get("svd")), limits);
    std::string warnings;
    for (const SvdWarning& warning : tree.warnings) {
      warnings += (warnings.empty() ? "" : "\n") + std::to_string(warning.line) + ": " + warning.message;
    }
    EXPECT_EQ(warnings, c.get("warnings"));
    if (c.has("error")) {
      EXPECT_EQ(tree.root, nullptr);
      EXPECT_EQ(tree.problem, c.get("error"));
      EXPECT_EQ(std::to_string(tree.line), c.get("line"));
      continue;
    }
    ASSERT_NE(tree.root, nullptr) << tree.problem;
    MemoryMap svdMap(system);
    svdMap.adopt(tree.root.release(), "case.svd");
    if (c.has("map")) {
      MemoryMap handMap(system);
      ASSERT_TRUE(handMap.load(folder.write("map.xml", "<Root>" + c.get("map") + "</Root>"), MacroTable()));
      const std::string expected = headerOf(handMap.rootElement());
      EXPECT_NE(expected, "");
      EXPECT_EQ(headerOf(svdMap.rootElement()), expected);
    }
    if (c.has("expanded")) {
      EXPECT_EQ(writeExpandedMap(svdMap.rootElement()), c.get("expanded"));
    }
  }
}

// Bounds that a case file cannot spell: clusters nested past the limit, a
// derivation chain longer than the limit, and paths through paths deeper
// than the limit.
TEST(SvdReader, DeepStructuresEndInAMessage) {
  const std::string cluster = "<cluster><name>C</name><addressOffset>0</addressOffset>";
  const SvdTree nested = parseSvd(svdText(testing::join(
      {"<peripheral><name>P</name><baseAddress>0</baseAddress><registers>", testing::repeat(cluster, 40),
       "<register><name>R</name><addressOffset>0</addressOffset></register>", testing::repeat("</cluster>", 40),
       "</registers></peripheral>"})));
  EXPECT_EQ(nested.problem, testing::join({"cluster P", testing::repeat(".C", 33), " nests clusters more than 32 deep"}));

  std::string chain = "<peripheral><name>P0</name><baseAddress>0</baseAddress></peripheral>";
  for (int i = 1; i <= 40; ++i) {
    chain += "<peripheral derivedFrom=\"P" + std::to_string(i - 1) + "\"><name>P" + std::to_string(i) +
             "</name></peripheral>";
  }
  EXPECT_EQ(parseSvd(svdText(chain)).problem, "the derivedFrom chain of peripheral P33 is longer than 32");

  // Cluster Ck derives from a register of cluster Ck+1, found through the
  // chain of Ck+1.
  std::string paths = "<peripheral><name>P</name><baseAddress>0</baseAddress><registers>";
  for (int i = 0; i < 70; ++i) {
    paths += "<cluster derivedFrom=\"P.C" + std::to_string(i + 1) + ".R\"><name>C" + std::to_string(i) +
             "</name><addressOffset>0</addressOffset><register><name>R</name><addressOffset>0</addressOffset>"
             "</register></cluster>";
  }
  paths += "</registers></peripheral>";
  EXPECT_EQ(parseSvd(svdText(paths)).problem, "the derivedFrom references of cluster P.C64 nest more than 64 deep");
}

// Arrays that make nothing (clusters of empty clusters) and array names that
// a reference makes the reader index cost bounded work too: without the
// bounds they ask for 10^12 and 6.5 * 10^7 steps.
TEST(SvdReader, LargeArraysCostBoundedWork) {
  const std::string emptyCluster = "<cluster><dim>1000</dim><dimIncrement>0</dimIncrement><name>C%s</name>"
                                   "<addressOffset>0</addressOffset>";
  const SvdTree nested = parseSvd(svdText(testing::join(
                                      {"<peripheral><name>P</name><baseAddress>0</baseAddress><registers>",
                                       testing::repeat(emptyCluster, 4), testing::repeat("</cluster>", 4),
                                       "</registers></peripheral>"})),
                                  {.elements = 100000});
  EXPECT_EQ(nested.problem, "more than 100000 elements of arrays");

  std::string arrays = "<peripheral><name>P</name><baseAddress>0</baseAddress><registers>"
                       "<register derivedFrom=\"R0_%s\"><name>FIRST</name><addressOffset>0</addressOffset></register>";
  for (int i = 0; i < 1000; ++i) {
    arrays += "<register><dim>65536</dim><dimIncrement>4</dimIncrement><name>R" + std::to_string(i) +
              "_%s</name><addressOffset>0</addressOffset></register>";
  }
  const SvdTree indexed = parseSvd(svdText(arrays + "</registers></peripheral>"), {.elements = 100});
  EXPECT_EQ(indexed.problem, "more than 100 elements of arrays");
}

// Peripherals that make what another made take copies of it: the tree, the
// warnings and the failure (what, where) must be those of making everything
// anew, under every bound from the one the first element passes to the one
// the whole file fits in.
TEST(SvdReader, CopiesOfRepeatedPeripheralsSpendWhatMakingThemWould) {
  std::string peripherals = testing::join(
      {"<peripheral><name>A</name><baseAddress>0x40000000</baseAddress><registers>",
       "<register><name>CR</name><addressOffset>0</addressOffset><description>control</description><fields>",
       "<field><name>MODE</name><bitOffset>0</bitOffset><bitWidth>2</bitWidth><enumeratedValues><name>MODES</name>",
       "<enumeratedValue><name>OFF</name><value>0</value></enumeratedValue><enumeratedValue><name>ON</name>",
       "<value>1</value><description>on  now</description></enumeratedValue></enumeratedValues></field>",
       "<field><dim>2</dim><dimIncrement>4</dimIncrement><name>B%s</name><bitRange>[9:8]</bitRange>",
       "<enumeratedValues derivedFrom=\"MODES\"/></field></fields></register>",
       "<register derivedFrom=\"Z.SR\"><name>SR</name><addressOffset>4</addressOffset></register>",
       "<register><dim>3</dim><dimIncrement>4</dimIncrement><dimIndex>X,Y</dimIndex><name>D%s</name>",
       "<addressOffset>8</addressOffset></register>",
       "<cluster><dim>2</dim><dimIncrement>0x10</dimIncrement><name>CH%s</name><addressOffset>0x20</addressOffset>",
       "<register><name>CCR</name><addressOffset>0</addressOffset><fields><field><name>EN</name>",
       "<bitOffset>0</bitOffset></field><field><dim>2</dim><dimIncrement>1</dimIncrement><name>X%s</name>",
       "<bitOffset>4</bitOffset></field></fields></register></cluster>",
       "<cluster><dim>40</dim><dimIncrement>0</dimIncrement><name>NONE%s</name><addressOffset>0</addressOffset>",
       "</cluster></registers></peripheral>",
       "<peripheral derivedFrom=\"A\"><name>LONGER_NAME_B</name><baseAddress>0x40001000</baseAddress></peripheral>",
       "<peripheral derivedFrom=\"A\"><name>C</name><size>16</size><baseAddress>0x40002000</baseAddress>",
       "</peripheral><peripheral derivedFrom=\"LONGER_NAME_B\"><dim>2</dim><dimIncrement>0x100</dimIncrement>",
       "<name>E%s</name><baseAddress>0x40003000</baseAddress></peripheral>",
       "<peripheral><name>Z</name><baseAddress>0x50000000</baseAddress><registers><register><name>SR</name>",
       "<addressOffset>0</addressOffset></register></registers></peripheral>"});
  // An element a line, so that the lines copies carry are told apart.
  for (size_t at = 0; (at = peripherals.find("><", at)) != std::string::npos; at += 2) peripherals.insert(at + 1, "\n");
  const auto outcome = [](const std::string& svd, SvdLimits limits, bool copies) {
    limits.copyRepeats = copies;
    SvdTree tree = parseSvd(svdText(svd), limits);
    std::string text = tree.problem + " @" + std::to_string(tree.line) + "\n";
    for (const SvdWarning& warning : tree.warnings) text += std::to_string(warning.line) + ": " + warning.message + "\n";
    if (tree.root == nullptr) return text;
    text += writeExpandedMap(tree.root.get());
    // The lines elements came from, which the expanded map does not say.
    const auto addLines = [&text](const XMLNode& node, const auto& self) -> void {
      text += std::to_string(node.line) + " ";
      for (const XMLNode* child = node.firstChild; child != nullptr; child = child->nextSibling) self(*child, self);
    };
    addLines(*tree.root, addLines);
    return text;
  };
  // Text is counted in bytes, thousands of them: every third bound is
  // enough to tell the text of one name from another's.
  struct Bound {
    const char* name;
    size_t SvdLimits::*field;
    size_t step;
  };
  for (const Bound bound : {Bound{"elements", &SvdLimits::elements, 1}, Bound{"text", &SvdLimits::textBytes, 3},
                            Bound{"reads", &SvdLimits::nodeReads, 1}}) {
    SvdLimits limits{.textBytesPerFileByte = 0};
    // The file fits in about 4,000 bytes of text, 700 reads and 150 elements.
    bool fits = false;
    for (limits.*bound.field = 0; !fits && limits.*bound.field < 20000; limits.*bound.field += bound.step) {
      const std::string made = outcome(peripherals, limits, false);
      ASSERT_EQ(outcome(peripherals, limits, true), made) << bound.name << " bound " << limits.*bound.field;
      fits = made.starts_with(" @0\n");
    }
    EXPECT_TRUE(fits) << bound.name;
  }
  // A copy that would lie past 32 bits fails as making it does.
  const std::string high =
      peripherals + "<peripheral derivedFrom=\"A\"><name>HIGH</name><baseAddress>0xFFFFFFE0</baseAddress></peripheral>";
  const std::string made = outcome(high, SvdLimits(), false);
  EXPECT_NE(made.find("past 32 bits"), std::string::npos) << made;
  EXPECT_EQ(outcome(high, SvdLimits(), true), made);
}

// pugixml running out of memory is the run running out of memory, not a
// file that is not well-formed.
TEST(SvdReader, ParseOutOfMemoryIsNoFaultOfTheFile) {
  static int allocationsLeft = 0;
  const auto failing = [](size_t bytes) -> void* { return allocationsLeft-- > 0 ? std::malloc(bytes) : nullptr; };
  const std::string svd = svdText("<peripheral><name>P</name><baseAddress>0</baseAddress></peripheral>");
  int thrown = 0;
  for (int allowed = 0; allowed < 3; ++allowed) {
    allocationsLeft = allowed;
    pugi::set_memory_management_functions(failing, std::free);
    try {
      const SvdTree tree = parseSvd(svd);
      EXPECT_EQ(tree.problem.find("allocate"), std::string::npos) << tree.problem;
    } catch (const std::bad_alloc&) {
      ++thrown;
    }
    pugi::set_memory_management_functions(std::malloc, std::free);
  }
  EXPECT_GT(thrown, 0);
}

}  // namespace
}  // namespace rw
