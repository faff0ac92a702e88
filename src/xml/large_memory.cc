#include "xml/large_memory.h"

#include <sys/mman.h>

namespace rw {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
// From here on, a huge page for the block's tail costs less than the 4 KiB
// pages it spares: a tail never touched costs nothing either way.
constexpr size_t kHugeFrom = size_t{256} << 10;

}  // namespace

void* allocateLarge(size_t bytes) {
  if (bytes < kHugeFrom) return std::malloc(bytes == 0 ? 1 : bytes);
  const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  if (rounded < bytes) return nullptr;
  void* memory = std::aligned_alloc(kHugePage, rounded);
  // Only a hint: without huge pages the memory works the same.
  if (memory != nullptr) ::madvise(memory, rounded, MADV_HUGEPAGE);
  return memory;
}

}  // namespace rw
