// Where registers lie: their sizes, their alignment, their memory segment,
// and the registers they overlap.
#include <algorithm>
#include <string>

#include "checks/check_context.h"
#include "header/definition_names.h"

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
  LayoutCheck(const HeaderOptions& options, Findings& findings) : options_(options), findings_(findings) {}

  void reg(const CheckedRegister& reg) override {
    if (reg.bytes == 0) {
      findings_.add(*reg.element, "size",
                    describe(*reg.element, options_) +
                        (reg.sizeText && !reg.sizeText->empty()
                             ? " has size " + std::string(*reg.sizeText) + ", not 1, 2 or 4 bytes"
                             : " has no size"));
      return;
    }
    const uint32_t start = reg.element->start();
    const Extent extent{start, uint64_t{start} + reg.bytes, reg.element, extents_.size()};
    if (start % reg.bytes != 0) {
      findings_.add(*reg.element, "align",
                    describe(*reg.element, options_) + " at " + hex(start) + " is not aligned to its size of " +
                        std::to_string(reg.bytes) + " bytes");
    }
    if (const MemoryMapElement* segment = reg.segment) {
      const uint64_t first = segment->start();
      const uint64_t end = first + segment->size();
      if (extent.first < first || extent.end > end) {
        findings_.add(*reg.element, "outside",
                      describe(*reg.element, options_) + placed(extent) + " is not inside " +
                          describe(*segment, options_) + " at " + byteRange(first, end - 1) + " (" +
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
        if (!sameView && !sameHeaderName(*reach->element, *extent.element)) {
          findings_.add(*extent.element, "overlap",
                        describe(*extent.element, options_) + placed(extent) + " overlaps " +
                            describe(*reach->element, options_) + placed(*reach) + " (" +
                            findings_.where(*reach->element) + ")");
        }
      }
      if (reach == nullptr || extent.end > reach->end) reach = &extent;
    }
  }

private:
  bool sameHeaderName(const MemoryMapElement& a, const MemoryMapElement& b) const {
    std::string first;
    std::string second;
    registerName(first, a, asMemoryMapElement(a.parent), options_);
    registerName(second, b, asMemoryMapElement(b.parent), options_);
    return first == second;
  }

  const HeaderOptions& options_;
  Findings& findings_;
  std::vector<Extent> extents_;
};

}  // namespace

std::unique_ptr<Check> layoutCheck(const HeaderOptions& options, Findings& findings) {
  return std::make_unique<LayoutCheck>(options, findings);
}

}  // namespace rw::checks
