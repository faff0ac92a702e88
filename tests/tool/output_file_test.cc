#include "tool/output_file.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

namespace rw {
namespace {

namespace fs = std::filesystem;

// A signal removes the temporary file of an output that is being written,
// however many outputs the process placed before it: each placed output
// gives its place in the table of temporaries back.
TEST(OutputFile, SignalRemovesTheTemporaryAfterManyPlacedOutputs) {
  const fs::path folder = fs::temp_directory_path() / ("regwright-output-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    removeTemporaryFilesOnSignals();
    for (int i = 0; i < 40; ++i) {
      OutputFile placed((folder / ("placed" + std::to_string(i) + ".h")).string());
      if (!placed.open() || !placed.write("done\n") || !placed.finish() || !placed.place()) ::_exit(2);
    }
    OutputFile pending((folder / "pending.h").string());
    if (!pending.open() || !pending.write("half")) ::_exit(2);
    std::raise(SIGTERM);
    ::_exit(3);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  size_t files = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    ++files;
    EXPECT_EQ(entry.path().filename().string().find(".regwright-tmp-"), std::string::npos) << entry.path();
  }
  EXPECT_EQ(files, 40u);
  fs::remove_all(folder);
}

// A text of several megabytes written in uneven parts lands whole, whether
// the file replaces an existing target (its writing is then started as it
// goes) or not; the old content stays until the new one is placed.
TEST(OutputFile, LargeTextInPartsReplacesTheTargetWhole) {
  const fs::path folder = fs::temp_directory_path() / ("regwright-large-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  std::string text;
  for (size_t i = 0; text.size() < (size_t{9} << 20); ++i) text += "#define R" + std::to_string(i) + " (0x40000000u)\n";
  for (const bool exists : {true, false}) {
    const fs::path target = folder / (exists ? "old.h" : "new.h");
    if (exists) {
      OutputFile old(target.string());
      ASSERT_TRUE(old.open() && old.write("old\n") && old.finish() && old.place());
    }
    OutputFile file(target.string());
    ASSERT_TRUE(file.open());
    for (size_t at = 0; at < text.size(); at += (size_t{1} << 20) + 7) {
      ASSERT_TRUE(file.write(std::string_view(text).substr(at, (size_t{1} << 20) + 7)));
    }
    if (exists) {
      EXPECT_EQ(fs::file_size(target), 4u);
    }
    ASSERT_TRUE(file.finish() && file.place());
    std::FILE* in = std::fopen(target.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    std::string read(text.size() + 1, '\0');
    read.resize(std::fread(read.data(), 1, read.size(), in));
    std::fclose(in);
    EXPECT_TRUE(read == text) << target;
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace rw
