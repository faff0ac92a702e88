#include "environment/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "environment/product_identity.h"

namespace rw {

namespace {

constexpr char kPathSeparator = '/';

// readlink gives no length hint; a path that fills this buffer completely may
// have been cut, so it is not trusted.
constexpr size_t kExecutablePathBufferSize = 1024;

std::vector<std::string_view> splitAtSeparator(std::string_view text) {
  std::vector<std::string_view> parts;
  size_t begin = 0;
  while (true) {
    size_t end = text.find(kPathSeparator, begin);
    if (end == std::string_view::npos) {
      parts.push_back(text.substr(begin));
      return parts;
    }
    parts.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
}

std::string joinWithSeparator(const std::vector<std::string_view>& parts) {
  std::string joined;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i != 0) joined += kPathSeparator;
    joined += parts[i];
  }
  return joined;
}

std::string currentDirectory() {
  char buffer[PATH_MAX];
  if (getcwd(buffer, sizeof buffer) == nullptr) return std::string();
  return buffer;
}

std::string makeAbsolute(const std::string& path) {
  if (!path.empty() && path[0] == kPathSeparator) return path;
  return currentDirectory() + kPathSeparator + path;
}

// The directory part of an absolute path: "/a/b" gives "/a", "/a" gives "/".
std::string directoryOf(const std::string& absolutePath) {
  size_t slash = absolutePath.rfind(kPathSeparator);
  if (slash == std::string::npos) return ".";
  if (slash == 0) return std::string(1, kPathSeparator);
  return absolutePath.substr(0, slash);
}

// Symbolic links resolved. A directory that does not exist has no canonical
// form; its lexically cleaned absolute form is the best answer left, and it
// keeps StudioDir usable rather than empty.
std::string canonicalDirectory(const std::string& directory) {
  char* resolved = realpath(directory.c_str(), nullptr);
  if (resolved == nullptr) return normalisePath(directory);
  std::string result(resolved);
  std::free(resolved);
  return result;
}

PathName& binDirectoryValue() {
  static PathName value;
  return value;
}

PathName& installDirectoryValue() {
  static PathName value;
  return value;
}

std::string& userRootCache() {
  static std::string cache;
  return cache;
}

}  // namespace

std::string normalisePath(std::string_view path) {
  std::vector<std::string_view> parts = splitAtSeparator(path);
  std::vector<std::string_view> kept;
  kept.reserve(parts.size());
  int namedParts = 0;
  bool changed = false;
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string_view part = parts[i];
    if (part == "..") {
      if (namedParts > 0) {
        kept.pop_back();
        --namedParts;
        changed = true;
      } else {
        kept.push_back(part);
      }
    } else if ((part.empty() && i != 0) || part == ".") {
      changed = true;
    } else {
      kept.push_back(part);
      // The empty first part of an absolute path keeps the leading '/'
      // without being a name that ".." could remove.
      if (!part.empty()) ++namedParts;
    }
  }
  if (!changed) return std::string(path);
  return joinWithSeparator(kept);
}

PathName::PathName(std::string path) : record_(std::make_shared<Record>()) { record_->path = std::move(path); }

void PathName::setPath(std::string path) {
  // A fresh record both detaches from other copies and drops the file
  // information that described the old text.
  record_ = std::make_shared<Record>();
  record_->path = std::move(path);
}

const std::string& PathName::str() const {
  static const std::string empty;
  if (!record_) return empty;
  if (!record_->normalised) {
    // Every copy sees the same text, so normalising the shared record in
    // place changes nothing any copy could tell apart.
    record_->path = normalisePath(record_->path);
    record_->normalised = true;
  }
  return record_->path;
}

const PathName::FileInfo& PathName::fileInfo() const {
  static const FileInfo none;
  if (!record_) return none;
  if (!record_->fileInfo) {
    auto info = std::make_unique<FileInfo>();
    struct stat status;
    if (stat(str().c_str(), &status) == 0) {
      info->exists = true;
      info->isDirectory = S_ISDIR(status.st_mode);
    }
    record_->fileInfo = std::move(info);
  }
  return *record_->fileInfo;
}

bool PathName::exists() const { return fileInfo().exists; }
bool PathName::isDirectory() const { return fileInfo().isDirectory; }

std::string executablePath(const char* argv0) {
  char buffer[kExecutablePathBufferSize];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length >= 1 && static_cast<size_t>(length) < sizeof buffer) return std::string(buffer, length);
  return argv0 != nullptr ? std::string(argv0) : std::string();
}

void initApplicationDirectories(const std::string& path, int levelsUp) {
  std::string bin = canonicalDirectory(directoryOf(makeAbsolute(path)));
  std::string install = bin;
  for (int level = 0; level < levelsUp; ++level) install += "/..";
  if (levelsUp > 0) install = canonicalDirectory(install);
  binDirectoryValue().setPath(std::move(bin));
  installDirectoryValue().setPath(std::move(install));
}

const std::string& binDirectory() { return binDirectoryValue().str(); }
const std::string& installDirectory() { return installDirectoryValue().str(); }

std::string homeDirectory() {
  const char* home = std::getenv("HOME");
  return home != nullptr ? std::string(home) : std::string();
}

std::string documentsDirectory() { return homeDirectory() + "/Documents"; }
std::string desktopDirectory() { return homeDirectory() + "/Desktop"; }

std::string userDataDirectory(std::string_view name) {
  std::string result = homeDirectory() + "/.";
  for (char c : name) result += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  for (char& c : result) {
    if (c == ' ') c = '_';
  }
  return result;
}

const std::string& userRootDirectory() {
  std::string& cache = userRootCache();
  if (cache.empty()) {
    // An empty LARKSPAN_ROOT_USER_DIR is taken as unset: an empty root would
    // put the user's settings at the top of the file system.
    const char* override = std::getenv("LARKSPAN_ROOT_USER_DIR");
    if (override != nullptr && override[0] != '\0') {
      cache = override;
    } else {
      cache = userDataDirectory(product::kCompanyName);
    }
  }
  return cache;
}

std::string userVersionDirectory() {
  return userRootDirectory() + "/" + product::kProductName + "/v" + std::to_string(product::kMajorVersion);
}

void resetUserRootDirectory() { userRootCache().clear(); }

}  // namespace rw
