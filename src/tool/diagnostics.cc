#include "tool/diagnostics.h"

namespace rw {

namespace {

// "%.*s" takes the length as an int.
int lengthOf(std::string_view text) { return static_cast<int>(text.size()); }

}  // namespace

void Diagnostics::error(std::string_view message) {
  ++errorCount;
  std::fprintf(stream, "%s: error: %.*s\n", programName.c_str(), lengthOf(message), message.data());
  std::fflush(stream);
}

void Diagnostics::cantWrite(std::string_view path, std::string_view reason) {
  if (reason.empty()) {
    std::fprintf(stream, "regwright can't write %.*s\n", lengthOf(path), path.data());
  } else {
    std::fprintf(stream, "regwright can't write %.*s: %.*s\n", lengthOf(path), path.data(), lengthOf(reason),
                 reason.data());
  }
}

void Diagnostics::cantCreate(std::string_view path) {
  std::fprintf(stream, "regwright can't create %.*s\n", lengthOf(path), path.data());
}

void Diagnostics::loadError(std::string_view message, int line) {
  std::fprintf(stream, "load error %.*s at %d\n", lengthOf(message), message.data(), line);
}

void Diagnostics::finding(std::string_view location, std::string_view message, std::string_view kind) {
  std::fprintf(stream, "%.*s: warning: %.*s [-check-%.*s]\n", lengthOf(location), location.data(),
               lengthOf(message), message.data(), lengthOf(kind), kind.data());
}

void Diagnostics::warning(std::string_view line) {
  // A location ends at the first ": " after a ":" and a line number.
  size_t split = std::string_view::npos;
  for (size_t at = line.find(": "); at != std::string_view::npos; at = line.find(": ", at + 1)) {
    const size_t colon = line.rfind(':', at - 1);
    if (colon != std::string_view::npos && colon + 1 < at &&
        line.substr(colon + 1, at - colon - 1).find_first_not_of("0123456789") == std::string_view::npos) {
      split = at;
      break;
    }
  }
  if (split == std::string_view::npos) {
    std::fprintf(stream, "warning: %.*s\n", lengthOf(line), line.data());
  } else {
    std::fprintf(stream, "%.*s: warning: %.*s\n", lengthOf(line.substr(0, split)), line.data(),
                 lengthOf(line.substr(split + 2)), line.data() + split + 2);
  }
}

void Diagnostics::lines(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stream); }

}  // namespace rw
