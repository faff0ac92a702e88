#include "environment/property_value.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "environment/environment_settings.h"
#include "environment/paths.h"

namespace rw {
namespace {

namespace fs = std::filesystem;

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
  EXPECT_EQ(p.enumeration, (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(p.enumerationCategories, (std::vector<std::string>{"Cat", "", "D~~E"}));
}

TEST(PropertyClassTest, NumericDefaults) {
  EXPECT_EQ(makeNumericProperty("k", PropertyType::IntegerRange, 0, 9, "", "", "", "", 42, 0).defaultValue, "42");
  EXPECT_EQ(makeNumericProperty("k", PropertyType::IntegerHex, 0, 9, "", "", "", "", 255, 0).defaultValue, "ff");
  EXPECT_EQ(makeBooleanProperty("k", "", "", "", "", "No", 0).enumeration, (std::vector<std::string>{"Yes", "No"}));
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
  EXPECT_EQ(described.enumeration, (std::vector<std::string>{"Yes", "No"}));
  EXPECT_EQ(described.minimum, 3);
  EXPECT_EQ(described.maximum, 0) << "an unreadable number counts as 0";
  EXPECT_EQ(ranged.minimum, 1) << "limits given to kind 5 are kept";
  EXPECT_EQ(ranged.maximum, 2);
}

class PropertyValueTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("rw-values-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    ::setenv("LARKSPAN_ROOT_USER_DIR", dir_.c_str(), 1);
    resetUserRootDirectory();
    store_ = std::make_unique<EnvironmentSettings>(false);
    definition_ = makeFullProperty("Text Editor/Thing", PropertyType::String, "C/C++", "", "", "", "def", 0);
  }
  void TearDown() override {
    store_.reset();
    ::unsetenv("LARKSPAN_ROOT_USER_DIR");
    resetUserRootDirectory();
    fs::remove_all(dir_);
  }

  fs::path dir_;
  std::unique_ptr<EnvironmentSettings> store_;
  PropertyClass definition_;
};

TEST_F(PropertyValueTest, FetchesLazilyAndCaches) {
  EnvironmentPropertyValue value(*store_, &definition_, SettingsStore::Version);
  store_->versionSettings().set("Text Editor/Thing", "from file");
  EXPECT_FALSE(value.isCached());
  EXPECT_EQ(value.value(), "from file");
  store_->versionSettings().set("Text Editor/Thing", "changed behind its back");
  EXPECT_EQ(value.value(), "from file");
  value.markStale();
  EXPECT_EQ(value.value(), "changed behind its back");
}

TEST_F(PropertyValueTest, SetValueKeepsOnlyNonDefaults) {
  EnvironmentPropertyValue value(*store_, &definition_, SettingsStore::Root);
  std::vector<std::string> heard;
  value.addListener([&](const std::string& key) { heard.push_back(key); });
  Settings& root = store_->rootSettings();

  value.setValue("def");
  EXPECT_FALSE(root.dirty()) << "the default again is no change";
  value.setValue("other");
  EXPECT_EQ(root.get("Text Editor/Thing", "?"), "other");
  value.setValue("other");
  value.setValue("def");
  EXPECT_EQ(value.value(), "def");
  EXPECT_EQ(root.get("Text Editor/Thing", "?"), "?") << "a default is removed, not stored";
  EXPECT_TRUE(store_->versionSettings().entries().empty());
  EXPECT_EQ(heard, (std::vector<std::string>{"Text Editor/Thing", "Text Editor/Thing"}));

  ASSERT_TRUE(root.save());
  Settings reread;
  reread.setPath(root.path());
  EXPECT_TRUE(reread.entries().empty());
}

TEST_F(PropertyValueTest, RegistersOnCanonicalPagesOnce) {
  EnvironmentPropertyValue value(*store_, &definition_, SettingsStore::Version);
  PropertyClass other = definition_;
  EnvironmentPropertyValue second(*store_, &other, SettingsStore::Version);
  store_->registerOnPage("C/C++", &value);
  store_->registerOnPage("Code", &value);
  store_->registerOnPage("General", &value);
  const PropertyValueList* code = store_->page("Code");
  ASSERT_NE(code, nullptr);
  EXPECT_EQ(code->values(), (std::vector<PropertyValue*>{&value, &second}));
  EXPECT_EQ(store_->page("Linker"), code);
  EXPECT_EQ(store_->pages().size(), 1u);

  PropertyClass hidden = definition_;
  hidden.page = std::string(kInternalPage);
  EnvironmentPropertyValue invisible(*store_, &hidden, SettingsStore::Version);
  EXPECT_EQ(store_->pages().size(), 1u);
}

TEST_F(PropertyValueTest, AppendUniqueRefusesValuesWithoutClass) {
  PropertyValueList list;
  EnvironmentPropertyValue classless(*store_, nullptr, SettingsStore::Version);
  ::testing::internal::CaptureStderr();
  list.appendUnique(nullptr);
  list.appendUnique(&classless);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Bad property value in PropertyValueList::appendUnique\n"
            "Bad property value in PropertyValueList::appendUnique\n");
  EXPECT_EQ(list.size(), 0u);
}

}  // namespace
}  // namespace rw
