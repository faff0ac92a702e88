#include "header/name_set.h"

#include "xml/large_memory.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace rw {
namespace {

constexpr size_t kInitialSlots = 1024;
constexpr uint64_t kAddressMask = (uint64_t{1} << 48) - 1;

uint64_t hashName(std::string_view name) { return std::hash<std::string_view>{}(name); }

// The hash bits a slot keeps: never 0, so that a used slot is never 0.
uint64_t tagOf(uint64_t hash) { return (hash | (uint64_t{1} << 63)) & ~kAddressMask; }

const void* recordOf(uint64_t slot) { return reinterpret_cast<const void*>(slot & kAddressMask); }

// A slot compares 16 bits of the hash before any name is formed, and the
// free slot that ends a probe usually lies in the same cache line as its
// start up to about four fifths full: fuller, the runs of used slots grow
// quickly; emptier, the table is mostly memory that is never used.
bool fits(size_t names, size_t slots) { return names <= slots / 5 * 4; }

size_t slotsFor(size_t names) {
  size_t slots = kInitialSlots;
  while (!fits(names, slots)) slots *= 2;
  return slots;
}

}  // namespace

NameSet::NameSet(NameOf nameOf, size_t expected) : nameOf_(std::move(nameOf)) { allocateSlots(slotsFor(expected)); }

NameSet::~NameSet() { std::free(slots_); }

void NameSet::allocateSlots(size_t count) {
  const size_t bytes = count * sizeof(uint64_t);
  void* memory = allocateLarge(bytes);
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

bool NameSet::matches(uint64_t slot, const Lookup& lookup) {
  if ((slot & ~kAddressMask) != tagOf(lookup.hash)) return false;
  return nameOf_(recordOf(slot), scratch_) == lookup.name;
}

bool NameSet::insert(const Lookup& lookup, const void* record) {
  if (!fits(count_ + 1, slotCount_)) grow();
  // The table is a power of two in size and never full, so probing ends.
  size_t index = home(lookup.hash);
  while (slots_[index] != 0) {
    if (matches(slots_[index], lookup)) return false;
    index = (index + 1) & (slotCount_ - 1);
  }
  slots_[index] = tagOf(lookup.hash) | reinterpret_cast<uint64_t>(record);
  ++count_;
  return true;
}

void NameSet::grow() {
  uint64_t* const old = slots_;
  const size_t oldCount = slotCount_;
  allocateSlots(slotCount_ * 2);
  // The slots keep too little of the hash to place a name anew: each name is
  // formed and hashed again. Names are distinct, so only a free slot is
  // sought.
  for (size_t i = 0; i < oldCount; ++i) {
    if (old[i] == 0) continue;
    const uint64_t hash = hashName(nameOf_(recordOf(old[i]), scratch_));
    size_t index = home(hash);
    while (slots_[index] != 0) index = (index + 1) & (slotCount_ - 1);
    slots_[index] = tagOf(hash) | (old[i] & kAddressMask);
  }
  std::free(old);
}

}  // namespace rw
