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
  // Adds `name` and returns true, or returns false when it is already there.
  bool insert(std::string_view name);

private:
  struct Slot {
    uint64_t hash = 0;
    // The name's record in the arena; null marks a free slot.
    const char* record = nullptr;
  };

  // The slot holding `name`, or the free slot where it belongs.
  size_t find(std::string_view name, uint64_t hash) const;
  bool matches(const Slot& slot, std::string_view name, uint64_t hash) const;
  void grow();
  // Copies `name` into the arena and returns its record.
  const char* store(std::string_view name);

  // Each name as its length (size_t, native byte order) followed by its
  // bytes, in chunks that never move, so growing costs no copying.
  std::vector<std::unique_ptr<char[]>> chunks_;
  char* free_ = nullptr;
  size_t freeBytes_ = 0;
  std::vector<Slot> slots_;
  size_t count_ = 0;
};

}  // namespace rw
