// The header's definitions and the map checks of one run. A plain map's are
// made on a second thread while it is read, into a temporary file that only
// a successful run puts in place. Otherwise they are made once the map is
// loaded: for an SVD input, for a header written in place (what is written
// there is seen at once, even by a run that fails), when no thread or
// temporary file can be had, and when the map turns out to need the
// preprocessor, the evaluator or an import. The run sees one sequence
// either way.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "checks/map_checks.h"
#include "header/definitions_while_reading.h"
#include "memorymap/memory_map.h"
#include "tool/command_line.h"
#include "tool/diagnostics.h"
#include "tool/output_file.h"

namespace rw {

class HeaderJob {
public:
  // `header` takes the header's text, `preamble` first, in parts as it is
  // made.
  HeaderJob(const CommandLine& commandLine, const std::string& preamble, OutputFile& header);
  ~HeaderJob();
  HeaderJob(const HeaderJob&) = delete;
  HeaderJob& operator=(const HeaderJob&) = delete;

  // Before the load of `map` from `inputPath` (as expanded): follows the
  // reading where it can.
  void follow(MemoryMap& map, const std::string& inputPath);
  // After a successful load. Throws std::bad_alloc when the second thread
  // ran out of memory, as one thread would have.
  void loaded(MemoryMap& map);
  // The map checks' findings (-check).
  std::vector<Finding> findings();
  // The rest of the header, its end included, into `header`, which is open
  // by now; the definitions' warnings through `diagnostics`. Returns the
  // first text a header line cannot hold; the header is then incomplete.
  UnwritableText write(Diagnostics& diagnostics);

private:
  ReadingFollower* startFollower(size_t mapBytes);
  // A follower for the tree the walk of the map leaves, or null; its name
  // sets sized as for a flat map of `expectedBytes`.
  ReadingFollower* followWalk(const MemoryMap& map, size_t expectedBytes);

  const CommandLine& commandLine_;
  const std::string& preamble_;
  OutputFile& header_;
  const MemoryMap* map_ = nullptr;
  std::string text_;
  const DefinitionDrain drain_;
  std::unique_ptr<MapChecks> checks_;
  std::unique_ptr<DefinitionsWhileReading> whileReading_;
};

}  // namespace rw
