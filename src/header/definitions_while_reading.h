// A header's definitions written on a second thread while the map is still
// being read. In a large map reading and writing the definitions each take
// about half of the run, and a second core is idle while the map is read.
//
// The reader hands over what the header's order (HeaderOrder) reaches, as
// it reaches it, each element complete as far as the header looks at it.
// The writer thread takes them in batches. The children of a walked tree's
// root come whole instead (placeThere): the writer thread places them too,
// the walk being the busier of the two threads. What it writes is what
// generateDefinitions gives the loaded tree whenever that tree is the main
// file as read or walked (MemoryMap::keptAsRead); otherwise the caller throws
// it away.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "header/flat_header.h"
#include "header/header_model.h"
#include "memorymap/placement.h"
#include "xml/read_replay.h"

namespace rw {

class DefinitionsWhileReading : public ReadingFollower {
public:
  // Definitions are appended to `out` and handed to `drain` in parts, on the
  // writer thread, until ended() returns; `also` (may be null) is told of the
  // same records there. `mapBytes`, the size of the map's file (0 when
  // unknown), sizes the name sets.
  DefinitionsWhileReading(std::string& out, const HeaderOptions& options, const DefinitionDrain& drain,
                          size_t mapBytes, HeaderVisitor* also);
  // Starts the writer thread; false when the system gives no thread, and the
  // caller then generates after the load.
  bool start();
  // Stops the writer thread if the reading did not end.
  ~DefinitionsWhileReading() override;
  DefinitionsWhileReading(const DefinitionsWhileReading&) = delete;
  DefinitionsWhileReading& operator=(const DefinitionsWhileReading&) = delete;

  void opened(const MemoryMapElement& element) override;
  void closed(const MemoryMapElement& element) override;
  void ended(bool asRead) override;
  bool placeThere(const XMLNode& child, ElementPlacer& placer) override;

  // Whether the reading ended with every element followed: only then are the
  // definitions complete.
  bool followedToTheEnd() const { return followedToTheEnd_; }
  // As generateDefinitions returns it.
  const UnwritableText& problem() const;
  // The warnings the definitions gave, held for standard error.
  const std::string& warnings() const { return warnings_; }
  // Whether the writer thread ran out of memory: the definitions are then
  // incomplete, and the run fails as it would on one thread.
  bool ranOutOfMemory() const { return outOfMemory_; }

private:
  using Reached = HeaderOrder::Reached;
  static constexpr size_t kCacheLine = 64;

  class FollowedThere;

  void handOver();
  void stop();
  void write();
  void writeAll();

  std::string& out_;
  const HeaderOptions& options_;
  const DefinitionDrain& drain_;
  const ElementCounts expected_;
  HeaderVisitor* const also_;
  std::string warnings_;
  // The reader's, the writer's and the shared members each start a cache
  // line of their own: each thread writes its own at every element, and a
  // line that two threads write in turn costs both of them (about a tenth
  // of a large map's run, depending on where the object happened to lie).
  // Made and used by the writer thread only.
  alignas(kCacheLine) std::optional<HeaderModel> model_;
  std::optional<FlatHeaderWriter> writer_;
  // The placer of the children taken with placeThere, once one was (read
  // after the thread was joined too).
  ElementPlacer* placing_ = nullptr;
  ReadReplay replay_;
  bool closedInOrder_ = false;

  // Reader side: the header's order, and what it reached that is not yet
  // handed over.
  alignas(kCacheLine) HeaderOrder order_;
  std::vector<Reached> pending_;
  bool followedToTheEnd_ = false;
  // Set by the writer thread, read after it was joined.
  bool outOfMemory_ = false;

  // Shared with the writer thread.
  alignas(kCacheLine) std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<Reached> handedOver_;
  // Children taken with placeThere, to place after the batch handed over
  // with them, and their placer.
  std::vector<const XMLNode*> childrenToPlace_;
  ElementPlacer* placerThere_ = nullptr;
  bool closing_ = false;
  std::atomic<bool> abandoned_ = false;
  std::thread thread_;
};

}  // namespace rw
