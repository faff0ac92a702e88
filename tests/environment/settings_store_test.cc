#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "environment/environment_settings.h"
#include "environment/paths.h"

namespace rw {
namespace {

namespace fs = std::filesystem;

class SettingsStoreTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("rw-store-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    ::setenv("LARKSPAN_ROOT_USER_DIR", dir_.c_str(), 1);
    resetUserRootDirectory();
  }
  void TearDown() override {
    ::unsetenv("LARKSPAN_ROOT_USER_DIR");
    resetUserRootDirectory();
    fs::remove_all(dir_);
  }
  static void write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
  }

  fs::path dir_;
};

TEST_F(SettingsStoreTest, ReadsBothFilesUnderTheUserRoot) {
  const fs::path rootFile = dir_ / "settings.xml";
  const fs::path versionFile = dir_ / "Larkspan for ARM" / "v4" / "settings.xml";
  write(rootFile, "<settings><setting name=\"Environment/Launcher Enabled\">No</setting></settings>");
  write(versionFile, "<settings><setting name=\"Environment/Error Display Timeout\">7</setting>"
                     "<setting name=\"Environment/Launcher Enabled\">Yes</setting></settings>");
  EnvironmentSettings store(false);
  EXPECT_EQ(store.rootSettings().path(), rootFile.string());
  EXPECT_EQ(store.versionSettings().path(), versionFile.string());
  store.buildCatalogue();
  EXPECT_EQ(store.find("Environment/Launcher Enabled")->value(), "No") << "kept in the root file";
  EXPECT_EQ(store.find("Environment/Error Display Timeout")->value(), "7");
  EXPECT_EQ(store.find("Environment/Max Window Menu Items")->value(), "");
  EXPECT_EQ(store.saveTimer(), nullptr);
}

TEST_F(SettingsStoreTest, BrokenOrMissingFilesGiveDefaults) {
  write(dir_ / "settings.xml", "<settings><setting name=");
  EnvironmentSettings store(false);
  store.buildCatalogue();
  EXPECT_TRUE(store.rootSettings().entries().empty());
  EXPECT_EQ(store.find("Environment/Error Display Timeout")->value(), "3");
  EXPECT_EQ(store.find("Environment/Main Window/State")->value(), "Maximized");
}

TEST_F(SettingsStoreTest, SaveTimerSavesEveryMinute) {
  EnvironmentSettings store(true);
  store.buildCatalogue();
  PeriodicHook* timer = store.saveTimer();
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->name(), "environment-settings-save-timer");
  const fs::path versionFile = dir_ / "Larkspan for ARM" / "v4" / "settings.xml";

  store.find("Text Editor/Undo Mode")->setValue("Individual Characters");
  timer->elapse(std::chrono::milliseconds(59999));
  EXPECT_FALSE(fs::exists(versionFile));
  store.setSaving(false);
  timer->elapse(std::chrono::milliseconds(1));
  EXPECT_FALSE(fs::exists(versionFile)) << "saving switched off";
  store.setSaving(true);
  timer->elapse(std::chrono::milliseconds(60000));
  EXPECT_TRUE(fs::exists(versionFile));
  EXPECT_FALSE(fs::exists(dir_ / "settings.xml")) << "the root file had no changes";
}

TEST_F(SettingsStoreTest, MergedFileMakesTrackedValuesStale) {
  const fs::path versionFile = dir_ / "Larkspan for ARM" / "v4" / "settings.xml";
  write(versionFile, "<settings><setting name=\"Text Editor/Undo Mode\">Whole Of Last Insertion</setting></settings>");
  EnvironmentSettings store(false);
  store.buildCatalogue();
  EnvironmentPropertyValue* undo = store.find("Text Editor/Undo Mode");
  store.trackValue("undo", undo);
  EXPECT_EQ(undo->value(), "Whole Of Last Insertion");

  const auto before = fs::last_write_time(versionFile);
  write(versionFile, "<settings><setting name=\"Text Editor/Undo Mode\">Individual Characters</setting></settings>");
  fs::last_write_time(versionFile, before + std::chrono::seconds(2));
  store.saveSettings();
  EXPECT_EQ(undo->value(), "Individual Characters");
}

}  // namespace
}  // namespace rw
