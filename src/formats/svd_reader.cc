#include "formats/svd_reader.h"

#include <algorithm>
#include <cctype>

namespace rw {

bool isSvdFile(const std::string& path) {
  if (path.size() < 4) return false;
  std::string suffix = path.substr(path.size() - 4);
  std::transform(suffix.begin(), suffix.end(), suffix.begin(), [](unsigned char c) { return std::tolower(c); });
  return suffix == ".svd";
}

bool readSvd(const std::string& path, MemoryMap&, std::string& message, int& line) {
  message = path + ": SVD input is not built yet";
  line = 0;
  return false;
}

}  // namespace rw
