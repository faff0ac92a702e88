// Memory for the nodes of XML trees and their text blocks.
//
// A large map is a million small objects that are created in one go and live
// until the process ends. On the machines this runs on, touching fresh memory
// costs far more than computing with it, so these objects are packed without
// per-object headers into large chunks that the kernel may back with huge
// pages. Freed objects are kept for reuse by objects of the same size class;
// nothing is returned to the system before the process ends.
//
// Not thread-safe: trees are built and walked by one thread.
#pragma once

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define RW_NODE_MEMORY_FROM_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define RW_NODE_MEMORY_FROM_HEAP 1
#endif
#endif

namespace rw {

// Under the address sanitizer every node comes from the ordinary heap, so
// that overruns, use after free and leaks are seen per object; and trees that
// would live until the process ends are freed, so that the leak checker only
// reports real leaks.
#ifdef RW_NODE_MEMORY_FROM_HEAP
inline constexpr bool kCheckedNodeMemory = true;
#else
inline constexpr bool kCheckedNodeMemory = false;
#endif

// `bytes` of memory aligned for any node; never null (throws std::bad_alloc
// like operator new when memory runs out).
void* allocateNodeMemory(size_t bytes);
// `bytes` must be the size the memory was allocated with.
void freeNodeMemory(void* memory, size_t bytes) noexcept;

// The same for byte strings, which need no alignment: an element's text
// block takes the bytes it holds, not the next multiple of eight.
void* allocateBlockMemory(size_t bytes);
void freeBlockMemory(void* memory, size_t bytes) noexcept;

// A tree of about this many bytes of nodes and of blocks is about to be
// built: memory is taken in chunks of that size from the next one on, which
// spares a tree that will be large the small chunks it would first grow
// through (each page of those is a trip through the kernel; the large ones
// may be huge pages).
void expectNodeMemory(size_t nodeBytes, size_t blockBytes);

}  // namespace rw
