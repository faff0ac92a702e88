// The parts of the output header that do not come from the memory map, and
// the removal of the old header.
#pragma once

#include <string>
#include <string_view>

namespace rw {

// Deletes the file at `path` (normalised first) when it is a regular file or
// a symbolic link; returns whether it was deleted. Anything else at that path
// (a device, a FIFO, a socket, a directory) is left alone.
bool removeFile(const std::string& path);

// The output file's name without its directory and without everything from
// its first "." on, followed by "_h"; no other change.
std::string includeGuardName(std::string_view outputPath);

// Everything before the definitions: the comment block (starting with the
// target line when `targetName` is given), the include guard and one empty line.
std::string headerPreamble(const std::string* targetName, std::string_view guardName);

// Everything after the definitions.
inline constexpr const char* kHeaderEnd = "\n#endif\n";

}  // namespace rw
