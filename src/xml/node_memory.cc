#include "xml/node_memory.h"

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <new>

namespace rw {

#ifdef RW_NODE_MEMORY_FROM_HEAP

void* allocateNodeMemory(size_t bytes) { return ::operator new(bytes); }
void freeNodeMemory(void* memory, size_t) noexcept { ::operator delete(memory); }
void* allocateBlockMemory(size_t bytes) { return ::operator new(bytes); }
void freeBlockMemory(void* memory, size_t) noexcept { ::operator delete(memory); }
void expectNodeMemory(size_t, size_t) {}

#else

namespace {

// Larger objects (an element with long attribute values) come from the heap.
constexpr size_t kLargestPooled = 512;

// The first chunk is small, so that a small map touches little memory; the
// next ones are huge pages and double from there. Growing through chunks of
// small pages instead cost a tree made by loops (whose size nothing tells in
// advance) 500 page faults a pool.
constexpr size_t kFirstChunk = size_t{256} << 10;
constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kLargestChunk = size_t{32} << 20;

// Objects are made in steps of `kGranule` bytes, aligned to it: nodes hold
// pointers and take steps of eight, text blocks of one.
template <size_t kGranule>
class NodePool {
public:
  void* allocate(size_t bytes) {
    const size_t cls = classOf(bytes);
    if (char* object = free_[cls]) {
      std::memcpy(&free_[cls], object, sizeof(char*));
      return object;
    }
    const size_t size = (cls + 1) * kGranule;
    if (static_cast<size_t>(end_ - next_) < size) newChunk();
    void* object = next_;
    next_ += size;
    return object;
  }

  // A freed object holds the link to the next free one of its class, copied
  // bytewise: a text block need not be aligned for a pointer.
  void free(void* memory, size_t bytes) {
    const size_t cls = classOf(bytes);
    auto* object = static_cast<char*>(memory);
    std::memcpy(object, &free_[cls], sizeof(char*));
    free_[cls] = object;
  }

  // The next chunk holds at least `bytes`, within the largest chunk size.
  void expect(size_t bytes) { chunkSize_ = std::max(chunkSize_, roundedUp(bytes)); }

private:
  static size_t roundedUp(size_t bytes) {
    return bytes > kLargestChunk ? kLargestChunk : (bytes + kHugePage - 1) / kHugePage * kHugePage;
  }

  // Every object has room for the link.
  static size_t classOf(size_t bytes) { return (std::max(bytes, sizeof(char*)) - 1) / kGranule; }

  void newChunk() {
    // The tail of the previous chunk is left unused: at most one object.
    const size_t size = chunkSize_;
    chunkSize_ = std::max(std::min(chunkSize_ * 2, kLargestChunk), kHugePage);
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

  static constexpr size_t kClasses = kLargestPooled / kGranule;

  std::array<char*, kClasses> free_{};
  char* next_ = nullptr;
  char* end_ = nullptr;
  size_t chunkSize_ = kFirstChunk;
};

// Never destroyed: trees may be freed by other static destructors.
NodePool<8>& nodePool() {
  static NodePool<8>* const instance = new NodePool<8>();
  return *instance;
}

NodePool<1>& blockPool() {
  static NodePool<1>* const instance = new NodePool<1>();
  return *instance;
}

template <size_t kGranule>
void* allocateFrom(NodePool<kGranule>& pool, size_t bytes) {
  if (bytes > kLargestPooled) return ::operator new(bytes);
  return pool.allocate(bytes);
}

template <size_t kGranule>
void freeTo(NodePool<kGranule>& pool, void* memory, size_t bytes) noexcept {
  if (memory == nullptr) return;
  if (bytes > kLargestPooled) {
    ::operator delete(memory);
    return;
  }
  pool.free(memory, bytes);
}

}  // namespace

void* allocateNodeMemory(size_t bytes) { return allocateFrom(nodePool(), bytes); }
void freeNodeMemory(void* memory, size_t bytes) noexcept { freeTo(nodePool(), memory, bytes); }
void* allocateBlockMemory(size_t bytes) { return allocateFrom(blockPool(), bytes); }
void freeBlockMemory(void* memory, size_t bytes) noexcept { freeTo(blockPool(), memory, bytes); }

void expectNodeMemory(size_t nodeBytes, size_t blockBytes) {
  // Below a huge page the chunks a tree grows through are few and small.
  if (nodeBytes >= kHugePage) nodePool().expect(nodeBytes);
  if (blockBytes >= kHugePage) blockPool().expect(blockBytes);
}

#endif

}  // namespace rw
