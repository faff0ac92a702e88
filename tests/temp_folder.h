// A folder of its own for a test, removed with its content. CTest runs the
// tests of one program in parallel processes, so fixed names would collide.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace rw::testing {

class TempFolder {
public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "regwright-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Writes `text` to `name` (folders made as needed) and returns its path.
  std::string write(const std::string& name, const std::string& text) const {
    const std::filesystem::path target = std::filesystem::path(path_) / name;
    std::filesystem::create_directories(target.parent_path());
    std::ofstream(target, std::ios::binary) << text;
    return target.string();
  }

private:
  std::string path_;
};

}  // namespace rw::testing
