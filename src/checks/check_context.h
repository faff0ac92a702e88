// Internal to the map checks: what each check is told of the header, and
// the list their findings go to.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "checks/map_checks.h"
#include "header/header_model.h"
#include "memorymap/memory_map.h"

namespace rw::checks {

// One check. Each record of the header is handed to every check in turn
// while it is in the cache; finish() reports what needs them all.
class Check {
public:
  virtual ~Check() = default;
  virtual void group(const HeaderGroup& /*group*/) {}
  virtual void reg(const HeaderRegister& /*reg*/) {}
  virtual void vector(const HeaderVector& /*vector*/) {}
  virtual void finish() {}
};

// The register's width as the checks take it: the header's type, when the
// size as written says so too (the 32 bits of the loaded size would take
// 0x100000004 for 4); 0 for any other size, which the size check reports and
// the layout checks leave out.
uint32_t checkedBytes(const HeaderRegister& reg);

// "FIRST..LAST" in hexadecimal.
std::string byteRange(uint64_t first, uint64_t last);
// "bits FIRST..LAST", or "bit FIRST" for one.
std::string bits(uint64_t first, uint64_t last);

// How a message names an element: "register NAME" with the register's name
// as the header defines it, "bit field NAME of register NAME", "register
// group NAME", "memory segment NAME", "vector NAME"; other names as written.
std::string describe(const MemoryMapElement& element, const DefinitionNames& names);
// How a message names a definition: "register R", "the mask of bit field F
// of register R", ...
std::string describe(DefinitionKind kind, const MemoryMapElement& element, const DefinitionNames& names);

class Findings;

// A finding of `kind` when the start `element` was written with lies past
// 32 bits: what the header writes instead is what is left of it.
void reportWrappedStart(const MemoryMapElement& element, std::string_view kind, const DefinitionNames& names,
                        Findings& findings);

class Findings {
public:
  explicit Findings(const MemoryMap& map) : map_(map) {}

  // A finding at `element`; a copy's finding also names the loop or
  // template use that made it.
  void add(const MemoryMapElement& element, std::string_view kind, std::string message);
  // "FILE:LINE" of another party of a finding.
  std::string where(const MemoryMapElement& element) const { return map_.location(element); }
  // Every finding by file (in the order the map read them), then line, then
  // in the order found.
  std::vector<Finding> sorted();

private:
  struct Entry {
    SourcePosition position;
    Finding finding;
  };
  const MemoryMap& map_;
  std::vector<Entry> entries_;
};

std::unique_ptr<Check> layoutCheck(const DefinitionNames& names, Findings& findings);
std::unique_ptr<Check> bitFieldCheck(const DefinitionNames& names, Findings& findings);
std::unique_ptr<Check> vectorCheck(const DefinitionNames& names, Findings& findings);
std::unique_ptr<Check> identifierCheck(const DefinitionNames& names, Findings& findings);
std::unique_ptr<Check> valueCheck(const DefinitionNames& names, Findings& findings);
// Goes through the loaded map again when its first look is not enough.
std::unique_ptr<Check> nameClashCheck(const MemoryMap& map, const DefinitionNames& names, Findings& findings);

}  // namespace rw::checks
