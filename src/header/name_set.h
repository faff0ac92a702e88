// A set of names that only grows: the generator asks once per definition
// whether a name is new, so a map with a million bit fields makes a million
// insertions. Open addressing over one byte arena keeps that to a handful of
// cache lines per name and no allocation per name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace rw {

class NameSet {
public:
  // Room for `expected` names before the table has to grow: a caller that
  // knows how many names may come spares the copying of every growth step.
  explicit NameSet(size_t expected = 0);
  NameSet(const NameSet&) = delete;
  NameSet& operator=(const NameSet&) = delete;
  ~NameSet();

  // A name about to be inserted, hashed, with its slot already on the way
  // into the cache: callers with several names at hand look them all up
  // first and insert them afterwards, so the cache misses overlap.
  struct Lookup {
    std::string_view name;
    uint64_t hash;
  };
  Lookup lookup(std::string_view name) const;

  // Adds the name and returns true, or returns false when it is already
  // there. A lookup is valid for one insertion, made right after it or after
  // other insertions.
  bool insert(const Lookup& lookup);
  bool insert(std::string_view name) { return insert(lookup(name)); }

private:
  // A slot is a record's address in its low 48 bits (user-space addresses
  // fit) and 16 bits of the name's hash above them, so a probe compares
  // names only when those bits agree; 0 marks a free slot.
  static constexpr unsigned kAddressBits = 48;

  size_t home(uint64_t hash) const { return hash & (slotCount_ - 1); }
  bool matches(uint64_t slot, const Lookup& lookup) const;
  void allocateSlots(size_t count);
  void grow();
  // Copies `name` into the arena and returns its record.
  const char* store(std::string_view name);

  // Each name as its length (7 bits per byte, low bits first) followed by
  // its bytes, in chunks that never move, so growing costs no copying.
  struct Chunk {
    std::unique_ptr<char[]> bytes;
    size_t used = 0;
  };
  std::vector<Chunk> chunks_;
  char* free_ = nullptr;
  size_t freeBytes_ = 0;
  uint64_t* slots_ = nullptr;
  size_t slotCount_ = 0;
  size_t count_ = 0;
};

}  // namespace rw
