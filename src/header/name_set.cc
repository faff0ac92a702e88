#include "header/name_set.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>

namespace rw {
namespace {

constexpr size_t kInitialSlots = 1024;
// Large enough that chunk bookkeeping vanishes, small enough that a run with
// a handful of names does not notice it.
constexpr size_t kChunkBytes = 256 * 1024;
// A table of a million names is probed at random: huge pages spare most of
// the address translations.
constexpr size_t kHugePage = size_t{2} << 20;

constexpr uint64_t kAddressMask = (uint64_t{1} << 48) - 1;

uint64_t hashName(std::string_view name) { return std::hash<std::string_view>{}(name); }

// The name of the record at `p`; `p` moves past it.
std::string_view readRecord(const char*& p) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(p);
  size_t length = 0;
  for (unsigned shift = 0;; shift += 7) {
    const unsigned char byte = *bytes++;
    length |= static_cast<size_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) break;
  }
  const std::string_view name(reinterpret_cast<const char*>(bytes), length);
  p = name.data() + length;
  return name;
}

// The hash bits a slot keeps: never 0, so that a used slot is never 0.
uint64_t tagOf(uint64_t hash) { return (hash | (uint64_t{1} << 63)) & ~kAddressMask; }

const char* recordOf(uint64_t slot) { return reinterpret_cast<const char*>(slot & kAddressMask); }

// Slots for at least `names` names at most half full: probe chains stay short.
size_t slotsFor(size_t names) {
  size_t slots = kInitialSlots;
  while (slots < 2 * names) slots *= 2;
  return slots;
}

}  // namespace

NameSet::NameSet(size_t expected) { allocateSlots(slotsFor(expected)); }

NameSet::~NameSet() { std::free(slots_); }

void NameSet::allocateSlots(size_t count) {
  const size_t bytes = count * sizeof(uint64_t);
  void* memory = nullptr;
  if (bytes >= kHugePage) {
    memory = std::aligned_alloc(kHugePage, (bytes + kHugePage - 1) / kHugePage * kHugePage);
    // Only a hint: without huge pages the table works the same.
    if (memory != nullptr) ::madvise(memory, bytes, MADV_HUGEPAGE);
  } else {
    memory = std::malloc(bytes);
  }
  if (memory == nullptr) throw std::bad_alloc();
  std::memset(memory, 0, bytes);
  slots_ = static_cast<uint64_t*>(memory);
  slotCount_ = count;
}

NameSet::Lookup NameSet::lookup(std::string_view name) const {
  const uint64_t hash = hashName(name);
  __builtin_prefetch(&slots_[home(hash)]);
  return {name, hash};
}

bool NameSet::matches(uint64_t slot, const Lookup& lookup) const {
  if ((slot & ~kAddressMask) != tagOf(lookup.hash)) return false;
  const char* record = recordOf(slot);
  return readRecord(record) == lookup.name;
}

bool NameSet::insert(const Lookup& lookup) {
  // The table is a power of two in size and never more than half full, so
  // probing ends.
  if (2 * (count_ + 1) > slotCount_) grow();
  size_t index = home(lookup.hash);
  while (slots_[index] != 0) {
    if (matches(slots_[index], lookup)) return false;
    index = (index + 1) & (slotCount_ - 1);
  }
  const auto record = reinterpret_cast<uint64_t>(store(lookup.name));
  slots_[index] = tagOf(lookup.hash) | record;
  ++count_;
  return true;
}

const char* NameSet::store(std::string_view name) {
  unsigned char length[10];
  size_t lengthBytes = 0;
  for (size_t value = name.size();; value >>= 7) {
    length[lengthBytes++] = static_cast<unsigned char>((value & 0x7F) | (value >= 0x80 ? 0x80 : 0));
    if (value < 0x80) break;
  }
  const size_t bytes = lengthBytes + name.size();
  if (bytes > freeBytes_) {
    // A name longer than a chunk gets a chunk of its own.
    const size_t chunkBytes = std::max(bytes, kChunkBytes);
    chunks_.push_back({std::make_unique_for_overwrite<char[]>(chunkBytes), 0});
    free_ = chunks_.back().bytes.get();
    freeBytes_ = chunkBytes;
  }
  chunks_.back().used += bytes;
  char* record = free_;
  std::memcpy(record, length, lengthBytes);
  if (!name.empty()) std::memcpy(record + lengthBytes, name.data(), name.size());
  free_ += bytes;
  freeBytes_ -= bytes;
  return record;
}

void NameSet::grow() {
  uint64_t* const old = slots_;
  allocateSlots(slotCount_ * 2);
  std::free(old);
  // The slots keep too little of the hash to place a name anew: the arena is
  // read in order instead, and each name hashed again. Names are distinct,
  // so only a free slot is sought.
  for (const Chunk& chunk : chunks_) {
    const char* p = chunk.bytes.get();
    const char* const end = p + chunk.used;
    while (p < end) {
      const char* record = p;
      const uint64_t hash = hashName(readRecord(p));
      size_t index = home(hash);
      while (slots_[index] != 0) index = (index + 1) & (slotCount_ - 1);
      slots_[index] = tagOf(hash) | reinterpret_cast<uint64_t>(record);
    }
  }
}

}  // namespace rw
