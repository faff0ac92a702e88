// Checks of a loaded map for the mistakes map authors make: overlapping
// registers, fields beyond their register, names the header would define
// twice, and the like.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "header/definitions_while_reading.h"
#include "header/header_options.h"
#include "memorymap/memory_map.h"

namespace rw {

struct Finding {
  std::string location;  // "FILE:LINE"
  std::string message;
  std::string kind;      // "overlap", "field-range", ...
};

// Every finding about what the header defines under `options`, in a stable
// order: by file (in the order the map read them), then line. The map is
// only read.
std::vector<Finding> checkMap(const MemoryMap& map, const HeaderOptions& options);

namespace checks {
class Check;
class Findings;
class HeaderDefinitions;
struct CheckedRegister;
}  // namespace checks

// The checks in steps, for a walk that meets the elements itself (as the
// header is written while the map is read): checkMap is visit() for each
// element walkHeader gives, then findings().
class MapChecks : public HeaderElementVisitor {
public:
  MapChecks(const MemoryMap& map, const HeaderOptions& options);
  ~MapChecks() override;
  MapChecks(const MapChecks&) = delete;
  MapChecks& operator=(const MapChecks&) = delete;

  void visit(const MemoryMapElement& element, const MemoryMapElement* segment) override;
  // Once every element was visited and the map is loaded.
  std::vector<Finding> findings();

private:
  const HeaderOptions& options_;
  std::unique_ptr<checks::Findings> findings_;
  std::unique_ptr<checks::HeaderDefinitions> definitions_;
  std::vector<std::unique_ptr<checks::Check>> all_;
  std::unique_ptr<checks::CheckedRegister> register_;
};

}  // namespace rw
