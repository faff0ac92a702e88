#include "environment/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace rw {
namespace {

// Sets or unsets one environment variable for the lifetime of the object.
class ScopedEnv {
public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

private:
  const char* name_;
  std::optional<std::string> old_;
};

std::string canonical(const std::string& path) { return std::filesystem::canonical(path).string(); }

TEST(NormalisePathTest, DropsDotsAndEmptyPartsResolvesParents) {
  struct Case {
    const char* input;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"a/./b/../c/", "a/c"},   {"//a", "/a"},     {"../a", "../a"},     {"/../a", "/../a"},
      {"a/../..", ".."},        {"a/b", "a/b"},    {"", ""},             {"a//b", "a/b"},
      {"./a", "a"},             {"/a/b/../../c", "/c"}, {"a/b/../../../c", "../c"}, {"../../a/..", "../.."},
      {"/tmp/x.h", "/tmp/x.h"}, {"a/..", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    EXPECT_EQ(normalisePath(c.input), c.expected);
  }
}

TEST(PathNameTest, NormalisesOnConversionAndDetachesOnReplace) {
  PathName a("x/./y/");
  PathName b = a;
  EXPECT_EQ(b.str(), "x/y");
  EXPECT_EQ(a.str(), "x/y");
  b.setPath("z/../w");
  EXPECT_EQ(a.str(), "x/y");
  EXPECT_EQ(b.str(), "w");
  EXPECT_EQ(PathName().str(), "");
}

TEST(PathNameTest, FileInformationFollowsThePathText) {
  const std::string dir = ::testing::TempDir();
  PathName path(dir);
  EXPECT_TRUE(path.exists());
  EXPECT_TRUE(path.isDirectory());
  path.setPath(dir + "/no-such-file-here");
  EXPECT_FALSE(path.exists());
  EXPECT_FALSE(path.isDirectory());
}

TEST(ApplicationDirectoriesTest, ExecutablePathIsTheRunningBinary) {
  char expected[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", expected, sizeof expected - 1);
  ASSERT_GT(length, 0);
  EXPECT_EQ(executablePath("ignored"), std::string(expected, length));
}

TEST(ApplicationDirectoriesTest, CanonicalBinAndInstallDirectories) {
  const std::filesystem::path root = std::filesystem::path(::testing::TempDir()) / "rw-paths-test";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root / "inst" / "bin");
  std::filesystem::create_directory_symlink(root / "inst" / "bin", root / "linked-bin");
  const std::string inst = canonical((root / "inst").string());

  struct Case {
    const char* name;
    std::string path;
    int levelsUp;
    std::string bin;
    std::string install;
  };
  const std::vector<Case> cases = {
      {"plain", (root / "inst/bin/tool").string(), 1, inst + "/bin", inst},
      {"dots in the path", (root / "inst/bin/../bin/./tool").string(), 1, inst + "/bin", inst},
      {"linked directory resolved", (root / "linked-bin/tool").string(), 1, inst + "/bin", inst},
      {"two levels", (root / "inst/bin/tool").string(), 2, inst + "/bin", canonical(root.string())},
      {"no level", (root / "inst/bin/tool").string(), 0, inst + "/bin", inst + "/bin"},
      {"top of the file system", "/tool", 1, "/", "/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    initApplicationDirectories(c.path, c.levelsUp);
    EXPECT_EQ(binDirectory(), normalisePath(c.bin));
    EXPECT_EQ(installDirectory(), normalisePath(c.install));
  }

  // A relative path is taken from the working directory.
  const std::string previous = std::filesystem::current_path().string();
  std::filesystem::current_path(root / "inst");
  initApplicationDirectories("bin/tool", 1);
  std::filesystem::current_path(previous);
  EXPECT_EQ(binDirectory(), inst + "/bin");
  EXPECT_EQ(installDirectory(), inst);
  std::filesystem::remove_all(root);
}

TEST(UserDirectoriesTest, DerivedFromHome) {
  struct Case {
    const char* home;
    std::string documents;
    std::string desktop;
    std::string userData;
  };
  const std::vector<Case> cases = {
      {"/home/ann", "/home/ann/Documents", "/home/ann/Desktop", "/home/ann/.brackwater_associates_limited"},
      {"/home/a b", "/home/a b/Documents", "/home/a b/Desktop", "/home/a_b/.brackwater_associates_limited"},
      {nullptr, "/Documents", "/Desktop", "/.brackwater_associates_limited"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.home != nullptr ? c.home : "(unset)");
    ScopedEnv home("HOME", c.home);
    EXPECT_EQ(documentsDirectory(), c.documents);
    EXPECT_EQ(desktopDirectory(), c.desktop);
    EXPECT_EQ(userDataDirectory("Brackwater Associates Limited"), c.userData);
  }
}

TEST(UserDirectoriesTest, RootDirectoryOverrideAndCache) {
  struct Case {
    const char* home;
    const char* rootOverride;
    std::string root;
  };
  const std::vector<Case> cases = {
      {"/h", nullptr, "/h/.brackwater_associates_limited"},
      {"/h", "", "/h/.brackwater_associates_limited"},
      {"/h", "/x y/Z", "/x y/Z"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rootOverride != nullptr ? c.rootOverride : "(unset)");
    ScopedEnv home("HOME", c.home);
    ScopedEnv root("LARKSPAN_ROOT_USER_DIR", c.rootOverride);
    resetUserRootDirectory();
    EXPECT_EQ(userRootDirectory(), c.root);
    EXPECT_EQ(userVersionDirectory(), c.root + "/Larkspan for ARM/v4");
    // Cached: a later change of the environment is not seen.
    ScopedEnv changed("LARKSPAN_ROOT_USER_DIR", "/elsewhere");
    EXPECT_EQ(userRootDirectory(), c.root);
  }
  resetUserRootDirectory();
}

}  // namespace
}  // namespace rw
