// The whole content of a file, read once, within a bound.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace rw {

struct FileText {
  enum class Status {
    Read,
    Unreadable,  // not opened or not read (a directory, an I/O error)
    TooLarge,    // more bytes than the bound allows
    Changed,     // a regular file that shrank or grew while it was read
    NotRegular,  // not a regular file, where only one is wanted
    Device,      // a character or block device: never a file of text
    NulFirst,    // a stream whose first byte is NUL: nothing of text follows
  };
  Status status = Status::Unreadable;

  // Empty unless the file was read.
  std::string_view text() const { return {data.get(), size}; }

  // Plain memory rather than a string: nothing is filled with zeros only to
  // be overwritten by the file.
  struct Free {
    void operator()(char* p) const { std::free(p); }
  };
  std::unique_ptr<char, Free> data;
  size_t size = 0;
};

// Reads the file at `path` to its end. A device is refused unread (/dev/zero
// would otherwise be read up to the bound), and so is a stream whose first
// byte is NUL; a stream that never ends is cut off after `limit` bytes. With
// `regularOnly`, anything but a regular file is passed over without being
// read or waited for: a FIFO nobody writes to would block for ever.
FileText readFileText(const std::string& path, size_t limit, bool regularOnly);

// Fills up to `length` bytes at `to` from `fd`, reading again after a signal
// or a short read; the count read, short at the end of the file; -1 on a
// read error.
ssize_t readFully(int fd, char* to, size_t length);

// The rest of an open stream of unknown length (a pipe), as readFileText
// reads one: cut off after `limit` bytes, refused at its first byte when that
// is NUL.
FileText readStreamText(int fd, size_t limit);

// Device when `mode` is a character or block device, else Read.
FileText::Status deviceStatus(mode_t mode);

}  // namespace rw
