#include "tool/run.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "html/html_writer.h"
#include "checks/map_checks.h"
#include "memorymap/map_writer.h"
#include "svd/svd_reader.h"
#include "svd/svd_writer.h"
#include "header/definitions_while_reading.h"
#include "header/flat_header.h"
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
#include "tool/overwrite_check.h"
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

// A text for a message, with the bytes that cannot stand in one visible.
std::string visible(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\0') out += "\\0";
    else out += c;
  }
  return out;
}

std::string unwritableProblem(std::string_view text) {
  return text.find('\0') != std::string_view::npos && text.find_first_of("\n\r") == std::string_view::npos
             ? "holds a NUL byte"
             : "holds a line break";
}

// A command-line text that goes into the header must fit in its line.
bool checkHeaderTexts(const CommandLine& commandLine, Diagnostics& diagnostics) {
  const HeaderOptions& options = commandLine.header;
  const std::pair<const char*, const std::string*> texts[] = {
      {"the target name", commandLine.positionals.size() > 2 ? &commandLine.positionals[2] : nullptr},
      {"-defprefixstring", &options.defPrefixString},
      {"-regstring", &options.regString},
      {"-regbasestring", &options.regBaseString},
      {"-regoffsetstring", &options.regOffsetString},
  };
  for (const auto& [name, text] : texts) {
    if (text != nullptr && !fitsOnOneLine(*text)) {
      diagnostics.error(std::string(name) + " \"" + visible(*text) + "\" " + unwritableProblem(*text) +
                        ", which a header line cannot hold");
      return false;
    }
  }
  return true;
}

// An output besides the header, and its whole content.
struct FurtherOutput {
  std::string path;
  std::string text;
};

int cantWrite(const std::string& path) {
  std::fprintf(stderr, "regwright can't write %s: %s\n", path.c_str(), std::strerror(errno));
  return kExitFailure;
}

// The main input into `map`: an SVD device file by its name, else a memory
// map. A failure is reported here.
bool loadInput(MemoryMap& map, const std::string& name, const MacroTable& definitions, const MacroTable& macros) {
  const std::string expanded = expandMacros(name, macros);
  std::string message;
  int line = 0;
  if (isSvdFile(expanded) ? readSvd(expanded, map, message, line) : map.load(name, definitions)) return true;
  if (!isSvdFile(expanded)) {
    // A file without a root has no message: the line then reads
    // "load error  at 0", two spaces, as it always has.
    message = map.errorMessage();
    line = map.errorLine();
  }
  std::fprintf(stderr, "load error %s at %d\n", message.c_str(), line);
  return false;
}

// A map is mostly read as it stands, and its header's definitions are then
// written on the second core while it is read, into a temporary file that
// only a successful run puts in place. Returns null, and leaves `header`
// empty, for an SVD input, for a header written in place (what is written
// there is seen at once, even by a run that fails) and when the temporary
// file or the thread cannot be had. `checks` (may be null) are made along.
std::unique_ptr<DefinitionsWhileReading> followWithDefinitions(MemoryMap& map, const std::string& inputPath,
                                                               const std::string& headerPath,
                                                               const HeaderOptions& options, std::string& text,
                                                               const DefinitionDrain& drain, HeaderVisitor* checks,
                                                               std::unique_ptr<OutputFile>& header) {
  if (isSvdFile(inputPath)) return nullptr;
  header = std::make_unique<OutputFile>(headerPath);
  if (!header->openUnseen()) {
    header.reset();
    return nullptr;
  }
  struct stat input;
  const bool sized = ::stat(inputPath.c_str(), &input) == 0 && S_ISREG(input.st_mode);
  auto whileReading =
      std::make_unique<DefinitionsWhileReading>(text, options, drain, sized ? static_cast<size_t>(input.st_size) : 0,
                                                checks);
  if (!whileReading->start()) {
    header.reset();
    return nullptr;
  }
  map.followReading(whileReading.get());
  return whileReading;
}

