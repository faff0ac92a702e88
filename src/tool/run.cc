#include "tool/run.h"

#include <cerrno>
#include <cstring>
#include <deque>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "header/preamble.h"
#include "macros/macro_expansion.h"
#include "macros/paths.h"
#include "memorymap/memory_map.h"
#include "settings/settings_store.h"
#include "svd/svd_reader.h"
#include "tool/command_line.h"
#include "tool/diagnostics.h"
#include "tool/header_job.h"
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

// The command line, read and judged: every problem is reported before the
// run stops.
bool readCommandLine(int argc, char** argv, CommandLine& commandLine, Diagnostics& diagnostics) {
  OptionParser(commandLine, diagnostics).parse(std::vector<std::string>(argv + 1, argv + argc));
  // An output option given an empty name would write nowhere and say nothing.
  for (const auto& [option, path] : commandLine.outputs) {
    if (path.empty()) diagnostics.error("empty file name for option " + option);
  }
  if (diagnostics.errorCount != 0) return false;
  if (commandLine.positionals.size() < 2) {
    diagnostics.error("input and output files required.");
    return false;
  }
  // A command-line text that goes into the header must fit in its line.
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

// The main input into `map`: an SVD device file by its name, else a memory
// map.
bool loadInput(MemoryMap& map, const std::string& name, const MacroTable& definitions, const MacroTable& macros,
               Diagnostics& diagnostics) {
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
  diagnostics.loadError(message, line);
  return false;
}

// An output besides the header: its file and its whole content.
struct FurtherOutput {
  FurtherOutput(const std::string& path, std::string content) : file(path), text(std::move(content)) {}
  OutputFile file;
  std::string text;
};
// Files stay where they were made: a deque never moves its elements.
using FurtherOutputs = std::deque<FurtherOutput>;

// The further outputs the command line asks for, made from the loaded map
// in the option table's order, with their files open; none of them may
// overwrite an input or another output.
bool makeOutputs(const OutputSource& source, const MemoryMap& map, OutputFile& header,
                 FurtherOutputs& outputs, Diagnostics& diagnostics) {
  std::vector<std::string> paths{source.headerPath};
  for (const Option& option : optionTable()) {
    const std::string* path = source.commandLine.output(option.name);
    if (option.write == nullptr || path == nullptr) continue;
    OutputText made = option.write(source, *path);
    if (!made.failure.empty()) {
      diagnostics.cantWrite(*path, made.failure);
      return false;
    }
    for (const std::string& warning : made.warnings) diagnostics.warning(warning);
    outputs.emplace_back(*path, std::move(made.text));
    paths.push_back(*path);
  }
  std::vector<std::string> inputs = map.filesRead();
  inputs.insert(inputs.end(), source.commandLine.indirectFiles.begin(), source.commandLine.indirectFiles.end());
  if (!checkOverwrites(paths, inputs, diagnostics)) return false;
  if (!header.isOpen() && !header.open()) {
    diagnostics.cantCreate(source.headerPath);
    return false;
  }
  for (FurtherOutput& output : outputs) {
    if (!output.file.open()) {
      diagnostics.cantWrite(output.file.path(), std::strerror(errno));
      return false;
    }
  }
  return true;
}

// Every output written and closed, then put in place: the others before the
// header, which must never look up to date to make while its dependency
// rule is missing.
bool placeOutputs(OutputFile& header, FurtherOutputs& outputs, Diagnostics& diagnostics) {
  if (!header.finish()) {
    diagnostics.cantWrite(header.path());
    return false;
  }
  for (FurtherOutput& output : outputs) {
    if (!output.file.write(output.text) || !output.file.finish()) {
      diagnostics.cantWrite(output.file.path(), std::strerror(errno));
      return false;
    }
  }
  for (FurtherOutput& output : outputs) {
    if (!output.file.place()) {
      diagnostics.cantWrite(output.file.path(), std::strerror(errno));
      return false;
    }
  }
  if (!header.place()) {
    diagnostics.cantWrite(header.path());
    return false;
  }
  return true;
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
  if (!readCommandLine(argc, argv, commandLine, diagnostics)) return kExitFailure;
  const std::vector<std::string>& positionals = commandLine.positionals;
  macros.set("StudioDir", directories.install);
  // Every run reads the environment's settings as the development
  // environment would, though nothing here depends on them.
  const std::string userRoot = userRootDirectory();
  const SettingsStore settings(userRoot, userVersionDirectory(userRoot),
                               expandMacros("$(StudioDir)/bin/styles.xml", macros));
  // The fourth positional argument holds the macro definitions, but only
  // when it is the last one: with five or more, it is ignored too.
  const MacroTable definitions = positionals.size() == 4 ? macroDefinitions(positionals[3]) : MacroTable();
  const std::string& headerPath = positionals[1];
  const std::string targetName = positionals.size() > 2 ? positionals[2] : std::string();
  const std::string preamble = headerPreamble(positionals.size() > 2 ? &targetName : nullptr,
                                              includeGuardName(headerPath), commandLine.header.stdint);

  // A failed load ends the run before any output is touched.
  const std::unique_ptr<MemoryMap, LeftToProcessExit> map(new MemoryMap(macros));
  OutputFile header(headerPath);
  HeaderJob job(commandLine, preamble, header);
  job.follow(*map, expandMacros(positionals[0], macros));
  if (!loadInput(*map, positionals[0], definitions, macros, diagnostics)) return kExitFailure;
  job.loaded(*map);
  if (commandLine.check) {
    const std::vector<Finding> findings = job.findings();
    for (const Finding& finding : findings) diagnostics.finding(finding.location, finding.message, finding.kind);
    if (commandLine.checkError && !findings.empty()) return kExitFailure;
  }
  FurtherOutputs outputs;
  const OutputSource source{*map, commandLine, headerPath, targetName};
  if (!makeOutputs(source, *map, header, outputs, diagnostics)) return kExitFailure;
  const UnwritableText problem = job.write(diagnostics);
  if (problem.element != nullptr) {
    diagnostics.error(map->location(*problem.element) + ": the " + problem.what + " \"" + visible(problem.text) +
                      "\" of " + std::string(problem.element->tagName()) + " " + unwritableProblem(problem.text) +
                      ", which a header line cannot hold");
    return kExitFailure;
  }
  return placeOutputs(header, outputs, diagnostics) ? kExitSuccess : kExitFailure;
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
