#include "xml/xml_attributes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace rw {
namespace {

std::string describe(const std::optional<XMLAttribute>& attribute) {
  if (!attribute) return "absent";
  return std::string(attribute->name) + (attribute->hasValue ? "=" + std::string(attribute->value) : " without value");
}

// One walk for two names finds what a walk for each finds.
TEST(ElementText, TwoNamesFoundInOneWalkAsEachAlone) {
  struct Case {
    std::vector<XMLAttribute> attributes;
    const char* first;
    const char* second;
  };
  const Case cases[] = {
      {{{"name", "F"}, {"start", "3"}, {"size", "1"}}, "start", "size"},
      {{{"size", "1"}, {"start", "3"}}, "start", "size"},
      {{{"name", "F"}, {"size", "1"}}, "start", "size"},
      {{{"name", "F"}}, "start", "size"},
      {{}, "start", "size"},
      {{{"start", "", false}, {"size", "2"}}, "start", "size"},
      // Names that are not words are stored and compared as bytes.
      {{{"width", "8"}, {"offset", "4"}, {"widths", "9"}}, "offset", "width"},
      {{{"name", "F"}, {"start", "1"}, {"start", "2"}}, "start", "name"},
  };
  for (const Case& c : cases) {
    const ElementText text("BitField", c.attributes);
    const auto [first, second] = text.find(c.first, c.second);
    EXPECT_EQ(describe(first), describe(text.find(c.first))) << c.first;
    EXPECT_EQ(describe(second), describe(text.find(c.second))) << c.second;
  }
}

// Blocks are packed byte by byte and reused once freed, the shortest ones
// too: a freed block's link to the next free one must not reach into its
// neighbours.
TEST(ElementText, ShortBlocksFreedAndReusedKeepTheirNeighbours) {
  std::vector<std::unique_ptr<ElementText>> texts;
  for (int i = 0; i < 64; ++i) texts.push_back(std::make_unique<ElementText>(std::string(1 + i % 3, 'A')));
  for (int round = 0; round < 4; ++round) {
    for (size_t i = 0; i < texts.size(); i += 2) texts[i] = std::make_unique<ElementText>(std::string(1 + i % 3, 'B'));
    for (size_t i = 0; i < texts.size(); ++i) {
      ASSERT_EQ(texts[i]->tagName(), std::string(1 + i % 3, i % 2 == 0 ? 'B' : 'A')) << round << " " << i;
    }
  }
}

}  // namespace
}  // namespace rw
