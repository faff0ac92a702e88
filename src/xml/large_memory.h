// Memory for large buffers and tables: a file's text, a name set's slots, a
// parsed document.
//
// On the machines this runs on, the first touch of each fresh 4 KiB page
// costs more than most of what is done with it (about 10 microseconds where
// this was measured); a huge page is one such touch for 2 MiB. A block from
// here is aligned to a huge page and asked to be backed by them once it is
// large enough for the rounding to be worth it.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>

namespace rw {

// At least `bytes` (not zeroed), to be freed with std::free; null when
// memory runs out.
void* allocateLarge(size_t bytes);

struct FreeLarge {
  void operator()(void* memory) const noexcept { std::free(memory); }
};
template <typename T>
using LargeBuffer = std::unique_ptr<T[], FreeLarge>;

}  // namespace rw
