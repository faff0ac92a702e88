// The "-depfile" output: one Make-style rule naming the header and every file
// that went into it, so a build system regenerates the header when any of
// them changes, like a compiler's dependency output.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rw {

// One path as a word of a dependency rule, or nothing when the path holds a
// line break, which no depfile reader can take back.
std::optional<std::string> escapeDepfilePath(std::string_view path);

// "<target>: <prerequisite> <prerequisite>...\n". Prerequisites keep their
// first-seen order and appear once. Nothing when a path cannot be written;
// `badPath` then names it.
std::optional<std::string> dependencyRule(const std::string& target,
                                          const std::vector<std::string>& prerequisites,
                                          std::string* badPath);

// Writes `rule` to `path`, replacing the file. On failure returns false and
// leaves a one-line reason in `error`.
bool writeDepfile(const std::string& path, const std::string& rule, std::string* error);

}  // namespace rw
