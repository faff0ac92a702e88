#include "tool/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "macros/paths.h"

namespace rw {

namespace {

// A link is replaced only when it stands for a file: one that leads to a
// device, a pipe, a socket or a directory is the way to reach that thing, and
// one into /proc (/dev/stdout is such a link, to /proc/self/fd/1) names an open
// file of the running process, even when that file is a regular file. A link
// to nothing can go.
bool isReplaceableLink(const std::string& link) {
  char buffer[4096];
  const ssize_t length = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
  if (length <= 0) return false;
  std::string target(buffer, static_cast<size_t>(length));
  const std::string_view directory = directoryOf(link);
  if (!target.starts_with('/') && !directory.empty()) target = joinPath(directory, target);
  target = normalisePath(target);
  if (target == "/proc" || target.starts_with("/proc/")) return false;
  struct stat resolved;
  if (::stat(link.c_str(), &resolved) != 0) return true;
  return S_ISREG(resolved.st_mode);
}

}  // namespace

bool removeFile(const std::string& path) {
  const std::string normalised = normalisePath(path);
  struct stat status;
  if (::lstat(normalised.c_str(), &status) != 0) return false;
  if (!S_ISREG(status.st_mode) && !S_ISLNK(status.st_mode)) return false;
  if (S_ISLNK(status.st_mode) && !isReplaceableLink(normalised)) return false;
  return ::unlink(normalised.c_str()) == 0;
}

bool writeAll(int fd, std::string_view text) {
  for (size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      return false;
    }
  }
  return true;
}

bool writeAndClose(int fd, const std::string& path, std::string_view text, bool ok) {
  ok = ok && writeAll(fd, text);
  // Only the regular file that was written goes: when `path` is a link (such
  // as /dev/stdout on a redirected standard output) the link stays.
  struct stat written;
  const bool regular = ::fstat(fd, &written) == 0 && S_ISREG(written.st_mode);
  if (::close(fd) != 0) ok = false;
  struct stat named;
  if (!ok && regular && ::lstat(path.c_str(), &named) == 0 && S_ISREG(named.st_mode) &&
      named.st_dev == written.st_dev && named.st_ino == written.st_ino) {
    ::unlink(path.c_str());
  }
  return ok;
}

}  // namespace rw
