#include "xml/node_memory.h"

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <new>

namespace rw {

#ifdef RW_NODE_MEMORY_FROM_HEAP

void* allocateNodeMemory(size_t bytes) { return ::operator new(bytes); }
void freeNodeMemory(void* memory, size_t) noexcept { ::operator delete(memory); }

#else

namespace {

// Nodes hold pointers, blocks bytes: eight-byte steps waste little of either.
constexpr size_t kGranule = 8;
// Larger objects (an element with long attribute values) come from the heap.
constexpr size_t kLargestPooled = 512;
constexpr size_t kClasses = kLargestPooled / kGranule;

// Chunks start small, so that a small map touches little memory, and double
// up to a size that huge pages can back.
constexpr size_t kFirstChunk = size_t{64} << 10;
constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kLargestChunk = size_t{32} << 20;

struct FreeObject {
  FreeObject* next;
};

class NodePool {
public:
  void* allocate(size_t bytes) {
    const size_t cls = classOf(bytes);
    if (FreeObject* object = free_[cls]) {
      free_[cls] = object->next;
      return object;
    }
    const size_t size = (cls + 1) * kGranule;
    if (static_cast<size_t>(end_ - next_) < size) newChunk();
    void* object = next_;
    next_ += size;
    return object;
  }

  void free(void* memory, size_t bytes) {
    const size_t cls = classOf(bytes);
    auto* object = static_cast<FreeObject*>(memory);
    object->next = free_[cls];
    free_[cls] = object;
  }

private:
  static size_t classOf(size_t bytes) { return bytes == 0 ? 0 : (bytes - 1) / kGranule; }

  void newChunk() {
    // The tail of the previous chunk is left unused: at most one object.
    const size_t size = chunkSize_;
    chunkSize_ = std::min(chunkSize_ * 2, kLargestChunk);
    // Huge pages need 2 MiB alignment: map a little more and start on a
    // boundary (the slack is never touched, so it costs no memory).
    const bool huge = size >= kHugePage;
    const size_t mapped = huge ? size + kHugePage : size;
    void* memory = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) throw std::bad_alloc();
    auto address = reinterpret_cast<uintptr_t>(memory);
    if (huge) {
      address = (address + kHugePage - 1) & ~(kHugePage - 1);
      // Only a hint: without huge pages the chunk works the same.
      ::madvise(reinterpret_cast<void*>(address), size, MADV_HUGEPAGE);
    }
    next_ = reinterpret_cast<char*>(address);
    end_ = next_ + size;
  }

  std::array<FreeObject*, kClasses> free_{};
  char* next_ = nullptr;
  char* end_ = nullptr;
  size_t chunkSize_ = kFirstChunk;
};

NodePool& pool() {
  // Never destroyed: trees may be freed by other static destructors.
  static NodePool* const instance = new NodePool();
  return *instance;
}

}  // namespace

void* allocateNodeMemory(size_t bytes) {
  if (bytes > kLargestPooled) return ::operator new(bytes);
  return pool().allocate(bytes);
}

void freeNodeMemory(void* memory, size_t bytes) noexcept {
  if (memory == nullptr) return;
  if (bytes > kLargestPooled) {
    ::operator delete(memory);
    return;
  }
  pool().free(memory, bytes);
}

#endif

}  // namespace rw
