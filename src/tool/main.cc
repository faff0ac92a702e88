#include <cstdlib>

#include "tool/run.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

int main(int argc, char** argv) {
#if defined(__GLIBC__)
  // A run frees its parse's memory (an SVD file's document, the reader's
  // scratch) and then writes its outputs' texts. By default the allocator
  // hands blocks above 128 KiB back to the system as they are freed, and
  // the next text faults fresh pages in one by one, each a trip through the
  // kernel; kept, they are simply reused. The process is short-lived, so
  // nothing is gained by giving memory back before it ends.
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
  return rw::runRegwright(argc, argv);
}
