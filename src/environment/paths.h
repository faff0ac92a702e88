// Path values, the application's and the user's directories.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace rw {

// "." and empty parts dropped, ".." resolved lexically where it can be
// (a leading ".." that has nothing to cancel is kept).
std::string normalisePath(std::string_view path);

// A shared path value whose text is normalised once, on first conversion.
// Copies share one record; replacing the text gives this value a record of
// its own, so other copies keep the old path.
class PathName {
public:
  PathName() = default;
  explicit PathName(std::string path);
  void setPath(std::string path);
  // The normalised text.
  const std::string& str() const;

  // What the file system says about the path, looked up once and kept until
  // the path text is replaced.
  bool exists() const;
  bool isDirectory() const;

private:
  struct FileInfo {
    bool exists = false;
    bool isDirectory = false;
  };
  struct Record {
    std::string path;
    bool normalised = false;
    std::unique_ptr<FileInfo> fileInfo;
  };
  const FileInfo& fileInfo() const;

  std::shared_ptr<Record> record_;
};

// The running executable's absolute path ("/proc/self/exe"), else `argv0`.
std::string executablePath(const char* argv0);
// The bin directory: the canonical directory holding `path`; the installation
// directory: `levelsUp` directories above it, canonical too.
void initApplicationDirectories(const std::string& path, int levelsUp);
const std::string& binDirectory();
const std::string& installDirectory();

std::string homeDirectory();
std::string documentsDirectory();
std::string desktopDirectory();
std::string userDataDirectory(std::string_view name);
// Cached on first use; LARKSPAN_ROOT_USER_DIR overrides the default.
const std::string& userRootDirectory();
std::string userVersionDirectory();
// Forgets the cached user root directory, so that the next call looks at the
// environment again. Only tests that change the environment need it.
void resetUserRootDirectory();

}  // namespace rw
