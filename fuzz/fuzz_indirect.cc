// Any bytes as an indirect argument file: the tokenizer and the option parser
// must report problems through the diagnostics record and never overrun,
// crash or loop without end. The file is "args" in a private folder, so the
// input may name itself again; a name the fuzzer seldom makes up, since a
// file that names itself is read a thousand times and slows every run.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "header/generator_settings.h"
#include "tool/diagnostics.h"
#include "tool/my_arg_parse.h"

namespace {

// Devices and the kernel's files never end or block (/dev/zero, /dev/stdin,
// /proc/self/fd/0); a user who names them asks for it, the fuzzer must not.
bool namesSpecialFile(std::string_view input) {
  for (std::string_view word : {"dev", "proc", "sys", "fd/"}) {
    if (input.find(word) != std::string_view::npos) return true;
  }
  return false;
}

// libFuzzer reads and writes its corpus by relative paths: each run steps
// into the private folder and back out.
struct Setup {
  rw::Diagnostics record;
  int home = -1;
  int folder = -1;
  Setup() {
    char name[] = "/tmp/fuzz-indirect-XXXXXX";
    if (::mkdtemp(name) == nullptr) std::abort();
    home = ::open(".", O_RDONLY | O_DIRECTORY);
    folder = ::open(name, O_RDONLY | O_DIRECTORY);
    if (home < 0 || folder < 0) std::abort();
    record.programName = "regwright";
    record.stream = std::fopen("/dev/null", "w");
    if (record.stream == nullptr) std::abort();
    rw::setDiagnostics(&record);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Setup* setup = new Setup();
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (namesSpecialFile(input)) return 0;

  if (::fchdir(setup->folder) != 0) std::abort();
  std::FILE* file = std::fopen("args", "wb");
  if (file == nullptr) std::abort();
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  setup->record.errorCount = 0;
  rw::generatorSettings() = rw::GeneratorSettings();
  rw::MyArgParse parser;
  const char* const words[] = {"@args", "in.xml", "-regstring"};
  parser.parse(1, words, 1);
  parser.parse(3, words, 1);
  if (parser.indirectDepth() != 0) std::abort();
  if (::fchdir(setup->home) != 0) std::abort();
  return 0;
}
