#include "macros/paths.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

#include "macros/product.h"

namespace rw {

namespace {

// Symbolic links resolved. A directory that does not exist has no canonical
// form; its lexically cleaned form is the best answer left, and it keeps
// StudioDir usable rather than empty.
std::string canonicalDirectory(const std::string& directory) {
  char* resolved = ::realpath(directory.c_str(), nullptr);
  if (resolved == nullptr) return normalisePath(directory);
  std::string result(resolved);
  std::free(resolved);
  return result;
}

}  // namespace

std::string normalisePath(std::string_view path) {
  std::vector<std::string_view> kept;
  // Names that a later ".." may cancel; a leading ".." or the empty first
  // part of an absolute path is not one.
  int names = 0;
  bool changed = false;
  size_t begin = 0;
  for (bool first = true;; first = false) {
    const size_t end = std::min(path.find('/', begin), path.size());
    const std::string_view part = path.substr(begin, end - begin);
    if (part == "..") {
      if (names > 0) {
        kept.pop_back();
        --names;
        changed = true;
      } else {
        kept.push_back(part);
      }
    } else if ((part.empty() && !first) || part == ".") {
      changed = true;
    } else {
      kept.push_back(part);
      if (!part.empty()) ++names;
    }
    if (end == path.size()) break;
    begin = end + 1;
  }
  if (!changed) return std::string(path);
  std::string joined;
  for (size_t i = 0; i < kept.size(); ++i) {
    if (i != 0) joined += '/';
    joined += kept[i];
  }
  return joined;
}

std::string_view directoryOf(std::string_view path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string joinPath(std::string_view directory, std::string_view name) {
  std::string joined(directory);
  if (joined.empty() || joined.back() != '/') joined += '/';
  joined += name;
  return joined;
}

std::string workingDirectory() {
  char buffer[PATH_MAX];
  if (::getcwd(buffer, sizeof buffer) == nullptr) return std::string();
  return buffer;
}

std::string absolutePath(std::string_view path) {
  if (path.starts_with('/')) return normalisePath(path);
  return normalisePath(workingDirectory() + "/" + std::string(path));
}

std::string executablePath(const char* argv0) {
  // readlink gives no length hint: a path that fills the buffer completely
  // may have been cut, so it is not trusted.
  char buffer[1024];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length >= 1 && static_cast<size_t>(length) < sizeof buffer) return std::string(buffer, length);
  return argv0 != nullptr ? std::string(argv0) : std::string();
}

ApplicationDirectories applicationDirectories(const std::string& executable) {
  const std::string absolute = executable.starts_with('/') ? executable : workingDirectory() + "/" + executable;
  ApplicationDirectories directories;
  directories.bin = canonicalDirectory(std::string(directoryOf(absolute)));
  directories.install = canonicalDirectory(directories.bin + "/..");
  return directories;
}

std::string userRootDirectory() {
  // An empty override is taken as unset: an empty root would put the user's
  // settings at the top of the file system.
  const char* override = std::getenv("LARKSPAN_ROOT_USER_DIR");
  if (override != nullptr && override[0] != '\0') return override;
  const char* home = std::getenv("HOME");
  std::string root = std::string(home != nullptr ? home : "") + "/.";
  for (const char* c = product::kCompanyName; *c != '\0'; ++c) {
    root += (*c >= 'A' && *c <= 'Z') ? static_cast<char>(*c - 'A' + 'a') : *c;
  }
  // Blanks anywhere in the result, HOME included, become underscores.
  for (char& c : root) {
    if (c == ' ') c = '_';
  }
  return root;
}

std::string userVersionDirectory(std::string_view userRoot) {
  return std::string(userRoot) + "/" + product::kProductName + "/v" + std::to_string(product::kMajorVersion);
}

}  // namespace rw
