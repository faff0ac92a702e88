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

std::string describeAll(const ElementText& text) {
  std::string out(text.tagName());
  for (const XMLAttribute& attribute : text.attributes()) out += " " + describe(attribute);
  return out;
}

// Changed values land on their own attributes; the attributes between and
// after them, with a value or without, come along as they were.
TEST(ElementText, ChangedValuesKeepTheOtherAttributes) {
  const std::string longValue(200, 'v');
  struct Case {
    std::vector<XMLAttribute> attributes;
    std::vector<ValueChange> changes;
    std::string expected;
  };
  const Case cases[] = {
      {{{"name", "F"}, {"start", "3"}, {"size", "1"}}, {{1, "12"}}, "BitField name=F start=12 size=1"},
      {{{"name", "F"}, {"start", "3"}, {"size", "1"}}, {{0, ""}, {2, "32"}}, "BitField name= start=3 size=32"},
      {{{"inherit", "", false}, {"start", "3"}, {"size", "1"}}, {{1, "4"}}, "BitField inherit without value start=4 size=1"},
      {{{"start", "3"}, {"inherit", "", false}, {"size", "1"}}, {{2, "8"}}, "BitField start=3 inherit without value size=8"},
      {{{"start", "3"}, {"inherit", "", false}}, {{0, "5"}}, "BitField start=5 inherit without value"},
      {{{"name", "F"}, {"description", "d"}}, {{1, longValue}}, "BitField name=F description=" + longValue},
      {{{"name", "F"}}, {}, "BitField name=F"},
  };
  // Texts made after a changed one take the memory after it: a block sized
  // short for its changes would lose its end to them.
  std::vector<std::unique_ptr<ElementText>> changed;
  std::vector<std::unique_ptr<ElementText>> after;
  for (const Case& c : cases) {
    const ElementText source("BitField", c.attributes);
    changed.push_back(std::make_unique<ElementText>(source, c.changes));
    for (int i = 0; i < 4; ++i) after.push_back(std::make_unique<ElementText>(std::string(40, 'x')));
  }
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(describeAll(*changed[i]), cases[i].expected);
  for (const auto& text : after) EXPECT_EQ(text->tagName(), std::string(40, 'x'));
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

// Words are found by comparing a few loads of their bytes: each word must be
// found, and a text that differs from a word in any one byte, or is one byte
// longer or shorter, must not be taken for that word.
TEST(ElementText, WordsFoundByTheirBytesAndNothingElse) {
  using elementtext::kWordCount;
  using elementtext::kWords;
  using elementtext::wordIndex;
  auto indexOf = [](std::string_view text) {
    for (size_t i = 0; i < kWordCount; ++i) {
      if (kWords[i] == text) return i;
    }
    return kWordCount;
  };
  for (size_t i = 0; i < kWordCount; ++i) {
    const std::string word(kWords[i]);
    EXPECT_EQ(wordIndex(word), i) << word;
    std::vector<std::string> nearMisses{word + "s", word.substr(1), word.substr(0, word.size() - 1),
                                        word + std::string(30, 'x')};
    for (size_t at = 0; at < word.size(); ++at) {
      std::string changed = word;
      changed[at] = static_cast<char>(changed[at] ^ 0x20);
      nearMisses.push_back(changed);
    }
    for (const std::string& text : nearMisses) EXPECT_EQ(wordIndex(text), indexOf(text)) << text;
  }
  EXPECT_EQ(wordIndex(""), kWordCount);
}

}  // namespace
}  // namespace rw
