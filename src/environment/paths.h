// Path values, the application's and the user's directories.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace rw {

// "." and empty parts dropped, ".." resolved lexically where it can be.
std::string normalisePath(std::string_view path);

// A shared path value whose text is normalised once, on first conversion.
class PathName {
public:
  PathName() = default;
  explicit PathName(std::string path);
  void setPath(std::string path);
  // The normalised text.
  const std::string& str() const;

private:
  struct Record {
    std::string path;
    bool normalised = false;
  };
  std::shared_ptr<Record> record_;
};

// The running executable's absolute path ("/proc/self/exe"), else `argv0`.
std::string executablePath(const char* argv0);
void initApplicationDirectories(const std::string& path, int levelsUp);
const std::string& binDirectory();
const std::string& installDirectory();

std::string homeDirectory();
std::string documentsDirectory();
std::string desktopDirectory();
std::string userDataDirectory(std::string_view name);
const std::string& userRootDirectory();
std::string userVersionDirectory();

}  // namespace rw
