// A file read from start to end in pieces, for a reader that needs only a
// window of it at a time: a large map then costs no memory for its text.
#pragma once

#include <cstddef>
#include <string>

#include "xml/file_text.h"

namespace rw {

// Bytes in order, as many as the consumer has room for.
class ByteSource {
public:
  virtual ~ByteSource() = default;
  // Up to `room` further bytes into `to`; 0 once there are none.
  virtual size_t read(char* to, size_t room) = 0;
};

// A regular file is read as it is consumed, and a file whose size changes
// meanwhile is noticed, as readFileText notices it. Anything else (a pipe, a
// device) is read whole first, within the bound, as readFileText reads it.
class FileStream : public ByteSource {
public:
  FileStream(const std::string& path, size_t limit);
  ~FileStream() override;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  // Read while the file can be read so far; Unreadable or TooLarge when it
  // cannot be read at all, and nothing then comes from read().
  FileText::Status status() const { return status_; }
  // The bytes there are to read: a regular file's size when it was opened.
  size_t size() const { return fd_ >= 0 ? size_ : whole_.size; }
  size_t read(char* to, size_t room) override;
  // Reads what was not consumed and returns the final status: Changed for a
  // regular file that did not end where its size said, Unreadable after a
  // read error.
  FileText::Status finish();

private:
  FileText::Status status_ = FileText::Status::Unreadable;
  int fd_ = -1;
  // A regular file: its size, and the bytes handed out or skipped so far.
  size_t size_ = 0;
  size_t done_ = 0;
  // Anything else: its whole content, and the bytes handed out.
  FileText whole_;
  size_t served_ = 0;
};

}  // namespace rw
