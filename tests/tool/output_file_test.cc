#include "tool/output_file.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
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

}  // namespace
}  // namespace rw
