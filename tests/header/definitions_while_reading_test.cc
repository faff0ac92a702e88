// Memory running out anywhere in a load that the second thread follows must
// end the load with std::bad_alloc after the writer thread stopped, never
// with the writer reading elements the unwinding freed. Allocations are made
// to fail one at a time at points spread over the whole load; under the
// address sanitizer a read of freed memory fails the test.
#include "header/definitions_while_reading.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "macros/macro_expansion.h"
#include "memorymap/memory_map.h"
#include "temp_folder.h"

namespace {

// -1: every allocation succeeds. Otherwise the allocation that finds 0 fails,
// and the count goes on below 0, so that exactly one fails.
std::atomic<long> gAllocationsBeforeFailure{-1};
std::atomic<long> gAllocations{0};

}  // namespace

void* operator new(size_t size) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (gAllocationsBeforeFailure.load(std::memory_order_relaxed) >= 0 &&
      gAllocationsBeforeFailure.fetch_sub(1, std::memory_order_relaxed) == 0) {
    throw std::bad_alloc();
  }
  if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
  throw std::bad_alloc();
}
// These replace the global pair together, so the malloc behind the new is
// the free behind the delete.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, size_t) noexcept { std::free(memory); }
#pragma GCC diagnostic pop

namespace rw {
namespace {

// Enough registers that the reader hands several batches to the writer
// thread while it reads.
std::string plainMap() {
  std::string map = "<Root name=\"R\">\n";
  for (int g = 0; g < 4; ++g) {
    map += "<RegisterGroup name=\"G" + std::to_string(g) + "\" start=\"0x" + std::to_string(g + 1) + "0000\">\n";
    for (int r = 0; r < 4000; ++r) {
      map += "<Register name=\"R" + std::to_string(g) + "_" + std::to_string(r) + "\" start=\"0x" +
             std::to_string(g + 1) + std::to_string(10000 + 4 * r) + "\" size=\"4\"><BitField name=\"A\" start=\"0\" "
             "size=\"1\"/><BitField name=\"B\" start=\"1\" size=\"3\"/></Register>\n";
    }
    map += "</RegisterGroup>\n";
  }
  return map + "</Root>\n";
}

// One load followed on the second thread; true when it completed.
bool followedLoad(const MacroTable& system, const std::string& path) {
  const HeaderOptions options;
  std::string text;
  const DefinitionDrain drain;
  MemoryMap map(system, [](const std::string&) {});
  DefinitionsWhileReading whileReading(text, options, drain, 0, nullptr);
  if (!whileReading.start()) return false;
  map.followReading(&whileReading);
  const bool loaded = map.load(path, MacroTable());
  map.followReading(nullptr);
  return loaded && whileReading.followedToTheEnd() && !whileReading.ranOutOfMemory();
}

TEST(DefinitionsWhileReading, MemoryRunningOutAnywhereStopsTheWriterFirst) {
  const MacroTable system = systemMacros();
  const testing::TempFolder folder;
  const std::string path = folder.write("map.xml", plainMap());
  gAllocations = 0;
  ASSERT_TRUE(followedLoad(system, path));
  const long total = gAllocations.load();
  // Nodes come from the heap under the address sanitizer only: elsewhere
  // far fewer allocations are made.
  ASSERT_GT(total, 20);
  int points = 0;
  int failed = 0;
  for (long at = 0; at < total; at += 1 + at / 8) {
    ++points;
    gAllocationsBeforeFailure = at;
    try {
      if (!followedLoad(system, path)) ++failed;
    } catch (const std::bad_alloc&) {
      ++failed;
    }
    gAllocationsBeforeFailure = -1;
  }
  // Most points must have failed the load: otherwise the sweep missed it.
  EXPECT_GT(2 * failed, points);
}

}  // namespace
}  // namespace rw
