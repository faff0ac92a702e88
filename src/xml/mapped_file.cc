#include "xml/mapped_file.h"

#include <sys/mman.h>
#include <sys/stat.h>

#include <cstdint>

namespace rw {

// A file that shrinks while it is mapped would fault on the missing pages;
// maps are inputs of a build, not files that are rewritten while it runs.
std::optional<MappedFile> MappedFile::open(int fd) {
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) return std::nullopt;
  if (static_cast<uintmax_t>(info.st_size) > SIZE_MAX) return std::nullopt;
  const size_t size = static_cast<size_t>(info.st_size);
  void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  if (data == MAP_FAILED) return std::nullopt;
  ::madvise(data, size, MADV_SEQUENTIAL);
  return MappedFile(data, size);
}

MappedFile::~MappedFile() {
  if (data_ != nullptr) ::munmap(data_, size_);
}

}  // namespace rw
