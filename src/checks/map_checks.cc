#include "checks/map_checks.h"

#include <memory>

#include "checks/check_context.h"

namespace rw {

MapChecks::MapChecks(const MemoryMap& map, const HeaderOptions& options)
    : names_(options), findings_(std::make_unique<checks::Findings>(map)) {
  all_.push_back(checks::layoutCheck(names_, *findings_));
  all_.push_back(checks::bitFieldCheck(names_, *findings_));
  all_.push_back(checks::vectorCheck(names_, *findings_));
  all_.push_back(checks::identifierCheck(names_, *findings_));
  all_.push_back(checks::valueCheck(names_, *findings_));
  all_.push_back(checks::nameClashCheck(map, names_, *findings_));
}

MapChecks::~MapChecks() = default;

void MapChecks::group(const HeaderGroup& group) {
  for (auto& check : all_) check->group(group);
}

void MapChecks::reg(const HeaderRegister& reg) {
  for (auto& check : all_) check->reg(reg);
}

void MapChecks::vector(const HeaderVector& vector) {
  for (auto& check : all_) check->vector(vector);
}

std::vector<Finding> MapChecks::findings() {
  for (auto& check : all_) check->finish();
  return findings_->sorted();
}

std::vector<Finding> checkMap(const MemoryMap& map, const HeaderOptions& options) {
  MapChecks checks(map, options);
  HeaderModel(options).walk(map.rootElement(), checks);
  return checks.findings();
}

}  // namespace rw
