#include "checks/map_checks.h"

#include <memory>

#include "checks/check_context.h"
#include "checks/header_definitions.h"

namespace rw {

MapChecks::MapChecks(const MemoryMap& map, const HeaderOptions& options)
    : options_(options),
      findings_(std::make_unique<checks::Findings>(map)),
      definitions_(std::make_unique<checks::HeaderDefinitions>(options)),
      register_(std::make_unique<checks::CheckedRegister>()) {
  all_.push_back(checks::layoutCheck(options, *findings_));
  all_.push_back(checks::bitFieldCheck(options, *findings_));
  all_.push_back(checks::vectorCheck(options, *findings_));
  all_.push_back(checks::identifierCheck(*definitions_, options, *findings_));
  all_.push_back(checks::nameClashCheck(map, *definitions_, options, *findings_));
}

MapChecks::~MapChecks() = default;

void MapChecks::visit(const MemoryMapElement& element, const MemoryMapElement* segment) {
  switch (element.kind()) {
    case ElementKind::RegisterGroup:
      for (auto& check : all_) check->group(element);
      break;
    case ElementKind::Register:
      checks::readRegister(*register_, element, segment, options_);
      for (auto& check : all_) check->reg(*register_);
      break;
    default:
      for (auto& check : all_) check->vector(element);
      break;
  }
}

std::vector<Finding> MapChecks::findings() {
  for (auto& check : all_) check->finish();
  return findings_->sorted();
}

std::vector<Finding> checkMap(const MemoryMap& map, const HeaderOptions& options) {
  const MemoryMapElement* root = map.rootElement();
  if (root == nullptr) return {};
  MapChecks checks(map, options);
  checks::walkHeader(root, [&](const MemoryMapElement& element, const MemoryMapElement* segment) {
    checks.visit(element, segment);
  });
  return checks.findings();
}

}  // namespace rw
