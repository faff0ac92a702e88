// The files a run writes, written so that no run leaves a target half
// written: a regular file (or a name where nothing is yet) is written to a
// temporary file beside it and renamed over it only once the whole content
// was written and closed. On any failure, on SIGINT, SIGTERM, SIGHUP or
// SIGPIPE, or when memory runs out, the temporary file goes and the old
// target stays as it was. Anything else at the path (a FIFO, a device,
// /dev/stdout, a link into /proc, a link to one of those) is not ours to
// replace: it is written in place.
#pragma once

#include <string>
#include <string_view>

namespace rw {

class OutputFile {
public:
  explicit OutputFile(std::string path) : path_(std::move(path)) {}
  // Removes the temporary file unless it was put in place.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates the temporary file, or opens the target in place. False with
  // errno set when that fails.
  bool open();
  // Creates the temporary file for a target that is replaced when placed.
  // False, with nothing opened, for a target written in place or when the
  // temporary file cannot be made: a caller that writes before it knows the
  // run will succeed may only write where nobody sees it.
  bool openUnseen();
  // False, now and for every later call, once a write failed.
  bool write(std::string_view text);
  // Closes the file; false (errno set) when a write or the close failed, in
  // which case a temporary file is removed.
  bool finish();
  // Renames the finished temporary file over the target. False, with errno
  // set and the temporary file removed, when that fails.
  bool place();
  // Throws away what was written unseen: the file is as before open().
  void discard();
  bool isOpen() const { return fd_ >= 0; }

  const std::string& path() const { return path_; }

private:
  bool writtenInPlace() const;
  bool openTemporary();
  void removeTemporary();
  void startWriteback();

  std::string path_;
  // Empty when the target is written in place.
  std::string temporary_;
  int fd_ = -1;
  int error_ = 0;
  // The temporary file will replace a regular file: its writing is started
  // every kWritebackStep bytes (see startWriteback).
  bool replaces_ = false;
  static constexpr size_t kWritebackStep = size_t{4} << 20;
  size_t written_ = 0;
  size_t writtenBack_ = 0;
};

// Makes SIGINT, SIGTERM, SIGHUP and SIGPIPE remove the temporary files of the
// run before the process ends as the signal asks, and a file size limit
// (SIGXFSZ) fail the write instead of ending the process.
void removeTemporaryFilesOnSignals();

}  // namespace rw
