#include "tool/overwrite_check.h"

#include <sys/stat.h>

#include <optional>

#include "macros/paths.h"

namespace rw {

namespace {

// Who a path names for the overwrite check: the file itself when it exists,
// else the name it would get in its folder.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  std::string nameInFolder;  // empty when the file exists
  bool operator==(const FileIdentity&) const = default;
};

// Nothing for a path whose target is neither a regular file nor nothing yet
// (a device or a FIFO is written in place, and writing one twice harms no
// file).
std::optional<FileIdentity> identityOf(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode)) return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino, {}};
  }
  const std::string_view folder = directoryOf(path);
  if (::stat(folder.empty() ? "." : std::string(folder).c_str(), &info) != 0) return std::nullopt;
  const size_t slash = path.rfind('/');
  return FileIdentity{info.st_dev, info.st_ino, slash == std::string::npos ? path : path.substr(slash + 1)};
}

}  // namespace

// An output that names a file the run read, or the file of another output,
// would destroy what the run depends on: refused before anything is written.
bool checkOverwrites(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs,
                     Diagnostics& diagnostics) {
  std::vector<FileIdentity> read;
  for (const std::string& input : inputs) {
    if (std::optional<FileIdentity> identity = identityOf(input)) read.push_back(*identity);
  }
  std::vector<FileIdentity> written;
  for (const std::string& output : outputs) {
    const std::optional<FileIdentity> identity = identityOf(output);
    if (!identity) continue;
    for (const FileIdentity& input : read) {
      if (input == *identity) {
        diagnostics.error("output file " + output + " would overwrite an input");
        return false;
      }
    }
    for (const FileIdentity& other : written) {
      if (other == *identity) {
        diagnostics.error("output file " + output + " would overwrite another output");
        return false;
      }
    }
    written.push_back(*identity);
  }
  return true;
}

}  // namespace rw
