#include "header/name_set.h"

#include <cstring>
#include <functional>

namespace rw {
namespace {

constexpr size_t kInitialSlots = 1024;
// Large enough that chunk bookkeeping vanishes, small enough that a run with
// a handful of names does not notice it.
constexpr size_t kChunkBytes = 256 * 1024;

uint64_t hashName(std::string_view name) { return std::hash<std::string_view>{}(name); }

}  // namespace

bool NameSet::matches(const Slot& slot, std::string_view name, uint64_t hash) const {
  if (slot.hash != hash) {
    return false;
  }
  size_t length;
  std::memcpy(&length, slot.record, sizeof length);
  return std::string_view(slot.record + sizeof length, length) == name;
}

size_t NameSet::find(std::string_view name, uint64_t hash) const {
  // The table is a power of two in size and never full, so probing ends.
  const size_t mask = slots_.size() - 1;
  size_t index = hash & mask;
  while (slots_[index].record != nullptr && !matches(slots_[index], name, hash)) {
    index = (index + 1) & mask;
  }
  return index;
}

bool NameSet::insert(std::string_view name) {
  // Keep at most three quarters of the slots in use: probe chains stay short.
  if ((count_ + 1) * 4 > slots_.size() * 3) {
    grow();
  }
  const uint64_t hash = hashName(name);
  const size_t index = find(name, hash);
  if (slots_[index].record != nullptr) {
    return false;
  }
  slots_[index].hash = hash;
  slots_[index].record = store(name);
  ++count_;
  return true;
}

const char* NameSet::store(std::string_view name) {
  const size_t length = name.size();
  const size_t bytes = sizeof length + length;
  if (bytes > freeBytes_) {
    // A name longer than a chunk gets a chunk of its own.
    const size_t chunkBytes = bytes > kChunkBytes ? bytes : kChunkBytes;
    chunks_.push_back(std::make_unique_for_overwrite<char[]>(chunkBytes));
    free_ = chunks_.back().get();
    freeBytes_ = chunkBytes;
  }
  char* record = free_;
  std::memcpy(record, &length, sizeof length);
  if (length != 0) {
    std::memcpy(record + sizeof length, name.data(), length);
  }
  free_ += bytes;
  freeBytes_ -= bytes;
  return record;
}

void NameSet::grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? kInitialSlots : old.size() * 2, Slot{});
  const size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.record == nullptr) {
      continue;
    }
    // Names in the old table are distinct, so only a free slot is sought.
    size_t index = slot.hash & mask;
    while (slots_[index].record != nullptr) {
      index = (index + 1) & mask;
    }
    slots_[index] = slot;
  }
}

}  // namespace rw
