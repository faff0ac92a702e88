#include "xml/file_text.h"

#include "xml/large_memory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>
#include <vector>

namespace rw {

namespace {

// Closes the descriptor on every way out.
struct Descriptor {
  explicit Descriptor(int fd) : fd(fd) {}
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  const int fd;
};

// Room for `size` bytes in `text`; throws std::bad_alloc like new.
void allocate(FileText& text, size_t size) {
  text.data.reset(static_cast<char*>(allocateLarge(size)));
  if (text.data == nullptr) throw std::bad_alloc();
}

// A stream of unknown length, read up to `limit` bytes and one more, to tell
// a stream that fits from one that does not. It is read in blocks and joined
// only once it ended within the bound, so a stream that never ends costs the
// bound and one block, not twice the bound. Unreadable on a read error,
// NulFirst at once when the first byte is NUL.
FileText::Status readStream(int fd, size_t limit, FileText& text) {
  std::vector<std::unique_ptr<char[]>> blocks;
  std::vector<size_t> filled;
  size_t total = 0;
  for (size_t blockSize = size_t{1} << 16; total <= limit; blockSize = std::min(blockSize * 2, size_t{64} << 20)) {
    const size_t want = std::min(blockSize, limit + 1 - total);
    blocks.push_back(std::make_unique_for_overwrite<char[]>(want));
    const ssize_t got = readFully(fd, blocks.back().get(), want);
    if (got < 0) return FileText::Status::Unreadable;
    if (total == 0 && got > 0 && blocks.back()[0] == '\0') return FileText::Status::NulFirst;
    filled.push_back(static_cast<size_t>(got));
    total += static_cast<size_t>(got);
    if (static_cast<size_t>(got) < want) break;
  }
  text.size = total;
  if (total > limit) return FileText::Status::TooLarge;
  allocate(text, total);
  char* to = text.data.get();
  for (size_t i = 0; i < blocks.size(); ++i) {
    std::copy_n(blocks[i].get(), filled[i], to);
    to += filled[i];
  }
  return FileText::Status::Read;
}

}  // namespace

ssize_t readFully(int fd, char* to, size_t length) {
  size_t done = 0;
  while (done < length) {
    const ssize_t got = ::read(fd, to + done, length - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<ssize_t>(done);
}

FileText readStreamText(int fd, size_t limit) {
  FileText text;
  const FileText::Status status = readStream(fd, limit, text);
  if (status != FileText::Status::Read) {
    FileText refused;
    refused.status = status;
    return refused;
  }
  text.status = status;
  return text;
}

FileText::Status deviceStatus(mode_t mode) {
  return S_ISCHR(mode) || S_ISBLK(mode) ? FileText::Status::Device : FileText::Status::Read;
}

FileText readFileText(const std::string& path, size_t limit, bool regularOnly) {
  FileText text;
  // Non-blocking only for the open: a FIFO must not keep it waiting when it
  // is going to be passed over anyway.
  const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | (regularOnly ? O_NONBLOCK : 0)));
  struct stat info;
  if (file.fd < 0 || ::fstat(file.fd, &info) != 0) return text;
  const bool regular = S_ISREG(info.st_mode);
  if (regularOnly && !regular) {
    text.status = FileText::Status::NotRegular;
    return text;
  }
  if (deviceStatus(info.st_mode) != FileText::Status::Read) {
    text.status = deviceStatus(info.st_mode);
    return text;
  }
  if (!regular) return readStreamText(file.fd, limit);
  if (static_cast<unsigned long long>(info.st_size) > limit) {
    text.status = FileText::Status::TooLarge;
    return text;
  }
  // The size is known: one buffer, and a file that shrinks or grows meanwhile
  // is noticed rather than read in part.
  const size_t size = static_cast<size_t>(info.st_size);
  allocate(text, size);
  const ssize_t got = readFully(file.fd, text.data.get(), size);
  char extra;
  if (got < 0) return FileText();
  if (static_cast<size_t>(got) != size || readFully(file.fd, &extra, 1) != 0) {
    FileText changed;
    changed.status = FileText::Status::Changed;
    return changed;
  }
  text.size = size;
  text.status = FileText::Status::Read;
  return text;
}

}  // namespace rw
