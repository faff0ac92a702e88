#include "checks/map_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_file.h"
#include "macros/macro_expansion.h"
#include "memorymap/memory_map.h"
#include "options_text.h"
#include "temp_folder.h"

namespace rw {
namespace {

std::string withoutFolder(std::string text, const std::string& folder) {
  const std::string prefix = folder + "/";
  for (size_t at = text.find(prefix); at != std::string::npos; at = text.find(prefix, at)) text.erase(at, prefix.size());
  return text;
}

// Each case loads "map" (and any "file NAME") from a fresh folder, checks it
// with "options" and expects the "finding" lines, in order, as the tool
// prints them but for the kind's "-check-" prefix.
TEST(MapChecks, Cases) {
  const MacroTable system = systemMacros();
  for (const testing::TestCase& c : testing::readCases("checks/check_cases.txt")) {
    SCOPED_TRACE(c.name);
    const testing::TempFolder folder;
    for (const auto& [key, text] : c.fields) {
      if (key.starts_with("file ")) folder.write(key.substr(5), text);
    }
    MemoryMap map(system, [](const std::string&) {});
    ASSERT_TRUE(map.load(folder.write("map.xml", c.get("map")), MacroTable()));
    std::vector<std::string> found;
    for (const Finding& finding : checkMap(map, testing::optionsFrom(c.get("options")))) {
      found.push_back(withoutFolder(finding.location + ": " + finding.message + " [" + finding.kind + "]", folder.path()));
    }
    EXPECT_EQ(found, c.all("finding"));
  }
}

}  // namespace
}  // namespace rw
