#include "checks/header_definitions.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "case_file.h"
#include "header/header_generator.h"
#include "macros/macro_expansion.h"
#include "memorymap/memory_map.h"
#include "options_text.h"
#include "temp_folder.h"

namespace rw {
namespace {

// The checks see the header through HeaderDefinitions: it must name every
// definition the generator writes, in the generator's order, and nothing
// else.
void expectTheGeneratorsDefinitions(const MemoryMap& map, const HeaderOptions& options) {
  std::string header;
  ::testing::internal::CaptureStderr();
  const UnwritableText problem = generateDefinitions(header, map.rootElement(), options);
  ::testing::internal::GetCapturedStderr();
  ASSERT_EQ(problem.element, nullptr);
  std::vector<std::string> written;
  std::istringstream lines(header);
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("#define ")) written.push_back(line);
  }

  const checks::HeaderDefinitions definitions(options);
  std::vector<std::string> named;
  definitions.forEach(*map.rootElement(), true, [&](const checks::Definition& definition, std::string_view name) {
    EXPECT_EQ(definitions.name(definition), name);
    named.emplace_back(name);
  });
  ASSERT_EQ(named.size(), written.size());
  for (size_t i = 0; i < named.size(); ++i) EXPECT_TRUE(written[i].starts_with("#define " + named[i] + " ")) << written[i];
}

// The generator's own cases and the checks' cases, each with its options.
TEST(HeaderDefinitions, NameWhatTheGeneratorWrites) {
  const MacroTable system = systemMacros();
  for (const char* file : {"header/generator_cases.txt", "checks/check_cases.txt"}) {
    for (const testing::TestCase& c : testing::readCases(file)) {
      SCOPED_TRACE(c.name);
      const testing::TempFolder folder;
      MemoryMap map(system, [](const std::string&) {});
      ASSERT_TRUE(map.load(folder.write("map.xml", c.get("map")), MacroTable()));
      expectTheGeneratorsDefinitions(map, testing::optionsFrom(c.get("options")));
    }
  }
}

TEST(HeaderDefinitions, NameWhatTheGeneratorWritesForTheDevice) {
  const MacroTable system = systemMacros();
  MemoryMap map(system);
  ASSERT_TRUE(map.load(std::string(REGWRIGHT_TESTS_DIR) + "/data/stm32f103/flat.xml", MacroTable()));
  for (const char* words : {"", "-regbaseoffs -prependreggroup -regstring _R", "-noprependreg -fixdefs -bitband 0x40000000",
                            "-defprefixstring D_ -singlebitfieldnames -excludebitfield .*EN"}) {
    SCOPED_TRACE(words);
    expectTheGeneratorsDefinitions(map, testing::optionsFrom(words));
  }
}

}  // namespace
}  // namespace rw
