// Where registers lie: their sizes, their alignment, their memory segment,
// and the registers they overlap.
#include <algorithm>
#include <string>

#include "checks/check_context.h"
#include "expr/integer_literal.h"

namespace rw::checks {

namespace {

// One register's bytes, [first, end).
struct Extent {
  uint64_t first;
  uint64_t end;
  const MemoryMapElement* element;
  size_t order;  // in the header
};

std::string placed(const Extent& extent) { return " at " + byteRange(extent.first, extent.end - 1); }

class LayoutCheck : public Check {
public:
  LayoutCheck(const DefinitionNames& names, Findings& findings) : names_(names), findings_(findings) {}

  void group(const HeaderGroup& group) override { reportWrappedStart(*group.element, "address", names_, findings_); }

  void reg(const HeaderRegister& reg) override {
    reportWrappedStart(*reg.element, "address", names_, findings_);
    const uint32_t bytes = checkedBytes(reg);
    if (bytes == 0) {
      const std::optional<std::string_view> sizeText = reg.element->getAttribute("size");
      findings_.add(*reg.element, "size",
                    describe(*reg.element, names_) + (sizeText && !sizeText->empty()
                                      ? " has size " + std::string(*sizeText) + ", not 1, 2 or 4 bytes"
                                      : " has no size"));
      return;
    }
    const uint32_t start = reg.address;
    const Extent extent{start, uint64_t{start} + bytes, reg.element, extents_.size()};
    if (start % bytes != 0) {
      findings_.add(*reg.element, "align",
                    describe(*reg.element, names_) + " at " + hexLiteral(start) + " is not aligned to its size of " + std::to_string(bytes) +
                        " bytes");
    }
    if (const MemoryMapElement* segment = reg.where.bounds) {
      const uint64_t first = segment->start();
      const uint64_t end = first + segment->size();
      if (extent.first < first || extent.end > end) {
        findings_.add(*reg.element, "outside",
                      describe(*reg.element, names_) + placed(extent) + " is not inside " + describe(*segment, names_) + " at " + byteRange(first, end - 1) + " (" +
                          findings_.where(*segment) + ")");
      }
    }
    extents_.push_back(extent);
  }

  // Sorted by address, each register is compared with the one that reaches
  // furthest among those before it: every register that overlaps an
  // earlier one is reported once, in O(n log n). Two registers with the
  // same start and size are views of one register (its read and write
  // meanings, say), and a register whose name repeats is the generator's
  // warning already.
  void finish() override {
    std::sort(extents_.begin(), extents_.end(), [](const Extent& a, const Extent& b) {
      return a.first != b.first ? a.first < b.first : a.order < b.order;
    });
    const Extent* reach = nullptr;
    for (const Extent& extent : extents_) {
      if (reach != nullptr && reach->end > extent.first) {
        const bool sameView = reach->first == extent.first && reach->end == extent.end;
        if (!sameView && !sameHeaderName(*reach->element, *extent.element) &&
            !declaredAlternates(*reach->element, *extent.element)) {
          findings_.add(*extent.element, "overlap",
                        describe(*extent.element, names_) + placed(extent) + " overlaps " +
                            describe(*reach->element, names_) + placed(*reach) + " (" +
                            findings_.where(*reach->element) + ")");
        }
      }
      if (reach == nullptr || extent.end > reach->end) reach = &extent;
    }
  }

private:
  // Registers an SVD file declares as alternate views of each other, as
  // its reader records them on the loaded map: one names the other
  // (alternateRegister), they lie in different register groups of one
  // peripheral (alternateGroup), in clusters one of which names the other
  // (alternateCluster), or in peripherals one of which names the other
  // (alternatePeripheral).
  static bool declaredAlternates(const MemoryMapElement& a, const MemoryMapElement& b) {
    const auto attribute = [](const MemoryMapElement& element, const char* name) {
      return textOf(element.getAttribute(name));
    };
    const auto names = [&](const MemoryMapElement& one, const MemoryMapElement& other) {
      const std::string_view alternate = attribute(one, "alternate_register");
      return !alternate.empty() && alternate == attribute(other, "member");
    };
    const MemoryMapElement* peripheralA = asMemoryMapElement(a.parent);
    const MemoryMapElement* peripheralB = asMemoryMapElement(b.parent);
    if (peripheralA != nullptr && peripheralB != nullptr && peripheralA != peripheralB) {
      const std::string_view alternateA = attribute(*peripheralA, "alternate_peripheral");
      const std::string_view alternateB = attribute(*peripheralB, "alternate_peripheral");
      return (!alternateA.empty() && alternateA == textOf(peripheralB->name())) ||
             (!alternateB.empty() && alternateB == textOf(peripheralA->name()));
    }
    if (names(a, b) || names(b, a)) return true;
    if (attribute(a, "alternate_group") != attribute(b, "alternate_group")) return true;
    // The first level of clusters where the two part: one of the clusters
    // there names the other.
    const std::vector<std::string_view> clustersA = splitList(attribute(a, "clusters"));
    const std::vector<std::string_view> clustersB = splitList(attribute(b, "clusters"));
    const std::vector<std::string_view> alternatesA = splitList(attribute(a, "cluster_alternates"));
    const std::vector<std::string_view> alternatesB = splitList(attribute(b, "cluster_alternates"));
    for (size_t level = 0; level < clustersA.size() && level < clustersB.size(); ++level) {
      if (clustersA[level] == clustersB[level]) continue;
      const std::string_view alternateA = level < alternatesA.size() ? alternatesA[level] : std::string_view();
      const std::string_view alternateB = level < alternatesB.size() ? alternatesB[level] : std::string_view();
      return (!alternateA.empty() && alternateA == clustersB[level]) ||
             (!alternateB.empty() && alternateB == clustersA[level]);
    }
    return false;
  }
  static std::vector<std::string_view> splitList(std::string_view text) {
    std::vector<std::string_view> parts;
    if (text.empty()) return parts;
    for (size_t begin = 0;;) {
      const size_t end = text.find(';', begin);
      parts.push_back(text.substr(begin, end - begin));
      if (end == std::string_view::npos) return parts;
      begin = end + 1;
    }
  }

  bool sameHeaderName(const MemoryMapElement& a, const MemoryMapElement& b) const {
    return names_.registerName(a) == names_.registerName(b);
  }

  const DefinitionNames& names_;
  Findings& findings_;
  std::vector<Extent> extents_;
};

}  // namespace

std::unique_ptr<Check> layoutCheck(const DefinitionNames& names, Findings& findings) {
  return std::make_unique<LayoutCheck>(names, findings);
}

}  // namespace rw::checks
