#include "formats/map_checks.h"

#include <memory>

#include "formats/check_context.h"
#include "formats/header_definitions.h"

namespace rw {

std::vector<Finding> checkMap(const MemoryMap& map, const HeaderOptions& options) {
  const MemoryMapElement* root = map.rootElement();
  if (root == nullptr) return {};
  checks::Findings findings(map);
  const checks::HeaderDefinitions definitions(options);
  std::unique_ptr<checks::Check> all[] = {
      checks::layoutCheck(options, findings),
      checks::bitFieldCheck(options, findings),
      checks::vectorCheck(options, findings),
      checks::identifierCheck(definitions, options, findings),
      checks::nameClashCheck(*root, definitions, options, findings),
  };
  checks::CheckedRegister reg;
  checks::walkHeader(root, [&](const MemoryMapElement& element, const MemoryMapElement* segment) {
    switch (element.kind()) {
      case ElementKind::RegisterGroup:
        for (auto& check : all) check->group(element);
        break;
      case ElementKind::Register:
        checks::readRegister(reg, element, segment, options);
        for (auto& check : all) check->reg(reg);
        break;
      default:
        for (auto& check : all) check->vector(element);
        break;
    }
  });
  for (auto& check : all) check->finish();
  return findings.sorted();
}

}  // namespace rw
