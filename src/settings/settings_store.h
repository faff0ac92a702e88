// The development environment's settings as every run of the tool finds them
// at start-up: the user's two settings files and the formatting styles the
// installation offers. The tool reads them and writes nothing; no setting
// changes what it generates.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rw {

class SettingsStore {
public:
  // Reads userRoot + "/settings.xml", shared by every version of the product,
  // userVersion + "/settings.xml", this version's own, and the "name" of every
  // element of `stylesFile`. A file that is missing, unreadable or malformed
  // contributes nothing and is no error.
  SettingsStore(const std::string& userRoot, const std::string& userVersion, const std::string& stylesFile);

  // The version's own value of `key`, else the shared one.
  std::optional<std::string> value(std::string_view key) const;
  const std::vector<std::string>& formattingStyles() const { return formattingStyles_; }

private:
  std::map<std::string, std::string, std::less<>> shared_;
  std::map<std::string, std::string, std::less<>> versionOwn_;
  std::vector<std::string> formattingStyles_;
};

}  // namespace rw
