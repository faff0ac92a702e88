// A regular file mapped into memory, read-only, for as long as the object lives.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace rw {

class MappedFile {
public:
  // Maps the whole regular, non-empty file open on `fd` (which may be closed
  // afterwards). Nothing for other files or when mapping fails: the caller
  // then reads the file the ordinary way.
  static std::optional<MappedFile> open(int fd);

  MappedFile(MappedFile&& other) noexcept : data_(other.data_), size_(other.size_) { other.data_ = nullptr; }
  MappedFile& operator=(MappedFile&&) = delete;
  MappedFile(const MappedFile&) = delete;
  ~MappedFile();

  std::string_view text() const { return std::string_view(static_cast<const char*>(data_), size_); }

private:
  MappedFile(void* data, size_t size) : data_(data), size_(size) {}

  void* data_;
  size_t size_;
};

}  // namespace rw
