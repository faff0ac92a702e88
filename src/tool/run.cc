#include "tool/run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "environment/environment_settings.h"
#include "environment/macros.h"
#include "environment/paths.h"
#include "header/header_generator.h"
#include "memorymap/memory_map.h"
#include "tool/depfile.h"
#include "tool/diagnostics.h"
#include "tool/my_arg_parse.h"
#include "tool/output_file.h"
#include "tool/product.h"
#include "xml/node_memory.h"

namespace rw {

namespace {
constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;

// Deletes only where leaks are checked (see kCheckedNodeMemory).
struct LeftToProcessExit {
  void operator()(MyMemoryMap* map) const {
    if (kCheckedNodeMemory) delete map;
  }
};

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

// Writes the rest of the header, `text`, to the open `fd` and closes it;
// `ok` says whether the parts written before went out. A write or close that
// fails is reported rather than leaving a truncated header for the build to
// compile; the partial file at `path` is then removed when it is a regular
// file (a device such as /dev/full, or a pipe, is left as it is).
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
}  // namespace

int runRegwright(int argc, char** argv) {
  const char* invocationName = argc > 0 && argv[0] != nullptr ? argv[0] : "";

  // 1. The system macro table comes first: everything after may expand macros.
  //    Like the other process-wide objects it lives until the process ends.
  PropertyClassList* macroTable = new PropertyClassList();
  setSystemMacroTable(macroTable);

  // 2. The bin directory holds the executable; the installation directory is
  //    one level up.
  initApplicationDirectories(executablePath(invocationName), 1);

  // 3. The record through which command-line errors are reported and counted.
  Diagnostics* record = new Diagnostics();
  record->programName = invocationName;
  record->stream = stderr;
  setDiagnostics(record);

  // 4. The option parser registers the options.
  MyArgParse parser;

  // 5. No arguments at all: say what the tool is and how to call it.
  if (argc < 2) {
    printBanner("regwright");
    printUsage(stderr);
    return kExitSuccess;
  }

  // 6. Options and positional arguments, indirect files included.
  parser.parse(argc - 1, argv + 1, 1);

  // 7. The parser has already written its messages.
  if (record->errorCount != 0) return kExitFailure;

  // 8. Input and output file are required.
  if (parser.positionals.size() < 2) {
    record->errorCount = 1;
    std::fprintf(stderr, "%s: error: input and output files required.\n", record->programName.c_str());
    std::fflush(stderr);
    return kExitFailure;
  }

  // 9. $(StudioDir) names the installation directory.
  macroTable->setPathMacro("StudioDir", PathName(installDirectory()), "");

  // 10. The environment settings store: created without its save timer,
  //     published, and its settings catalogue built. It reads the user's
  //     settings files and writes nothing; like the macro table it lives
  //     until the process ends.
  setEnvironmentSettings(new EnvironmentSettings(false));
  environmentSettings()->buildCatalogue();

  // 11. The fourth positional argument holds the macro definitions, but only
  //     when it is the last one: with five or more, it is ignored too.
  const std::string macroDefinitions = parser.positionals.size() == 4 ? parser.positionals[3] : std::string();

  // 12. Load the map. A failure ends the run before the old header is touched.
  //     The map is pure memory and the process ends after the run: freeing
  //     a million nodes one by one would only cost time.
  const std::unique_ptr<MyMemoryMap, LeftToProcessExit> mapOwner(new MyMemoryMap());
  MyMemoryMap& map = *mapOwner;
  if (!map.load(parser.positionals[0], macroDefinitions, true)) {
    std::fprintf(stderr, "load error %s at %d\n", map.errorMessage.c_str(), static_cast<int>(map.errorLine));
    return kExitFailure;
  }

  // "-depfile": the rule is formed now, from the files the load read (the
  // main file first, as read), so a name no depfile reader could take back
  // fails the run before the old header is touched.
  std::string dependencies;
  if (!parser.depFile.empty()) {
    std::string badPath;
    std::optional<std::string> rule = dependencyRule(parser.positionals[1], map.filesRead(), &badPath);
    if (!rule) {
      std::fprintf(stderr, "regwright can't write %s: a file name holds a line break\n", parser.depFile.c_str());
      return kExitFailure;
    }
    dependencies = std::move(*rule);
  }

  // 13. The old header goes; its result does not matter (there may be none).
  const std::string& outputPath = parser.positionals[1];
  removeFile(outputPath);

  // 14. The name as typed, not normalised.
  const int output = ::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (output < 0) {
    std::fprintf(stderr, "regwright can't create %s\n", outputPath.c_str());
    return kExitFailure;
  }

  // 15-17. The header is formed in one buffer, no flush per line; a large
  //     header goes out in parts of a few hundred kilobytes as it is formed.
  //     After a failed write nothing more is written.
  std::string header =
      headerPreamble(parser.positionals.size() > 2 ? &parser.positionals[2] : nullptr, includeGuardName(outputPath));
  bool written = true;
  const auto drain = [&](std::string_view part) { written = written && writeAll(output, part); };
  generateDefinitions(header, map.rootElement(), parser.regBaseOffs, parser.noBitFields, drain);
  header += kHeaderEnd;
  if (!writeAndClose(output, outputPath, header, written)) {
    std::fprintf(stderr, "regwright can't write %s\n", outputPath.c_str());
    return kExitFailure;
  }

  // The rule goes out only after the header is complete. If it cannot be
  // written the new header goes too: left alone, it would look up to date to
  // make while nothing records what it depends on.
  if (!parser.depFile.empty()) {
    std::string error;
    if (!writeDepfile(parser.depFile, dependencies, &error)) {
      std::fprintf(stderr, "regwright can't write %s: %s\n", parser.depFile.c_str(), error.c_str());
      removeFile(outputPath);
      return kExitFailure;
    }
  }
  return kExitSuccess;
}

}  // namespace rw
