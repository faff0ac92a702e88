#include "header/definitions_while_reading.h"

namespace rw {

namespace {

// Elements handed over at once: the lock is taken once per batch, and the
// writer is never more than a batch behind the reader.
constexpr size_t kBatch = 4096;

}  // namespace

// The name sets start small and grow: how many names will come is known only
// once the map is read.
DefinitionsWhileReading::DefinitionsWhileReading(std::string& out, const HeaderOptions& options,
                                                 const DefinitionDrain& drain)
    : writer_(out, options, drain, ElementCounts(), &warnings_), thread_([this] { write(); }) {
  pending_.reserve(kBatch);
}

DefinitionsWhileReading::~DefinitionsWhileReading() {
  abandoned_ = true;
  stop();
}

void DefinitionsWhileReading::opened(const MemoryMapElement& element) {
  // The walk starts at the root and goes into containers only.
  const bool reached = open_.empty() || open_.back().childrenReached;
  const bool container = DefinitionWriter::isContainer(element.kind());
  open_.push_back({reached, reached && container});
  if (reached && container) pending_.push_back(&element);
  if (pending_.size() >= kBatch) handOver();
}

void DefinitionsWhileReading::closed(const MemoryMapElement& element) {
  const Open state = open_.back();
  open_.pop_back();
  if (state.reached && !state.childrenReached) pending_.push_back(&element);
  if (pending_.size() >= kBatch) handOver();
}

void DefinitionsWhileReading::ended(bool asRead) {
  if (asRead) {
    handOver();
  } else {
    abandoned_ = true;
  }
  stop();
  followedToTheEnd_ = asRead;
}

void DefinitionsWhileReading::handOver() {
  {
    std::lock_guard lock(mutex_);
    handedOver_.insert(handedOver_.end(), pending_.begin(), pending_.end());
  }
  pending_.clear();
  wake_.notify_one();
}

void DefinitionsWhileReading::stop() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void DefinitionsWhileReading::write() {
  std::vector<const MemoryMapElement*> batch;
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return !handedOver_.empty() || closing_; });
      if (handedOver_.empty()) return;
      batch.swap(handedOver_);
    }
    for (const MemoryMapElement* element : batch) {
      // Elements of a read that will not stay as read may go at any moment.
      if (abandoned_.load(std::memory_order_relaxed)) return;
      writer_.reach(*element);
    }
    batch.clear();
  }
}

}  // namespace rw
