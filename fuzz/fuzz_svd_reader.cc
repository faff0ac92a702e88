// Any bytes must give a tree or a clean error in bounded time and memory, and
// any tree the SVD reader gives must place and write out again as an SVD file
// and as a memory map.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "memorymap/map_writer.h"
#include "svd/svd_reader.h"
#include "svd/svd_writer.h"
#include "macros/macro_table.h"

// Small enough that the largest tree an input can ask for stays far below the
// fuzzer's memory limit under the sanitizers, and each input quick.
constexpr rw::SvdLimits kLimits{.elements = 20000, .textBytes = size_t{1} << 20, .nodeReads = 1'000'000};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  rw::SvdTree tree = rw::parseSvd(std::string_view(reinterpret_cast<const char*>(data), size), kLimits);
  if (tree.root == nullptr) return 0;
  static const rw::MacroTable noMacros;
  rw::MemoryMap map(noMacros);
  map.adopt(tree.root.release(), "fuzz.svd");
  rw::writeSvd(map.rootElement(), "FUZZ");
  rw::writeExpandedMap(map.rootElement());
  return 0;
}