int run(int argc, char** argv) {
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
  if (!checkHeaderTexts(commandLine, diagnostics)) return kExitFailure;
  macros.set("StudioDir", directories.install);

  // Every run reads the environment's settings as the development
  // environment would, though nothing here depends on them.
  const std::string userRoot = userRootDirectory();
  const SettingsStore settings(userRoot, userVersionDirectory(userRoot),
                               expandMacros("$(StudioDir)/bin/styles.xml", macros));

  // The fourth positional argument holds the macro definitions, but only
  // when it is the last one: with five or more, it is ignored too.
  const MacroTable definitions = positionals.size() == 4 ? macroDefinitions(positionals[3]) : MacroTable();

  // A failed load ends the run before any output is touched.
  const std::unique_ptr<MemoryMap, LeftToProcessExit> map(new MemoryMap(macros));

  // The header's definitions are written while the map is read where they
  // can be; otherwise they are generated once the map is loaded.
  const std::string& headerPath = positionals[1];
  const std::string targetName = positionals.size() > 2 ? positionals[2] : std::string();
  const std::string preamble = headerPreamble(positionals.size() > 2 ? &targetName : nullptr,
                                              includeGuardName(headerPath), commandLine.header.stdint);
  std::string text = preamble;
  std::unique_ptr<OutputFile> header;
  const DefinitionDrain drain = [&](std::string_view part) { header->write(part); };
  // The checks ride along.
  std::unique_ptr<MapChecks> checksWhileReading;
  if (commandLine.check) checksWhileReading = std::make_unique<MapChecks>(*map, commandLine.header);
  std::unique_ptr<DefinitionsWhileReading> whileReading =
      followWithDefinitions(*map, expandMacros(positionals[0], macros), headerPath, commandLine.header, text, drain,
                            checksWhileReading.get(), header);
  if (!loadInput(*map, positionals[0], definitions, macros)) return kExitFailure;
  map->followReading(nullptr);
  // What the preprocessor, the evaluator or an import changed was not seen.
  if (whileReading != nullptr && !(whileReading->followedToTheEnd() && map->keptAsRead())) {
    whileReading.reset();
    header.reset();
    text = preamble;
  }
  if (whileReading != nullptr && whileReading->ranOutOfMemory()) throw std::bad_alloc();

  if (commandLine.check) {
    const std::vector<Finding> findings =
        whileReading != nullptr ? checksWhileReading->findings() : checkMap(*map, commandLine.header);
    for (const Finding& finding : findings) {
      std::fprintf(stderr, "%s: warning: %s [-check-%s]\n", finding.location.c_str(), finding.message.c_str(),
                   finding.kind.c_str());
    }
    if (commandLine.checkError && !findings.empty()) return kExitFailure;
  }

  // The dependency rule is formed now, from the files the load read, so a
  // name no depfile reader could take back fails the run early.
  std::vector<FurtherOutput> further;
  if (!commandLine.depFile.empty()) {
    const DependencyRule dependencies = dependencyRule(headerPath, map->filesRead());
    if (dependencies.problem != DepfileProblem::None) {
      const std::string why = dependencies.problem == DepfileProblem::LineBreak
                                  ? "a file name holds a line break"
                                  : "the file name " + dependencies.path + " ends in a backslash";
      std::fprintf(stderr, "regwright can't write %s: %s\n", commandLine.depFile.c_str(), why.c_str());
      return kExitFailure;
    }
    further.push_back({commandLine.depFile, dependencies.text});
  }
  if (!commandLine.svdFile.empty()) further.push_back({commandLine.svdFile, writeSvd(map->rootElement(), targetName)});
  if (!commandLine.mapFile.empty()) further.push_back({commandLine.mapFile, writeExpandedMap(map->rootElement())});
  if (!commandLine.htmlFile.empty()) {
    further.push_back({commandLine.htmlFile, writeHtml(map->rootElement(), commandLine.header, targetName)});
  }

  std::vector<std::string> inputs = map->filesRead();
  inputs.insert(inputs.end(), commandLine.indirectFiles.begin(), commandLine.indirectFiles.end());
  std::vector<std::string> outputs{headerPath};
  for (const FurtherOutput& output : further) outputs.push_back(output.path);
  if (!checkOverwrites(outputs, inputs, diagnostics)) return kExitFailure;

  if (header == nullptr) {
    header = std::make_unique<OutputFile>(headerPath);
    if (!header->open()) {
      std::fprintf(stderr, "regwright can't create %s\n", headerPath.c_str());
      return kExitFailure;
    }
  }
  std::vector<std::unique_ptr<OutputFile>> files;
  for (const FurtherOutput& output : further) {
    files.push_back(std::make_unique<OutputFile>(output.path));
    if (!files.back()->open()) return cantWrite(output.path);
  }

  // The header is formed in one buffer, without a flush per line; a large
  // header goes out in parts of a few hundred kilobytes as it is formed.
  UnwritableText problem;
  if (whileReading != nullptr) {
    std::fputs(whileReading->warnings().c_str(), stderr);
    problem = whileReading->problem();
  } else {
    problem = generateDefinitions(text, map->rootElement(), commandLine.header, drain, map->elementCounts());
  }
  if (problem.element != nullptr) {
    diagnostics.error(map->location(*problem.element) + ": the " + problem.what + " \"" + visible(problem.text) +
                      "\" of " + std::string(problem.element->tagName()) + " " + unwritableProblem(problem.text) +
                      ", which a header line cannot hold");
    return kExitFailure;
  }
  text += kHeaderEnd;
  header->write(text);
  if (!header->finish()) {
    std::fprintf(stderr, "regwright can't write %s\n", headerPath.c_str());
    return kExitFailure;
  }
  for (size_t i = 0; i < further.size(); ++i) {
    if (!files[i]->write(further[i].text) || !files[i]->finish()) return cantWrite(further[i].path);
  }

  // The other outputs go in place before the header: a header must never
  // look up to date to make while its dependency rule is missing.
  for (size_t i = 0; i < further.size(); ++i) {
    if (!files[i]->place()) return cantWrite(further[i].path);
  }
  if (!header->place()) {
    std::fprintf(stderr, "regwright can't write %s\n", headerPath.c_str());
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace

int runRegwright(int argc, char** argv) {
  removeTemporaryFilesOnSignals();
  try {
    return run(argc, argv);
  } catch (const std::bad_alloc&) {
    // The outputs' temporary files went with the unwinding; every old
    // output is as it was.
    std::fputs("regwright: error: out of memory\n", stderr);
    return kExitFailure;
  }
}

}  // namespace rw
