#include "xml/loop_body.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "xml/xml_node.h"

namespace rw {
namespace {

std::string attributesOf(const XMLElement& element) {
  std::string text;
  for (const XMLAttribute& attribute : element.attributes()) {
    text += std::string(attribute.name) + "=[" + std::string(attribute.value) + "] ";
  }
  return text;
}

// Filling in a body read once gives, round after round, the copies and the
// growth that expanding each copy's values with the round's table gives.
TEST(LoopBody, FillsInWhatTheExpanderWrites) {
  const std::vector<std::string> texts = {
      "plain", "$(i)", "G$(i)_R$(j)", "$$(i)", "$", "a$", "$x$(i)", "$(i", "$(i:def)", "$(zz:def)",
      "$(zz::lit)", "$(i::lit)", "$(zz)", "$()", "$(i)$(i)", "$($(i))", "$(a(b))", "$(i)(", "x$$$(i)$$",
      "$(i_hex)", "$(i:$(j))", "$(DateYear)", "$(zz)$(i)", "$(j)(",
  };
  const std::vector<std::string> names = {"i", "i_hex", "DateYear", "j"};
  const std::vector<std::vector<std::string>> rounds = {
      {"0", "0x0", "D", "1"}, {"$(j)", "", "(", "x)"}, {"", "", "", ""}, {"12", "$", "$(i)", ")"},
      {"123456789", "0xFFFFFFFF", "DD", "long)"},
  };

  // Every text as the value of an element of its own, between plain
  // attributes, and all of them on one element nested in another.
  XMLElement loop("for");
  std::vector<std::string> allNames;
  for (size_t i = 0; i < texts.size(); ++i) allNames.push_back("a" + std::to_string(i));
  std::vector<XMLAttribute> all;
  for (size_t i = 0; i < texts.size(); ++i) {
    const std::string& text = texts[i];
    loop.appendChild(new XMLElement("Register", std::vector<XMLAttribute>{{"name", "R"}, {"size", text}, {"x", "$"}}));
    all.push_back({allNames[i], text});
  }
  auto* outer = new XMLElement("RegisterGroup", std::vector<XMLAttribute>{{"name", "G$(j)"}});
  outer->appendChild(new XMLElement("BitField", all));
  outer->appendChild(new XMLElement("BitField", std::vector<XMLAttribute>{{"name", "$(i)"}}));
  loop.appendChild(outer);

  std::vector<const XMLElement*> order;
  for (const XMLNode* child = loop.firstChild; child != nullptr; child = child->nextSibling) {
    order.push_back(asElement(child));
    for (const XMLNode* inner = child->firstChild; inner != nullptr; inner = inner->nextSibling) {
      order.push_back(asElement(inner));
    }
  }

  ExpandedValues byBody;
  ExpandedValues byExpander;
  LoopBody body(byBody);
  body.read(loop, names);
  for (const std::vector<std::string>& values : rounds) {
    MacroTable table;
    for (size_t k = 0; k < names.size(); ++k) table.set(names[k], values[k]);
    body.startRound(values);
    for (const XMLElement* source : order) {
      uint64_t grownByBody = 0;
      uint64_t grownByExpander = 0;
      const XMLElement filled(*source, body.changes(*source, grownByBody));
      const XMLElement expanded(*source, byExpander.expand(*source, table, grownByExpander));
      EXPECT_EQ(attributesOf(filled), attributesOf(expanded)) << attributesOf(*source) << " round " << values[0];
      EXPECT_EQ(grownByBody, grownByExpander) << attributesOf(*source) << " round " << values[0];
    }
  }
}

// Copies of a body without directives can come out as the walk leaves them:
// the loop's expansion, then the walk's with the table of the loop's level.
TEST(LoopBody, DoesTheWalksExpansionWhenEveryValueAllowsIt) {
  const std::vector<std::string> names = {"i", "i_hex", "j"};
  MacroTable outer;
  for (const auto& [name, value] : {std::pair<const char*, const char*>{"X", "dx"}, {"W", "4"}, {"L", "$(X)"},
                                    {"DateYear", ""}, {"E", ""}}) {
    outer.set(name, value);
  }
  const std::vector<std::vector<std::string>> rounds = {{"0", "0x0", "A"}, {"123456789", "0xFFFFFFFF", "?"}};
  struct Case {
    std::vector<std::string> texts;
    bool final;
  };
  const Case cases[] = {
      {{"$(i)", "$$(W)", "$(W)$(i)", "$(U)", "$(U:d)", "$$(U::q)", "$$$(X)", "$$(L)", "$$", "a$", "$$(i)$(X)",
        "G$(j)_$$(X:)", "$(E)", "$$(E:e)$(i_hex)", "plain", "$(i)$", "$$$$(W)"},
       true},
      // The walk would read a loop macro's value in a name, or read again.
      {{"$(i)", "$$(X$(i))"}, false},
      {{"$$(X:$(i))"}, false},
      {{"$$(U:$$(W))"}, false},
      {{"$$(W"}, false},
      // The date is the walk's to take, when it runs.
      {{"$$(DateYear)"}, false},
      {{"$(i)", "$$(i)"}, true},
  };
  ExpandedValues byBody;
  ExpandedValues byExpander;
  LoopBody body(byBody);
  for (const Case& c : cases) {
    XMLElement loop("for");
    std::vector<std::string> attributeNames;
    for (size_t i = 0; i < c.texts.size(); ++i) attributeNames.push_back("a" + std::to_string(i));
    std::vector<XMLAttribute> attributes;
    for (size_t i = 0; i < c.texts.size(); ++i) attributes.push_back({attributeNames[i], c.texts[i]});
    auto* group = new XMLElement("RegisterGroup", attributes);
    group->appendChild(new XMLElement("Register", attributes));
    loop.appendChild(group);
    const LoopBody::WalkAfter walkAfter{outer, 1u << 13, 20, rounds.size()};
    body.read(loop, names, &walkAfter);
    EXPECT_EQ(body.copiesFinal(), c.final) << c.texts.back();
    if (!body.copiesFinal()) continue;
    for (const std::vector<std::string>& values : rounds) {
      MacroTable table;
      for (size_t k = 0; k < names.size(); ++k) table.set(names[k], values[k]);
      body.startRound(values);
      const XMLElement* register_ = asElement(group->firstChild);
      for (const XMLElement* source : {static_cast<const XMLElement*>(group), register_}) {
        uint64_t grownByBody = 0;
        uint64_t grownByExpander = 0;
        const XMLElement filled(*source, body.changes(*source, grownByBody));
        XMLElement expanded(*source, byExpander.expand(*source, table, grownByExpander));
        uint64_t grownByWalk = 0;
        expanded.changeValues(byExpander.expand(expanded, outer, grownByWalk));
        EXPECT_EQ(attributesOf(filled), attributesOf(expanded)) << values[0];
        EXPECT_EQ(grownByBody, grownByExpander) << values[0];
      }
    }
  }

  // A body that holds a directive (word 13, "BitField", stands for one here)
  // is left to the walk.
  XMLElement loop("for");
  loop.appendChild(new XMLElement("BitField", std::vector<XMLAttribute>{{"name", "$(i)"}}));
  const LoopBody::WalkAfter walkAfter{outer, 1u << 13, 20, 1};
  body.read(loop, names, &walkAfter);
  EXPECT_FALSE(body.copiesFinal());
}

// A round computes only the values its body can come to ask for.
TEST(LoopBody, NeedsTheNamesItsValuesReferTo) {
  struct Case {
    std::vector<std::string> values;
    std::string needed;
  };
  const Case cases[] = {
      {{"$(i)", "plain"}, "100"},
      {{"$(j_hex) $(i:x)"}, "101"},
      {{"$$(i) $(j_hex)", "$(zz)"}, "001"},
      {{"plain"}, "000"},
      // Left to the expander, which may come to name any of them.
      {{"$(i)", "$(zz:$(j))"}, "111"},
      {{"$(i"}, "111"},
  };
  const std::vector<std::string> names = {"i", "i_hex", "j_hex"};
  ExpandedValues expanded;
  LoopBody body(expanded);
  for (const Case& c : cases) {
    XMLElement loop("for");
    std::vector<XMLAttribute> attributes;
    for (size_t i = 0; i < c.values.size(); ++i) attributes.push_back({names[i % names.size()], c.values[i]});
    loop.appendChild(new XMLElement("Register", attributes));
    body.read(loop, names);
    std::string needed;
    for (size_t k = 0; k < names.size(); ++k) needed += body.needs(k) ? '1' : '0';
    EXPECT_EQ(needed, c.needed) << c.values[0];
  }
}

}  // namespace
}  // namespace rw
