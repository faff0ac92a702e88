// A published Diagnostics record whose error lines are captured in memory,
// and fresh generator settings, for every parser test.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "header/generator_settings.h"
#include "tool/diagnostics.h"

namespace rw::testing {

class ParserTest : public ::testing::Test {
protected:
  void SetUp() override {
    stream_ = open_memstream(&buffer_, &size_);
    record_.programName = "regwright";
    record_.stream = stream_;
    record_.errorCount = 0;
    setDiagnostics(&record_);
    generatorSettings() = GeneratorSettings();
    dir_ = std::filesystem::path(::testing::TempDir()) /
           ("rw-tool-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }

  void TearDown() override {
    setDiagnostics(nullptr);
    std::fclose(stream_);
    std::free(buffer_);
    std::filesystem::remove_all(dir_);
  }

  // Everything written to the diagnostics stream so far.
  std::string errors() {
    std::fflush(stream_);
    return std::string(buffer_, size_);
  }
  int errorCount() const { return record_.errorCount; }

  std::string writeFile(const std::string& name, const std::string& content) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  std::string dir() const { return dir_.string(); }

private:
  Diagnostics record_;
  std::FILE* stream_ = nullptr;
  char* buffer_ = nullptr;
  size_t size_ = 0;
  std::filesystem::path dir_;
};

// Pointers into `words` for parse().
inline std::vector<const char*> pointers(const std::vector<std::string>& words) {
  std::vector<const char*> result;
  for (const std::string& word : words) result.push_back(word.c_str());
  return result;
}

}  // namespace rw::testing
