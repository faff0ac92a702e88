// The name clash check screens bit-field lines instead of holding them all.
// On many small random maps whose names are made to collide, it must find
// exactly what a plain pass over every definition finds.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "checks/check_context.h"
#include "checks/map_checks.h"
#include "macros/macro_expansion.h"
#include "memorymap/memory_map.h"
#include "temp_folder.h"

namespace rw {
namespace {

// Every clash, as a plain pass over all definitions sees it, with the
// check's rules for what is reported.
std::vector<std::string> everyClash(const MemoryMap& map, const HeaderOptions& options) {
  const DefinitionNames names(options);
  struct Definition {
    DefinitionKind kind;
    const MemoryMapElement* element;
  };
  std::map<std::string, Definition, std::less<>> first;
  std::set<std::pair<const void*, const void*>> pairs;
  auto pairOf = [](const void* a, const void* b) { return a < b ? std::pair(a, b) : std::pair(b, a); };
  std::vector<std::string> clashes;
  forEachDefinition(map.rootElement(), options,
                    [&](DefinitionKind kind, const MemoryMapElement& element, std::string_view name) {
                      const Definition later{kind, &element};
                      const auto [found, added] = first.try_emplace(std::string(name), later);
                      const Definition& earlier = found->second;
                      if (added || name.empty()) return;
                      if (later.kind == earlier.kind && later.kind == DefinitionKind::GroupBase &&
                          later.element->start() == earlier.element->start()) {
                        return;
                      }
                      if (later.kind == earlier.kind && later.kind == DefinitionKind::Vector &&
                          later.element->startText() == earlier.element->startText()) {
                        return;
                      }
                      if (!pairs.insert(pairOf(later.element, earlier.element)).second) return;
                      if (isFieldDefinition(later.kind) && isFieldDefinition(earlier.kind) &&
                          pairs.contains(pairOf(later.element->parent, earlier.element->parent))) {
                        return;
                      }
                      clashes.push_back(map.location(*later.element) + ": " +
                                        checks::describe(later.kind, *later.element, names) + " defines " +
                                        std::string(name) + ", which " +
                                        checks::describe(earlier.kind, *earlier.element, names) + " (" +
                                        map.location(*earlier.element) + ") defines too");
                    });
  std::sort(clashes.begin(), clashes.end());
  return clashes;
}

// Names picked from a few that end like bit-field lines or start like
// other names, so that clashes are frequent. Each map draws on part of the
// names only, so that some maps clash in one way alone.
class RandomMap {
public:
  explicit RandomMap(unsigned seed) : random_(seed), names_(random_()) {}

  std::string text() {
    std::string map = "<Root>\n";
    for (int group = pick(3); group-- > 0;) {
      map += "<RegisterGroup name=\"" + name({"G", "A", "A_EN"}) + "\" start=\"0x" + std::to_string(pick(3)) + "0\"";
      map += pick(2) == 0 ? " prepend_group_name=\"1\">\n" : ">\n";
      for (int reg = pick(4); reg-- > 0;) map += registerText();
      map += "</RegisterGroup>\n";
    }
    for (int reg = pick(4); reg-- > 0;) map += registerText();
    for (int vector = pick(3); vector-- > 0;) {
      map += "<Vector name=\"" + name({"A", "A_EN", "G_BASE", "EN_MASK", "A_EN_BIT", "V"}) + "\" start=\"" +
             std::to_string(pick(3)) + "\"/>\n";
    }
    return map + "</Root>\n";
  }

  HeaderOptions options() {
    HeaderOptions options;
    options.noPrependReg = pick(2) == 0;
    options.regBaseOffs = pick(2) == 0;
    options.fixDefs = pick(2) == 0;
    if (pick(2) == 0) {
      options.bitBandBase = 0x40000000u;
      options.bitBandAliasOffset = 0x2000000u;
    }
    if (pick(4) == 0) options.excludeBitFieldPattern = "X";
    return options;
  }

private:
  int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
  // One of `names` this map uses; the first when it uses none of them.
  std::string name(std::initializer_list<std::string_view> names) {
    std::vector<std::string_view> used;
    for (const std::string_view name : names) {
      unsigned bit = 0;
      for (const char c : name) bit = bit * 31 + static_cast<unsigned char>(c);
      if ((names_ >> (bit % 32) & 1) != 0) used.push_back(name);
    }
    return std::string(used.empty() ? *names.begin() : used[pick(int(used.size()))]);
  }

  std::string registerText() {
    std::string text = "<Register name=\"" + name({"A", "B", "EN", "A_EN", "G_A", "A_MASK", "EN_MASK", "A_EN_MASK", "EN_BIT", "A_EN_BIT", "EN_BITBAND",
                                        "A_EN_BITBAND_ADDRESS"}) +
                       "\" start=\"" + (pick(2) == 0 ? "0x40000000" : "+4") + "\" size=\"4\"";
    // Rare: an alias sends every map through the plain pass.
    if (pick(12) == 0) text += " aka=\"" + name({"B", "EN", "A_X", "1A"}) + "\"";
    text += ">";
    for (int field = pick(4); field-- > 0;) {
      text += "<BitField name=\"" + name({"EN", "MASK", "EN_MASK", "BIT", "X_BIT", "EN_BITBAND", "X", "1"}) +
              "\" start=\"" + std::to_string(pick(8)) + "\" size=\"" + std::to_string(1 + pick(2)) + "\"/>";
    }
    return text + "</Register>\n";
  }

  std::mt19937 random_;
  const uint32_t names_;  // which names the map uses
};

TEST(NameClashes, ScreeningFindsWhatAPlainPassFinds) {
  const MacroTable system = systemMacros();
  const testing::TempFolder folder;
  size_t clashing = 0;
  for (unsigned seed = 0; seed < 2000; ++seed) {
    RandomMap random(seed);
    const std::string text = random.text();
    const HeaderOptions options = random.options();
    SCOPED_TRACE(text);
    MemoryMap map(system, [](const std::string&) {});
    ASSERT_TRUE(map.load(folder.write("map.xml", text), MacroTable()));
    std::vector<std::string> found;
    for (const Finding& finding : checkMap(map, options)) {
      if (finding.kind == "name-clash") found.push_back(finding.location + ": " + finding.message);
    }
    std::sort(found.begin(), found.end());
    const std::vector<std::string> expected = everyClash(map, options);
    ASSERT_EQ(found, expected);
    clashing += expected.empty() ? 0 : 1;
  }
  // The maps must clash often enough to mean something, and not always.
  EXPECT_GT(clashing, 400u);
  EXPECT_LT(clashing, 1900u);
}

}  // namespace
}  // namespace rw
