#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include "temp_folder.h"
#include <string>
#include <vector>

namespace rw {
namespace {

TEST(SettingsStore, ReadsBothFilesAndTheStylesLeavingOutWhatItCannotRead) {
  const testing::TempFolder folder;
  const std::string& root = folder.path();
  const std::string version = root + "/Larkspan for ARM/v4";
  folder.write("settings.xml", "<settings><setting name=\"A\">shared &amp; all</setting>"
                                           "<setting name=\"B\">shared</setting><setting>nameless</setting></settings>");
  folder.write("Larkspan for ARM/v4/settings.xml", "<settings><setting name=\"B\">own</setting>");  // not well-formed
  folder.write("styles.xml", "<styles><style name=\"K&amp;R\"/><group><style name=\"GNU\"/></group>"
                                         "<style name=\"\"/></styles>");
  const SettingsStore store(root, version, root + "/styles.xml");
  EXPECT_EQ(store.value("A"), "shared & all");
  EXPECT_EQ(store.value("B"), "shared");
  EXPECT_EQ(store.value("C"), std::nullopt);
  EXPECT_EQ(store.formattingStyles(), (std::vector<std::string>{"K&R", "GNU"}));

  folder.write("Larkspan for ARM/v4/settings.xml", "<settings><setting name=\"B\">own</setting></settings>");
  EXPECT_EQ(SettingsStore(root, version, root + "/none.xml").value("B"), "own");
}

}  // namespace
}  // namespace rw
