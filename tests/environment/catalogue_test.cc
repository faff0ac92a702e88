#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "environment/catalogue.h"
#include "environment/environment_settings.h"
#include "environment/macros.h"
#include "environment/paths.h"

namespace rw {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> texts(const std::vector<PropertyText>& list) {
  std::vector<std::string> out;
  for (const PropertyText& t : list) out.push_back(t.str());
  return out;
}

// A store whose settings files live in a fresh temporary folder.
class CatalogueTest : public ::testing::Test {
protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("rw-catalogue-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "bin");
    ::setenv("LARKSPAN_ROOT_USER_DIR", (root_ / "user").c_str(), 1);
    resetUserRootDirectory();
    table_ = std::make_unique<PropertyClassList>();
    table_->addMacro("StudioDir", root_.string(), "");
    previousTable_ = systemMacroTable();
    setSystemMacroTable(table_.get());
  }
  void TearDown() override {
    setSystemMacroTable(previousTable_);
    ::unsetenv("LARKSPAN_ROOT_USER_DIR");
    resetUserRootDirectory();
    fs::remove_all(root_);
  }
  void writeStyles(const std::string& text) { std::ofstream(root_ / "bin" / "styles.xml") << text; }

  fs::path root_;
  std::unique_ptr<PropertyClassList> table_;
  PropertyClassList* previousTable_ = nullptr;
};

TEST_F(CatalogueTest, CountsByTypeAndKind) {
  EnvironmentSettings store(false);
  store.buildCatalogue();
  ASSERT_EQ(store.values().size(), 310u);

  std::map<std::string_view, int> byType;
  std::map<int, int> byKind;
  std::map<std::string, int> keys;
  for (const CatalogueRow& row : catalogueRows()) {
    ++byKind[static_cast<int>(row.kind)];
    ++keys[std::string(row.key)];
  }
  for (const auto& value : store.values()) ++byType[propertyTypeName(value->propertyClass()->type)];

  const std::map<std::string_view, int> expectedTypes = {
      {"Boolean", 178}, {"Enumeration", 48}, {"IntegerRange", 32}, {"StringList", 28}, {"String", 12},
      {"Integer", 6},   {"FixedPitchFont", 2}, {"FileName", 2},    {"Font", 1},        {"Custom", 1}};
  EXPECT_EQ(byType, expectedTypes);
  const std::map<int, int> expectedKinds = {{1, 31}, {2, 16}, {3, 25}, {4, 50}, {5, 16}, {6, 172}};
  EXPECT_EQ(byKind, expectedKinds);
  EXPECT_EQ(keys.size(), 310u) << "every key appears once";
}

TEST_F(CatalogueTest, KeysAndOrder) {
  auto rows = catalogueRows();
  EXPECT_EQ(rows.front().key, "Environment/Main Window/State");
  EXPECT_EQ(rows.back().key, "Debug Terminal/Backscroll Buffer Lines");
  size_t trailing = 0;
  for (const CatalogueRow& row : rows) trailing += row.key.ends_with(' ');
  EXPECT_EQ(trailing, 1u);

  EnvironmentSettings store(false);
  store.buildCatalogue();
  EXPECT_NE(store.find("Text Editor/Formatting/AlignConsecutiveAssignments "), nullptr);
  EXPECT_EQ(store.find("Text Editor/Formatting/AlignConsecutiveAssignments"), nullptr);
  // The data-tip family sits right after the default display mode.
  size_t at = 0;
  while (rows[at].key != "Environment/Debugger/Default Variable Display Mode") ++at;
  EXPECT_EQ(rows[at + 1].key, "Environment/Debugger/Extended Tooltip Display Mode/ASCII");
  EXPECT_EQ(rows[at + 6].key, "Environment/Debugger/Extended Tooltip Display Mode/Hexadecimal");
}

TEST_F(CatalogueTest, Definitions) {
  EnvironmentSettings store(false);
  store.buildCatalogue();
  struct Case {
    std::string_view key;
    std::string_view defaultValue;
    std::string_view specialValueText;
    std::string_view suffix;
    SettingsStore selector;
    size_t choices;
  };
  const Case cases[] = {
      {"Environment/Error Display Timeout", "3", "None", "seconds", SettingsStore::Version, 0},
      {"Text Editor/Backup File Depth", "", "No", "files", SettingsStore::Version, 0},
      {"Environment/Build/Building Threads", "0", "Auto", "", SettingsStore::Version, 0},
      {"Environment/Launcher Enabled", "", "", "", SettingsStore::Root, 0},
      {"Environment/Launcher Use Latest Installations Only", "", "", "", SettingsStore::Root, 0},
      {"Environment/Splash Screen", "", "", "", SettingsStore::Version, 0},
      {"Environment/Bookmark Default Fill", "Green", "", "", SettingsStore::Version, 20},
      {"Environment/Printing/Page Size", "A4", "", "", SettingsStore::Version, 30},
      {"Text Editor/Default Codec", "Default", "", "", SettingsStore::Version, 44},
      {"Environment/Project Explorer/Alt+Right Click Action", "Find References", "", "", SettingsStore::Version, 8},
      {"Environment/Debugger/Extended Tooltip Display Mode/Octal", "No", "", "", SettingsStore::Version, 2},
      {"Environment/Perspectives", "Browse;Help;Hide Docks", "", "", SettingsStore::Version, 0},
      {"Environment/Build/Tool Chain Root Directory", "$(StudioDir)", "", "", SettingsStore::Version, 0},
      {"Environment/General/Solution Directory", "", "", "", SettingsStore::Version, 0},
      {"Environment/Internet/HTTP Proxy Port", "0", "", "", SettingsStore::Version, 0},
      {"Text Editor/FormattingStyle", "LLVM", "", "", SettingsStore::Version, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    const EnvironmentPropertyValue* value = store.find(c.key);
    ASSERT_NE(value, nullptr);
    const PropertyClass* p = value->propertyClass();
    if (c.key == "Environment/General/Solution Directory") {
      EXPECT_EQ(p->defaultValue, documentsDirectory() + "/Larkspan Projects/");
    } else {
      EXPECT_EQ(p->defaultValue, c.defaultValue);
    }
    EXPECT_EQ(p->specialValueText, c.specialValueText);
    EXPECT_EQ(p->suffix, c.suffix);
    EXPECT_EQ(value->selector(), c.selector);
    EXPECT_EQ(p->enumeration.size(), c.choices);
  }
  const PropertyClass* codec = store.find("Text Editor/Default Codec")->propertyClass();
  EXPECT_EQ(codec->enumeration[1], "UTF-8");
  EXPECT_EQ(codec->enumerationCategories[1], "Common");
  EXPECT_EQ(codec->enumerationCategories.back(), "Others");
  const PropertyClass* fill = store.find("Environment/Bookmark Default Fill")->propertyClass();
  EXPECT_EQ(fill->enumeration[9], "Maroon");
  EXPECT_EQ(fill->enumeration[10], "Dark Red");
}

TEST_F(CatalogueTest, FormattingStylesComeFromTheInstallation) {
  struct Case {
    const char* name;
    const char* file;  // null: no file
    std::vector<std::string> styles;
  };
  const Case cases[] = {
      {"missing", nullptr, {}},
      {"malformed", "<styles><style name=\"A\">", {}},
      {"nested", "<styles><style name=\"LLVM\"/><group><style name=\"GNU\"/><style/></group>"
                 "<style name=\"\"/><style name=\"Mine\"/></styles>",
       {"LLVM", "GNU", "Mine"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(root_ / "bin" / "styles.xml");
    if (c.file != nullptr) writeStyles(c.file);
    EXPECT_EQ(readFormattingStyles(), c.styles);
    EnvironmentSettings store(false);
    store.buildCatalogue();
    EXPECT_EQ(texts(store.find("Text Editor/FormattingStyle")->propertyClass()->enumeration), c.styles);
  }
}

TEST_F(CatalogueTest, PagesListSettingsOnce) {
  EnvironmentSettings store(false);
  store.buildCatalogue();
  store.buildCatalogue();
  EXPECT_EQ(store.values().size(), 310u);
  size_t listed = 0;
  for (const auto& [name, list] : store.pages()) listed += list.size();
  size_t shown = 0;
  for (const CatalogueRow& row : catalogueRows()) shown += !row.registeredPage.empty();
  EXPECT_EQ(listed, shown) << "registered on its own page and again explicitly, a value is listed once";
  EXPECT_EQ(store.page("Debugging"), store.page("Debug"));
  ASSERT_NE(store.page("Debug"), nullptr);
  EXPECT_EQ(store.pages().count("Debugging"), 0u);
  EXPECT_EQ(store.pages().count(std::string(kInternalPage)), 0u);
}

}  // namespace
}  // namespace rw
