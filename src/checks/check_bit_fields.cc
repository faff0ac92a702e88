// The bits of each register: fields beyond the register, and fields that
// share bits.
#include <algorithm>
#include <string>

#include "checks/check_context.h"

namespace rw::checks {

namespace {

// One field's bits, [first, end).
struct Span {
  uint64_t first;
  uint64_t end;
  const HeaderField* field;
  size_t order;
};

class BitFieldCheck : public Check {
public:
  BitFieldCheck(const DefinitionNames& names, Findings& findings) : names_(names), findings_(findings) {}

  void reg(const HeaderRegister& reg) override {
    // A register without a usable size is an "unsigned": 32 bits.
    const uint32_t bytes = checkedBytes(reg);
    const uint64_t width = bytes == 0 ? 32 : uint64_t{8} * bytes;
    spans_.clear();
    for (const HeaderField& field : reg.fields) {
      reportWrappedStart(*field.element, "field-range", names_, findings_);
      const Span span{field.start, uint64_t{field.start} + field.size, &field, spans_.size()};
      if (span.first >= 32) {
        findings_.add(*field.element, "field-range", described(span, reg) + " starts beyond bit 31");
      } else if (span.end > width) {
        findings_.add(*field.element, "field-range",
                      described(span, reg) + " reaches past the register's " + std::to_string(width) + " bits");
      }
      spans_.push_back(span);
    }
    if (spans_.size() > 1) checkSharedBits(reg);
  }

private:
  // "bit field F (bits 4..7) of register R"
  std::string described(const Span& span, const HeaderRegister& reg) const {
    return "bit field " + std::string(span.field->plainName) + " (" + bits(span.first, span.end - 1) + ") of " +
           describe(*reg.element, names_);
  }

  // As for registers: sorted by first bit, each field is compared with the
  // earlier one that reaches furthest.
  void checkSharedBits(const HeaderRegister& reg) {
    std::sort(spans_.begin(), spans_.end(), [](const Span& a, const Span& b) {
      return a.first != b.first ? a.first < b.first : a.order < b.order;
    });
    const Span* reach = nullptr;
    for (const Span& span : spans_) {
      if (reach != nullptr && reach->end > span.first && !sameName(*reach->field, *span.field)) {
        const uint64_t sharedEnd = std::min(reach->end, span.end);
        findings_.add(*span.field->element, "field-overlap",
                      described(span, reg) + " shares " + bits(span.first, sharedEnd - 1) + " with bit field " +
                          std::string(reach->field->plainName) + " (" + bits(reach->first, reach->end - 1) + ", " +
                          findings_.where(*reach->field->element) + ")");
      }
      if (reach == nullptr || span.end > reach->end) reach = &span;
    }
  }

  // Repeated names are the generator's warning already.
  bool sameName(const HeaderField& a, const HeaderField& b) const {
    return names_.fieldOwnName(a.plainName) == names_.fieldOwnName(b.plainName);
  }

  const DefinitionNames& names_;
  Findings& findings_;
  std::vector<Span> spans_;
};

}  // namespace

std::unique_ptr<Check> bitFieldCheck(const DefinitionNames& names, Findings& findings) {
  return std::make_unique<BitFieldCheck>(names, findings);
}

}  // namespace rw::checks
