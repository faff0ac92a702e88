#include "tool/run.h"

#include <fcntl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "header/header_generator.h"
#include "header/preamble.h"
#include "macros/macro_expansion.h"
#include "macros/paths.h"
#include "memorymap/memory_map.h"
#include "settings/settings_store.h"
#include "tool/command_line.h"
#include "tool/depfile.h"
#include "tool/diagnostics.h"
#include "tool/option_parser.h"
#include "tool/output_file.h"
#include "xml/node_memory.h"

namespace rw {

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;

// The loaded map is pure memory and the process ends after the run: freeing
// a million nodes one by one would only cost time. Where leaks are checked
// (see kCheckedNodeMemory) it is freed like everything else.
struct LeftToProcessExit {
  void operator()(MemoryMap* map) const {
    if (kCheckedNodeMemory) delete map;
  }
};

std::string depfileProblemText(const DependencyRule& rule) {
  if (rule.problem == DepfileProblem::LineBreak) return "a file name holds a line break";
  return "the file name " + rule.path + " ends in a backslash";
}

}  // namespace

int runRegwright(int argc, char** argv) {
  const char* invocationName = argc > 0 && argv[0] != nullptr ? argv[0] : "";
  // Made before anything reads a macro; StudioDir joins them once the
  // command line was read.
  MacroTable macros = systemMacros();
  const ApplicationDirectories directories = applicationDirectories(executablePath(invocationName));

  if (argc < 2) {
    printBanner(stderr);
    printUsage(stderr);
    return kExitSuccess;
  }

  Diagnostics diagnostics{invocationName};
  CommandLine commandLine;
  OptionParser(commandLine, diagnostics).parse(std::vector<std::string>(argv + 1, argv + argc));
  if (diagnostics.errorCount != 0) return kExitFailure;
  const std::vector<std::string>& positionals = commandLine.positionals;
  if (positionals.size() < 2) {
    diagnostics.error("input and output files required.");
    return kExitFailure;
  }
  macros.set("StudioDir", directories.install);

  // Every run reads the environment's settings as the development
  // environment would, though nothing here depends on them.
  const std::string userRoot = userRootDirectory();
  const SettingsStore settings(userRoot, userVersionDirectory(userRoot),
                               expandMacros("$(StudioDir)/bin/styles.xml", macros));

  // The fourth positional argument holds the macro definitions, but only
  // when it is the last one: with five or more, it is ignored too.
  const MacroTable definitions = positionals.size() == 4 ? macroDefinitions(positionals[3]) : MacroTable();

  // A failed load ends the run before the old header is touched.
  const std::unique_ptr<MemoryMap, LeftToProcessExit> map(new MemoryMap(macros));
  if (!map->load(positionals[0], definitions)) {
    // A file without a root has no message: the line then reads
    // "load error  at 0", two spaces, as it always has.
    std::fprintf(stderr, "load error %s at %d\n", map->errorMessage().c_str(), static_cast<int>(map->errorLine()));
    return kExitFailure;
  }

  // The dependency rule is formed now, from the files the load read, so a
  // name no depfile reader could take back fails the run before the old
  // header is touched.
  DependencyRule dependencies;
  if (!commandLine.depFile.empty()) {
    dependencies = dependencyRule(positionals[1], map->filesRead());
    if (dependencies.problem != DepfileProblem::None) {
      std::fprintf(stderr, "regwright can't write %s: %s\n", commandLine.depFile.c_str(),
                   depfileProblemText(dependencies).c_str());
      return kExitFailure;
    }
  }

  // The old header goes, if there is one; then the name as typed is created.
  const std::string& outputPath = positionals[1];
  removeFile(outputPath);
  const int output = ::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (output < 0) {
    std::fprintf(stderr, "regwright can't create %s\n", outputPath.c_str());
    return kExitFailure;
  }

  // The header is formed in one buffer, without a flush per line; a large
  // header goes out in parts of a few hundred kilobytes as it is formed.
  // After a failed write nothing more is written.
  std::string header = headerPreamble(positionals.size() > 2 ? &positionals[2] : nullptr, includeGuardName(outputPath));
  bool written = true;
  const auto drain = [&](std::string_view part) { written = written && writeAll(output, part); };
  generateDefinitions(header, map->rootElement(), commandLine.header, drain);
  header += kHeaderEnd;
  if (!writeAndClose(output, outputPath, header, written)) {
    std::fprintf(stderr, "regwright can't write %s\n", outputPath.c_str());
    return kExitFailure;
  }

  // The rule goes out only after the header is complete. If it cannot be
  // written the new header goes too: left alone, it would look up to date to
  // make while nothing records what it depends on.
  if (!commandLine.depFile.empty()) {
    std::string error;
    if (!writeDepfile(commandLine.depFile, dependencies.text, &error)) {
      std::fprintf(stderr, "regwright can't write %s: %s\n", commandLine.depFile.c_str(), error.c_str());
      removeFile(outputPath);
      return kExitFailure;
    }
  }
  return kExitSuccess;
}

}  // namespace rw
