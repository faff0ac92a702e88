#include "tool/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tool/product.h"

namespace rw {
namespace {

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

TEST(OutputFileTest, IncludeGuardName) {
  struct Case {
    const char* path;
    const char* guard;
  };
  const std::vector<Case> cases = {
      {"demo.h", "demo_h"},        {"out/board-regs.h.in", "board-regs_h"}, {"noext", "noext_h"},
      {"a.b.c", "a_h"},            {"dir.d/x.h", "x_h"},                     {".hidden.h", "_h"},
      {"My Regs.H", "My Regs_h"},  {"/abs/path/STM32F1.h", "STM32F1_h"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(includeGuardName(c.path), c.guard);
  }
}

TEST(OutputFileTest, PreambleWithAndWithoutTargetName) {
  const std::string target = "DEMO1";
  struct Case {
    const std::string* targetName;
    std::vector<std::string> head;
  };
  const std::vector<Case> cases = {
      {&target, {"// DEMO1 register and bit definitions.", "//", "// Copyright (c) 2017 Brackwater Associates Limited."}},
      {nullptr, {"// Copyright (c) 2017 Brackwater Associates Limited."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.targetName != nullptr ? "target" : "no target");
    const std::string text = headerPreamble(c.targetName, "demo_h");
    const std::vector<std::string> got = lines(text);
    const size_t offset = c.head.size() - 1;  // index of the copyright line
    ASSERT_EQ(got.size(), offset + 11);
    for (size_t i = 0; i < c.head.size(); ++i) EXPECT_EQ(got[i], c.head[i]);
    EXPECT_EQ(got[offset + 1], "//");
    EXPECT_EQ(got[offset + 4], "//");
    for (size_t i : {offset + 2, offset + 3, offset + 5, offset + 6}) {
      EXPECT_EQ(got[i].rfind("// ", 0), 0u) << got[i];
      EXPECT_GT(got[i].size(), 3u);
    }
    EXPECT_EQ(got[offset + 7], "");
    EXPECT_EQ(got[offset + 8], "#ifndef demo_h");
    EXPECT_EQ(got[offset + 9], "#define demo_h");
    EXPECT_EQ(got[offset + 10], "");
    EXPECT_EQ(text.substr(text.size() - 2), "\n\n");
  }
  EXPECT_EQ(std::string(kHeaderEnd), "\n#endif\n");
}

TEST(OutputFileTest, RemoveFileDeletesOnlyFilesAndLinks) {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "rw-remove-test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir / "sub");
  std::ofstream(dir / "file.h") << "x";
  std::ofstream(dir / "target.h") << "x";
  std::filesystem::create_symlink(dir / "target.h", dir / "link.h");
  std::filesystem::create_directory(dir / "directory.h");
  ASSERT_EQ(mkfifo((dir / "fifo.h").c_str(), 0600), 0);
  std::ofstream(dir / "dotted.h") << "x";

  struct Case {
    std::string path;
    bool removed;
    std::filesystem::path gone;
  };
  const std::vector<Case> cases = {
      {(dir / "file.h").string(), true, dir / "file.h"},
      {(dir / "link.h").string(), true, dir / "link.h"},
      {(dir / "directory.h").string(), false, {}},
      {(dir / "fifo.h").string(), false, {}},
      {(dir / "missing.h").string(), false, {}},
      {(dir / "sub/.././dotted.h").string(), true, dir / "dotted.h"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(removeFile(c.path), c.removed);
    if (!c.gone.empty()) {
      EXPECT_EQ(std::filesystem::symlink_status(c.gone).type(), std::filesystem::file_type::not_found);
    }
  }
  EXPECT_TRUE(std::filesystem::exists(dir / "target.h"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "directory.h"));
  EXPECT_TRUE(std::filesystem::is_fifo(dir / "fifo.h"));
  std::filesystem::remove_all(dir);
}

TEST(ProductTest, VersionBannerAndUsage) {
  EXPECT_STREQ(fullVersion(), "4.0.2.2017071703.32809");
  EXPECT_EQ(fullVersion(), fullVersion());

  char* buffer = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  printBanner("regwright", out);
  std::fclose(out);
  const std::string banner(buffer, size);
  std::free(buffer);
  EXPECT_EQ(lines(banner).size(), 1u);
  EXPECT_EQ(banner.back(), '\n');
  for (const char* part : {"regwright", "Larkspan for ARM", "4.0.2.2017071703.32809"}) {
    EXPECT_NE(banner.find(part), std::string::npos) << part;
  }

  int count = 0;
  for (const char* const* line = kUsageText; *line != nullptr; ++line, ++count) {
    const std::string text = *line;
    SCOPED_TRACE(text);
    ASSERT_EQ(text.back(), '\n');
    // Option and argument lines: the description starts in column 28.
    if (text.rfind("  ", 0) == 0) {
      EXPECT_NE(text[27], ' ');
      EXPECT_EQ(text[26], ' ');
    }
  }
  EXPECT_EQ(count, 21);
  EXPECT_STREQ(kUsageText[1], "Usage: regwright <inputfile> <outputfile> [<targetname>] [<macros>] [option]\n");
  EXPECT_STREQ(kUsageText[20], "  -depfile                 write the header's file dependencies in Make form\n");
}

}  // namespace
}  // namespace rw
