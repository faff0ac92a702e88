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

namespace rw {

// `bytes` of memory aligned for any node; never null (throws std::bad_alloc
// like operator new when memory runs out).
void* allocateNodeMemory(size_t bytes);
// `bytes` must be the size the memory was allocated with.
void freeNodeMemory(void* memory, size_t bytes) noexcept;

}  // namespace rw
