// Path text as the tool composes it, and the directories it finds itself and
// its user by. Everything here is lexical unless it says otherwise.
#pragma once

#include <string>
#include <string_view>

namespace rw {

// "." and empty parts dropped, ".." resolved against the part before it where
// there is one (a leading ".." that has nothing to cancel is kept). A path
// that needs none of this is returned as it stands.
std::string normalisePath(std::string_view path);

// Everything before the last "/": "" for a bare name, "/" for a name in the
// root directory.
std::string_view directoryOf(std::string_view path);

// `directory` + "/" + `name`, without doubling a "/" that `directory` ends in.
// An empty directory stands for the root.
std::string joinPath(std::string_view directory, std::string_view name);

// The process's working directory; empty when it cannot be found.
std::string workingDirectory();

// `path` made absolute against the working directory, then normalised.
std::string absolutePath(std::string_view path);

// The running executable's absolute path, from "/proc/self/exe"; `argv0` when
// that cannot be read.
std::string executablePath(const char* argv0);

// The directory holding the executable and the one above it, where the
// product is installed. Both canonical (links resolved) where they exist.
struct ApplicationDirectories {
  std::string bin;
  std::string install;
};
ApplicationDirectories applicationDirectories(const std::string& executable);

// Where the user's settings live: LARKSPAN_ROOT_USER_DIR when it is set and
// not empty, else HOME + "/.brackwater_associates_limited".
std::string userRootDirectory();
// The product version's own folder below the user root.
std::string userVersionDirectory(std::string_view userRoot);

}  // namespace rw
