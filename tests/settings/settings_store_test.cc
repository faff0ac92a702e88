#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace rw {
namespace {

TEST(SettingsStore, ReadsBothFilesAndTheStylesLeavingOutWhatItCannotRead) {
  const std::string root = ::testing::TempDir() + "settings-store";
  const std::string version = root + "/Larkspan for ARM/v4";
  std::filesystem::create_directories(version);
  std::ofstream(root + "/settings.xml") << "<settings><setting name=\"A\">shared &amp; all</setting>"
                                           "<setting name=\"B\">shared</setting><setting>nameless</setting></settings>";
  std::ofstream(version + "/settings.xml") << "<settings><setting name=\"B\">own</setting>";  // not well-formed
  std::ofstream(root + "/styles.xml") << "<styles><style name=\"K&amp;R\"/><group><style name=\"GNU\"/></group>"
                                         "<style name=\"\"/></styles>";
  const SettingsStore store(root, version, root + "/styles.xml");
  EXPECT_EQ(store.value("A"), "shared & all");
  EXPECT_EQ(store.value("B"), "shared");
  EXPECT_EQ(store.value("C"), std::nullopt);
  EXPECT_EQ(store.formattingStyles(), (std::vector<std::string>{"K&R", "GNU"}));

  std::ofstream(version + "/settings.xml") << "<settings><setting name=\"B\">own</setting></settings>";
  EXPECT_EQ(SettingsStore(root, version, root + "/none.xml").value("B"), "own");
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace rw
