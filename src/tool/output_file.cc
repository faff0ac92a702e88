#include "tool/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

#include "macros/paths.h"

namespace rw {

namespace {

// The temporary files that exist at the moment, for the signal handlers: a
// fixed table of fixed buffers, so that a handler reads them without taking
// a lock or memory. A run writes a handful of files.
constexpr size_t kMaxTemporaries = 16;
constexpr size_t kMaxTemporaryPath = 4096;
std::array<char[kMaxTemporaryPath], kMaxTemporaries> gTemporaries;
std::array<volatile sig_atomic_t, kMaxTemporaries> gTemporaryInUse;

void registerTemporary(const std::string& path) {
  if (path.size() >= kMaxTemporaryPath) return;
  for (size_t i = 0; i < kMaxTemporaries; ++i) {
    if (gTemporaryInUse[i] != 0) continue;
    std::memcpy(gTemporaries[i], path.c_str(), path.size() + 1);
    gTemporaryInUse[i] = 1;
    return;
  }
}

void forgetTemporary(const std::string& path) {
  for (size_t i = 0; i < kMaxTemporaries; ++i) {
    if (gTemporaryInUse[i] != 0 && path == gTemporaries[i]) gTemporaryInUse[i] = 0;
  }
}

void removeTemporariesAndDie(int signal) {
  for (size_t i = 0; i < kMaxTemporaries; ++i) {
    if (gTemporaryInUse[i] != 0) ::unlink(gTemporaries[i]);
  }
  // The process ends as the signal would have ended it, status included.
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// Where a link leads, when it leads into /proc: such a link (/dev/stdout is
// one, to /proc/self/fd/1) names an open file of the running process, which
// must be written through even when it is a regular file.
bool isLinkIntoProc(const std::string& path) {
  char buffer[4096];
  const ssize_t length = ::readlink(path.c_str(), buffer, sizeof buffer - 1);
  if (length <= 0) return false;
  std::string target(buffer, static_cast<size_t>(length));
  const std::string_view directory = directoryOf(path);
  if (!target.starts_with('/') && !directory.empty()) target = joinPath(directory, target);
  target = normalisePath(target);
  return target == "/proc" || target.starts_with("/proc/");
}

// The permissions a newly created file gets, as open() with 0666 would.
mode_t creationMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

bool writeAll(int fd, std::string_view text) {
  for (size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      if (n == 0) errno = EIO;
      return false;
    }
  }
  return true;
}

}  // namespace

void removeTemporaryFilesOnSignals() {
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) std::signal(signal, removeTemporariesAndDie);
  // A file size limit then shows as a failed write, handled like a full disk.
  std::signal(SIGXFSZ, SIG_IGN);
}

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
  removeTemporary();
}

bool OutputFile::writtenInPlace() const {
  // The path is used as typed, never cleaned up first: "gen/../soc.h" must
  // mean what the kernel makes of it when gen is a link.
  struct stat target;
  const bool exists = ::stat(path_.c_str(), &target) == 0;
  return (exists && !S_ISREG(target.st_mode)) || isLinkIntoProc(path_);
}

bool OutputFile::open() {
  if (writtenInPlace()) {
    replaces_ = false;
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return fd_ >= 0;
  }
  return openTemporary();
}

bool OutputFile::openUnseen() { return !writtenInPlace() && openTemporary(); }

bool OutputFile::openTemporary() {
  // Beside the target, so that the rename stays within one file system; the
  // name says whose it is when a killed run leaves it behind.
  std::string pattern = path_ + ".regwright-tmp-XXXXXX";
  fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd_ < 0) return false;
  struct stat target;
  replaces_ = ::stat(path_.c_str(), &target) == 0 && S_ISREG(target.st_mode);
  written_ = 0;
  writtenBack_ = 0;
  temporary_ = pattern;
  registerTemporary(temporary_);
  ::fchmod(fd_, creationMode());
  return true;
}

bool OutputFile::write(std::string_view text) {
  if (error_ != 0 || fd_ < 0) return false;
  if (!writeAll(fd_, text)) {
    error_ = errno;
    return false;
  }
  written_ += text.size();
  if (replaces_ && written_ - writtenBack_ >= kWritebackStep) startWriteback();
  return true;
}

// A file renamed over an existing one has its blocks allocated and its
// writing started by the rename itself (ext4 does so, lest a crash leave the
// target empty): for a header of tens of megabytes that is a tenth of the
// run, on its last step. Started as the text is written, by whichever thread
// writes it, that work overlaps the rest of the run. Only a hint: a failure
// shows, if at all, where it did before.
void OutputFile::startWriteback() {
#ifdef SYNC_FILE_RANGE_WRITE
  ::sync_file_range(fd_, static_cast<off_t>(writtenBack_), static_cast<off_t>(written_ - writtenBack_),
                    SYNC_FILE_RANGE_WRITE);
#endif
  writtenBack_ = written_;
}

bool OutputFile::finish() {
  if (fd_ >= 0 && ::close(fd_) != 0 && error_ == 0) error_ = errno;
  fd_ = -1;
  if (error_ == 0) return true;
  removeTemporary();
  errno = error_;
  return false;
}

bool OutputFile::place() {
  if (temporary_.empty()) return true;
  if (::rename(temporary_.c_str(), path_.c_str()) == 0) {
    forgetTemporary(temporary_);
    temporary_.clear();
    return true;
  }
  const int failure = errno;
  removeTemporary();
  errno = failure;
  return false;
}

void OutputFile::discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  error_ = 0;
  removeTemporary();
}

void OutputFile::removeTemporary() {
  if (temporary_.empty()) return;
  ::unlink(temporary_.c_str());
  forgetTemporary(temporary_);
  temporary_.clear();
}

}  // namespace rw
