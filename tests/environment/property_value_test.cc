#include "environment/property_value.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "environment/environment_settings.h"
#include "environment/paths.h"

namespace rw {
namespace {

namespace fs = std::filesystem;

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
