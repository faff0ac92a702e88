// A set of names that only grows: the generator asks once per definition
// whether a name is new, so a map with a million bit fields makes a million
// insertions. Open addressing over one table of slots keeps that to a cache
// line or two per name and no allocation per name.
//
// The set keeps no copy of a name: each name is inserted with a record (the
// element it names) from which the caller can form it again. A copy of every
// name would take as much memory as the table itself, and the names are
// needed again only to tell apart two whose hashes agree in the bits a slot
// keeps, and to place them anew when the table grows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace rw {

class NameSet {
public:
  // The name a record was inserted with, formed into `scratch` or found
  // elsewhere; called with records of this set only.
  using NameOf = std::function<std::string_view(const void* record, std::string& scratch)>;

  // Room for `expected` names before the table has to grow: a caller that
  // knows how many names may come spares the rehashing of every growth step.
  explicit NameSet(NameOf nameOf, size_t expected = 0);
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

  // Adds the name with `record` (not null; nameOf gives the name back from
  // it) and returns true, or returns false when the name is already there.
  // A lookup is valid for one insertion, made right after it or after other
  // insertions.
  bool insert(const Lookup& lookup, const void* record);

  size_t size() const { return count_; }

private:
  // A slot is a record's address in its low 48 bits (user-space addresses
  // fit) and 16 bits of the name's hash above them, so a probe forms a name
  // only when those bits agree; 0 marks a free slot.
  static constexpr unsigned kAddressBits = 48;

  size_t home(uint64_t hash) const { return hash & (slotCount_ - 1); }
  bool matches(uint64_t slot, const Lookup& lookup);
  void allocateSlots(size_t count);
  void grow();

  NameOf nameOf_;
  std::string scratch_;
  uint64_t* slots_ = nullptr;
  size_t slotCount_ = 0;
  size_t count_ = 0;
};

}  // namespace rw
