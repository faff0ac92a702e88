#include "header/definitions_while_reading.h"

#include <new>
#include <system_error>

namespace rw {

namespace {

// Elements handed over at once: the lock is taken once per batch, not once
// per element.
constexpr size_t kBatch = 4096;

// How many names will come is known only once the map is read, and growing
// a set forms every name in it again. Maps are written at about the same
// density, some eight bit fields per register and some 60 bytes of text per
// bit field without descriptions, well over 100 with them: sized for 64, a
// map's sets come out as large as they would for the exact counts, or one
// step larger.
ElementCounts expectedCounts(size_t mapBytes) {
  ElementCounts counts;
  counts.bitFields = mapBytes / 64;
  counts.registers = counts.bitFields / 8;
  return counts;
}

}  // namespace

DefinitionsWhileReading::DefinitionsWhileReading(std::string& out, const HeaderOptions& options,
                                                 const DefinitionDrain& drain, size_t mapBytes,
                                                 HeaderVisitor* also)
    : out_(out), options_(options), drain_(drain), expected_(expectedCounts(mapBytes)), also_(also) {
  pending_.reserve(kBatch);
}

const UnwritableText& DefinitionsWhileReading::problem() const {
  static const UnwritableText kNone;
  return model_ ? model_->problem() : kNone;
}

bool DefinitionsWhileReading::start() {
  try {
    thread_ = std::thread([this] { write(); });
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

DefinitionsWhileReading::~DefinitionsWhileReading() {
  abandoned_ = true;
  stop();
}

void DefinitionsWhileReading::opened(const MemoryMapElement& element) {
  Reached reached;
  if (order_.opened(element, reached)) pending_.push_back(reached);
  if (pending_.size() >= kBatch) handOver();
}

void DefinitionsWhileReading::closed(const MemoryMapElement& element) {
  Reached reached;
  if (order_.closed(element, reached)) pending_.push_back(reached);
  if (pending_.size() >= kBatch) handOver();
}

bool DefinitionsWhileReading::placeThere(const XMLNode& child, ElementPlacer& placer) {
  if (!thread_.joinable()) return false;
  {
    std::lock_guard lock(mutex_);
    handedOver_.insert(handedOver_.end(), pending_.begin(), pending_.end());
    childrenToPlace_.push_back(&child);
    placerThere_ = &placer;
  }
  pending_.clear();
  wake_.notify_one();
  return true;
}

void DefinitionsWhileReading::ended(bool asRead) {
  // Told from a reader's destructor too, where an exception ends the
  // process: when the last batch cannot be handed over for want of memory,
  // the definitions are dropped and made after the load, as for a map not
  // followed to its end.
  if (asRead) {
    try {
      handOver();
    } catch (const std::bad_alloc&) {
      asRead = false;
    }
  }
  if (!asRead) abandoned_ = true;
  stop();
  // The placer the writer thread took says whether it placed everything.
  followedToTheEnd_ = asRead && (placing_ == nullptr || placing_->placedAll());
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
  // An exception would end the process from this thread: running out of
  // memory is told to the caller instead, which reports it as a run does.
  try {
    writeAll();
  } catch (const std::bad_alloc&) {
    outOfMemory_ = true;
  }
  if (placing_ == nullptr) return;
  // Stopped before the end (memory ran out, or the reading was abandoned),
  // the placer may have placed half a child: the map places the tree again.
  if (!closedInOrder_) placing_->giveUp();
  placing_->follow(nullptr);
}

// Follows the placer of the children placed on the writer thread: what the
// header's order reaches is written at once.
class DefinitionsWhileReading::FollowedThere : public ReadingFollower {
public:
  FollowedThere(DefinitionsWhileReading& owner, std::span<HeaderVisitor* const> visitors)
      : owner_(owner), visitors_(visitors) {}
  void opened(const MemoryMapElement& element) override {
    Reached reached;
    if (owner_.order_.opened(element, reached)) owner_.model_->reach(reached, visitors_);
  }
  void closed(const MemoryMapElement& element) override {
    Reached reached;
    if (owner_.order_.closed(element, reached)) owner_.model_->reach(reached, visitors_);
  }
  // Only from a placer that gave up, which remembers so itself.
  void ended(bool) override {}

private:
  DefinitionsWhileReading& owner_;
  const std::span<HeaderVisitor* const> visitors_;
};

void DefinitionsWhileReading::writeAll() {
  // Made here: clearing name sets of a few megabytes is work for this thread.
  model_.emplace(options_, [this](const std::string& line) { warnings_ += line; }, expected_);
  writer_.emplace(out_, *model_, drain_);
  HeaderVisitor* const both[] = {&*writer_, also_};
  const std::span<HeaderVisitor* const> visitors(both, also_ != nullptr ? 2 : 1);
  FollowedThere followedThere(*this, visitors);
  std::vector<Reached> batch;
  std::vector<const XMLNode*> children;
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return !handedOver_.empty() || !childrenToPlace_.empty() || closing_; });
      if (handedOver_.empty() && childrenToPlace_.empty()) {
        closedInOrder_ = true;
        return;
      }
      batch.swap(handedOver_);
      children.swap(childrenToPlace_);
      if (placing_ == nullptr && placerThere_ != nullptr) {
        placing_ = placerThere_;
        placing_->follow(&followedThere);
      }
    }
    for (const Reached& reached : batch) {
      // Elements of a read that will not stay as read may go at any moment.
      if (abandoned_.load(std::memory_order_relaxed)) return;
      model_->reach(reached, visitors);
    }
    batch.clear();
    for (const XMLNode* child : children) {
      if (abandoned_.load(std::memory_order_relaxed)) return;
      // A placer that gave up places nothing more.
      if (placing_->placedAll()) replay_.replay(*child, *placing_);
    }
    children.clear();
  }
}

}  // namespace rw
