#include "environment/property_class.h"

#include <gtest/gtest.h>

#include <map>

namespace rw {
namespace {

std::vector<std::string> texts(const std::vector<PropertyText>& list) {
  std::vector<std::string> out;
  for (const PropertyText& t : list) out.push_back(t.str());
  return out;
}

TEST(PropertyTextTest, StaticTextIsReferredOtherTextCopied) {
  static constexpr std::string_view kLiteral = "Environment/Thing~~Category";
  const PropertyText borrowed = PropertyText::fromStatic(kLiteral);
  EXPECT_EQ(borrowed.data(), kLiteral.data());
  EXPECT_FALSE(borrowed.owned());
  const PropertyText borrowedCopy = borrowed;
  EXPECT_EQ(borrowedCopy.data(), kLiteral.data());
  EXPECT_EQ(borrowed.substr(0, 11).data(), kLiteral.data()) << "a part of static text is static";

  std::string source = "temporary text";
  PropertyText owned = source;
  source.assign("overwritten!!!");
  EXPECT_EQ(owned, "temporary text");
  PropertyText copy = owned;
  EXPECT_NE(copy.data(), owned.data());
  owned = owned.view().substr(10);
  EXPECT_EQ(owned, "text") << "assigning a part of itself";
  EXPECT_EQ(copy, "temporary text");
  PropertyText moved = std::move(copy);
  EXPECT_EQ(moved, std::string("temporary text"));
  EXPECT_TRUE(copy.empty());
  moved.clear();
  EXPECT_EQ(moved, PropertyText());
}

TEST(PropertyClassTest, TypeNames) {
  struct Case {
    int32_t code;
    std::string_view name;
  };
  const Case cases[] = {{0, "Boolean"},  {2, "IntegerHex"},      {7, "StringList"}, {10, "Enumeration"},
                        {13, "FixedPitchFont"}, {15, "JavaScript"}, {16, "Unknown"}, {-1, "Unknown"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(propertyTypeName(c.code), c.name);
  }
}

TEST(PropertyClassTest, EnumerationItemsSplitAtDoubleTilde) {
  PropertyClass p = makeEnumeratedProperty("k", PropertyType::Enumeration, {"A~~Cat", "B~~", "C~~D~~E"}, "", "", "",
                                           "", "A", 0);
  EXPECT_EQ(texts(p.enumeration), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(texts(p.enumerationCategories), (std::vector<std::string>{"Cat", "", "D~~E"}));
}

TEST(PropertyClassTest, NumericDefaults) {
  EXPECT_EQ(makeNumericProperty("k", PropertyType::IntegerRange, 0, 9, "", "", "", "", 42, 0).defaultValue, "42");
  EXPECT_EQ(makeNumericProperty("k", PropertyType::IntegerHex, 0, 9, "", "", "", "", 255, 0).defaultValue, "ff");
  EXPECT_EQ(texts(makeBooleanProperty("k", "", "", "", "", "No", 0).enumeration),
            (std::vector<std::string>{"Yes", "No"}));
}

class MapProvider : public DescriptionProvider {
public:
  std::map<std::string, std::string> texts;
  std::string describe(const std::string& name) const override {
    auto it = texts.find(name);
    return it == texts.end() ? std::string() : it->second;
  }
};

TEST(PropertyClassTest, DescribedKindsAskTheProvider) {
  PropertyClass bare = makeDescribedProperty("k", PropertyType::Boolean, 0);
  EXPECT_TRUE(bare.page.empty());
  EXPECT_TRUE(bare.enumeration.empty());

  MapProvider provider;
  provider.texts = {{"k.page", "Text Editor"}, {"k.short", "Short"}, {"k.default", "Yes"},
                    {"k.enumerates", ";Yes;;No;"}, {"k.minimum", "3"},  {"k.maximum", "x"}};
  setDescriptionProvider(&provider);
  PropertyClass described = makeDescribedProperty("k", PropertyType::Enumeration, 0);
  PropertyClass ranged = makeRangedDescribedProperty("k", PropertyType::IntegerRange, 1, 2, 0);
  setDescriptionProvider(nullptr);

  EXPECT_EQ(described.page, "Text Editor");
  EXPECT_EQ(described.shortName, "Short");
  EXPECT_EQ(described.defaultValue, "Yes");
  EXPECT_EQ(texts(described.enumeration), (std::vector<std::string>{"Yes", "No"}));
  EXPECT_EQ(described.minimum, 3);
  EXPECT_EQ(described.maximum, 0) << "an unreadable number counts as 0";
  EXPECT_EQ(ranged.minimum, 1) << "limits given to kind 5 are kept";
  EXPECT_EQ(ranged.maximum, 2);
}

}  // namespace
}  // namespace rw
