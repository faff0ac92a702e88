// Writing the run's output files without harming what is not ours: the old
// header goes only when it is a file, and a file left half-written is removed.
#pragma once

#include <string>
#include <string_view>

namespace rw {

// Deletes the file at `path` (normalised first) when it is a regular file or
// a symbolic link that stands for one; returns whether it was deleted.
// Anything else at that path (a device, a FIFO, a socket, a directory, a link
// to one of those or into /proc) is left alone and will be written through.
bool removeFile(const std::string& path);

// Writes all of `text` to `fd`, going on after interruptions; false on error.
bool writeAll(int fd, std::string_view text);

// Writes `text` to the open `fd` and closes it; `ok` says whether the parts
// written before went out. A write or close that fails is reported rather
// than leaving a truncated file for a build to use: the partial file at
// `path` is then removed when it is the regular file that was written.
bool writeAndClose(int fd, const std::string& path, std::string_view text, bool ok);

}  // namespace rw
