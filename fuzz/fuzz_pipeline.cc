// Map text through the whole pipeline: preprocessing (with a small include
// tree and an imported file beside it), imports, addresses, the header
// definitions, then every other writer of the loaded tree (checks, expanded
// map, SVD, web page). The expanded map must read back, from a folder with
// nothing to include, to the same header. The last byte of the input chooses the generator
// options (so a map file taken as a seed stays whole but for its final line
// feed); the rest is the main file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "html/html_writer.h"
#include "checks/map_checks.h"
#include "memorymap/map_writer.h"
#include "svd/svd_writer.h"
#include "header/flat_header.h"
#include "macros/macro_expansion.h"
#include "memorymap/memory_map.h"

namespace {

// Devices and the kernel's files never end or block; see fuzz_indirect.
bool namesSpecialFile(std::string_view input) {
  for (std::string_view word : {"dev", "proc", "sys", "fd/"}) {
    if (input.find(word) != std::string_view::npos) return true;
  }
  return false;
}

void writeFile(const std::string& path, std::string_view text) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

// Files the input can reach by short relative names: an include with a
// template and a loop, a nested include, one that includes itself, and an
// importable map. Returns the folder, open.
int createIncludeTree() {
  char name[] = "/tmp/fuzz-pipeline-XXXXXX";
  if (::mkdtemp(name) == nullptr || ::chdir(name) != 0 || ::mkdir("inc", 0755) != 0 || ::mkdir("out", 0755) != 0) {
    std::abort();
  }
  writeFile("inc/a.xml",
            "<Peripherals>"
            "<xmldef name=\"REG\"><Register name=\"$(N)\" start=\"$(O)\" size=\"4\">"
            "<BitField name=\"EN\" start=\"0\" size=\"1\"/></Register></xmldef>"
            "<for index=\"I\" start=\"0\" end=\"3\" incr=\"1\" mul=\"4\">"
            "<xmlput name=\"REG\" macros=\"N=R$(I);O=$(I_ap)\"/></for>"
            "<include filename=\"b.xml\"/></Peripherals>");
  writeFile("inc/b.xml",
            "<RegisterGroup name=\"B\" start=\"0x100\"><if FAMILY=\"F1\"><Register name=\"F1R\" start=\"0\"/></if>"
            "<Register name=\"BR\" start=\"4\" size=\"2\"/></RegisterGroup>");
  writeFile("inc/self.xml", "<RegisterGroup name=\"S\"><include filename=\"self.xml\"/></RegisterGroup>");
  writeFile("imp.xml",
            "<MemoryMap><RegisterGroup name=\"IMP\" start=\"0x4000\"><Register name=\"IR\" start=\"0\" size=\"4\">"
            "<BitField name=\"X\" start=\"3\" size=\"2\"/></Register></RegisterGroup></MemoryMap>");
  return ::open(".", O_RDONLY | O_DIRECTORY);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // libFuzzer reads and writes its corpus by relative paths: each run steps
  // into the private folder and back out.
  static const int home = ::open(".", O_RDONLY | O_DIRECTORY);
  static const rw::MacroTable system = rw::systemMacros();
  static const int folder = [] {
    const int opened = createIncludeTree();
    if (opened < 0 || ::fchdir(home) != 0) std::abort();
    return opened;
  }();
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size - 1);
  if (namesSpecialFile(text)) return 0;
  if (::fchdir(folder) != 0) std::abort();
  writeFile("main.xml", text);

  const uint8_t options = data[size - 1];
  rw::HeaderOptions settings;
  settings.fixDefs = (options & 1) != 0;
  settings.noPrependReg = (options & 2) != 0;
  settings.prependRegGroup = (options & 4) != 0;
  settings.singleBitFieldNames = (options & 8) != 0;
  if ((options & 16) != 0) {
    settings.bitBandBase = 0x40000000u;
    settings.bitBandAliasOffset = 0x2000000u;
  }
  if ((options & 32) != 0) settings.excludeBitFieldPattern = "E.*";
  settings.regBaseOffs = (options & 64) != 0;
  settings.noBitFields = (options & 128) != 0;

  // Warnings are the map's business, not the fuzzer's output.
  rw::MemoryMap map(system, [](const std::string&) {});
  std::string header;
  if (map.load("main.xml", rw::macroDefinitions("FAMILY=F1;FLASH=64"))) {
    generateDefinitions(header, map.rootElement(), settings);
    // Every other writer reads the same tree.
    rw::checkMap(map, settings);
    writeFile("out/flat.xml", rw::writeExpandedMap(map.rootElement()));
    rw::writeSvd(map.rootElement(), "D");
    rw::writeHtml(map.rootElement(), settings, "T");

    rw::MemoryMap again(system, [](const std::string&) {});
    if (!again.load("out/flat.xml", rw::MacroTable())) std::abort();
    std::string headerAgain;
    generateDefinitions(headerAgain, again.rootElement(), settings);
    if (headerAgain != header) std::abort();
  }
  if (::fchdir(home) != 0) std::abort();
  return 0;
}
