// Any bytes as an indirect argument file: the word splitter and the option
// parser must report problems and never overrun, crash or loop without end.
// The file is "args" in a private folder, so the input may name itself again;
// a name the fuzzer seldom makes up, since a file that names itself is read a
// thousand times and slows every run.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "tool/option_parser.h"

namespace {

// Devices and the kernel's files never end or block (/dev/zero, /dev/stdin,
// /proc/self/fd/0); a user who names them asks for it, the fuzzer must not.
bool namesSpecialFile(std::string_view input) {
  for (std::string_view word : {"dev", "proc", "sys", "fd/"}) {
    if (input.find(word) != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // libFuzzer reads and writes its corpus by relative paths: each run steps
  // into the private folder and back out.
  static const int home = ::open(".", O_RDONLY | O_DIRECTORY);
  static const int folder = [] {
    char name[] = "/tmp/fuzz-indirect-XXXXXX";
    if (::mkdtemp(name) == nullptr) std::abort();
    return ::open(name, O_RDONLY | O_DIRECTORY);
  }();
  static std::FILE* const errors = std::fopen("/dev/null", "w");
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (namesSpecialFile(input) || home < 0 || folder < 0 || errors == nullptr) return 0;

  if (::fchdir(folder) != 0) std::abort();
  std::FILE* file = std::fopen("args", "wb");
  if (file == nullptr) std::abort();
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  rw::Diagnostics diagnostics{"regwright", errors};
  rw::CommandLine commandLine;
  rw::OptionParser(commandLine, diagnostics).parse({"@args", "in.xml", "-regstring"});
  if (::fchdir(home) != 0) std::abort();
  return 0;
}
