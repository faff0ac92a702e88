#include "xml/file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace rw {

FileStream::FileStream(const std::string& path, size_t limit) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info;
  if (fd_ < 0 || ::fstat(fd_, &info) != 0) return;
  if (deviceStatus(info.st_mode) != FileText::Status::Read) {
    status_ = deviceStatus(info.st_mode);
    return;
  }
  if (!S_ISREG(info.st_mode)) {
    whole_ = readStreamText(fd_, limit);
    status_ = whole_.status;
    ::close(fd_);
    fd_ = -1;
    return;
  }
  if (static_cast<unsigned long long>(info.st_size) > limit) {
    status_ = FileText::Status::TooLarge;
    return;
  }
  size_ = static_cast<size_t>(info.st_size);
  status_ = FileText::Status::Read;
}

FileStream::~FileStream() {
  if (fd_ >= 0) ::close(fd_);
}

size_t FileStream::read(char* to, size_t room) {
  if (status_ != FileText::Status::Read) return 0;
  if (fd_ < 0) {
    const size_t count = std::min(room, whole_.size - served_);
    if (count != 0) std::memcpy(to, whole_.data.get() + served_, count);
    served_ += count;
    return count;
  }
  // Never past the size the file had when it was opened: bytes beyond it
  // are a change, found by finish().
  const ssize_t got = readFully(fd_, to, std::min(room, size_ - done_));
  if (got < 0) {
    status_ = FileText::Status::Unreadable;
    return 0;
  }
  done_ += static_cast<size_t>(got);
  return static_cast<size_t>(got);
}

FileText::Status FileStream::finish() {
  if (status_ != FileText::Status::Read || fd_ < 0) return status_;
  constexpr size_t kSkipBlock = size_t{64} << 10;
  const auto skipped = std::make_unique_for_overwrite<char[]>(kSkipBlock);
  while (done_ < size_) {
    const size_t got = read(skipped.get(), kSkipBlock);
    if (status_ != FileText::Status::Read) return status_;
    if (got == 0) break;
  }
  char extra;
  const ssize_t more = readFully(fd_, &extra, 1);
  if (more < 0) {
    status_ = FileText::Status::Unreadable;
  } else if (done_ != size_ || more != 0) {
    status_ = FileText::Status::Changed;
  }
  return status_;
}

}  // namespace rw
