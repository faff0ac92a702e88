#include "macros/paths.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace rw {
namespace {

TEST(Paths, NormaliseDropsDotsAndEmptyPartsAndResolvesParents) {
  const struct {
    const char* input;
    const char* expected;
  } cases[] = {
      {"a/./b/../c/", "a/c"}, {"//a", "/a"},   {"../a", "../a"},         {"/../a", "/../a"},
      {"a/../..", ".."},      {"a/b", "a/b"},  {"a//b", "a/b"},          {"./a", "a"},
      {"/a/b/../../c", "/c"}, {"a/..", ""},    {"a/b/../../../c", "../c"}, {"/", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(normalisePath(c.input), c.expected) << c.input;
}

TEST(Paths, DirectoryAndJoin) {
  EXPECT_EQ(directoryOf("a/b/c.xml"), "a/b");
  EXPECT_EQ(directoryOf("/c.xml"), "/");
  EXPECT_EQ(directoryOf("c.xml"), "");
  EXPECT_EQ(joinPath("a", "b"), "a/b");
  EXPECT_EQ(joinPath("/", "b"), "/b");
  EXPECT_EQ(joinPath("", "b"), "/b");
  EXPECT_EQ(absolutePath("/x/./y/.."), "/x");
  EXPECT_EQ(absolutePath("y"), workingDirectory() + "/y");
}

// An installation reached through a link is named by where it is, as
// StudioDir and InstallDir promise; a folder that is gone, by its path.
TEST(Paths, ApplicationDirectoriesFollowLinks) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("regwright-paths-" + std::to_string(::getpid()));
  fs::create_directories(root / "real/bin");
  fs::create_directory_symlink(root / "real", root / "link");
  const std::string real = fs::canonical(root / "real").string();
  const ApplicationDirectories directories = applicationDirectories((root / "link/bin/regwright").string());
  EXPECT_EQ(directories.bin, real + "/bin");
  EXPECT_EQ(directories.install, real);
  EXPECT_EQ(applicationDirectories("/no/such/bin/regwright").install, "/no/such");
  fs::remove_all(root);
}

TEST(Paths, UserDirectories) {
  ::setenv("HOME", "/home/a b", 1);
  ::unsetenv("LARKSPAN_ROOT_USER_DIR");
  EXPECT_EQ(userRootDirectory(), "/home/a_b/.brackwater_associates_limited");
  ::setenv("LARKSPAN_ROOT_USER_DIR", "", 1);
  EXPECT_EQ(userRootDirectory(), "/home/a_b/.brackwater_associates_limited");
  ::setenv("LARKSPAN_ROOT_USER_DIR", "/r o", 1);
  EXPECT_EQ(userRootDirectory(), "/r o");
  EXPECT_EQ(userVersionDirectory("/r o"), "/r o/Larkspan for ARM/v4");
  ::unsetenv("HOME");
  ::unsetenv("LARKSPAN_ROOT_USER_DIR");
  EXPECT_EQ(userRootDirectory(), "/.brackwater_associates_limited");
}

}  // namespace
}  // namespace rw
