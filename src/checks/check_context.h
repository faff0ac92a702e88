// Internal to the map checks: the elements they look at, found by the
// header generator's own walk, and the list their findings go to.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checks/map_checks.h"
#include "header/header_options.h"
#include "memorymap/memory_map.h"

namespace rw::checks {

class HeaderDefinitions;

// Calls visit(element, segment) for every register group, register and
// vector the header writes definitions for, in the order it writes them;
// `segment` is the nearest memory segment around the element with a start
// and a size, or null. The generator enters the root, memory segments,
// processors and register groups only: a register anywhere else (in a
// program section, in an unknown element) is not in the header. The stack
// is explicit, so a map nested a million levels deep is no danger.
template <typename Visit>
void walkHeader(const MemoryMapElement* root, Visit&& visit) {
  struct Frame {
    const XMLNode* next;
    const MemoryMapElement* segment;
  };
  std::vector<Frame> stack{{root, nullptr}};
  while (!stack.empty()) {
    const XMLNode* node = stack.back().next;
    if (node == nullptr) {
      stack.pop_back();
      continue;
    }
    stack.back().next = node->nextSibling;
    const MemoryMapElement* element = asMemoryMapElement(node);
    if (element == nullptr) continue;
    const MemoryMapElement* segment = stack.back().segment;
    bool enter = false;
    switch (element->kind()) {
      case ElementKind::MemorySegment:
        if (element->hasStart() && element->size() != 0) segment = element;
        enter = true;
        break;
      case ElementKind::Root:
      case ElementKind::Processor:
        enter = true;
        break;
      case ElementKind::RegisterGroup:
        visit(*element, segment);
        enter = true;
        break;
      case ElementKind::Register:
      case ElementKind::Vector:
        visit(*element, segment);
        break;
      case ElementKind::ProgramSection:
      case ElementKind::BitField:
      case ElementKind::Enum:
      case ElementKind::Other:
        break;
    }
    if (enter && element->firstChild != nullptr) stack.push_back({element->firstChild, segment});
  }
}

// A bit field with a width (the header leaves the others out), as read
// once for all checks.
struct CheckedField {
  const MemoryMapElement* element;
  std::string_view name;
  uint32_t start;
  uint32_t size;
};

// A register the header defines, its attributes read once for all checks:
// a large map is far larger than the caches, and every check reading the
// element again would fetch it from memory again.
struct CheckedRegister {
  const MemoryMapElement* element = nullptr;
  // Its parent, whose name may go in front of the register's.
  const MemoryMapElement* group = nullptr;
  // The nearest memory segment around it with a start and a size, or null.
  const MemoryMapElement* segment = nullptr;
  std::string_view name;
  // Its name as the header defines it, without prefix and suffix.
  std::string headerName;
  std::optional<std::string_view> aka;
  std::optional<std::string_view> sizeText;
  // Its width as the header's type gives it: 1, 2 or 4 bytes, or 0 for any
  // other size (the size check reports it; the layout checks leave it out).
  uint32_t bytes = 0;
  std::vector<CheckedField> fields;
};

// Reads `reg` into `out` (reused from register to register).
void readRegister(CheckedRegister& out, const MemoryMapElement& reg, const MemoryMapElement* segment,
                  const HeaderOptions& options);

// One check. The walk hands each element of the header to every check in
// turn while it is in the cache; finish() reports what needs them all.
class Check {
public:
  virtual ~Check() = default;
  virtual void group(const MemoryMapElement& /*group*/) {}
  virtual void reg(const CheckedRegister& /*reg*/) {}
  virtual void vector(const MemoryMapElement& /*vector*/) {}
  virtual void finish() {}
};

// "0x" and upper-case hexadecimal, as the header writes numbers.
std::string hex(uint64_t value);
// "FIRST..LAST" in hexadecimal.
std::string byteRange(uint64_t first, uint64_t last);
// "bits FIRST..LAST", or "bit FIRST" for one.
std::string bits(uint64_t first, uint64_t last);

// How a message names an element: "register NAME" with the register's name
// as the header defines it, "bit field NAME of register NAME", "register
// group NAME", "memory segment NAME", "vector NAME"; other names as written.
std::string describe(const MemoryMapElement& element, const HeaderOptions& options);

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

std::unique_ptr<Check> layoutCheck(const HeaderOptions& options, Findings& findings);
std::unique_ptr<Check> bitFieldCheck(const HeaderOptions& options, Findings& findings);
std::unique_ptr<Check> vectorCheck(const HeaderOptions& options, Findings& findings);
// These two see the header's definitions through `definitions`, which
// must outlive them; the name clash check goes through the loaded map again
// when its first look is not enough.
std::unique_ptr<Check> identifierCheck(const HeaderDefinitions& definitions, const HeaderOptions& options,
                                       Findings& findings);
std::unique_ptr<Check> nameClashCheck(const MemoryMap& map, const HeaderDefinitions& definitions,
                                      const HeaderOptions& options, Findings& findings);

}  // namespace rw::checks
