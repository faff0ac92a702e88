// Checks of a loaded map for the mistakes map authors make: overlapping
// registers, fields beyond their register, names the header would define
// twice, and the like.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "header/header_model.h"
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
}  // namespace checks

// The checks in steps, for a caller that walks the header itself (as when
// the header is written while the map is read): checkMap is this visitor on
// a walk of the header model, then findings().
class MapChecks : public HeaderVisitor {
public:
  MapChecks(const MemoryMap& map, const HeaderOptions& options);
  ~MapChecks() override;
  MapChecks(const MapChecks&) = delete;
  MapChecks& operator=(const MapChecks&) = delete;

  void group(const HeaderGroup& group) override;
  void reg(const HeaderRegister& reg) override;
  void vector(const HeaderVector& vector) override;
  // Once every record was visited and the map is loaded.
  std::vector<Finding> findings();

private:
  const DefinitionNames names_;
  std::unique_ptr<checks::Findings> findings_;
  std::vector<std::unique_ptr<checks::Check>> all_;
};

}  // namespace rw
