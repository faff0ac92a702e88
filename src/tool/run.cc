#include "tool/run.h"

#include <cstdio>
#include <string>

#include "environment/environment_settings.h"
#include "environment/macros.h"
#include "environment/paths.h"
#include "tool/diagnostics.h"
#include "tool/my_arg_parse.h"
#include "tool/product.h"

namespace rw {

namespace {
constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
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
  [[maybe_unused]] const std::string macroDefinitions =
      parser.positionals.size() == 4 ? parser.positionals[3] : std::string();

  // 12-17. The memory map is loaded from positionals[0] with macroDefinitions
  //     (a failed load reports "load error %s at %d\n" and leaves the old
  //     header alone); then removeFile(positionals[1]), the output file is
  //     created ("regwright can't create %s\n" when it cannot be), and
  //     headerPreamble, the generated definitions and kHeaderEnd are written
  //     (tool/output_file.h).
  return kExitSuccess;
}

}  // namespace rw
